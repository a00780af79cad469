// The Win32 backend realising the window model: a window the system refuses,
// the native stacking of controls, the modal loop, closing requests and
// presses on the bare window, and what screen readers read and hear, with
// the program's services faked.
#include "platform/win32/backend.h"
#include "platform/win32/owners.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/gbk_text.h"
#include "win32_program.h"

namespace {

using ui::Event;
using ui::WindowId;

int g_presses = 0;
void countPress(app::Program&) { ++g_presses; }

class Win32BackendTest : public ::testing::Test, protected testing_support::Win32Program {
 protected:
  void SetUp() override {
    // A main window closed by an earlier test ended "the program": its quit
    // message would end the next loop at once.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    g_presses = 0;
    for (int i = 0; i < ui::kWindowCount; ++i) {
      ui::WindowDef& d = defs[i];
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
      d.bindings = {{ui::kWindowItself, Event::LeftPressed, countPress}};
    }
    program.ui().definitions = [this](WindowId id) -> const ui::WindowDef& { return def(id); };
  }
  void TearDown() override { program.ui().closeAll(); }
  ui::WindowDef& def(WindowId id) { return defs[static_cast<int>(id)]; }
  ui::WindowDef defs[ui::kWindowCount];
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

// The client objects' events this process heard: (event, window).
std::vector<std::pair<DWORD, HWND>> g_events;
void CALLBACK hearEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT && child == CHILDID_SELF) g_events.emplace_back(event, hwnd);
}

// Runs this thread's messages until done() (or 5 s have passed): events
// heard out of context and posted clicks come that way.
template <typename Done>
bool pumpUntil(Done done) {
  const DWORD deadline = GetTickCount() + 5000;
  for (;;) {
    if (done()) return true;
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
}

bool heard(DWORD event, HWND hwnd) {
  const auto wanted = std::make_pair(event, hwnd);
  return pumpUntil([&] { return std::find(g_events.begin(), g_events.end(), wanted) != g_events.end(); });
}

struct Read {
  std::wstring name;
  LONG role = 0;
  LONG state = 0;
};
// What a screen reader reads of a control's client object; with `act`, it
// also asks for the default action.
Read readAccessible(HWND hwnd, bool act = false) {
  Read read;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), win32::kIidAccessible,
                                        reinterpret_cast<void**>(&object)))) {
    return read;
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  win32::ComString name;
  if (object->get_accName(self, name.put()) == S_OK && name) read.name = name.get();
  VARIANT value{};
  if (object->get_accRole(self, &value) == S_OK && value.vt == VT_I4) read.role = value.lVal;
  if (object->get_accState(self, &value) == S_OK && value.vt == VT_I4) read.state = value.lVal;
  if (act) object->accDoDefaultAction(self);
  object->Release();
  return read;
}

// The tooltip windows whose tools are the window's controls.
std::vector<HWND> tooltipsServing(HWND window) {
  std::pair<HWND, std::vector<HWND>> search{window, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM p) -> BOOL {
        auto& [window, found] = *reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(p);
        wchar_t name[64] = {};
        GetClassNameW(h, name, 64);
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        if (std::wstring(name) == TOOLTIPS_CLASSW && SendMessageW(h, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)) &&
            tool.hwnd == window) {
          found.push_back(h);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

TEST_F(Win32BackendTest, TooltipsAreMadeWhenThePointerFirstMovesOverAControlThatHasOne) {
  def(WindowId::Remote).controls[1].tooltip = "先来";
  ASSERT_TRUE(program.ui().open(WindowId::Remote));
  const HWND window = backend.nativeWindow(WindowId::Remote);
  EXPECT_TRUE(tooltipsServing(window).empty());
  SendMessageW(backend.nativeControl(WindowId::Remote, "后"), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(tooltipsServing(window).empty()) << "made for a control without a tooltip";

  const HWND first = backend.nativeControl(WindowId::Remote, "先");
  SendMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  SendMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(3, 2));
  const std::vector<HWND> tips = tooltipsServing(window);
  ASSERT_EQ(tips.size(), 1u);
  // Not owned by the window: an always-on-top window it owned would keep it
  // from going on top under Wine.
  EXPECT_NE(GetWindow(tips[0], GW_OWNER), window);
  ASSERT_EQ(SendMessageW(tips[0], TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t text[32] = {};
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(first);
  tool.lpszText = text;
  SendMessageW(tips[0], TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(text), L"先来");
  program.ui().close(WindowId::Remote);
  EXPECT_FALSE(IsWindow(tips[0])) << "the tooltips outlived their window";
}

TEST_F(Win32BackendTest, ScreenReadersReadTheModelAndHearItsChanges) {
  def(WindowId::Main).controls.push_back(ui::asPin(ui::superBtn("钉", {120, 0, 40, 20}, "钉", "钉在最上面", {}, {})));
  def(WindowId::Main).bindings.push_back({ui::ControlName{WindowId::Main, "钉"}, Event::Clicked, countPress});
  ASSERT_TRUE(program.ui().open(WindowId::Main));
  const HWND label = backend.nativeControl(WindowId::Main, "后");
  const HWND pin = backend.nativeControl(WindowId::Main, "钉");
  g_events.clear();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_NAMECHANGE, nullptr, hearEvent,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  ui::ControlRef later = program.ui().control(WindowId::Main, "后");
  later.setShown(false);
  EXPECT_TRUE(heard(EVENT_OBJECT_HIDE, label));
  later.setShown(true);
  EXPECT_TRUE(heard(EVENT_OBJECT_SHOW, label));
  later.setCaption("雨 & 风");
  EXPECT_TRUE(heard(EVENT_OBJECT_NAMECHANGE, label));
  program.ui().tabPressed(WindowId::Main, false);
  EXPECT_TRUE(heard(EVENT_OBJECT_FOCUS, pin)) << "Tab reaches the only button";
  program.ui().window(WindowId::Main).setAlwaysOnTop(true);
  EXPECT_TRUE(heard(EVENT_OBJECT_STATECHANGE, pin)) << "the pin is pressed now";
  UnhookWinEvent(hook);

  const Read text = readAccessible(label);
  EXPECT_EQ(text.name, win32::wideFromGbk("雨 & 风")) << "the \"&\" is no mnemonic";
  EXPECT_EQ(text.role, ROLE_SYSTEM_STATICTEXT);
  const Read button = readAccessible(pin, true);
  EXPECT_TRUE(pumpUntil([] { return g_presses == 1; })) << "the default action clicks the button";
  EXPECT_EQ(button.name, win32::wideFromGbk("钉在最上面"));
  EXPECT_EQ(button.role, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(button.state & (STATE_SYSTEM_PRESSED | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_INVISIBLE),
            STATE_SYSTEM_PRESSED | STATE_SYSTEM_FOCUSABLE);
  later.setShown(false);
  EXPECT_TRUE(readAccessible(label).state & STATE_SYSTEM_INVISIBLE);
}

// A screen reader may keep its object long after the window behind it has
// gone, and the same window may open again meanwhile.
TEST_F(Win32BackendTest, AScreenReadersObjectKeptPastItsWindowSaysNothingOfTheWindowOpenedAgain) {
  ASSERT_TRUE(program.ui().open(WindowId::Main));
  IAccessible* kept = nullptr;
  ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(backend.nativeControl(WindowId::Main, "后"),
                                                   static_cast<DWORD>(OBJID_CLIENT), win32::kIidAccessible,
                                                   reinterpret_cast<void**>(&kept))));
  program.ui().close(WindowId::Main);
  ASSERT_TRUE(program.ui().open(WindowId::Main));
  program.ui().control(WindowId::Main, "后").setCaption("新");
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  win32::ComString name;
  if (kept->get_accName(self, name.put()) == S_OK && name) {
    EXPECT_NE(std::wstring(name.get()), win32::wideFromGbk("新"));
  }
  kept->Release();
  EXPECT_EQ(readAccessible(backend.nativeControl(WindowId::Main, "后")).name, win32::wideFromGbk("新"));
}

// ---- A handler's wait: what it must leave in the queue.

std::vector<UINT> g_arrived;
LRESULT CALLBACK noteArrivals(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER || message == WM_APP || message == WM_LBUTTONDOWN) g_arrived.push_back(message);
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(Win32BackendTest, TheWaitLeavesTicksPostedMessagesAndClicksUntilItEnds) {
  WNDCLASSW type{};
  type.lpfnWndProc = noteArrivals;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"StationWaitWitness";
  RegisterClassW(&type);
  const HWND witness = CreateWindowExW(WS_EX_TOPMOST, type.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 300, 300, 80,
                                       80, nullptr, nullptr, type.hInstance, nullptr);
  ASSERT_NE(witness, nullptr);
  UpdateWindow(witness);
  g_arrived.clear();
  SetTimer(witness, 1, 10, nullptr);
  PostMessageW(witness, WM_APP, 0, 0);
  SetCursorPos(340, 340);
  INPUT click[2] = {};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, click, sizeof(INPUT)), 2u);

  // Longer than the busy pointer's delay, so that the wait has looked at the
  // queue several times.
  const ULONGLONG start = GetTickCount64();
  backend.waitUntil([&] { return GetTickCount64() - start >= 600; }, 5000);
  EXPECT_TRUE(g_arrived.empty()) << "the wait dispatched message " << (g_arrived.empty() ? 0 : g_arrived[0]);

  MSG message;
  for (const ULONGLONG end = GetTickCount64() + 3000; g_arrived.size() < 3 && GetTickCount64() < end;) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
  KillTimer(witness, 1);
  DestroyWindow(witness);
  for (UINT kind : {UINT(WM_TIMER), UINT(WM_APP), UINT(WM_LBUTTONDOWN)}) {
    EXPECT_NE(std::find(g_arrived.begin(), g_arrived.end(), kind), g_arrived.end()) << kind << " never came";
  }
}

// A page inside a browser view has, under Wine, a window of a class without
// a cursor: asked for its cursor, it sets none, and the pointer would keep
// whatever the wait last showed.
TEST_F(Win32BackendTest, ThePointerRestingOnAWindowWithoutACursorIsNoLongerBusyAfterTheWait) {
  ASSERT_TRUE(program.ui().open(WindowId::Main));
  const HWND control = backend.nativeControl(WindowId::Main, "先");
  ASSERT_NE(control, nullptr);
  WNDCLASSW type{};
  type.lpfnWndProc = DefWindowProcW;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"StationPageWithoutCursor";
  RegisterClassW(&type);
  const HWND page = CreateWindowExW(0, type.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 60, 20, control, nullptr,
                                    type.hInstance, nullptr);
  ASSERT_NE(page, nullptr);
  POINT inside{30, 10};
  ClientToScreen(page, &inside);
  SetCursorPos(inside.x, inside.y);
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  SetCursor(arrow);

  const ULONGLONG start = GetTickCount64();
  backend.waitUntil([&] { return GetTickCount64() - start >= 600; }, 5000);
  EXPECT_EQ(GetCursor(), arrow) << "the busy pointer stayed after the wait";
  // The pointer moving on over the page asks it again: still nothing busy.
  SendMessageW(page, WM_SETCURSOR, reinterpret_cast<WPARAM>(page), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), arrow);
  DestroyWindow(page);
}

}  // namespace
