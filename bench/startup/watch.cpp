// bench_watch: the start-up benchmark's eyes and hands inside the Wine
// prefix. It prints one line per event on stdout, flushed at once, so the
// benchmark (bench/startup/bench.py) can time each line as it arrives.
//
//   bench_watch watch [--timeout S] [--class NAME] TITLE...
//       prints "ready", then "shown I HWND PID" as soon as a visible top-level
//       window titled TITLE number I (0-based) exists, then "done" once every
//       title has been seen, or "timeout" (exit 1). It looks every 10 ms.
//   bench_watch click-ping X Y HWND [--timeout-ms N]
//       a left click at screen point (X, Y) through SendInput, "clicked";
//       then waits for a line on stdin, sends HWND's thread a WM_NULL and
//       prints "answered" when that thread has taken it (the thread is back
//       in its message loop), or "unanswered" (exit 1).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Every line ends with " @T": the performance counter at the event, in
// units of 100 ns. Under Wine on Linux that counter is the system's
// CLOCK_MONOTONIC_RAW, so the benchmark can set these times against its own
// clock without the delays of the pipe and of its reading thread.
long long now100ns() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<long long>(static_cast<double>(counter.QuadPart) * 1e7 / static_cast<double>(frequency.QuadPart));
}

void say(const std::string& line, long long at = 0) {
  std::fputs((line + " @" + std::to_string(at ? at : now100ns()) + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::wstring windowText(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  length = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

std::wstring className(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

struct Search {
  const std::vector<std::wstring>* titles;
  const std::wstring* cls;
  std::vector<HWND>* found;
};

BOOL CALLBACK visit(HWND hwnd, LPARAM lParam) {
  Search& search = *reinterpret_cast<Search*>(lParam);
  if (!IsWindowVisible(hwnd)) return TRUE;
  if (!search.cls->empty() && className(hwnd) != *search.cls) return TRUE;
  const std::wstring text = windowText(hwnd);
  for (std::size_t i = 0; i < search.titles->size(); ++i) {
    if (!(*search.found)[i] && (*search.titles)[i] == text) (*search.found)[i] = hwnd;
  }
  return TRUE;
}

int watch(int argc, wchar_t** argv) {
  double timeout = 60;
  std::wstring cls;
  std::vector<std::wstring> titles;
  for (int i = 2; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--timeout" && i + 1 < argc) {
      timeout = std::wcstod(argv[++i], nullptr);
    } else if (arg == L"--class" && i + 1 < argc) {
      cls = argv[++i];
    } else {
      titles.push_back(arg);
    }
  }
  if (titles.empty()) {
    say("usage: bench_watch watch [--timeout S] [--class NAME] TITLE...");
    return 2;
  }
  std::vector<HWND> found(titles.size(), nullptr);
  std::vector<bool> reported(titles.size(), false);
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout * 1000);
  // The first look at the windows is slow (some 100 ms under Wine): it comes
  // before "ready", so the program under watch starts against a warm watcher.
  {
    std::vector<HWND> ignored(titles.size(), nullptr);
    Search warmUp{&titles, &cls, &ignored};
    EnumWindows(visit, reinterpret_cast<LPARAM>(&warmUp));
  }
  say("ready");
  for (;;) {
    Search search{&titles, &cls, &found};
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    std::size_t seen = 0;
    for (std::size_t i = 0; i < titles.size(); ++i) {
      if (found[i] && !reported[i]) {
        DWORD pid = 0;
        GetWindowThreadProcessId(found[i], &pid);
        say("shown " + std::to_string(i) + " " + std::to_string(reinterpret_cast<std::uintptr_t>(found[i])) + " " +
            std::to_string(pid));
        reported[i] = true;
      }
      if (reported[i]) ++seen;
    }
    if (seen == titles.size()) {
      say("done");
      return 0;
    }
    if (GetTickCount64() >= deadline) {
      say("timeout");
      return 1;
    }
    Sleep(10);
  }
}

void mouseButton(DWORD flag) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  SendInput(1, &input, sizeof input);
}

int clickPing(int argc, wchar_t** argv) {
  if (argc < 5) {
    say("usage: bench_watch click-ping X Y HWND [--timeout-ms N]");
    return 2;
  }
  const int x = _wtoi(argv[2]);
  const int y = _wtoi(argv[3]);
  HWND target = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::wcstoull(argv[4], nullptr, 10)));
  UINT timeoutMs = 30000;
  if (argc >= 7 && std::wstring(argv[5]) == L"--timeout-ms") timeoutMs = static_cast<UINT>(_wtoi(argv[6]));
  SetCursorPos(x, y);
  mouseButton(MOUSEEVENTF_LEFTDOWN);
  mouseButton(MOUSEEVENTF_LEFTUP);
  say("clicked");
  char line[64];
  if (!std::fgets(line, sizeof line, stdin)) return 1;
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result)) {
    say("answered");
    return 0;
  }
  say("unanswered");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"watch") return watch(argc, argv);
  if (command == L"click-ping") return clickPing(argc, argv);
  say("usage: bench_watch watch|click-ping ...");
  return 2;
}
