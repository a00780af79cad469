#include "app/main_window_handlers.h"

#include <string>

#include "app/colours.h"
#include "app/notices.h"
#include "app/placement.h"
#include "app/program.h"
#include "app/windows/main_window.h"
#include "station_version.h"

namespace app {

using ui::WindowId;

void mainWindowCreated(Program& program) {
  applyUserColourAtCreation(program, WindowId::Main);
  program.control(main_window::kUnpin).setShown(false);
  program.control(main_window::kRestore).setShown(false);
  program.control(main_window::kPictureAdvert).setShown(false);
  program.control(main_window::kVersionLabel).setCaption(station::config::kVersionCaption);
  refreshNotices(program);
  program.ui().open(WindowId::Advert);
  program.ui().open(WindowId::Remote);
  placeRemoteBesideMain(program);
}

void mainWindowClosing(Program& program) { releaseNotices(program); }

void popUpTrayMenu(Program& program) {
  ui::Point at = program.ui().menuPoint();
  program.ui().popupMenu(WindowId::Main, main_window::kTrayMenu, at);
}

void popUpDropDownMenu(Program& program) {
  ui::Point p = program.ui().menuPoint();
  program.ui().popupMenu(WindowId::Main, main_window::kDropDownMenu, ui::Point{p.x + 3, p.y + 3});
}

}  // namespace app
