#include "net/addresses.h"

#include "station_config.h"

namespace net {

std::string httpAddress(const char* host, const char* path) { return std::string("http://") + host + path; }

std::string stationPageAddress() { return httpAddress(station::config::kStationHost, "/bofang/"); }

std::string advertPageAddress(int page) {
  switch (page) {
    case 2: return httpAddress(station::config::kStationHost, "/bofang/ad/ad2.php");
    case 3: return httpAddress(station::config::kStationHost, "/bofang/ad/ad3.php");
    default: return httpAddress(station::config::kStationHost, "/bofang/ad/ad.php");
  }
}

std::string chatPageAddress() { return httpAddress(station::config::kStationHost, "/bofang/cchat.swf"); }

std::string noticeManifestAddress() { return httpAddress(station::config::kContentHost, "/bofang/ad/tingweitz.xml"); }

std::string advertPictureAddress() { return httpAddress(station::config::kContentHost, "/bofang/ad/ad256-56.gif"); }

std::string updateManifestAddress() { return httpAddress(station::config::kUpdateHost, "/dedazizova/dodezazoz.xml"); }

}  // namespace net
