// The keys the program takes before any window sees them. What they do is the
// model's decision (WindowManager): Esc, Tab and Shift+Tab, and the
// context-menu key and Shift+F10. Keys: the window-wide ones here; Space and
// Enter press the focused control (native_control.cpp).
#include "platform/win32/backend.h"

namespace win32 {

namespace {

bool held(int key) { return GetKeyState(key) < 0; }

}  // namespace

bool Win32Backend::preTranslate(const MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  NativeWindow* w = nullptr;
  for (const auto& candidate : windows_) {
    if (candidate && candidate->hwnd() == root) w = candidate.get();
  }
  ui::WindowState* state = w ? w->state() : nullptr;
  if (!state) return false;
  const ui::WindowId id = w->id();
  ui::WindowManager& manager = w->manager();
  // The control the key went to: its own window or one beneath it (a page's).
  const NativeControl* target = w->controlHolding(message.hwnd);
  BrowserView* page = target ? target->browser() : nullptr;
  const bool inPage = page != nullptr;
  // The page sees its keys first: its links take Tab before the program does.
  if (inPage && page->translateAccelerator(message)) return true;
  const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  switch (message.wParam) {
    case VK_ESCAPE:
      // A browser view that has the focus takes Esc itself.
      if (message.message != WM_KEYDOWN || inPage) return false;
      manager.escapePressed(id);
      return true;
    case VK_TAB: {
      if (message.message != WM_KEYDOWN || held(VK_CONTROL) || held(VK_MENU)) return false;
      // The model's focus follows the key's first: a click into a page moves
      // the focus without a word to the model.
      const std::string focused = target ? state->controls[target->index()].name() : std::string();
      manager.focusMoved(id, focused);
      manager.tabPressed(id, held(VK_SHIFT));
      return true;
    }
    // In a page the menu keys are the page's.
    case VK_APPS:
      if (inPage) return false;
      if (down) manager.menuKeyPressed(id);
      return true;  // its release is taken too: no second menu from the system
    case VK_F10:
      if (!held(VK_SHIFT) || inPage) return false;
      if (down) manager.menuKeyPressed(id);
      return true;
    default:
      return false;
  }
}

}  // namespace win32
