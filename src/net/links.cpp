#include "net/links.h"

#include "app/program.h"

namespace net {

// Need the shell-open service; until it is in, the items do nothing.
void openOfficialSite(app::Program&) {}
void openPortalSite(app::Program&) {}
void openSisterSite(app::Program&) {}
void openCityEncyclopedia(app::Program&) {}
void openRegionEncyclopedia(app::Program&) {}
void openMicroblog(app::Program&) {}

}  // namespace net
