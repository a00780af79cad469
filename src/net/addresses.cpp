#include "net/addresses.h"

#include "station_config.h"

namespace net {

std::string serverAddress(const char* host, const char* path) {
  return std::string(station::config::kServerScheme) + "://" + host + path;
}

std::string stationPageAddress() { return serverAddress(station::config::kStationHost, "/bofang/"); }

std::string advertPageAddress(int page) {
  switch (page) {
    case 2: return serverAddress(station::config::kStationHost, "/bofang/ad/ad2.php");
    case 3: return serverAddress(station::config::kStationHost, "/bofang/ad/ad3.php");
    default: return serverAddress(station::config::kStationHost, "/bofang/ad/ad.php");
  }
}

std::string chatPageAddress() { return serverAddress(station::config::kStationHost, "/bofang/cchat.swf"); }

std::string noticeManifestAddress() { return serverAddress(station::config::kContentHost, "/bofang/ad/tingweitz.xml"); }

std::string advertPictureAddress() { return serverAddress(station::config::kContentHost, "/bofang/ad/ad256-56.gif"); }

std::string updateManifestAddress() { return serverAddress(station::config::kUpdateHost, "/dedazizova/dodezazoz.xml"); }

}  // namespace net
