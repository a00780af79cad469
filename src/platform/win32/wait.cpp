// A handler's wait for work of another thread (its fetch). The thread keeps
// doing the system's share: it paints what is invalid and answers what other
// threads and programs send its windows (a screen reader, the system's "are
// you alive" probe), so no window turns white or counts as hung. It takes no
// input, timer tick or posted message: those wait in the queue and are handled
// after the handler.
#include "platform/win32/backend.h"

namespace win32 {

namespace {

// How long a wait goes unremarked before the pointer shows that the program
// is busy.
constexpr ULONGLONG kBusyCursorDelayMs = 250;
// Paint messages handled per wake: a window that never validates itself
// must not keep the wait from looking at its work.
constexpr int kPaintsPerWake = 64;
// The longest the wait sleeps before it looks at the queue again: a paint
// left after a full round, or made where no wake follows, waits no longer.
constexpr ULONGLONG kLookAgainMs = 100;

}  // namespace

void Win32Backend::waitUntil(const std::function<bool()>& finished, std::uint32_t timeoutMs) {
  const ULONGLONG start = GetTickCount64();
  const ui::ScopedCount waiting = context_.markWait();
  while (!finished()) {
    const ULONGLONG waited = GetTickCount64() - start;
    if (waited >= timeoutMs) break;
    if (!context_.busy() && waited >= kBusyCursorDelayMs) showBusy(true);
    ULONGLONG slice = timeoutMs - waited;
    if (!context_.busy() && kBusyCursorDelayMs - waited < slice) slice = kBusyCursorDelayMs - waited;
    if (slice > kLookAgainMs) slice = kLookAgainMs;
    const HANDLE wake = wakeEvent_.get();
    MsgWaitForMultipleObjectsEx(1, &wake, static_cast<DWORD>(slice), QS_PAINT | QS_SENDMESSAGE | QS_MOUSEMOVE, 0);
    MSG message;
    // Sent messages are answered inside PeekMessage; what it hands back
    // with these flags is a paint.
    for (int i = 0; i < kPaintsPerWake && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE);
         ++i) {
      DispatchMessageW(&message);
    }
    // Taking the pointer's moves has the system ask the window under it for
    // its cursor (WM_SETCURSOR); the moves themselves are dropped.
    while (PeekMessageW(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
  }
  if (context_.busy()) showBusy(false);
}

void Win32Backend::wakeWait() { SetEvent(wakeEvent_.get()); }

void Win32Backend::showBusy(bool busy) {
  context_.showBusy(busy);
  // The pointer is not moving: the window under it is asked for its cursor
  // now, when it is one of ours.
  POINT p{};
  if (!GetCursorPos(&p)) return;
  HWND under = WindowFromPoint(p);
  if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
  // A window without a cursor of its own (the page inside a browser view,
  // under Wine) sets none when asked: the busy pointer goes in any case.
  if (!busy) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

}  // namespace win32
