#pragma once
// The community sites of the right-click menu and the microblog button,
// opened in the default browser.
namespace app {
class Program;

void openOfficialSite(Program& program);
void openPortalSite(Program& program);
void openSisterSite(Program& program);
void openCityEncyclopedia(Program& program);
void openRegionEncyclopedia(Program& program);
void openMicroblog(Program& program);

}  // namespace app
