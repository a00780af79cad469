// The message loops, popup menus, pointer and screen
#include "platform/win32/backend.h"
#include "platform/win32/gbk_text.h"

namespace win32 {

void Win32Backend::pumpOne(const MSG& message) {
  if (preTranslate(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Backend::runMessageLoop() {
  MSG message;
  while (!quitting_ && GetMessageW(&message, nullptr, 0, 0) > 0) pumpOne(message);
}

// The model destroys the modal window from within a message it handles
// (Esc, a button, the system's close); the loop sees it gone right after.
void Win32Backend::runModal(ui::WindowState& window, bool (*stillOpen)(void*), void* context) {
  const NativeWindow* modal = find(window.id());
  const HWND activeBefore = modal ? modal->activeBefore() : nullptr;
  MSG message;
  while (stillOpen(context)) {
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
      // Leave the quit for the outer loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    pumpOne(message);
  }
  activeAfterModal_ = activeBefore;
}

void Win32Backend::giveBackActivation(HWND enabled) {
  if (enabled != activeAfterModal_) return;
  activeAfterModal_ = nullptr;
  // Not from another program the user has gone to meanwhile.
  HWND front = GetForegroundWindow();
  DWORD process = 0;
  if (front) GetWindowThreadProcessId(front, &process);
  if (!front || process == GetCurrentProcessId()) SetForegroundWindow(enabled);
}

void Win32Backend::quit() {
  quitting_ = true;
  PostQuitMessage(0);
}

void Win32Backend::informationBox(const std::string& text, const std::string& caption) {
  // Drawn from UTF-16 so the text reads right on any system locale.
  MessageBoxW(nullptr, wideFromGbk(text).c_str(), wideFromGbk(caption).c_str(), MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

std::optional<int> Win32Backend::popupMenu(ui::WindowState& owner, const std::vector<const ui::MenuItemDef*>& entries,
                                           ui::Point at) {
  NativeWindow* w = find(owner.id());
  if (!w || !w->hwnd()) return std::nullopt;
  HMENU menu = CreatePopupMenu();
  if (!menu) return std::nullopt;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i]->caption == "-") {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, MF_STRING, i + 1, wideFromGbk(entries[i]->caption).c_str());
    }
  }
  // The owner must be in front for the menu to close when the user clicks elsewhere.
  SetForegroundWindow(w->hwnd());
  const ui::Point physical = screenScale_.toPhysical(at);
  int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY,
                              physical.x, physical.y, 0, w->hwnd(), nullptr);
  DestroyMenu(menu);
  if (chosen <= 0) return std::nullopt;
  return chosen - 1;
}

ui::Point Win32Backend::pointer() {
  POINT p{};
  GetCursorPos(&p);
  return screenScale_.toLogical(ui::Point{p.x, p.y});
}

ui::Size Win32Backend::screen() {
  return screenScale_.toLogical(ui::Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

}  // namespace win32
