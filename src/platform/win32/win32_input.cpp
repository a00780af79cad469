// ===========================================================================
//  PLATFORM SEAM (Win32): messages of the program's windows, reported to the
//  window model as raw input. What a press, a release or a key means is the
//  model's decision; here only what Win32 needs is done (capture, the system
//  drag, painting, picture frames).
// ===========================================================================
#include <windowsx.h>

#include "platform/win32/win32_native.h"
#include "ui/control_kinds.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace win32 {

namespace {

bool pointInClient(HWND hwnd, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT r;
  GetClientRect(hwnd, &r);
  return PtInRect(&r, p) != FALSE;
}

}  // namespace

void Win32Backend::startDrag(HWND topLevel) {
  // Moves the window as if its title bar were dragged.
  ReleaseCapture();
  SendMessageW(topLevel, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// Everything after a report to the manager must not touch `w`: the handler
// it runs may have destroyed the window.
LRESULT Win32Backend::handleWindowMessage(NativeWindow& w, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = w.hwnd();
  ui::WindowId id = w.id;
  switch (message) {
    case WM_ERASEBKGND: {
      ui::WindowState* state = model(w);
      RECT r;
      GetClientRect(hwnd, &r);
      fill(reinterpret_cast<HDC>(wParam), r, toColorRef(state ? state->background : ui::kSystemDefault, COLOR_BTNFACE));
      return 1;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the second press of a double click is a press too
      if (manager_ && manager_->leftPressed(id, {})) startDrag(hwnd);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      if (manager_) manager_->rightPressed(id, {});
      return 0;
    case WM_SETFOCUS:
      if (manager_) manager_->focusMoved(id, {});
      return 0;
    case WM_TIMER:
      if (wParam >= kTimerBase && manager_) {
        ui::WindowState* state = model(w);
        std::size_t index = wParam - kTimerBase;
        if (state && index < state->controls.size()) {
          std::string name = state->controls[index].name();
          manager_->timerElapsed(id, name);
        }
        return 0;
      }
      break;
    case WM_MOVE:
      if (applying_ == 0 && manager_ && !IsIconic(hwnd)) {
        RECT r;
        GetWindowRect(hwnd, &r);
        manager_->userMoved(id, w.scale.toLogical(ui::Point{r.left, r.top}));
      }
      return 0;
    case WM_SIZE:
      if (applying_ == 0 && manager_) {
        if (wParam == SIZE_MINIMIZED) {
          manager_->userMinimized(id, true);
        } else {
          manager_->userMinimized(id, false);
          RECT r;
          GetWindowRect(hwnd, &r);
          manager_->userResized(id, w.scale.toLogical(ui::Size{r.right - r.left, r.bottom - r.top}));
        }
      }
      return 0;
    case WM_CLOSE:
      if (manager_) manager_->closeRequested(id);
      return 0;
    case WM_DPICHANGED:
      rescale(w, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_GETOBJECT:
      return answerAccessibleObject(hwnd, wParam, lParam, false, accessibleSource(id, -1, hwnd));
    case WM_SETCURSOR:
      if (busyCursor()) return TRUE;
      break;
    case WM_CONTEXTMENU:
      // A page's key stays the page's: what it does not take is not turned
      // into the program's menu.
      if (inBrowserView(w, reinterpret_cast<HWND>(wParam))) return 0;
      // From the keyboard (no point), also when a control passed it up.
      if (GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1 && manager_) {
        manager_->menuKeyPressed(id);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Win32Backend::handleControlMessage(NativeControl& c, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = c.hwnd();
  ui::WindowId id = c.window;
  NativeWindow* w = find(id);
  ui::WindowState* state = w ? model(*w) : nullptr;
  if (!state || !manager_ || c.index >= static_cast<int>(state->controls.size())) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  const ui::ControlState& control = state->controls[c.index];
  const std::string name = control.name();
  const ui::ControlKind kind = control.kind();
  // As in the window procedure: after a report, `c`, `w`, `state` and
  // `control` may be gone.
  switch (message) {
    case WM_NCHITTEST:
      // Presses go through such a control to what lies beneath.
      if (ui::traitsOf(kind).passesInput) return HTTRANSPARENT;
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hwnd, &ps);
      paintControlBuffered(hdc, *state, control, lookOf(*state, control, hwnd), fonts_, pictureDrawerFor(*w), w->scale);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETCURSOR:
      if (busyCursor()) return TRUE;
      if (control.def->cursor == ui::Cursor::Hand) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      if (!c.trackingLeave) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        c.trackingLeave = TrackMouseEvent(&track) != FALSE;
      }
      // Held down (captured), the pointer may be outside the control.
      manager_->pointerOver(id, name, !control.pressed || pointInClient(hwnd, lParam));
      return 0;
    case WM_MOUSELEAVE:
      c.trackingLeave = false;
      if (!control.pressed) manager_->pointerOver(id, name, false);
      return 0;
    case WM_TIMER:
      if (wParam == kPictureTimer || wParam == kHotPictureTimer) {
        // A hidden picture waits where it is: nothing would be seen of its
        // frames, and showing the control starts it again.
        if (!IsWindowVisible(hwnd)) {
          KillTimer(hwnd, wParam);
          return 0;
        }
        PicturePlayer& player = wParam == kPictureTimer ? c.picture : c.hotPicture;
        player.advance();
        scheduleFrame(hwnd, wParam, player);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      announceFocus(hwnd);
      manager_->focusMoved(id, name);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (kind == ui::ControlKind::PageControl) {
        HDC hdc = GetDC(hwnd);
        int tab = tabAt(hdc, control, fonts_, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, w->scale);
        ReleaseDC(hwnd, hdc);
        if (tab >= 0) {
          manager_->tabSelected(id, name, tab);
          return 0;
        }
      }
      if (manager_->leftPressed(id, name)) {
        startDrag(GetAncestor(hwnd, GA_ROOT));
        return 0;
      }
      // A button held down keeps the pointer until it is released.
      if (ui::WindowState* after = manager_->state(id)) {
        const ui::ControlState* pressed = after->control(name);
        if (pressed && pressed->pressed && IsWindow(hwnd)) SetCapture(hwnd);
      }
      return 0;
    case WM_LBUTTONUP:
      if (control.pressed) {
        const bool over = pointInClient(hwnd, lParam);
        c.releasingCapture = true;
        ReleaseCapture();
        c.releasingCapture = false;
        manager_->leftReleased(id, name, over);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (!c.releasingCapture) manager_->pressCancelled(id, name);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE || wParam == VK_RETURN) {
        manager_->keyClicked(id, name);
        return 0;
      }
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      manager_->rightPressed(id, name);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_GETOBJECT:
      return answerAccessibleObject(hwnd, wParam, lParam, true, accessibleSource(id, c.index, hwnd));
    case kDefaultActionMessage:
      manager_->keyClicked(id, name);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace win32
