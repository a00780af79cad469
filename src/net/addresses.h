#pragma once
// The program's fixed server addresses, from the build's host settings.
#include <string>

namespace net {

// The build's scheme ("http" or "https") + "://" + host + path; the host
// may carry a port.
std::string serverAddress(const char* host, const char* path);

std::string stationPageAddress();    // the station page "/bofang/" on the station server
std::string advertPageAddress(int page);  // 1..3: "/bofang/ad/ad.php", "ad2.php", "ad3.php"
std::string chatPageAddress();       // "/bofang/cchat.swf" on the station server
std::string noticeManifestAddress(); // "/bofang/ad/tingweitz.xml" on the content host
std::string advertPictureAddress();  // "/bofang/ad/ad256-56.gif" on the content host
std::string updateManifestAddress(); // "/dedazizova/dodezazoz.xml" on the update server

}  // namespace net
