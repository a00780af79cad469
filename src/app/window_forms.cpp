#include "app/window_forms.h"

#include "app/program.h"

namespace app {

using ui::WindowId;

namespace {

ui::ControlRef mainControl(Program& program, const char* name) { return program.control(WindowId::Main, name); }

// The notification line keeps to the bottom of the main window.
void placeNotificationLine(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  ui::ControlRef line = mainControl(program, "通知标签");
  line.setTop(main.height() - 24);
  line.setWidth(main.width() - 16);
}

}  // namespace

void showNormalForm(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  main.move({}, {}, 815, 631);
  mainControl(program, "超文本浏览框1").move({}, 72, 800, 528);
  placeNotificationLine(program);
  mainControl(program, "通知标签").setShown(true);
  mainControl(program, "标签1").setShown(true);
  mainControl(program, "版本标签").setShown(true);
  mainControl(program, "图片框2").setShown(false);
  mainControl(program, "新").setLeft(520);
}

void showSmallForm(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  main.move({}, {}, 529, 410);
  mainControl(program, "超文本浏览框1").move({}, 25, 520, 343);
  mainControl(program, "通知标签").setShown(false);
  mainControl(program, "标签1").setShown(false);
  mainControl(program, "版本标签").setShown(false);
  mainControl(program, "图片框2").setShown(false);
  mainControl(program, "新").setLeft(main.width() - 60);
  if (!main.alwaysOnTop()) mainAlwaysOnTopOn(program);
}

void showMaximizedForm(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  main.setPosition(ui::WindowPosition::Maximized);
  mainControl(program, "扩").setShown(false);
  mainControl(program, "消扩").setShown(true);
  main.setDragAnywhere(false);
  mainControl(program, "图片框2").setShown(true);
  mainControl(program, "超文本浏览框1").move({}, {}, main.width() - 16, main.height() - 103);
  placeNotificationLine(program);
  mainControl(program, "图片框2").setLeft(main.width() - 280);
  mainControl(program, "新").setShown(false);
}

void restoreFromMaximized(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  mainControl(program, "消扩").setShown(false);
  mainControl(program, "扩").setShown(true);
  main.setDragAnywhere(true);
  mainControl(program, "图片框2").setShown(false);
  main.move({}, {}, 815, 631);
  mainControl(program, "超文本浏览框1").move({}, {}, 800, 528);
  placeNotificationLine(program);
  main.setPosition(ui::WindowPosition::Centred);
  mainControl(program, "新").setShown(true);
}

void minimizeMainWindow(Program& program) { program.window(WindowId::Main).setPosition(ui::WindowPosition::Minimized); }

void mainAlwaysOnTopOn(Program& program) {
  program.window(WindowId::Main).setAlwaysOnTop(true);
  mainControl(program, "顶").setShown(false);
  mainControl(program, "消顶").setShown(true);
}

void mainAlwaysOnTopOff(Program& program) {
  program.window(WindowId::Main).setAlwaysOnTop(false);
  mainControl(program, "消顶").setShown(false);
  mainControl(program, "顶").setShown(true);
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
  mainControl(program, "顶").setShown(true);
  mainControl(program, "消顶").setShown(false);
}

void toggleRemoteAlwaysOnTop(Program& program) {
  ui::WindowRef remote = program.window(WindowId::Remote);
  remote.setAlwaysOnTop(!remote.alwaysOnTop());
}

void minimizeInteractionWindow(Program& program) {
  program.window(WindowId::Interaction).setPosition(ui::WindowPosition::Minimized);
}

}  // namespace app
