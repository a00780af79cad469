#include "app/about_box.h"

#include "app/program.h"
#include "app/window_forms.h"
#include "station_config.h"
#include "station_version.h"

namespace app {

namespace {

std::string withoutPrefix(std::string text, std::string_view prefix) {
  if (text.compare(0, prefix.size(), prefix) == 0) text.erase(0, prefix.size());
  return text;
}

// The host of an address: without its scheme and anything from the first "/".
std::string hostOf(const std::string& address) {
  std::string rest = withoutPrefix(address, "http://");
  return rest.substr(0, rest.find('/'));
}

}  // namespace

std::string aboutText() {
  std::string text = std::string("汀蔚网络视听台 V") + station::config::kLocalVersionText;
  text += "\r\n" + hostOf(station::config::kOfficialSiteAddress);
  text += "\r\n" + withoutPrefix(hostOf(station::config::kPortalSiteAddress), "www.");
  text += "\r\n微博：" + std::string(station::config::kMicroblogDisplayName) + "（" +
          withoutPrefix(station::config::kMicroblogAddress, "http://") + "）";
  return text;
}

void showInfoMessage(Program& program, const std::string& text) {
  program.ui().informationBox(text, "信息：");
}

void showAboutBox(Program& program) {
  releaseTopmost(program);
  showInfoMessage(program, aboutText());
}

}  // namespace app
