#pragma once
// A program on the headless backend with fake services, for tests of
// handlers and windows.
#include "app/program.h"
#include "fakes.h"
#include "ui/headless_backend.h"
#include "app/windows/advert_window.h"
#include "app/windows/exit_confirmation.h"
#include "app/windows/interaction_window.h"
#include "app/windows/main_window.h"
#include "app/windows/remote_control.h"
#include "app/windows/settings_window.h"

namespace testing_support {

struct TestProgram {
  ui::HeadlessBackend backend;
  FakeFetcher fetcher;
  FakeFileSystem files;
  FakeShell shell;
  app::Services services{fetcher, files, shell};
  app::Program program{backend, services};

  // A modal window whose loop ran out of scripted input would, for real,
  // wait there for the user: tests say what the user does in it.
  ~TestProgram() { EXPECT_EQ(backend.modalsLeftWaiting, 0) << "a modal window was left waiting for input"; }

  ui::WindowManager& ui() { return program.ui(); }
  ui::WindowRef window(ui::WindowId id) { return program.window(id); }
  // A control of the program's windows, by its declared name.
  ui::ControlRef control(ui::ControlName name) { return program.control(name); }
  // A control of the tests' own small windows, named in place.
  ui::ControlRef control(ui::WindowId id, std::string_view name) { return program.ui().control(id, name); }
  // Input on a control, as the backend reports it.
  void click(ui::ControlName c) { ui().clicked(c.window, c.name); }
  bool leftPress(ui::ControlName c) { return ui().leftPressed(c.window, c.name); }
  void rightPress(ui::ControlName c) { ui().rightPressed(c.window, c.name); }
  void tick(ui::ControlName timer) { ui().timerElapsed(timer.window, timer.name); }
  void chooseColour(ui::ControlName picker, ui::Colour colour) { ui().colourChosen(picker.window, picker.name, colour); }
  // Opens the main window as the program's start does.
  void start() { program.start(); }
  // Chooses an entry of the next popup menu.
  void chooseFromNextMenu(std::string caption) { backend.menuChoice = std::move(caption); }
};

}  // namespace testing_support
