#include "platform/win32/native_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "platform/win32/dpi.h"
#include "platform/win32/gbk_text.h"
#include "ui/accessibility.h"
#include "ui/control_kinds.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace win32 {

namespace {

// Window timers of the model's timer controls: this plus the control's index.
constexpr UINT_PTR kTimerBase = 1000;

// The double-headed arrow, in 1/32767 of the window's width and height.
constexpr POINT kArrowOutline[] = {{24576, 8191}, {24576, 0},     {32767, 16383}, {24576, 32767}, {24576, 24576},
                                   {8191, 24576}, {8191, 32767},  {0, 16383},     {8191, 0},      {8191, 8191}};

}  // namespace

void dragByTitle(HWND topLevel) {
  ReleaseCapture();
  SendMessageW(topLevel, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

bool NativeWindow::registerClass(HINSTANCE instance, HICON icon) {
  // Every press on a window drags it, the second of a double click too.
  return BoundWindow::registerClass(instance, kWindowClass, CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW), icon);
}

NativeWindow::NativeWindow(NativeContext& context, ui::WindowManager& manager, ui::WindowId id, ui::DpiScale scale)
    : context_(context), manager_(manager), id_(id), scale_(scale), activeBefore_(GetActiveWindow()) {}

NativeWindow::~NativeWindow() {
  // The tooltips are not the window's own (tooltips()): they go first,
  // while the controls they watch are still there.
  tooltip_.reset();
  controls_.clear();
  unbind();
  if (hwnd()) DestroyWindow(hwnd());
}

// ---------------------------------------------------------------- making

bool NativeWindow::create(const ui::WindowState& state) {
  const ui::WindowDef& def = *state.def;
  // Borderless: no frame, no title bar. The minimize box and system menu let
  // the taskbar minimize and restore the windows that have a button there.
  DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU;
  DWORD exStyle = state.alwaysOnTop ? WS_EX_TOPMOST : 0;
  // An owned window has no taskbar button.
  HWND owner = context_.hiddenOwner();
  if (def.showInTaskbar) {
    exStyle |= WS_EX_APPWINDOW;
    owner = nullptr;
  }
  const ui::Rect r = scale_.windowToPhysical(state.rect);
  {
    const ui::ScopedCount own = context_.markProgramMove();
    if (!createBound(exStyle, kWindowClass, wideFromGbk(def.title).c_str(), style, r.left, r.top, r.width, r.height,
                     owner, nullptr, context_.instance())) {
      return false;
    }
  }
  // Made on another screen than the primary one: at that screen's scale.
  if (const int dpi = windowDpi(hwnd()); dpi != scale_.dpi()) {
    scale_ = ui::DpiScale(dpi);
    place();
  }
  // Opened while a modal window is open: disabled with the others.
  if (!state.enabled) EnableWindow(hwnd(), FALSE);
  if (!def.movable) DeleteMenu(GetSystemMenu(hwnd(), FALSE), SC_MOVE, MF_BYCOMMAND);
  applyShape();
  return true;
}

void NativeWindow::createControls() {
  const ui::WindowState* model = state();
  if (!model) return;
  // Sized first: every control index has its slot, made or not.
  controls_.resize(model->controls.size());
  for (std::size_t i = 0; i < model->controls.size(); ++i) createControl(model->controls[i], static_cast<int>(i));
  stackControls();
}

void NativeWindow::createControl(const ui::ControlState& control, int index) {
  if (!ui::traitsOf(control.kind()).hasWindow) {
    applyTimer(index);
    return;
  }
  auto native = std::make_unique<NativeControl>(*this, index);
  if (native->create(control)) controls_[index] = std::move(native);
}

// The child windows stack as the model stacks the controls: each in turn
// goes to the top, bottom one first.
void NativeWindow::stackControls() {
  const ui::WindowState* model = state();
  if (!model) return;
  for (int index : ui::stackingOrder(*model)) {
    if (!controls_[index]) continue;
    SetWindowPos(controls_[index]->handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void NativeWindow::reveal() {
  const ui::WindowState* model = state();
  if (!hwnd() || !model || !model->shown) return;
  {
    const ui::ScopedCount own = context_.markProgramMove();
    // A window disabled under a modal one leaves the activation there.
    ShowWindow(hwnd(), model->minimized ? SW_SHOWMINNOACTIVE : model->enabled ? SW_SHOWNORMAL : SW_SHOWNA);
  }
  UpdateWindow(hwnd());
}

NativeControl* NativeWindow::control(int index) const {
  if (index < 0 || index >= static_cast<int>(controls_.size())) return nullptr;
  return controls_[index].get();
}

NativeControl* NativeWindow::controlHolding(HWND hwnd) const {
  for (const auto& c : controls_) {
    if (c && c->handle() && (hwnd == c->handle() || IsChild(c->handle(), hwnd))) return c.get();
  }
  return nullptr;
}

// ---------------------------------------------------------------- place and shape

void NativeWindow::place() {
  const ui::WindowState* model = state();
  if (!model) return;
  const ui::Rect r = scale_.windowToPhysical(model->rect);
  {
    const ui::ScopedCount own = context_.markProgramMove();
    SetWindowPos(hwnd(), nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  applyShape();
}

void NativeWindow::applyShape() {
  const ui::WindowState* model = state();
  if (!model) return;
  const ui::Size size = scale_.toPhysical(ui::Size{model->rect.width, model->rect.height});
  if (size == shapedFor_) return;
  shapedFor_ = size;
  HRGN region = nullptr;
  switch (model->def->shape) {
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
  SetWindowRgn(hwnd(), region, TRUE);
}

// The window went to a screen of another DPI: the system suggests where it
// stands now; its controls, shape and drawing follow at the new scale, and
// the model hears where it went in logical units.
void NativeWindow::rescale(int dpi, const RECT& suggested) {
  const ui::WindowState* model = state();
  if (!model || dpi == scale_.dpi()) return;
  scale_ = ui::DpiScale(dpi);
  const ui::Size size = scale_.toPhysical(ui::Size{model->rect.width, model->rect.height});
  {
    const ui::ScopedCount own = context_.markProgramMove();
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, size.width, size.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i]) controls_[i]->place(model->controls[i]);
  }
  applyShape();
  applyTooltipFont();
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  manager_.userMoved(id_, scale_.toLogical(ui::Point{suggested.left, suggested.top}));
}

// ---------------------------------------------------------------- tooltips and timers

// A window's tooltips are made the first time the pointer moves over one of
// its controls that has one: a tooltip is a top-level window of its own,
// which costs start-up time, and most windows are never hovered. They are
// owned by the hidden window, not by the window they serve: an always-on-top
// window owned by it sits right above it, and Wine then does not put the
// window itself on top (or take it off) when asked.
HWND NativeWindow::tooltips() {
  if (tooltip_) return tooltip_.get();
  tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, context_.hiddenOwner(),
                                 nullptr, context_.instance(), nullptr));
  if (!tooltip_) return nullptr;  // no tooltips then; the controls work without them
  applyTooltipFont();
  const ui::WindowState* model = state();
  for (std::size_t i = 0; model && i < controls_.size(); ++i) {
    if (!controls_[i] || model->controls[i].def->tooltip.empty()) continue;
    std::wstring tip = wideFromGbk(model->controls[i].def->tooltip);
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(controls_[i]->handle());
    info.lpszText = tip.data();
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  return tooltip_.get();
}

// The system gives tooltips its font for the primary screen; on a screen of
// another DPI they get the GUI font at that screen's scale.
void NativeWindow::applyTooltipFont() {
  if (!tooltip_ || scale_.dpi() == systemDpi()) return;
  SendMessageW(tooltip_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(context_.fonts().get(ui::Font{}, scale_)), FALSE);
}

void NativeWindow::applyTimer(int index) {
  const ui::WindowState* model = state();
  if (!model) return;
  const UINT_PTR timerId = kTimerBase + index;
  const ui::ControlState& clock = model->controls[index];
  if (clock.ticking()) {
    SetTimer(hwnd(), timerId, static_cast<UINT>(clock.timerPeriod), nullptr);
  } else {
    KillTimer(hwnd(), timerId);
  }
}

// ---------------------------------------------------------------- changes

void NativeWindow::apply(ui::WindowProperty property) {
  const ui::WindowState* model = state();
  if (!hwnd() || !model) return;
  switch (property) {
    case ui::WindowProperty::Shown:
      // Not yet revealed: the reveal shows it as the model holds it then.
      if (!model->revealed) return;
      ShowWindow(hwnd(), model->shown ? SW_SHOWNA : SW_HIDE);
      for (auto& c : controls_) {
        if (c && IsWindowVisible(c->handle())) c->resumePictures();
      }
      break;
    case ui::WindowProperty::Rect:
      place();
      break;
    case ui::WindowProperty::Background:
      InvalidateRect(hwnd(), nullptr, TRUE);
      redrawTransparentControls();
      break;
    case ui::WindowProperty::AlwaysOnTop:
      SetWindowPos(hwnd(), model->alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      announcePins();
      break;
    case ui::WindowProperty::Minimized: {
      if (!model->revealed) return;
      const ui::ScopedCount own = context_.markProgramMove();
      ShowWindow(hwnd(), model->minimized ? SW_MINIMIZE : SW_RESTORE);
      break;
    }
    case ui::WindowProperty::Enabled:
      EnableWindow(hwnd(), model->enabled ? TRUE : FALSE);
      break;
  }
}

void NativeWindow::apply(const ui::ControlState& control, ui::ControlProperty property) {
  const ui::WindowState* model = state();
  if (!model) return;
  const int index = model->indexOf(control);
  if (property == ui::ControlProperty::TimerPeriod) {
    applyTimer(index);
    return;
  }
  NativeControl* native = this->control(index);
  if (!native || !native->handle()) return;
  native->apply(control, property);
  switch (property) {
    // Transparent controls above show this one through.
    case ui::ControlProperty::Shown:
    case ui::ControlProperty::Rect:
    case ui::ControlProperty::BackColour:
    case ui::ControlProperty::SelectedTab:
    case ui::ControlProperty::Look:
      redrawTransparentControls();
      break;
    default:
      break;
  }
}

void NativeWindow::redrawTransparentControls() {
  const ui::WindowState* model = state();
  if (!model) return;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i] && ui::traitsOf(model->controls[i].kind()).showsBackdrop) {
      InvalidateRect(controls_[i]->handle(), nullptr, FALSE);
    }
  }
}

void NativeWindow::activate() {
  const ui::WindowState* model = state();
  if (!hwnd() || !model) return;
  if (!model->enabled) {
    // Disabled under a modal window: to the front, but the activation and
    // the keyboard stay with the modal window.
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  SetForegroundWindow(hwnd());
  BringWindowToTop(hwnd());
}

void NativeWindow::focus(const ui::ControlState* control) {
  const ui::WindowState* model = state();
  if (!hwnd() || !model) return;
  HWND target = hwnd();
  if (control) {
    const NativeControl* native = this->control(model->indexOf(*control));
    if (native && native->handle()) target = native->handle();
  }
  SetFocus(target);
}

// Moving the focus when it is elsewhere would activate the window.
void NativeWindow::dropFocus(const ui::ControlState& control) {
  const ui::WindowState* model = state();
  if (!hwnd() || !model) return;
  const NativeControl* native = this->control(model->indexOf(control));
  HWND focused = GetFocus();
  if (!native || !native->handle() || !focused) return;
  if (focused == native->handle() || IsChild(native->handle(), focused)) SetFocus(hwnd());
}

// ---------------------------------------------------------------- screen readers and pictures

// The source looks at the window again at each question: a screen reader may
// keep an object long after the window or control behind it has gone.
AccessibleSource NativeWindow::accessibleSource(int index, HWND hwnd) const {
  return [window = std::weak_ptr<const NativeWindow>(self_), index, hwnd]() -> std::optional<ui::AccessibleFacts> {
    const auto w = window.lock();
    const ui::WindowState* model = w ? w->state() : nullptr;
    if (!model) return std::nullopt;
    if (index < 0) {
      if (w->hwnd() != hwnd) return std::nullopt;
      ui::AccessibleFacts facts;
      facts.name = model->def->title;
      return facts;
    }
    const NativeControl* native = w->control(index);
    if (!native || native->handle() != hwnd || index >= static_cast<int>(model->controls.size())) return std::nullopt;
    return ui::accessibleFacts(*model, model->controls[index]);
  };
}

void NativeWindow::announcePins() {
  const ui::WindowState* model = state();
  for (std::size_t i = 0; model && i < controls_.size() && i < model->controls.size(); ++i) {
    if (controls_[i] && model->controls[i].def->pin) announceStateChange(controls_[i]->handle());
  }
}

// Transparent controls paint what lies beneath them, pictures of other
// controls among it: the drawer finds the control's own.
PictureDrawer NativeWindow::pictureDrawer() const {
  return [this](HDC hdc, const ui::WindowState& window, const ui::ControlState& control, const ControlLook& look) {
    if (const NativeControl* native = this->control(window.indexOf(control))) native->drawPicture(hdc, control, look);
  };
}

// ---------------------------------------------------------------- messages

LRESULT NativeWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return eraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return leftDown();  // the second press of a double click is a press too
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: return manager_.rightPressed(id_, {}), 0;
    case WM_SETFOCUS: return manager_.focusMoved(id_, {}), 0;
    case WM_TIMER: return timer(wParam, lParam);
    case WM_MOVE: return moved();
    case WM_SIZE: return sized(wParam);
    case WM_CLOSE: return manager_.closeRequested(id_), 0;
    case WM_DPICHANGED: return rescale(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)), 0;
    case WM_GETOBJECT: return answerAccessibleObject(hwnd(), wParam, lParam, false, accessibleSource(-1, hwnd()));
    case WM_SETCURSOR: return context_.setBusyCursor() ? TRUE : defaultProcedure(message, wParam, lParam);
    case WM_CONTEXTMENU: return contextMenu(wParam, lParam);
    case WM_DISPLAYCHANGE: return manager_.screenChanged(), defaultProcedure(message, wParam, lParam);
    default: return defaultProcedure(message, wParam, lParam);
  }
}

LRESULT NativeWindow::eraseBackground(HDC hdc) {
  const ui::WindowState* model = state();
  RECT r;
  GetClientRect(hwnd(), &r);
  fill(hdc, r, toColorRef(model ? model->background : ui::kSystemDefault, COLOR_BTNFACE));
  return 1;
}

LRESULT NativeWindow::leftDown() {
  if (manager_.leftPressed(id_, {})) dragByTitle(hwnd());
  return 0;
}

LRESULT NativeWindow::timer(WPARAM timer, LPARAM lParam) {
  const ui::WindowState* model = state();
  if (timer < kTimerBase || !model) return defaultProcedure(WM_TIMER, timer, lParam);
  const std::size_t index = timer - kTimerBase;
  if (index < model->controls.size()) manager_.timerElapsed(id_, model->controls[index].name());
  return 0;
}

// Moves and sizes the program makes itself are not the user's.
LRESULT NativeWindow::moved() {
  // Moved from outside while a handler waits: the whole window is painted
  // again, since under a loaded Wine a part that was off the screen could
  // come back black.
  if (context_.inWait()) RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (context_.programMoving() || IsIconic(hwnd())) return 0;
  RECT r;
  GetWindowRect(hwnd(), &r);
  manager_.userMoved(id_, scale_.toLogical(ui::Point{r.left, r.top}));
  return 0;
}

LRESULT NativeWindow::sized(WPARAM how) {
  if (context_.programMoving()) return 0;
  if (how == SIZE_MINIMIZED) {
    manager_.userMinimized(id_, true);
    return 0;
  }
  manager_.userMinimized(id_, false);
  RECT r;
  GetWindowRect(hwnd(), &r);
  manager_.userResized(id_, scale_.toLogical(ui::Size{r.right - r.left, r.bottom - r.top}));
  return 0;
}

LRESULT NativeWindow::contextMenu(WPARAM wParam, LPARAM lParam) {
  // A page's key stays the page's: what it does not take is not turned into
  // the program's menu.
  const NativeControl* holder = controlHolding(reinterpret_cast<HWND>(wParam));
  if (holder && holder->browser()) return 0;
  // From the keyboard (no point), also when a control passed it up.
  if (GET_X_LPARAM(lParam) != -1 || GET_Y_LPARAM(lParam) != -1) {
    return defaultProcedure(WM_CONTEXTMENU, wParam, lParam);
  }
  manager_.menuKeyPressed(id_);
  return 0;
}

}  // namespace win32
