// station_probe: listing, waiting for and following windows, and the screen at large.
#include "probe.h"

namespace probe {

// ---------------------------------------------------------------- commands ---

bool parse_filter(int argc, wchar_t** argv, int from, Filter& f, double* timeout) {
  for (int i = from; i < argc; ++i) {
    std::wstring a = argv[i];
    if (i + 1 >= argc) return false;
    if (a == L"--class") {
      f.cls = argv[++i];
      f.has_cls = true;
    } else if (a == L"--title") {
      f.title = argv[++i];
      f.has_title = true;
    } else if (a == L"--pid") {
      long long v = 0;
      if (!parse_int(argv[++i], v)) return false;
      f.pid = static_cast<DWORD>(v);
    } else if (a == L"--timeout" && timeout) {
      *timeout = wcstod(argv[++i], nullptr);
    } else {
      return false;
    }
  }
  return true;
}

int cmd_windows(int argc, wchar_t** argv) {
  Filter f;
  if (!parse_filter(argc, argv, 2, f, nullptr)) return fail("usage: probe windows [--class NAME] [--title TEXT] [--pid N]", 2);
  std::string out = "[";
  bool first = true;
  for (HWND h : top_level_windows()) {
    if (!f.matches(h)) continue;
    out += (first ? "" : ",\n ") + window_json(h);
    first = false;
  }
  emit(out + "]");
  return 0;
}

// wait: until a visible matching window exists and its thread answers
// (prints it); wait-gone: until no visible matching window is left (prints []).
int cmd_wait(bool gone, int argc, wchar_t** argv) {
  Filter f;
  double timeout = 30;
  if (!parse_filter(argc, argv, 2, f, &timeout) || (!f.has_title && !f.has_cls))
    return fail("usage: probe wait --title TEXT [--class C] [--timeout S]", 2);
  const ULONGLONG started = GetTickCount64();
  const ULONGLONG deadline = started + static_cast<ULONGLONG>(timeout * 1000);
  for (;;) {
    HWND found = nullptr;
    const std::vector<HWND> all = top_level_windows();
    for (HWND h : all) {
      if (IsWindowVisible(h) && f.matches(h)) {
        found = h;
        break;
      }
    }
    if (!gone && found) {
      // Shown is not yet done: the program may still be in the handler that
      // showed the window (placing it, opening others). Once its thread
      // answers a message it is back in a message loop, and what the window
      // shows now is what that handler left.
      const ULONGLONG now = GetTickCount64();
      const UINT left = now < deadline ? static_cast<UINT>(deadline - now) : 1;
      DWORD_PTR ignored = 0;
      if (!SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, left, &ignored)) {
        if (!IsWindow(found)) continue;
        return fail("the window's program does not answer");
      }
      if (!IsWindowVisible(found)) continue;
      emit(window_json(found));
      return 0;
    }
    if (gone && !found) {
      emit("[]");
      return 0;
    }
    // A desktop always has explorer's windows. A probe that sees none at all
    // is on a desktop that closed under it, and would wait blind: it says so
    // (exit 3) and the caller runs another.
    if (all.empty() && GetTickCount64() - started >= 2000) return fail("sees no window on the desktop", 3);
    if (GetTickCount64() >= deadline)
      return fail(gone ? "window still there"
                       : "timed out waiting for the window (" + std::to_string(all.size()) + " windows on the desktop)");
    Sleep(100);
  }
}

// track --title TEXT [--class C] [--pid N] [--timeout S] [--settle MS] [--until-at X Y] [--ready FILE]:
// creates FILE (a Windows path) once it is looking, waits for a matching
// window (shown or not), then samples its rectangle and visibility as fast as
// it can and prints every change, with the time in milliseconds since the
// window was found, until the window is gone, time is up, or: with --until-at,
// the window is visible with its top-left corner at (X, Y), the state it
// moves to (however long a busy program pauses on the way); without it, the
// window has kept the same state for `settle` milliseconds (default 1000).
int cmd_track(int argc, wchar_t** argv) {
  std::vector<wchar_t*> rest(argv, argv + 2);
  double settle_ms = 1000;
  const wchar_t* ready = nullptr;
  bool until = false;
  long long until_x = 0, until_y = 0;
  for (int i = 2; i < argc; ++i) {
    if (std::wstring(argv[i]) == L"--settle" && i + 1 < argc) {
      settle_ms = wcstod(argv[++i], nullptr);
    } else if (std::wstring(argv[i]) == L"--until-at" && i + 2 < argc) {
      until = parse_int(argv[i + 1], until_x) && parse_int(argv[i + 2], until_y);
      if (!until) return fail("usage: --until-at X Y", 2);
      i += 2;
    } else if (std::wstring(argv[i]) == L"--ready" && i + 1 < argc) {
      ready = argv[++i];
    } else {
      rest.push_back(argv[i]);
    }
  }
  Filter f;
  double timeout = 30;
  if (!parse_filter(static_cast<int>(rest.size()), rest.data(), 2, f, &timeout) || (!f.has_title && !f.has_cls))
    return fail("usage: probe track --title TEXT [--class C] [--pid N] [--timeout S] [--settle MS] [--until-at X Y] [--ready FILE]", 2);
  // The caller may wait for this file before it makes the window appear.
  if (ready) {
    HANDLE file = CreateFileW(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fail("cannot create the ready file");
    CloseHandle(file);
  }
  ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout * 1000);
  HWND h = nullptr;
  while (!h) {
    for (HWND w : top_level_windows()) {
      if (f.matches(w)) {
        h = w;
        break;
      }
    }
    if (h) break;
    if (GetTickCount64() >= deadline) return fail("timed out waiting for the window");
    Sleep(1);
  }
  LARGE_INTEGER freq, start, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  auto elapsed_ms = [&]() {
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
  };
  std::string out = "{\"hwnd\": " + jhwnd(h) + ", \"states\": [";
  RECT last{};
  bool last_visible = false, first = true, gone = false;
  double changed_at = 0;
  for (;;) {
    if (!IsWindow(h)) {
      gone = true;
      break;
    }
    RECT r{};
    GetWindowRect(h, &r);
    bool visible = IsWindowVisible(h) != FALSE;
    double t = elapsed_ms();
    if (first || !EqualRect(&r, &last) || visible != last_visible) {
      char ms[32];
      wsprintfA(ms, "%d", static_cast<int>(t));
      out += std::string(first ? "" : ", ") + "{\"t\": " + ms + ", \"left\": " + jnum(r.left) + ", \"top\": " +
             jnum(r.top) + ", \"width\": " + jnum(r.right - r.left) + ", \"height\": " + jnum(r.bottom - r.top) +
             ", \"visible\": " + jbool(visible) + "}";
      last = r;
      last_visible = visible;
      first = false;
      changed_at = t;
    }
    const bool arrived = until && visible && r.left == until_x && r.top == until_y;
    if (arrived || (!until && t - changed_at >= settle_ms) || GetTickCount64() >= deadline) break;
    Sleep(0);
  }
  emit(out + "], \"gone\": " + jbool(gone) + "}");
  return 0;
}

int cmd_screen() {
  HWND fg = GetForegroundWindow();
  // The keyboard focus of the foreground window's thread.
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  HWND focus = fg && GetGUIThreadInfo(GetWindowThreadProcessId(fg, nullptr), &thread) ? thread.hwndFocus : nullptr;
  emit("{\"width\": " + jnum(GetSystemMetrics(SM_CXSCREEN)) + ", \"height\": " +
       jnum(GetSystemMetrics(SM_CYSCREEN)) + ", \"pointer\": " + pointer_json() + ", \"foreground\": " + jhwnd(fg) +
       ", \"foreground_title\": " + jstr(fg ? window_text(fg) : L"") + ", \"focus\": " + jhwnd(focus) +
       ", \"focus_text\": " + jstr(focus ? window_text(focus) : L"") + "}");
  return 0;
}

}  // namespace probe
