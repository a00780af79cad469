#pragma once
// A program on the headless backend, for tests of handlers and windows.
#include "app/program.h"
#include "ui/headless_backend.h"

namespace testing_support {

struct TestProgram {
  ui::HeadlessBackend backend;
  app::Program program{backend};

  ui::WindowManager& ui() { return program.ui(); }
  ui::WindowRef window(ui::WindowId id) { return program.window(id); }
  ui::ControlRef control(ui::WindowId id, std::string_view name) { return program.control(id, name); }
  // Opens the main window as the program's start does.
  void start() { program.start(); }
  // Chooses an entry of the next popup menu.
  void chooseFromNextMenu(std::string caption) { backend.menuChoice = std::move(caption); }
};

}  // namespace testing_support
