// The Win32 backend realising the window model: a window the system refuses,
// the native stacking of controls, the modal loop, closing requests and
// presses on the bare window, with the program's services faked.
#include "platform/win32/win32_backend.h"

#include <gtest/gtest.h>

#include "app/program.h"
#include "fakes.h"

namespace {

using ui::Event;
using ui::WindowId;

int g_presses = 0;
void countPress(app::Program&) { ++g_presses; }

ui::WindowDef g_defs[ui::kWindowCount];
const ui::WindowDef& testDefinitions(WindowId id) { return g_defs[static_cast<int>(id)]; }

class Win32BackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A main window closed by an earlier test ended "the program": its quit
    // message would end the next loop at once.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    g_presses = 0;
    for (int i = 0; i < ui::kWindowCount; ++i) {
      ui::WindowDef& d = g_defs[i];
      d = ui::WindowDef{};
      d.id = static_cast<WindowId>(i);
      d.title = "w";
      d.rect = {10 + 40 * i, 20, 200, 100};
      d.position = ui::OpeningPosition::AtDefinedPlace;
      d.escCloses = true;
      // Two labels sharing a strip, with a tab box whose page row comes first.
      d.controls = {
          ui::onPage("页", ui::label("页上", {0, 0, 20, 20}, "p", {}, ui::kBlack, ui::kWhite, {})),
          ui::label("先", {0, 0, 60, 20}, "a", {}, ui::kBlack, ui::kWhite, {}),
          ui::label("后", {50, 0, 60, 20}, "b", {}, ui::kBlack, ui::kWhite, {}),
          ui::pageControl("夹", {0, 30, 100, 60}, {"页"}, {}, ui::kWhite),
      };
      d.bindings = {{"", Event::LeftPressed, countPress}};
    }
    backend.attach(program.ui());
    program.ui().definitions = testDefinitions;
  }
  void TearDown() override { program.ui().closeAll(); }

  win32::Win32Backend backend{GetModuleHandleW(nullptr)};
  testing_support::FakeFetcher fetcher;
  testing_support::FakeFileSystem files;
  testing_support::FakeProfileStore profiles{files};
  testing_support::FakeShell shell;
  app::Services services{fetcher, files, profiles, shell, "C:\\station"};
  app::Program program{backend, services};
};

HHOOK g_refusing = nullptr;
LRESULT CALLBACK refuseStationWindows(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    wchar_t name[64] = {};
    GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
    if (std::wstring(name) == L"StationWindow") return 1;
  }
  return CallNextHookEx(g_refusing, code, wParam, lParam);
}

TEST_F(Win32BackendTest, AWindowTheSystemRefusesLeavesNothingOpenAndALaterOneWorks) {
  ASSERT_TRUE(backend.ready());
  g_refusing = SetWindowsHookExW(WH_CBT, refuseStationWindows, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_refusing, nullptr);
  const bool opened = program.ui().open(WindowId::Remote);
  UnhookWindowsHookEx(g_refusing);
  EXPECT_FALSE(opened);
  EXPECT_FALSE(program.ui().isOpen(WindowId::Remote));
  EXPECT_EQ(backend.nativeWindow(WindowId::Remote), nullptr);
  program.ui().control(WindowId::Remote, "先").setCaption("x");  // nothing there to change

  ASSERT_TRUE(program.ui().open(WindowId::Remote));
  EXPECT_TRUE(IsWindowVisible(backend.nativeWindow(WindowId::Remote)));
}

TEST_F(Win32BackendTest, ChildWindowsStackAsTheModelDoes) {
  ASSERT_TRUE(program.ui().open(WindowId::Main));
  std::vector<HWND> topToBottom;
  for (HWND c = GetWindow(backend.nativeWindow(WindowId::Main), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (GetWindowLongW(c, GWL_STYLE) & WS_CHILD) topToBottom.push_back(c);
  }
  const HWND page = backend.nativeControl(WindowId::Main, "页上");
  const HWND first = backend.nativeControl(WindowId::Main, "先");
  const HWND later = backend.nativeControl(WindowId::Main, "后");
  const HWND box = backend.nativeControl(WindowId::Main, "夹");
  EXPECT_EQ(topToBottom, (std::vector<HWND>{page, box, later, first}));
}

RECT childRect(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(Win32BackendTest, AWindowMovedToAScreenOfAnotherDpiIsLaidOutAgainAtItsScale) {
  ASSERT_TRUE(program.ui().open(WindowId::Main));
  const HWND main = backend.nativeWindow(WindowId::Main);
  RECT suggested{300, 200, 600, 350};
  SendMessageW(main, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

  RECT r{};
  GetWindowRect(main, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
            (std::vector<LONG>{300, 200, 300, 150}));
  // Edges scaled: {50, 0, 60, 20} becomes 75..165 by 0..30; the page's
  // control lies on its tab box, 30 logical pixels down.
  const RECT later = childRect(backend.nativeControl(WindowId::Main, "后"));
  EXPECT_EQ((std::vector<LONG>{later.left, later.top, later.right, later.bottom}), (std::vector<LONG>{75, 0, 165, 30}));
  EXPECT_EQ(childRect(backend.nativeControl(WindowId::Main, "页上")).top, 45);
  // The model heard where the window went, in its own units, and its next
  // move is realised at the new scale.
  const ui::WindowState& state = *program.ui().state(WindowId::Main);
  EXPECT_EQ(state.rect, (ui::Rect{200, 133, 200, 100}));
  program.window(WindowId::Main).move(20, 30);
  GetWindowRect(main, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left}), (std::vector<LONG>{30, 45, 300}));
}

// Stands in for the user while a modal loop runs: the system asks the
// disabled main window to close, then the user presses Esc in the modal one.
struct ModalScript {
  win32::Win32Backend* backend = nullptr;
  app::Program* program = nullptr;
  int ticks = 0;
  bool mainSurvivedClose = false;
  bool gaveUp = false;
} g_script;

void CALLBACK actInModal(HWND, UINT, UINT_PTR, DWORD) {
  ModalScript& s = g_script;
  ++s.ticks;
  if (s.ticks == 1) {
    SendMessageW(s.backend->nativeWindow(WindowId::Main), WM_CLOSE, 0, 0);
    s.mainSurvivedClose = s.program->ui().isOpen(WindowId::Main);
    PostMessageW(s.backend->nativeWindow(WindowId::ExitConfirm), WM_KEYDOWN, VK_ESCAPE, 0);
  } else if (s.ticks == 100 && s.program->ui().isOpen(WindowId::ExitConfirm)) {
    // Esc did not end the loop: end it here so that the test can fail.
    s.gaveUp = true;
    s.program->ui().close(WindowId::ExitConfirm);
  }
}

TEST_F(Win32BackendTest, EscEndsTheModalLoopAndADisabledWindowRefusesTheSystemsClose) {
  ASSERT_TRUE(program.ui().open(WindowId::Main));
  g_script = ModalScript{&backend, &program};
  UINT_PTR timer = SetTimer(nullptr, 0, 20, actInModal);
  ASSERT_NE(timer, 0u);
  program.ui().open(WindowId::ExitConfirm, true);
  KillTimer(nullptr, timer);
  EXPECT_FALSE(g_script.gaveUp) << "Esc left the modal window open";
  EXPECT_FALSE(program.ui().isOpen(WindowId::ExitConfirm));
  EXPECT_TRUE(g_script.mainSurvivedClose) << "WM_CLOSE destroyed a window disabled under a modal one";
  ASSERT_TRUE(program.ui().isOpen(WindowId::Main));
  EXPECT_TRUE(IsWindowEnabled(backend.nativeWindow(WindowId::Main)));
  SendMessageW(backend.nativeWindow(WindowId::Main), WM_CLOSE, 0, 0);
  EXPECT_FALSE(program.ui().isOpen(WindowId::Main)) << "enabled again, it closes at once";
}

TEST_F(Win32BackendTest, EveryPressOnTheBareWindowIsReportedTheSecondOfADoubleClickToo) {
  ASSERT_TRUE(program.ui().open(WindowId::Main));
  HWND main = backend.nativeWindow(WindowId::Main);
  const LPARAM bare = MAKELPARAM(150, 80);
  SendMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, bare);
  SendMessageW(main, WM_LBUTTONUP, 0, bare);
  SendMessageW(main, WM_LBUTTONDBLCLK, MK_LBUTTON, bare);
  SendMessageW(main, WM_LBUTTONUP, 0, bare);
  EXPECT_EQ(g_presses, 2);
}

}  // namespace
