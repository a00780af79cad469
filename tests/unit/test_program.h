#pragma once
// A program on the headless backend with fake services, for tests of
// handlers and windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/program.h"
#include "fakes.h"
#include "headless_backend.h"
#include "app/windows/advert_window.h"
#include "app/windows/exit_confirmation.h"
#include "app/windows/interaction_window.h"
#include "app/windows/main_window.h"
#include "app/windows/remote_control.h"
#include "app/windows/settings_window.h"

namespace testing_support {

// A string literal as a template argument: implicit on purpose, so that
// tests write record<"moved">.
template <std::size_t N>
struct Fixed {
  constexpr Fixed(const char (&s)[N]) { std::copy_n(s, N, text); }
  char text[N];
};

struct TestProgram {
  ui::HeadlessBackend backend;
  std::shared_ptr<FakeFetcher> network = std::make_shared<FakeFetcher>();
  FakeFetcher& fetcher = *network;
  FakeFileSystem files;
  FakeShell shell;
  FakeTextCodec text;
  app::Services services{network, files, shell, text};
  app::Program program{backend, services};

  TestProgram() { live.push_back(this); }
  // A modal window whose loop ran out of scripted input would, for real,
  // wait there for the user: tests say what the user does in it.
  ~TestProgram() {
    EXPECT_EQ(backend.modalsLeftWaiting, 0) << "a modal window was left waiting for input";
    std::erase(live, this);
  }

  // What the tests' handlers recorded, in order (see record below).
  std::vector<std::string> log;
  // The test program whose program runs a handler: handlers are plain
  // functions, and reach the test through the program they are given.
  static TestProgram& of(const app::Program& p) {
    for (TestProgram* t : live) {
      if (&t->program == &p) return *t;
    }
    ADD_FAILURE() << "a handler ran in a program that no TestProgram holds";
    std::abort();
  }

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

 private:
  inline static std::vector<TestProgram*> live;
};

// A handler that records What in its test program's log.
template <Fixed What>
void record(app::Program& p) {
  TestProgram::of(p).log.push_back(What.text);
}

}  // namespace testing_support
