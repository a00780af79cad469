// ===========================================================================
//  PLATFORM SEAM (Win32): an open window's own messages, reported to the
//  window model as raw input. What they mean is the model's decision.
// ===========================================================================
#include <windowsx.h>

#include "platform/win32/native_windows.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace win32 {

LRESULT Win32Backend::NativeWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return eraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return leftDown();  // the second press of a double click is a press too
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: return manager.rightPressed(id, {}), 0;
    case WM_SETFOCUS: return manager.focusMoved(id, {}), 0;
    case WM_TIMER: return timer(wParam, lParam);
    case WM_MOVE: return moved();
    case WM_SIZE: return sized(wParam);
    case WM_CLOSE: return manager.closeRequested(id), 0;
    case WM_DPICHANGED: return backend.rescale(*this, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)), 0;
    case WM_GETOBJECT:
      return answerAccessibleObject(hwnd(), wParam, lParam, false, backend.accessibleSource(id, -1, hwnd()));
    case WM_SETCURSOR: return backend.busyCursor() ? TRUE : defaultProcedure(message, wParam, lParam);
    case WM_CONTEXTMENU: return contextMenu(wParam, lParam);
    case WM_DISPLAYCHANGE: return manager.screenChanged(), defaultProcedure(message, wParam, lParam);
    default: return defaultProcedure(message, wParam, lParam);
  }
}

LRESULT Win32Backend::NativeWindow::eraseBackground(HDC hdc) {
  const ui::WindowState* model = state();
  RECT r;
  GetClientRect(hwnd(), &r);
  fill(hdc, r, toColorRef(model ? model->background : ui::kSystemDefault, COLOR_BTNFACE));
  return 1;
}

LRESULT Win32Backend::NativeWindow::leftDown() {
  if (manager.leftPressed(id, {})) Win32Backend::startDrag(hwnd());
  return 0;
}

LRESULT Win32Backend::NativeWindow::timer(WPARAM timer, LPARAM lParam) {
  const ui::WindowState* model = state();
  if (timer < kTimerBase || !model) return defaultProcedure(WM_TIMER, timer, lParam);
  const std::size_t index = timer - kTimerBase;
  if (index < model->controls.size()) manager.timerElapsed(id, model->controls[index].name());
  return 0;
}

// Moves and sizes the program makes itself are not the user's.
LRESULT Win32Backend::NativeWindow::moved() {
  // Moved from outside while a handler waits: the whole window is painted
  // again, since under a loaded Wine a part that was off the screen could
  // come back black.
  if (backend.waiting_) RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (backend.applying_ > 0 || IsIconic(hwnd())) return 0;
  RECT r;
  GetWindowRect(hwnd(), &r);
  manager.userMoved(id, scale.toLogical(ui::Point{r.left, r.top}));
  return 0;
}

LRESULT Win32Backend::NativeWindow::sized(WPARAM how) {
  if (backend.applying_ > 0) return 0;
  if (how == SIZE_MINIMIZED) {
    manager.userMinimized(id, true);
    return 0;
  }
  manager.userMinimized(id, false);
  RECT r;
  GetWindowRect(hwnd(), &r);
  manager.userResized(id, scale.toLogical(ui::Size{r.right - r.left, r.bottom - r.top}));
  return 0;
}

LRESULT Win32Backend::NativeWindow::contextMenu(WPARAM wParam, LPARAM lParam) {
  // A page's key stays the page's: what it does not take is not turned into
  // the program's menu.
  if (backend.inBrowserView(*this, reinterpret_cast<HWND>(wParam))) return 0;
  // From the keyboard (no point), also when a control passed it up.
  if (GET_X_LPARAM(lParam) != -1 || GET_Y_LPARAM(lParam) != -1) {
    return defaultProcedure(WM_CONTEXTMENU, wParam, lParam);
  }
  manager.menuKeyPressed(id);
  return 0;
}

}  // namespace win32
