// station_probe: looks at and drives the windows of other Windows programs
// running in the same Wine prefix (and on the same display), for the
// end-to-end tests. Every command prints one JSON value (UTF-8) on stdout.
//
//   probe windows [--class NAME] [--title TEXT] [--pid N]
//   probe menu [--pid N]
//   probe click X Y [left|right]      probe press X Y [left|right]
//   probe release X Y [left|right]    probe move X Y
//   probe key NAME                    (esc, enter, tab, space, f1..f12,
//                                      a..z, 0..9, combos like alt+f4)
//   probe activate HWND
//   probe wait --title TEXT [--class C] [--timeout S]
//                                     (until such a window is visible and its
//                                      program answers messages again)
//   probe wait-gone --title TEXT [--class C] [--timeout S]
//   probe screen                      (screen size, pointer, foreground)
//   probe file-info PATH              (version information, manifest and icons
//                                      of an executable, read as the system reads them)
//   probe trust-root DER-FILE         (adds a certificate authority to the trusted roots)
//   probe at X Y                      (the window under a point, its top level)
//   probe pixel X Y                   (the colour on the screen there)
//   probe region HWND                 (a window's region: box and rectangles)
//   probe place HWND X Y              (moves a window, size kept)
//   probe taskbar HWND                (what a click on its taskbar button does)
//   probe accessible HWND             (what a screen reader is told about a top-level
//                                      window and each of its child windows)
//   probe track --title TEXT [--class C] [--pid N] [--timeout S] [--settle MS]
//               [--until-at X Y] [--ready FILE]
//                                     (every change of a window's rectangle)
//   probe hold TITLE READY            (keeps the desktop open until killed: a hidden
//                                      window of class StationDesktopHold; creates
//                                      the file READY once the window is there)
//
// Window handles and process ids are decimal numbers; rectangles are screen
// coordinates ("client_rect" of a child: relative to its parent's client area).
//
// Input goes through SendInput after SetCursorPos puts the pointer exactly on
// the point: Wine turns both into hardware messages in the wineserver, which
// routes them to the window under the pointer (clicks) or to the focus of the
// foreground window (keys), the same way a real mouse and keyboard would; a
// click on an inactive window activates it through the usual WM_MOUSEACTIVATE
// path. xdotool on the Xvfb display works as well under Wine 8 without a
// window manager, but its events take the X server's way (X stacking, X focus
// of the override-redirect windows Wine makes), which other X clients on the
// same display can disturb; SendInput stays inside the program's wineserver
// and lands exactly where Windows would put it.
//
// Exit status: 0 success, 1 the thing waited for or asked about is not there
// (the JSON says why), 2 bad command line.
#include "probe.h"

namespace probe {

// The probe sees the screen as it is, in physical pixels, at any DPI: the
// program under test is DPI aware, and the tests compare what both see.
void becomeDpiAware() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  using SetContext = BOOL(WINAPI*)(HANDLE);
  auto setContext = user32 ? reinterpret_cast<SetContext>(reinterpret_cast<void*>(
                                 GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                           : nullptr;
  const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  if (!setContext || !setContext(perMonitorV2)) SetProcessDPIAware();
}

// hold TITLE READY: stays a user of the desktop until it is killed. Wine closes a
// desktop one second after its last program leaves it (explorer gets WM_CLOSE);
// a program that opened the desktop just before that, but had not yet made a
// window, is left on a dead desktop where it sees no window at all, and its
// own windows are seen by nobody. Holding the desktop while a test's programs
// come and go closes that gap. The hidden window, titled TITLE, lets the
// caller see that the hold landed on the desktop the other programs use.
int cmd_hold(int argc, wchar_t** argv) {
  if (argc < 4) return fail("usage: probe hold TITLE READY", 2);
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg == WM_CLOSE) return 0;  // only being killed ends the hold
    return DefWindowProcW(h, msg, wp, lp);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"StationDesktopHold";
  if (!RegisterClassW(&wc)) return fail("cannot register the hold window class");
  HWND h = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, argv[2], WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           wc.hInstance, nullptr);
  if (!h) return fail("cannot create the hold window");
  HANDLE ready = CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return fail("cannot create the ready file");
  CloseHandle(ready);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

// Leaves the file STATION_PROBE_STARTED names, before anything else: a run
// that gives no answer may have acted once it is there, and surely did not
// act when it is missing (Wine never got the probe going).
void markStarted() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"STATION_PROBE_STARTED", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace probe

using namespace probe;

int wmain(int argc, wchar_t** argv) {
  markStarted();
  becomeDpiAware();
  if (argc < 2) return fail("usage: probe windows|menu|click|press|release|move|key|activate|wait|wait-gone|screen ...", 2);
  std::wstring cmd = argv[1];
  if (cmd == L"windows") return cmd_windows(argc, argv);
  if (cmd == L"menu") return cmd_menu(argc, argv);
  if (cmd == L"click" || cmd == L"press" || cmd == L"release") return cmd_mouse(cmd, argc, argv);
  if (cmd == L"move") return cmd_move(argc, argv);
  if (cmd == L"key") return cmd_key(argc, argv);
  if (cmd == L"activate") return cmd_activate(argc, argv);
  if (cmd == L"wait") return cmd_wait(false, argc, argv);
  if (cmd == L"wait-gone") return cmd_wait(true, argc, argv);
  if (cmd == L"screen") return cmd_screen();
  if (cmd == L"hold") return cmd_hold(argc, argv);
  if (cmd == L"file-info") return cmd_file_info(argc, argv);
  if (cmd == L"trust-root") return cmd_trust_root(argc, argv);
  if (cmd == L"at") return cmd_at(argc, argv);
  if (cmd == L"alive") return cmd_alive(argc, argv);
  if (cmd == L"cursor") return cmd_cursor();
  if (cmd == L"pixel") return cmd_pixel(argc, argv);
  if (cmd == L"region") return cmd_region(argc, argv);
  if (cmd == L"place") return cmd_place(argc, argv);
  if (cmd == L"taskbar") return cmd_taskbar(argc, argv);
  if (cmd == L"track") return cmd_track(argc, argv);
  if (cmd == L"accessible") return cmd_accessible(argc, argv);
  return fail("unknown command " + utf8(cmd), 2);
}
