#pragma once
namespace app {
class Program;

// Fills the notification line, the advert link and the advert picture from
// the station's notice manifest and picture (at start and on "刷新公告").
void refreshNotices(Program& program);
// A press on the advert picture opens its link.
void openPictureAdvert(Program& program);
// The main window is about to go: the notice manifest is released.
void releaseNotices(Program& program);
// The advert window's three pages.
void showFirstAdvert(Program& program);
void showSecondAdvert(Program& program);
void showThirdAdvert(Program& program);

}  // namespace app
