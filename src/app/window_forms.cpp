#include "app/window_forms.h"

#include "app/program.h"
#include "app/windows/main_window.h"

namespace app {

using ui::WindowId;

namespace {

// The notification line keeps to the bottom of the main window.
void placeNotificationLine(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  ui::ControlRef line = program.control(main_window::kNotificationLine);
  line.setTop(main.height() - 24);
  line.setWidth(main.width() - 16);
}

}  // namespace

void showNormalForm(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  main.move({}, {}, 815, 631);
  program.control(main_window::kStationView).move({}, 72, 800, 528);
  placeNotificationLine(program);
  program.control(main_window::kNotificationLine).setShown(true);
  program.control(main_window::kTitleLabel).setShown(true);
  program.control(main_window::kVersionLabel).setShown(true);
  program.control(main_window::kPictureAdvert).setShown(false);
  program.control(main_window::kMenuButton).setLeft(520);
}

void showSmallForm(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  main.move({}, {}, 529, 410);
  program.control(main_window::kStationView).move({}, 25, 520, 343);
  program.control(main_window::kNotificationLine).setShown(false);
  program.control(main_window::kTitleLabel).setShown(false);
  program.control(main_window::kVersionLabel).setShown(false);
  program.control(main_window::kPictureAdvert).setShown(false);
  program.control(main_window::kMenuButton).setLeft(main.width() - 60);
  if (!main.alwaysOnTop()) mainAlwaysOnTopOn(program);
}

void showMaximizedForm(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  main.setPosition(ui::WindowPosition::Maximized);
  program.control(main_window::kMaximize).setShown(false);
  program.control(main_window::kRestore).setShown(true);
  main.setDragAnywhere(false);
  program.control(main_window::kPictureAdvert).setShown(true);
  program.control(main_window::kStationView).move({}, {}, main.width() - 16, main.height() - 103);
  placeNotificationLine(program);
  program.control(main_window::kPictureAdvert).setLeft(main.width() - 280);
  program.control(main_window::kMenuButton).setShown(false);
}

void restoreFromMaximized(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  program.control(main_window::kRestore).setShown(false);
  program.control(main_window::kMaximize).setShown(true);
  main.setDragAnywhere(true);
  program.control(main_window::kPictureAdvert).setShown(false);
  main.move({}, {}, 815, 631);
  program.control(main_window::kStationView).move({}, {}, 800, 528);
  placeNotificationLine(program);
  main.setPosition(ui::WindowPosition::Centred);
  program.control(main_window::kMenuButton).setShown(true);
}

void minimizeMainWindow(Program& program) { program.window(WindowId::Main).setPosition(ui::WindowPosition::Minimized); }

void mainAlwaysOnTopOn(Program& program) {
  program.window(WindowId::Main).setAlwaysOnTop(true);
  program.control(main_window::kPin).setShown(false);
  program.control(main_window::kUnpin).setShown(true);
}

void mainAlwaysOnTopOff(Program& program) {
  program.window(WindowId::Main).setAlwaysOnTop(false);
  program.control(main_window::kUnpin).setShown(false);
  program.control(main_window::kPin).setShown(true);
}

void toggleMainAlwaysOnTop(Program& program) {
  if (!program.window(WindowId::Main).alwaysOnTop()) {
    mainAlwaysOnTopOn(program);
  } else {
    mainAlwaysOnTopOff(program);
  }
}

void releaseTopmost(Program& program) {
  if (!program.window(WindowId::Main).alwaysOnTop()) return;
  program.window(WindowId::Main).setAlwaysOnTop(false);
  program.control(main_window::kPin).setShown(true);
  program.control(main_window::kUnpin).setShown(false);
}

void toggleRemoteAlwaysOnTop(Program& program) {
  ui::WindowRef remote = program.window(WindowId::Remote);
  remote.setAlwaysOnTop(!remote.alwaysOnTop());
}

void minimizeInteractionWindow(Program& program) {
  program.window(WindowId::Interaction).setPosition(ui::WindowPosition::Minimized);
}

}  // namespace app
