// ===========================================================================
//  PLATFORM SEAM (Win32): a control's own messages, reported to the window
//  model as raw input. What a press, a release or a key means is the model's
//  decision; here only what Win32 needs is done (capture, the system drag,
//  painting, picture frames).
// ===========================================================================
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/native_windows.h"
#include "ui/control_kinds.h"

namespace win32 {

namespace {

bool pointInClient(HWND hwnd, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT r;
  GetClientRect(hwnd, &r);
  return PtInRect(&r, p) != FALSE;
}

}  // namespace

LRESULT Win32Backend::NativeControl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const ui::WindowState* state = manager.state(window);
  if (!state || index >= static_cast<int>(state->controls.size())) return defaultProcedure(message, wParam, lParam);
  const ui::ControlState& control = state->controls[index];
  switch (message) {
    case WM_NCHITTEST:  // presses go through such a control to what lies beneath
      return ui::traitsOf(control.kind()).passesInput ? HTTRANSPARENT : defaultProcedure(message, wParam, lParam);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return paint(*state, control);
    case WM_SETCURSOR: return setCursor(control, wParam, lParam);
    case WM_MOUSEMOVE: return pointerMoved(control, wParam, lParam);
    case WM_MOUSELEAVE: return pointerLeft(control);
    case WM_TIMER: return pictureTimer(wParam, lParam);
    case WM_SETFOCUS: return focusGained(control);
    case WM_KILLFOCUS: return InvalidateRect(hwnd(), nullptr, FALSE), 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return leftDown(control, lParam);
    case WM_LBUTTONUP: return leftUp(control, lParam);
    case WM_CAPTURECHANGED: return captureLost(control);
    case WM_KEYDOWN: return keyDown(control, wParam, lParam);
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: return manager.rightPressed(window, control.name()), 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_GETOBJECT:
      return answerAccessibleObject(hwnd(), wParam, lParam, true, backend.accessibleSource(window, index, hwnd()));
    case kDefaultActionMessage: return manager.keyClicked(window, control.name()), 0;
    default: return defaultProcedure(message, wParam, lParam);
  }
}

LRESULT Win32Backend::NativeControl::paint(const ui::WindowState& state, const ui::ControlState& control) {
  const NativeWindow* w = backend.find(window);
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd(), &ps);
  if (w) {
    paintControlBuffered(hdc, state, control, backend.lookOf(state, control, hwnd()), backend.fonts_,
                         backend.pictureDrawerFor(*w), w->scale);
  }
  EndPaint(hwnd(), &ps);
  return 0;
}

LRESULT Win32Backend::NativeControl::setCursor(const ui::ControlState& control, WPARAM wParam, LPARAM lParam) {
  if (backend.busyCursor()) return TRUE;
  if (control.def->cursor != ui::Cursor::Hand) return defaultProcedure(WM_SETCURSOR, wParam, lParam);
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
  return TRUE;
}

LRESULT Win32Backend::NativeControl::pointerMoved(const ui::ControlState& control, WPARAM wParam, LPARAM lParam) {
  NativeWindow* w = backend.find(window);
  if (w && !w->tooltip && !control.def->tooltip.empty() && backend.tooltipsOf(*w)) {
    // The tooltip watches the control from now on; this first move it is told.
    const DWORD at = GetMessagePos();
    MSG move{hwnd(), WM_MOUSEMOVE, wParam, lParam, static_cast<DWORD>(GetMessageTime()),
             {GET_X_LPARAM(at), GET_Y_LPARAM(at)}};
    SendMessageW(w->tooltip.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
  }
  if (!trackingLeave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
    trackingLeave = TrackMouseEvent(&track) != FALSE;
  }
  // Held down (captured), the pointer may be outside the control.
  manager.pointerOver(window, control.name(), !control.pressed || pointInClient(hwnd(), lParam));
  return 0;
}

LRESULT Win32Backend::NativeControl::pointerLeft(const ui::ControlState& control) {
  trackingLeave = false;
  if (!control.pressed) manager.pointerOver(window, control.name(), false);
  return 0;
}

LRESULT Win32Backend::NativeControl::pictureTimer(WPARAM timer, LPARAM lParam) {
  if (timer != kPictureTimer && timer != kHotPictureTimer) return defaultProcedure(WM_TIMER, timer, lParam);
  // A hidden picture waits where it is: nothing would be seen of its frames,
  // and showing the control starts it again.
  if (!IsWindowVisible(hwnd())) {
    KillTimer(hwnd(), timer);
    return 0;
  }
  PicturePlayer& player = timer == kPictureTimer ? picture : hotPicture;
  player.advance();
  scheduleFrame(hwnd(), timer, player);
  InvalidateRect(hwnd(), nullptr, FALSE);
  return 0;
}

LRESULT Win32Backend::NativeControl::focusGained(const ui::ControlState& control) {
  announceFocus(hwnd());
  InvalidateRect(hwnd(), nullptr, FALSE);
  manager.focusMoved(window, control.name());
  return 0;
}

LRESULT Win32Backend::NativeControl::leftDown(const ui::ControlState& control, LPARAM lParam) {
  const std::string name = control.name();
  if (control.kind() == ui::ControlKind::PageControl) {
    const NativeWindow* w = backend.find(window);
    const WindowDc dc(hwnd());
    const int tab = w ? tabAt(dc.get(), control, backend.fonts_, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                              w->scale)
                      : -1;
    if (tab >= 0) return manager.tabSelected(window, name, tab), 0;
  }
  HWND own = hwnd();
  if (manager.leftPressed(window, name)) {
    Win32Backend::startDrag(GetAncestor(own, GA_ROOT));
    return 0;
  }
  // A button held down keeps the pointer until it is released.
  const ui::WindowState* after = manager.state(window);
  const ui::ControlState* pressed = after ? after->control(name) : nullptr;
  if (pressed && pressed->pressed && IsWindow(own)) SetCapture(own);
  return 0;
}

LRESULT Win32Backend::NativeControl::leftUp(const ui::ControlState& control, LPARAM lParam) {
  if (!control.pressed) return 0;
  const bool over = pointInClient(hwnd(), lParam);
  releasingCapture = true;
  ReleaseCapture();
  releasingCapture = false;
  manager.leftReleased(window, control.name(), over);
  return 0;
}

LRESULT Win32Backend::NativeControl::captureLost(const ui::ControlState& control) {
  if (!releasingCapture) manager.pressCancelled(window, control.name());
  return 0;
}

// Keys: Space and Enter press the control here; Esc, Tab and the menu keys
// are taken for the whole window before it sees them (keyboard.cpp).
LRESULT Win32Backend::NativeControl::keyDown(const ui::ControlState& control, WPARAM wParam, LPARAM lParam) {
  if (wParam != VK_SPACE && wParam != VK_RETURN) return defaultProcedure(WM_KEYDOWN, wParam, lParam);
  manager.keyClicked(window, control.name());
  return 0;
}

}  // namespace win32
