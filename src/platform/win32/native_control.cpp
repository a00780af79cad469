#include "platform/win32/native_control.h"

#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/gbk_text.h"
#include "platform/win32/native_window.h"
#include "ui/control_kinds.h"

namespace win32 {

namespace {

constexpr wchar_t kControlClass[] = L"StationControl";
// The control's own timers that step its animated pictures.
constexpr UINT_PTR kPictureTimer = 1;
constexpr UINT_PTR kHotPictureTimer = 2;

bool pointInClient(HWND hwnd, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT r;
  GetClientRect(hwnd, &r);
  return PtInRect(&r, p) != FALSE;
}

// Schedules the next frame of an animated picture on the control's own
// timer; a still or finished picture needs none.
void scheduleFrame(HWND hwnd, UINT_PTR timer, const PicturePlayer& player) {
  int delay = player.currentDelayMs();
  if (delay > 0) {
    SetTimer(hwnd, timer, static_cast<UINT>(delay), nullptr);
  } else {
    KillTimer(hwnd, timer);
  }
}

}  // namespace

bool NativeControl::registerClass(HINSTANCE instance) {
  return BoundWindow::registerClass(instance, kControlClass, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr);
}

NativeControl::~NativeControl() {
  browser_.reset();
  unbind();
}

bool NativeControl::create(const ui::ControlState& control) {
  const ui::WindowState* state = window_.state();
  if (!state) return false;
  const ui::Rect r = physicalControlRect(*state, control, window_.scale());
  if (control.kind() == ui::ControlKind::HtmlViewer) {
    browser_ = BrowserView::create(window_.hwnd(), r.left, r.top, r.width, r.height, control.address);
    if (!browser_) return false;
    hookBrowserView();
  } else {
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (control.enabled ? 0 : WS_DISABLED);
    if (!createBound(0, kControlClass, wideFromGbk(control.caption).c_str(), style, r.left, r.top, r.width, r.height,
                     window_.hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(index_ + 1)),
                     window_.context().instance())) {
      return false;
    }
  }
  ShowWindow(handle(), ui::effectivelyShown(*state, control) ? SW_SHOWNA : SW_HIDE);
  applyPictures(control);
  return true;
}

// The view's window answers screen readers from the model too, and says
// when it takes the focus.
void NativeControl::hookBrowserView() {
  HWND view = handle();
  AccessibleSource source = window_.accessibleSource(index_, view);
  browser_->messageHook = [view, source](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer) {
    if (message == WM_SETFOCUS) announceFocus(view);
    if (message != WM_GETOBJECT) return false;
    answer = answerAccessibleObject(view, wParam, lParam, true, source);
    return answer != 0;
  };
}

void NativeControl::place(const ui::ControlState& control) {
  const ui::WindowState* state = window_.state();
  if (!state) return;
  const ui::Rect r = physicalControlRect(*state, control, window_.scale());
  if (browser_) {
    browser_->move(r.left, r.top, r.width, r.height);
  } else if (hwnd()) {
    SetWindowPos(hwnd(), nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void NativeControl::apply(const ui::ControlState& control, ui::ControlProperty property) {
  const ui::WindowState* state = window_.state();
  HWND own = handle();
  if (!state || !own) return;
  const bool shown = ui::effectivelyShown(*state, control);
  announceChange(own, property, shown);
  switch (property) {
    case ui::ControlProperty::Shown:
      ShowWindow(own, shown ? SW_SHOWNA : SW_HIDE);
      if (IsWindowVisible(own)) resumePictures();
      break;
    case ui::ControlProperty::Enabled:
      EnableWindow(own, control.enabled ? TRUE : FALSE);
      break;
    case ui::ControlProperty::Rect:
      place(control);
      break;
    case ui::ControlProperty::Caption:
      SetWindowTextW(own, wideFromGbk(control.caption).c_str());
      InvalidateRect(own, nullptr, FALSE);
      break;
    case ui::ControlProperty::Address:
      if (browser_) browser_->navigate(control.address);
      break;
    case ui::ControlProperty::Picture:
      applyPictures(control);
      InvalidateRect(own, nullptr, FALSE);
      break;
    default:
      InvalidateRect(own, nullptr, FALSE);
      break;
  }
}

// ---------------------------------------------------------------- pictures

// Picture boxes and picture buttons: decode what the model holds and run
// their animations on the control's own timers.
void NativeControl::applyPictures(const ui::ControlState& control) {
  if (control.kind() != ui::ControlKind::PicBox && control.kind() != ui::ControlKind::PicBtn) return;
  picture_.set(control.picture);
  hotPicture_.set(control.hotPicture);
  resumePictures();
}

void NativeControl::resumePictures() {
  scheduleFrame(handle(), kPictureTimer, picture_);
  scheduleFrame(handle(), kHotPictureTimer, hotPicture_);
}

// A picture button's transparent colour is keyed out, and its hot picture
// (when it has one) shows while the pointer is over it.
void NativeControl::drawPicture(HDC hdc, const ui::ControlState& control, const ControlLook& look) const {
  if (control.kind() == ui::ControlKind::PicBtn) {
    const PicturePlayer& shown = look.hot && !hotPicture_.empty() ? hotPicture_ : picture_;
    if (!shown.empty()) {
      shown.drawKeyed(hdc, 0, 0, window_.scale(), toColorRef(control.def->transparentColour, COLOR_BTNFACE));
    }
  } else if (!picture_.empty()) {
    picture_.draw(hdc, 0, 0, window_.scale());
  }
}

// ---------------------------------------------------------------- messages

LRESULT NativeControl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const ui::WindowState* state = window_.state();
  if (!state || index_ >= static_cast<int>(state->controls.size())) return defaultProcedure(message, wParam, lParam);
  const ui::ControlState& control = state->controls[index_];
  ui::WindowManager& manager = window_.manager();
  const ui::WindowId window = window_.id();
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
      return answerAccessibleObject(hwnd(), wParam, lParam, true, window_.accessibleSource(index_, hwnd()));
    case kDefaultActionMessage: return manager.keyClicked(window, control.name()), 0;
    default: return defaultProcedure(message, wParam, lParam);
  }
}

ControlLook NativeControl::look(const ui::WindowState& state, const ui::ControlState& control) const {
  // The focused look needs the real keyboard focus too: none while another
  // program is in front.
  return ControlLook{control.hot, control.pressed, state.hasFocus(control) && GetFocus() == hwnd()};
}

LRESULT NativeControl::paint(const ui::WindowState& state, const ui::ControlState& control) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd(), &ps);
  paintControlBuffered(hdc, state, control, look(state, control), window_.context().fonts(), window_.pictureDrawer(),
                       window_.scale());
  EndPaint(hwnd(), &ps);
  return 0;
}

LRESULT NativeControl::setCursor(const ui::ControlState& control, WPARAM wParam, LPARAM lParam) {
  if (window_.context().setBusyCursor()) return TRUE;
  if (control.def->cursor != ui::Cursor::Hand) return defaultProcedure(WM_SETCURSOR, wParam, lParam);
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return TRUE;
}

LRESULT NativeControl::pointerMoved(const ui::ControlState& control, WPARAM wParam, LPARAM lParam) {
  if (!window_.hasTooltips() && !control.def->tooltip.empty()) {
    if (HWND tips = window_.tooltips()) {
      // The tooltip watches the control from now on; this first move it is told.
      const DWORD at = GetMessagePos();
      MSG move{hwnd(), WM_MOUSEMOVE, wParam, lParam, static_cast<DWORD>(GetMessageTime()),
               {GET_X_LPARAM(at), GET_Y_LPARAM(at)}};
      SendMessageW(tips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
    }
  }
  if (!trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
  }
  // Held down (captured), the pointer may be outside the control.
  window_.manager().pointerOver(window_.id(), control.name(), !control.pressed || pointInClient(hwnd(), lParam));
  return 0;
}

LRESULT NativeControl::pointerLeft(const ui::ControlState& control) {
  trackingLeave_ = false;
  if (!control.pressed) window_.manager().pointerOver(window_.id(), control.name(), false);
  return 0;
}

LRESULT NativeControl::pictureTimer(WPARAM timer, LPARAM lParam) {
  if (timer != kPictureTimer && timer != kHotPictureTimer) return defaultProcedure(WM_TIMER, timer, lParam);
  // A hidden picture waits where it is: nothing would be seen of its frames,
  // and showing the control starts it again.
  if (!IsWindowVisible(hwnd())) {
    KillTimer(hwnd(), timer);
    return 0;
  }
  PicturePlayer& player = timer == kPictureTimer ? picture_ : hotPicture_;
  player.advance();
  scheduleFrame(hwnd(), timer, player);
  InvalidateRect(hwnd(), nullptr, FALSE);
  return 0;
}

LRESULT NativeControl::focusGained(const ui::ControlState& control) {
  announceFocus(hwnd());
  InvalidateRect(hwnd(), nullptr, FALSE);
  window_.manager().focusMoved(window_.id(), control.name());
  return 0;
}

LRESULT NativeControl::leftDown(const ui::ControlState& control, LPARAM lParam) {
  ui::WindowManager& manager = window_.manager();
  const ui::WindowId window = window_.id();
  const std::string name = control.name();
  if (control.kind() == ui::ControlKind::PageControl) {
    const WindowDc dc(hwnd());
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int tab = tabAt(dc.get(), control, window_.context().fonts(), at, window_.scale());
    if (tab >= 0) return manager.tabSelected(window, name, tab), 0;
  }
  HWND own = hwnd();
  if (manager.leftPressed(window, name)) {
    dragByTitle(GetAncestor(own, GA_ROOT));
    return 0;
  }
  // A button held down keeps the pointer until it is released.
  const ui::WindowState* after = manager.state(window);
  const ui::ControlState* pressed = after ? after->control(name) : nullptr;
  if (pressed && pressed->pressed && IsWindow(own)) SetCapture(own);
  return 0;
}

LRESULT NativeControl::leftUp(const ui::ControlState& control, LPARAM lParam) {
  if (!control.pressed) return 0;
  const bool over = pointInClient(hwnd(), lParam);
  releasingCapture_ = true;
  ReleaseCapture();
  releasingCapture_ = false;
  window_.manager().leftReleased(window_.id(), control.name(), over);
  return 0;
}

LRESULT NativeControl::captureLost(const ui::ControlState& control) {
  if (!releasingCapture_) window_.manager().pressCancelled(window_.id(), control.name());
  return 0;
}

// Keys: Space and Enter press the control here; Esc, Tab and the menu keys
// are taken for the whole window before it sees them (keyboard.cpp).
LRESULT NativeControl::keyDown(const ui::ControlState& control, WPARAM wParam, LPARAM lParam) {
  if (wParam != VK_SPACE && wParam != VK_RETURN) return defaultProcedure(WM_KEYDOWN, wParam, lParam);
  window_.manager().keyClicked(window_.id(), control.name());
  return 0;
}

}  // namespace win32
