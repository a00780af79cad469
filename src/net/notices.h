#pragma once
namespace app {
class Program;
}

namespace net {

// Fills the notification line, the advert link and the advert picture from
// the station's notice manifest and picture (at start and on "刷新公告").
void refreshNotices(app::Program& program);
// A press on the advert picture opens its link.
void openPictureAdvert(app::Program& program);
// The main window is about to go: the notice manifest is released.
void releaseNotices(app::Program& program);
// The advert window's three pages.
void showFirstAdvert(app::Program& program);
void showSecondAdvert(app::Program& program);
void showThirdAdvert(app::Program& program);

}  // namespace net
