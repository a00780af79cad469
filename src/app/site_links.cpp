#include "app/site_links.h"

#include "app/program.h"
#include "net/links.h"
#include "station_config.h"

namespace app {

// Opening a site leaves the main window's always-on-top state alone.
void openOfficialSite(Program& program) {
  net::openInBrowser(program.services().shell, station::config::kOfficialSiteAddress);
}
void openPortalSite(Program& program) {
  net::openInBrowser(program.services().shell, station::config::kPortalSiteAddress);
}
void openSisterSite(Program& program) {
  net::openInBrowser(program.services().shell, station::config::kSisterSiteAddress);
}
void openCityEncyclopedia(Program& program) {
  net::openInBrowser(program.services().shell, station::config::kCityEncyclopediaAddress);
}
void openRegionEncyclopedia(Program& program) {
  net::openInBrowser(program.services().shell, station::config::kRegionEncyclopediaAddress);
}
void openMicroblog(Program& program) {
  net::openInBrowser(program.services().shell, station::config::kMicroblogAddress);
}

}  // namespace app
