// ===========================================================================
//  PLATFORM SEAM (Win32): making, changing and destroying native windows
// ===========================================================================
#include "platform/win32/backend.h"

#include <commctrl.h>

#include <cmath>

#include "platform/win32/colour_palette.h"
#include "platform/win32/dpi.h"
#include "platform/win32/gbk_text.h"
#include "platform/win32/native_windows.h"
#include "platform/win32/owners.h"
#include "ui/control_kinds.h"
#include "ui/scoped_count.h"

namespace win32 {

namespace {

// The double-headed arrow, in 1/32767 of the window's width and height.
constexpr POINT kArrowOutline[] = {{24576, 8191}, {24576, 0},     {32767, 16383}, {24576, 32767}, {24576, 24576},
                                   {8191, 24576}, {8191, 32767},  {0, 16383},     {8191, 0},      {8191, 8191}};

// Runs the animations from the current frames: after new pictures, or when
// a control that waited while hidden is shown.
void resumePictures(const Win32Backend::NativeControl& native) {
  scheduleFrame(native.handle(), kPictureTimer, native.picture);
  scheduleFrame(native.handle(), kHotPictureTimer, native.hotPicture);
}

// Picture boxes and picture buttons: decode what the model holds and run
// their animations on the control's own timers.
void applyPictures(Win32Backend::NativeControl& native, const ui::ControlState& control) {
  if (control.kind() != ui::ControlKind::PicBox && control.kind() != ui::ControlKind::PicBtn) return;
  native.picture.set(control.picture);
  native.hotPicture.set(control.hotPicture);
  resumePictures(native);
}

}  // namespace

Win32Backend::NativeWindow::~NativeWindow() {
  // The tooltips are not the window's own (tooltipsOf): they go first,
  // while the controls they watch are still there.
  tooltip.reset();
  // Browser views first, while their parent still exists.
  for (const auto& c : controls) {
    if (c) c->browser.reset();
  }
  for (auto& c : controls) {
    if (c) c->unbind();
  }
  unbind();
  if (hwnd()) DestroyWindow(hwnd());
}

bool Win32Backend::NativeWindow::create(const ui::WindowState& state, HWND owner, HINSTANCE instance) {
  const ui::WindowDef& def = *state.def;
  // Borderless: no frame, no title bar. The minimize box and system menu let
  // the taskbar minimize and restore the windows that have a button there.
  DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU;
  DWORD exStyle = state.alwaysOnTop ? WS_EX_TOPMOST : 0;
  if (def.showInTaskbar) {
    exStyle |= WS_EX_APPWINDOW;
    owner = nullptr;  // an owned window has no taskbar button
  }
  const ui::Rect r = scale.windowToPhysical(state.rect);
  return createBound(exStyle, kWindowClass, wideFromGbk(def.title).c_str(), style, r.left, r.top, r.width, r.height,
                     owner, nullptr, instance) != nullptr;
}

bool Win32Backend::NativeControl::create(HWND parent, const ui::ControlState& control, const ui::Rect& r,
                                         HINSTANCE instance) {
  if (control.kind() == ui::ControlKind::HtmlViewer) {
    browser = BrowserView::create(parent, r.left, r.top, r.width, r.height, control.address);
    return browser != nullptr;
  }
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (control.enabled ? 0 : WS_DISABLED);
  return createBound(0, kControlClass, wideFromGbk(control.caption).c_str(), style, r.left, r.top, r.width, r.height,
                     parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(index + 1)), instance) != nullptr;
}

Win32Backend::Win32Backend(HINSTANCE instance)
    : instance_(instance), wakeEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&common);
  HCURSOR arrow = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  HICON icon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  if (!icon) icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  screenScale_ = ui::DpiScale(systemDpi());
  // Every press on a window drags it, the second of a double click too.
  ready_ = wakeEvent_ && registerBoundClass(instance_, kWindowClass, CS_DBLCLKS, arrow, icon) &&
           registerBoundClass(instance_, kControlClass, 0, arrow, nullptr) && registerPlainClass(instance_, kOwnerClass);
  if (ready_) {
    owner_.reset(CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr));
    ready_ = static_cast<bool>(owner_);
  }
}

Win32Backend::~Win32Backend() {
  // The program's windows before the hidden window that owns them.
  for (auto& w : windows_) w.reset();
}

Win32Backend::NativeWindow* Win32Backend::find(ui::WindowId id) const { return windows_[static_cast<int>(id)].get(); }

void Win32Backend::startDrag(HWND topLevel) {
  ReleaseCapture();
  SendMessageW(topLevel, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

HWND Win32Backend::nativeWindow(ui::WindowId window) const {
  NativeWindow* w = find(window);
  return w ? w->hwnd() : nullptr;
}

HWND Win32Backend::nativeControl(ui::WindowId window, std::string_view control) const {
  NativeWindow* w = find(window);
  ui::WindowState* state = w ? w->state() : nullptr;
  const ui::ControlState* c = state ? state->control(control) : nullptr;
  if (!c) return nullptr;
  const auto& native = w->controls[state->indexOf(*c)];
  return native ? native->handle() : nullptr;
}

ControlLook Win32Backend::lookOf(const ui::WindowState& window, const ui::ControlState& control, HWND hwnd) const {
  // The focused look needs the real keyboard focus too: none while another
  // program is in front.
  return ControlLook{control.hot, control.pressed, window.hasFocus(control) && GetFocus() == hwnd};
}

PictureDrawer Win32Backend::pictureDrawerFor(const NativeWindow& w) const {
  // Draws at its natural size times the window's scale from the top-left
  // corner, a picture button's transparent colour keyed out and its hot
  // picture (when it has one) while the pointer is over it.
  return [&w](HDC hdc, const ui::WindowState& window, const ui::ControlState& control, const ControlLook& look) {
    const int index = window.indexOf(control);
    if (index < 0 || index >= static_cast<int>(w.controls.size()) || !w.controls[index]) return;
    const NativeControl& c = *w.controls[index];
    if (control.kind() == ui::ControlKind::PicBtn) {
      const PicturePlayer& shown = look.hot && !c.hotPicture.empty() ? c.hotPicture : c.picture;
      if (!shown.empty()) {
        shown.drawKeyed(hdc, 0, 0, w.scale, toColorRef(control.def->transparentColour, COLOR_BTNFACE));
      }
    } else if (!c.picture.empty()) {
      c.picture.draw(hdc, 0, 0, w.scale);
    }
  };
}

// ---------------------------------------------------------------- creation

bool Win32Backend::createWindow(ui::WindowManager& manager, ui::WindowState& state) {
  if (!ready_) return false;
  auto native = std::make_unique<NativeWindow>(*this, manager, state.id());
  NativeWindow& w = *native;
  w.scale = screenScale_;
  w.activeBefore = GetActiveWindow();
  bool made = false;
  {
    const ui::ScopedCount applying(applying_);
    made = w.create(state, owner_.get(), instance_);
  }
  if (!made) return false;
  windows_[static_cast<int>(state.id())] = std::move(native);
  // Made on another screen than the primary one: at that screen's scale.
  if (const int dpi = windowDpi(w.hwnd()); dpi != w.scale.dpi()) {
    w.scale = ui::DpiScale(dpi);
    placeWindow(w);
  }
  // Opened while a modal window is open: disabled with the others.
  if (!state.enabled) EnableWindow(w.hwnd(), FALSE);
  if (!state.def->movable) DeleteMenu(GetSystemMenu(w.hwnd(), FALSE), SC_MOVE, MF_BYCOMMAND);
  applyShape(w);

  // Sized first: every control index has its slot, made or not.
  w.controls.resize(state.controls.size());
  for (std::size_t i = 0; i < state.controls.size(); ++i) createControl(w, state.controls[i], static_cast<int>(i));
  stackControls(w);
  return true;
}

void Win32Backend::reveal(ui::WindowState& state) {
  NativeWindow* w = find(state.id());
  if (!w || !w->hwnd() || !state.shown) return;
  {
    const ui::ScopedCount applying(applying_);
    // A window disabled under a modal one leaves the activation there.
    ShowWindow(w->hwnd(), state.minimized ? SW_SHOWMINNOACTIVE : state.enabled ? SW_SHOWNORMAL : SW_SHOWNA);
  }
  UpdateWindow(w->hwnd());
}

void Win32Backend::createControl(NativeWindow& w, const ui::ControlState& control, int index) {
  const ui::WindowState& state = *w.state();
  if (!ui::traitsOf(control.kind()).hasWindow) {
    applyTimer(w, index);
    return;
  }
  auto native = std::make_unique<NativeControl>(*this, w.manager, w.id, index);
  const ui::Rect r = physicalControlRect(state, control, w.scale);
  // A control the system refuses is left out; the window works without it.
  if (!native->create(w.hwnd(), control, r, instance_)) return;
  HWND hwnd = native->handle();
  ShowWindow(hwnd, ui::effectivelyShown(state, control) ? SW_SHOWNA : SW_HIDE);
  applyPictures(*native, control);
  hookBrowserView(*native);
  w.controls[index] = std::move(native);
}

// The child windows stack as the model stacks the controls: each in turn
// goes to the top, bottom one first.
void Win32Backend::stackControls(const NativeWindow& w) {
  const ui::WindowState* state = w.state();
  if (!state) return;
  for (int index : ui::stackingOrder(*state)) {
    if (!w.controls[index]) continue;
    SetWindowPos(w.controls[index]->handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Win32Backend::applyShape(NativeWindow& w) {
  ui::WindowState* state = w.state();
  if (!state) return;
  const ui::Size size = w.scale.toPhysical(ui::Size{state->rect.width, state->rect.height});
  if (size == w.shapedFor) return;
  w.shapedFor = size;
  HRGN region = nullptr;
  switch (state->def->shape) {
    case ui::Shape::Rectangle:
      break;
    case ui::Shape::RoundedRectangle: {
      int d = std::min(size.width / 5, size.height / 5);
      region = CreateRoundRectRgn(0, 0, size.width + 1, size.height + 1, d, d);
      break;
    }
    case ui::Shape::DoubleArrow: {
      POINT points[std::size(kArrowOutline)];
      for (std::size_t i = 0; i < std::size(kArrowOutline); ++i) {
        points[i].x = static_cast<LONG>(std::lround(kArrowOutline[i].x * static_cast<double>(size.width) / 32767.0));
        points[i].y = static_cast<LONG>(std::lround(kArrowOutline[i].y * static_cast<double>(size.height) / 32767.0));
      }
      region = CreatePolygonRgn(points, static_cast<int>(std::size(points)), WINDING);
      break;
    }
  }
  // The system owns the region from here on.
  SetWindowRgn(w.hwnd(), region, TRUE);
}

void Win32Backend::placeWindow(NativeWindow& w) {
  ui::WindowState* state = w.state();
  if (!state) return;
  const ui::Rect r = w.scale.windowToPhysical(state->rect);
  {
    const ui::ScopedCount applying(applying_);
    SetWindowPos(w.hwnd(), nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  applyShape(w);
}

void Win32Backend::placeControl(NativeWindow& w, NativeControl& c, const ui::ControlState& control) {
  ui::WindowState* state = w.state();
  if (!state) return;
  const ui::Rect r = physicalControlRect(*state, control, w.scale);
  if (c.browser) {
    c.browser->move(r.left, r.top, r.width, r.height);
  } else if (c.hwnd()) {
    SetWindowPos(c.hwnd(), nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// The window went to a screen of another DPI: the system suggests where it
// stands now; its controls, shape and drawing follow at the new scale, and
// the model hears where it went in logical units.
void Win32Backend::rescale(NativeWindow& w, int dpi, const RECT& suggested) {
  ui::WindowState* state = w.state();
  if (!state || dpi == w.scale.dpi()) return;
  w.scale = ui::DpiScale(dpi);
  const ui::Size size = w.scale.toPhysical(ui::Size{state->rect.width, state->rect.height});
  {
    const ui::ScopedCount applying(applying_);
    SetWindowPos(w.hwnd(), nullptr, suggested.left, suggested.top, size.width, size.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (std::size_t i = 0; i < w.controls.size(); ++i) {
    if (w.controls[i]) placeControl(w, *w.controls[i], state->controls[i]);
  }
  applyShape(w);
  applyTooltipFont(w);
  RedrawWindow(w.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  w.manager.userMoved(w.id, w.scale.toLogical(ui::Point{suggested.left, suggested.top}));
}

// A window's tooltips are made the first time the pointer moves over one of
// its controls that has one: a tooltip is a top-level window of its own,
// which costs start-up time, and most windows are never hovered. They are
// owned by the hidden window, not by the window they serve: an always-on-top
// window owned by it sits right above it, and Wine then does not put the
// window itself on top (or take it off) when asked.
HWND Win32Backend::tooltipsOf(NativeWindow& w) {
  if (w.tooltip) return w.tooltip.get();
  w.tooltip.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_.get(), nullptr,
                                  instance_, nullptr));
  if (!w.tooltip) return nullptr;  // no tooltips then; the controls work without them
  applyTooltipFont(w);
  const ui::WindowState* state = w.state();
  for (std::size_t i = 0; state && i < w.controls.size(); ++i) {
    if (!w.controls[i] || state->controls[i].def->tooltip.empty()) continue;
    std::wstring tip = wideFromGbk(state->controls[i].def->tooltip);
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = w.hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(w.controls[i]->handle());
    info.lpszText = tip.data();
    SendMessageW(w.tooltip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  return w.tooltip.get();
}

// The system gives tooltips its font for the primary screen; on a screen of
// another DPI they get the GUI font at that screen's scale.
void Win32Backend::applyTooltipFont(NativeWindow& w) {
  if (!w.tooltip || w.scale.dpi() == systemDpi()) return;
  SendMessageW(w.tooltip.get(), WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.get(ui::Font{}, w.scale)), FALSE);
}

void Win32Backend::applyTimer(NativeWindow& w, int index) {
  ui::WindowState* state = w.state();
  if (!state) return;
  UINT_PTR id = kTimerBase + index;
  const ui::ControlState& timer = state->controls[index];
  if (timer.ticking()) {
    SetTimer(w.hwnd(), id, static_cast<UINT>(timer.timerPeriod), nullptr);
  } else {
    KillTimer(w.hwnd(), id);
  }
}

void Win32Backend::destroyWindow(ui::WindowState& state) {
  // The native window goes with its object (views first, then the window).
  windows_[static_cast<int>(state.id())].reset();
}

// ---------------------------------------------------------------- changes

void Win32Backend::windowChanged(ui::WindowState& state, ui::WindowProperty property) {
  NativeWindow* w = find(state.id());
  if (!w || !w->hwnd()) return;
  HWND hwnd = w->hwnd();
  switch (property) {
    case ui::WindowProperty::Shown:
      // Not yet revealed: the reveal shows it as the model holds it then.
      if (!state.revealed) return;
      ShowWindow(hwnd, state.shown ? SW_SHOWNA : SW_HIDE);
      for (auto& c : w->controls) {
        if (c && IsWindowVisible(c->handle())) resumePictures(*c);
      }
      break;
    case ui::WindowProperty::Rect:
      placeWindow(*w);
      break;
    case ui::WindowProperty::Background:
      InvalidateRect(hwnd, nullptr, TRUE);
      redrawTransparentControls(*w);
      break;
    case ui::WindowProperty::AlwaysOnTop:
      SetWindowPos(hwnd, state.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      announcePins(*w, state);
      break;
    case ui::WindowProperty::Minimized: {
      if (!state.revealed) return;
      const ui::ScopedCount applying(applying_);
      ShowWindow(hwnd, state.minimized ? SW_MINIMIZE : SW_RESTORE);
      break;
    }
    case ui::WindowProperty::Enabled:
      EnableWindow(hwnd, state.enabled ? TRUE : FALSE);
      if (state.enabled) giveBackActivation(hwnd);
      break;
  }
}

void Win32Backend::redrawTransparentControls(NativeWindow& w) {
  ui::WindowState* state = w.state();
  if (!state) return;
  for (std::size_t i = 0; i < w.controls.size(); ++i) {
    if (w.controls[i] && ui::traitsOf(state->controls[i].kind()).showsBackdrop) {
      InvalidateRect(w.controls[i]->handle(), nullptr, FALSE);
    }
  }
}

void Win32Backend::controlChanged(ui::WindowState& state, ui::ControlState& control, ui::ControlProperty property) {
  NativeWindow* w = find(state.id());
  if (!w) return;
  const int index = state.indexOf(control);
  if (property == ui::ControlProperty::TimerPeriod) {
    applyTimer(*w, index);
    return;
  }
  NativeControl* c = w->controls[index].get();
  if (!c || !c->handle()) return;
  HWND hwnd = c->handle();
  announceChange(hwnd, property, ui::effectivelyShown(state, control));
  switch (property) {
    case ui::ControlProperty::Shown:
      ShowWindow(hwnd, ui::effectivelyShown(state, control) ? SW_SHOWNA : SW_HIDE);
      if (IsWindowVisible(hwnd)) resumePictures(*c);
      redrawTransparentControls(*w);
      break;
    case ui::ControlProperty::Enabled:
      EnableWindow(hwnd, control.enabled ? TRUE : FALSE);
      break;
    case ui::ControlProperty::Rect:
      placeControl(*w, *c, control);
      redrawTransparentControls(*w);
      break;
    case ui::ControlProperty::Caption:
      SetWindowTextW(hwnd, wideFromGbk(control.caption).c_str());
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case ui::ControlProperty::Address:
      if (c->browser) c->browser->navigate(control.address);
      break;
    case ui::ControlProperty::Picture:
      applyPictures(*c, control);
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case ui::ControlProperty::BackColour:
    case ui::ControlProperty::SelectedTab:
    case ui::ControlProperty::Look:
      // Transparent controls above show this one through.
      InvalidateRect(hwnd, nullptr, FALSE);
      redrawTransparentControls(*w);
      break;
    default:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
  }
}

void Win32Backend::activate(ui::WindowState& state) {
  NativeWindow* w = find(state.id());
  if (!w || !w->hwnd()) return;
  HWND hwnd = w->hwnd();
  if (!state.enabled) {
    // Disabled under a modal window: to the front, but the activation and
    // the keyboard stay with the modal window.
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  SetForegroundWindow(hwnd);
  BringWindowToTop(hwnd);
}

void Win32Backend::setFocus(ui::WindowState& state, ui::ControlState* control) {
  NativeWindow* w = find(state.id());
  if (!w || !w->hwnd()) return;
  HWND target = w->hwnd();
  if (control) {
    const auto& native = w->controls[state.indexOf(*control)];
    if (native && native->handle()) target = native->handle();
  }
  SetFocus(target);
}

// Only where the focus still is on the control: moving it otherwise would
// activate the window.
void Win32Backend::dropFocus(ui::WindowState& state, ui::ControlState& control) {
  NativeWindow* w = find(state.id());
  if (!w || !w->hwnd()) return;
  const auto& native = w->controls[state.indexOf(control)];
  HWND focus = GetFocus();
  if (!native || !native->handle() || !focus) return;
  if (focus == native->handle() || IsChild(native->handle(), focus)) SetFocus(w->hwnd());
}

bool Win32Backend::inBrowserView(const NativeWindow& window, HWND hwnd) const {
  for (const auto& c : window.controls) {
    if (c && c->browser && (hwnd == c->handle() || IsChild(c->handle(), hwnd))) return true;
  }
  return false;
}

void Win32Backend::pickColour(ui::WindowState& state, ui::ControlState& picker) {
  NativeWindow* w = find(state.id());
  if (!w) return;
  const auto& native = w->controls[state.indexOf(picker)];
  if (!native || !native->hwnd()) return;
  // The colour chosen in the palette is the user's choice, reported as such.
  ui::WindowManager* manager = &w->manager;
  ui::WindowId window = state.id();
  std::string name = picker.name();
  palettes_.open(native->hwnd(), picker.currentColour,
                 [manager, window, name](ui::Colour colour) { manager->colourChosen(window, name, colour); });
}

}  // namespace win32
