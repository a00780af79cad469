#include "app/main_window_handlers.h"

#include <cstdio>
#include <string>

#include "app/colours.h"
#include "app/placement.h"
#include "app/program.h"
#include "net/notices.h"

namespace app {

using ui::WindowId;

namespace {

// The version badge: "V" and the version as the program writes a number,
// the shortest form that reads back. Formed in one piece.
std::string versionCaption(double version) {
  char text[32];
  std::snprintf(text, sizeof text, "V%.13g", version);
  return text;
}

}  // namespace

void mainWindowCreated(Program& program) {
  applyUserColourAtCreation(program, WindowId::Main);
  program.control(WindowId::Main, "消顶").setShown(false);
  program.control(WindowId::Main, "消扩").setShown(false);
  program.control(WindowId::Main, "图片框2").setShown(false);
  program.control(WindowId::Main, "版本标签").setCaption(versionCaption(kLocalVersion));
  net::refreshNotices(program);
  program.ui().open(WindowId::Advert);
  program.ui().open(WindowId::Remote);
  placeRemoteBesideMain(program);
}

void mainWindowClosing(Program& program) { net::releaseNotices(program); }

void ignoreEvent(Program&) {}

void popUpTrayMenu(Program& program) {
  ui::Point at = program.ui().pointer();
  program.ui().popupMenu(WindowId::Main, "托盘", at);
}

void popUpDropDownMenu(Program& program) {
  ui::Point p = program.ui().pointer();
  program.ui().popupMenu(WindowId::Main, "下拉", ui::Point{p.x + 3, p.y + 3});
}

}  // namespace app
