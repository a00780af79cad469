#pragma once
namespace app {
class Program;
}

namespace net {

// The community sites of the right-click menu and the microblog button, each
// opened in the default browser.
void openOfficialSite(app::Program& program);
void openPortalSite(app::Program& program);
void openSisterSite(app::Program& program);
void openCityEncyclopedia(app::Program& program);
void openRegionEncyclopedia(app::Program& program);
void openMicroblog(app::Program& program);

}  // namespace net
