#include "platform/win32/single_instance.h"

#include "app/windows/definitions.h"
#include "platform/win32/gbk_text.h"
#include "platform/win32/native_window.h"

namespace win32 {

namespace {
// "Local\": the mark is per user session, as the run directory's files are
// per user (another user's program is no concern of this one).
constexpr wchar_t kRunningMark[] = L"Local\\TingweiStation.Running";
constexpr DWORD kLookEveryMs = 50;

// The running program's window that takes input: its main window, or while
// a modal window of its own is open (the main window then takes none) that
// one, the only one of its windows left enabled.
HWND windowTakingInput(HWND main) {
  if (IsWindowEnabled(main)) return main;
  struct Search {
    DWORD thread;
    HWND found = nullptr;
  } search{GetWindowThreadProcessId(main, nullptr)};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        if (GetWindowThreadProcessId(window, nullptr) != s.thread || !IsWindowVisible(window) ||
            !IsWindowEnabled(window)) {
          return TRUE;
        }
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found ? search.found : main;
}
}  // namespace

SingleInstance::SingleInstance() : mark_(CreateMutexW(nullptr, FALSE, kRunningMark)) {
  // Without a mark (the system refused it) the program runs as it would alone.
  first_ = !mark_ || GetLastError() != ERROR_ALREADY_EXISTS;
}

void bringRunningProgramForward(DWORD waitMs) {
  const std::wstring title = wideFromGbk(app::definitionOf(ui::WindowId::Main).title);
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  HWND main = nullptr;
  while ((main = FindWindowW(kWindowClass, title.c_str())) == nullptr && GetTickCount64() < deadline) {
    Sleep(kLookEveryMs);
  }
  // None yet: the first program is still starting, and shows its own window.
  if (!main) return;
  if (IsIconic(main)) ShowWindow(main, SW_RESTORE);
  // This program was started by the user, so it may hand the foreground on.
  SetForegroundWindow(windowTakingInput(main));
}

}  // namespace win32
