#pragma once
// A program on the headless backend with fake services, for tests of
// handlers and windows.
#include "app/program.h"
#include "fakes.h"
#include "ui/headless_backend.h"

namespace testing_support {

inline const std::string kRunDirectory = "C:\\station";

struct TestProgram {
  ui::HeadlessBackend backend;
  FakeFetcher fetcher;
  FakeFileSystem files;
  FakeProfileStore profiles{files};
  FakeShell shell;
  app::Services services{fetcher, files, profiles, shell, kRunDirectory};
  app::Program program{backend, services};

  TestProgram() { files.directories.insert(kRunDirectory); }
  // A modal window whose loop ran out of scripted input would, for real,
  // wait there for the user: tests say what the user does in it.
  ~TestProgram() { EXPECT_EQ(backend.modalsLeftWaiting, 0) << "a modal window was left waiting for input"; }

  ui::WindowManager& ui() { return program.ui(); }
  ui::WindowRef window(ui::WindowId id) { return program.window(id); }
  ui::ControlRef control(ui::WindowId id, std::string_view name) { return program.control(id, name); }
  // Opens the main window as the program's start does.
  void start() { program.start(); }
  // Chooses an entry of the next popup menu.
  void chooseFromNextMenu(std::string caption) { backend.menuChoice = std::move(caption); }
  std::string path(const std::string& name) const { return kRunDirectory + name; }
};

}  // namespace testing_support
