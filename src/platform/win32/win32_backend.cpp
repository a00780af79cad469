// ===========================================================================
//  PLATFORM SEAM (Win32)
// ===========================================================================
#include "platform/win32/win32_backend.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cmath>

#include "platform/win32/picture_player.h"
#include "platform/win32/text_win32.h"

namespace win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"StationWindow";
constexpr wchar_t kControlClass[] = L"StationControl";
constexpr wchar_t kOwnerClass[] = L"StationOwner";
constexpr UINT_PTR kTimerBase = 1000;
// A control's own timers that step its animated pictures.
constexpr UINT_PTR kPictureTimer = 1;
constexpr UINT_PTR kHotPictureTimer = 2;

// The double-headed arrow, in 1/32767 of the window's width and height.
constexpr POINT kArrowOutline[] = {{24576, 8191}, {24576, 0},     {32767, 16383}, {24576, 32767}, {24576, 24576},
                                   {8191, 24576}, {8191, 32767},  {0, 16383},     {8191, 0},      {8191, 8191}};

bool isButtonKind(ui::ControlKind kind) {
  return kind == ui::ControlKind::SuperBtn || kind == ui::ControlKind::PicBtn || kind == ui::ControlKind::ColorPicker;
}

// A colour picker's click opens its palette; the colour chosen there is the
// user's choice, reported as such.
void openPaletteOf(ColourPalettes& palettes, HWND picker, ui::WindowManager* manager, ui::WindowId window,
                   const std::string& name, ui::Colour current) {
  palettes.open(picker, current, [manager, window, name](ui::Colour colour) {
    if (manager) manager->colourChosen(window, name, colour);
  });
}

}  // namespace

struct Win32Backend::NativeControl {
  Win32Backend* backend = nullptr;
  ui::WindowId window{};
  int index = 0;  // into the window's controls
  HWND hwnd = nullptr;
  std::unique_ptr<BrowserView> browser;
  ControlLook look;
  bool trackingLeave = false;
  PicturePlayer picture;     // PicBox, and PicBtn's normal picture
  PicturePlayer hotPicture;  // PicBtn while the pointer is over it
};

namespace {

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

void Win32Backend::applyPictures(NativeControl& native, const ui::ControlState& control) {
  if (control.kind() != ui::ControlKind::PicBox && control.kind() != ui::ControlKind::PicBtn) return;
  native.picture.set(control.picture);
  native.hotPicture.set(control.hotPicture);
  resumePictures(native);
}

// Runs the animations from the current frames: after new pictures, or when
// a control that waited while hidden is shown.
void Win32Backend::resumePictures(const NativeControl& native) {
  scheduleFrame(native.hwnd, kPictureTimer, native.picture);
  scheduleFrame(native.hwnd, kHotPictureTimer, native.hotPicture);
}

// Draws the control's picture for the painter: at its natural size from the
// top-left corner, a picture button's transparent colour keyed out and its
// hot picture (when it has one) while the pointer is over it.
void Win32Backend::drawControlPicture(HDC hdc, const ui::ControlState& control, const ControlLook& look) {
  HWND hwnd = reinterpret_cast<HWND>(control.native);
  auto* c = hwnd ? reinterpret_cast<NativeControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) : nullptr;
  if (!c) return;
  if (control.kind() == ui::ControlKind::PicBtn) {
    const PicturePlayer& shown = look.hot && !c->hotPicture.empty() ? c->hotPicture : c->picture;
    if (!shown.empty()) shown.drawKeyed(hdc, 0, 0, toColorRef(control.def->transparentColour, COLOR_BTNFACE));
  } else if (!c->picture.empty()) {
    c->picture.draw(hdc, 0, 0);
  }
}

struct Win32Backend::NativeWindow {
  Win32Backend* backend = nullptr;
  ui::WindowId id{};
  HWND hwnd = nullptr;
  HWND tooltip = nullptr;
  std::vector<std::unique_ptr<NativeControl>> controls;  // one per model control, null for timers
  ui::Size shapedFor{};
};

Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&common);
  registerClasses();
  setPictureDrawer(&Win32Backend::drawControlPicture);
  owner_ = CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr);
}

Win32Backend::~Win32Backend() {
  for (auto& w : windows_) {
    if (w && w->hwnd) DestroyWindow(w->hwnd);
  }
  if (owner_) DestroyWindow(owner_);
}

void Win32Backend::registerClasses() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = instance_;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION

  wc.lpfnWndProc = windowProc;
  wc.lpszClassName = kWindowClass;
  wc.style = CS_DBLCLKS;
  RegisterClassExW(&wc);

  wc.lpfnWndProc = controlProc;
  wc.lpszClassName = kControlClass;
  wc.style = 0;
  RegisterClassExW(&wc);

  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = kOwnerClass;
  RegisterClassExW(&wc);
}

Win32Backend::NativeWindow* Win32Backend::find(ui::WindowId id) const { return windows_[static_cast<int>(id)].get(); }

ui::WindowState* Win32Backend::model(const NativeWindow& window) const {
  return manager_ ? manager_->state(window.id) : nullptr;
}

HWND Win32Backend::nativeWindow(ui::WindowId window) const {
  NativeWindow* w = find(window);
  return w ? w->hwnd : nullptr;
}

HWND Win32Backend::nativeControl(ui::WindowId window, std::string_view control) const {
  NativeWindow* w = find(window);
  ui::WindowState* state = w ? model(*w) : nullptr;
  if (!state) return nullptr;
  for (std::size_t i = 0; i < state->controls.size(); ++i) {
    if (state->controls[i].name() == control && w->controls[i]) return w->controls[i]->hwnd;
  }
  return nullptr;
}

// ---------------------------------------------------------------- creation

void Win32Backend::createWindow(ui::WindowState& state) {
  auto native = std::make_unique<NativeWindow>();
  native->backend = this;
  native->id = state.id();
  NativeWindow& w = *native;
  windows_[static_cast<int>(state.id())] = std::move(native);

  const ui::WindowDef& def = *state.def;
  // Borderless: no frame, no title bar. The minimize box and system menu let
  // the taskbar minimize and restore the windows that have a button there.
  DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU;
  DWORD exStyle = state.alwaysOnTop ? WS_EX_TOPMOST : 0;
  HWND owner = nullptr;
  if (def.showInTaskbar) {
    exStyle |= WS_EX_APPWINDOW;
  } else {
    owner = owner_;  // an owned window has no taskbar button
  }

  ++applying_;
  w.hwnd = CreateWindowExW(exStyle, kWindowClass, wideFromGbk(def.title).c_str(), style, state.rect.left,
                           state.rect.top, state.rect.width, state.rect.height, owner, nullptr, instance_, &w);
  if (!w.hwnd) {
    --applying_;
    return;
  }
  if (!def.movable) DeleteMenu(GetSystemMenu(w.hwnd, FALSE), SC_MOVE, MF_BYCOMMAND);
  applyShape(w);

  w.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, w.hwnd, nullptr, instance_,
                              nullptr);
  w.controls.resize(state.controls.size());
  for (std::size_t i = 0; i < state.controls.size(); ++i) createControl(w, state.controls[i], static_cast<int>(i));
  stackControls(w);

  if (state.shown && !def.shownOnceCreated) ShowWindow(w.hwnd, SW_SHOWNORMAL);
  UpdateWindow(w.hwnd);
  --applying_;
}

void Win32Backend::creationDone(ui::WindowState& state) {
  NativeWindow* w = find(state.id());
  if (!w || !w->hwnd || !state.def->shownOnceCreated || !state.shown || IsWindowVisible(w->hwnd)) return;
  ++applying_;
  ShowWindow(w->hwnd, state.minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  --applying_;
  UpdateWindow(w->hwnd);
}

void Win32Backend::createControl(NativeWindow& w, ui::ControlState& control, int index) {
  ui::WindowState& state = *model(w);
  if (control.kind() == ui::ControlKind::Timer) {
    applyTimer(w, index);
    return;
  }
  auto native = std::make_unique<NativeControl>();
  native->backend = this;
  native->window = w.id;
  native->index = index;
  RECT r = controlRectInWindow(state, control);
  bool visible = ui::effectivelyShown(state, control);

  if (control.kind() == ui::ControlKind::HtmlViewer) {
    native->browser = BrowserView::create(w.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, control.address);
    if (!native->browser) return;
    native->hwnd = native->browser->window();
    if (!visible) ShowWindow(native->hwnd, SW_HIDE);
  } else {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0) | (control.enabled ? 0 : WS_DISABLED);
    native->hwnd = CreateWindowExW(0, kControlClass, wideFromGbk(control.caption).c_str(), style, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, w.hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(index + 1)), instance_, native.get());
    if (!native->hwnd) return;
  }
  if (!control.def->tooltip.empty() && w.tooltip) {
    std::wstring tip = wideFromGbk(control.def->tooltip);
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = w.hwnd;
    info.uId = reinterpret_cast<UINT_PTR>(native->hwnd);
    info.lpszText = tip.data();
    SendMessageW(w.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  control.native = reinterpret_cast<std::uintptr_t>(native->hwnd);
  applyPictures(*native, control);
  w.controls[index] = std::move(native);
}

// Where controls overlap, the one defined first lies on top (the version
// badge over the end of the title banner). Transparent labels lie beneath
// the others, whose edges they would otherwise paint over, and a tab box
// beneath everything, as the controls of its pages lie on it.
void Win32Backend::stackControls(const NativeWindow& w) {
  const ui::WindowState* state = model(w);
  if (!state) return;
  auto layer = [](ui::ControlKind kind) {
    return kind == ui::ControlKind::PageControl ? 2 : kind == ui::ControlKind::TransLabel ? 1 : 0;
  };
  // Each control in turn goes to the bottom, layer by layer: within a layer
  // the first defined ends up highest.
  for (int bottomLayer = 0; bottomLayer <= 2; ++bottomLayer) {
    for (std::size_t i = 0; i < w.controls.size(); ++i) {
      if (!w.controls[i] || !w.controls[i]->hwnd || layer(state->controls[i].kind()) != bottomLayer) continue;
      SetWindowPos(w.controls[i]->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void Win32Backend::applyShape(NativeWindow& w) {
  ui::WindowState* state = model(w);
  if (!state) return;
  ui::Size size{state->rect.width, state->rect.height};
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
  SetWindowRgn(w.hwnd, region, TRUE);
}

void Win32Backend::applyTimer(NativeWindow& w, int index) {
  ui::WindowState* state = model(w);
  if (!state) return;
  UINT_PTR id = kTimerBase + index;
  int period = state->controls[index].timerPeriod;
  if (period > 0) {
    SetTimer(w.hwnd, id, static_cast<UINT>(period), nullptr);
  } else {
    KillTimer(w.hwnd, id);
  }
}

void Win32Backend::destroyWindow(ui::WindowState& state) {
  auto& slot = windows_[static_cast<int>(state.id())];
  if (!slot) return;
  std::unique_ptr<NativeWindow> w = std::move(slot);
  // Browser views first, while their parent still exists.
  for (const auto& c : w->controls) {
    if (c && c->browser) c->browser.reset();
  }
  if (w->hwnd) {
    SetWindowLongPtrW(w->hwnd, GWLP_USERDATA, 0);
    for (auto& c : w->controls) {
      if (c && c->hwnd && IsWindow(c->hwnd)) SetWindowLongPtrW(c->hwnd, GWLP_USERDATA, 0);
    }
    DestroyWindow(w->hwnd);
  }
}

// ---------------------------------------------------------------- changes

void Win32Backend::windowChanged(ui::WindowState& state, ui::WindowProperty property) {
  NativeWindow* w = find(state.id());
  if (!w || !w->hwnd) return;
  switch (property) {
    case ui::WindowProperty::Shown:
      ShowWindow(w->hwnd, state.shown ? SW_SHOWNA : SW_HIDE);
      for (auto& c : w->controls) {
        if (c && c->hwnd && IsWindowVisible(c->hwnd)) resumePictures(*c);
      }
      break;
    case ui::WindowProperty::Rect:
      ++applying_;
      SetWindowPos(w->hwnd, nullptr, state.rect.left, state.rect.top, state.rect.width, state.rect.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      --applying_;
      applyShape(*w);
      break;
    case ui::WindowProperty::Background:
      InvalidateRect(w->hwnd, nullptr, TRUE);
      redrawTransparentControls(*w);
      break;
    case ui::WindowProperty::AlwaysOnTop:
      SetWindowPos(w->hwnd, state.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    case ui::WindowProperty::Minimized:
      ++applying_;
      ShowWindow(w->hwnd, state.minimized ? SW_MINIMIZE : SW_RESTORE);
      --applying_;
      break;
    case ui::WindowProperty::Enabled:
      EnableWindow(w->hwnd, state.enabled ? TRUE : FALSE);
      break;
  }
}

void Win32Backend::redrawTransparentControls(NativeWindow& w) {
  ui::WindowState* state = model(w);
  if (!state) return;
  for (std::size_t i = 0; i < w.controls.size(); ++i) {
    if (w.controls[i] && showsBackdrop(state->controls[i].kind())) InvalidateRect(w.controls[i]->hwnd, nullptr, FALSE);
  }
}

void Win32Backend::controlChanged(ui::WindowState& state, ui::ControlState& control, ui::ControlProperty property) {
  NativeWindow* w = find(state.id());
  if (!w) return;
  int index = static_cast<int>(&control - state.controls.data());
  if (property == ui::ControlProperty::TimerPeriod) {
    applyTimer(*w, index);
    return;
  }
  NativeControl* c = w->controls[index].get();
  if (!c || !c->hwnd) return;
  switch (property) {
    case ui::ControlProperty::Shown:
      ShowWindow(c->hwnd, ui::effectivelyShown(state, control) ? SW_SHOWNA : SW_HIDE);
      if (IsWindowVisible(c->hwnd)) resumePictures(*c);
      redrawTransparentControls(*w);
      break;
    case ui::ControlProperty::Enabled:
      EnableWindow(c->hwnd, control.enabled ? TRUE : FALSE);
      break;
    case ui::ControlProperty::Rect: {
      RECT r = controlRectInWindow(state, control);
      if (c->browser) {
        c->browser->move(r.left, r.top, r.right - r.left, r.bottom - r.top);
      } else {
        SetWindowPos(c->hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      redrawTransparentControls(*w);
      break;
    }
    case ui::ControlProperty::Caption:
      SetWindowTextW(c->hwnd, wideFromGbk(control.caption).c_str());
      InvalidateRect(c->hwnd, nullptr, FALSE);
      break;
    case ui::ControlProperty::Address:
      if (c->browser) c->browser->navigate(control.address);
      break;
    case ui::ControlProperty::Picture:
      applyPictures(*c, control);
      InvalidateRect(c->hwnd, nullptr, FALSE);
      break;
    case ui::ControlProperty::BackColour:
    case ui::ControlProperty::SelectedTab:
      InvalidateRect(c->hwnd, nullptr, FALSE);
      redrawTransparentControls(*w);
      break;
    default:
      InvalidateRect(c->hwnd, nullptr, FALSE);
      break;
  }
}

void Win32Backend::activate(ui::WindowState& state) {
  NativeWindow* w = find(state.id());
  if (!w || !w->hwnd) return;
  if (!state.enabled) {
    // Disabled under a modal window: to the front, but the activation and
    // the keyboard stay with the modal window.
    if (IsIconic(w->hwnd)) ShowWindow(w->hwnd, SW_SHOWNOACTIVATE);
    SetWindowPos(w->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  if (IsIconic(w->hwnd)) ShowWindow(w->hwnd, SW_RESTORE);
  SetForegroundWindow(w->hwnd);
  BringWindowToTop(w->hwnd);
}

void Win32Backend::setFocus(ui::WindowState& state, ui::ControlState* control) {
  NativeWindow* w = find(state.id());
  if (!w || !w->hwnd) return;
  HWND target = w->hwnd;
  if (control) {
    int index = static_cast<int>(control - state.controls.data());
    if (w->controls[index] && w->controls[index]->hwnd) target = w->controls[index]->hwnd;
  }
  SetFocus(target);
}

// ---------------------------------------------------------------- loops

bool Win32Backend::preTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE || !manager_) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  for (const auto& w : windows_) {
    if (!w || w->hwnd != root) continue;
    // A browser view that has the focus takes Esc itself.
    for (auto& c : w->controls) {
      if (c && c->browser && (message.hwnd == c->hwnd || IsChild(c->hwnd, message.hwnd))) return false;
    }
    manager_->escapePressed(w->id);
    return true;
  }
  return false;
}

void Win32Backend::pumpOne(const MSG& message) {
  if (preTranslate(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Backend::runMessageLoop() {
  MSG message;
  while (!quitting_ && GetMessageW(&message, nullptr, 0, 0) > 0) pumpOne(message);
}

void Win32Backend::runModal(ui::WindowState&, bool (*stillOpen)(void*), void* context) {
  MSG message;
  while (stillOpen(context)) {
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
      // Leave the quit for the outer loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    pumpOne(message);
  }
}

void Win32Backend::quit() {
  quitting_ = true;
  PostQuitMessage(0);
}

std::optional<int> Win32Backend::popupMenu(ui::WindowState& owner, const std::vector<const ui::MenuItemDef*>& entries,
                                           ui::Point at) {
  NativeWindow* w = find(owner.id());
  if (!w || !w->hwnd) return std::nullopt;
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
  SetForegroundWindow(w->hwnd);
  int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY,
                              at.x, at.y, 0, w->hwnd, nullptr);
  DestroyMenu(menu);
  if (chosen <= 0) return std::nullopt;
  return chosen - 1;
}

ui::Point Win32Backend::pointer() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

ui::Size Win32Backend::screen() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

void Win32Backend::startDrag(HWND topLevel) {
  // Moves the window as if its title bar were dragged.
  ReleaseCapture();
  SendMessageW(topLevel, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK Win32Backend::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* w = static_cast<NativeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    w->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  }
  auto* w = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
  return w->backend->handleWindowMessage(*w, message, wParam, lParam);
}

LRESULT Win32Backend::handleWindowMessage(NativeWindow& w, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = w.hwnd;
  ui::WindowId id = w.id;
  // Everything after a report to the manager must not touch `w`: the
  // handler it runs may have destroyed the window.
  switch (message) {
    case WM_ERASEBKGND: {
      ui::WindowState* state = model(w);
      RECT r;
      GetClientRect(hwnd, &r);
      HBRUSH brush = CreateSolidBrush(toColorRef(state ? state->background : ui::kSystemDefault, COLOR_BTNFACE));
      FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
      DeleteObject(brush);
      return 1;
    }
    case WM_LBUTTONDOWN:
      if (manager_ && manager_->leftPressed(id, {})) startDrag(hwnd);
      return 0;
    case WM_RBUTTONDOWN:
      if (manager_) manager_->rightPressed(id, {});
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
        manager_->userMoved(id, {r.left, r.top});
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
          manager_->userResized(id, {r.right - r.left, r.bottom - r.top});
        }
      }
      return 0;
    case WM_CLOSE:
      if (manager_) manager_->closeRequested(id);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Backend::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* c = static_cast<NativeControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    c->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(c));
  }
  auto* c = reinterpret_cast<NativeControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!c) return DefWindowProcW(hwnd, message, wParam, lParam);
  return c->backend->handleControlMessage(*c, message, wParam, lParam);
}

LRESULT Win32Backend::handleControlMessage(NativeControl& c, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = c.hwnd;
  ui::WindowId id = c.window;
  NativeWindow* w = find(id);
  ui::WindowState* state = w ? model(*w) : nullptr;
  if (!state || c.index >= static_cast<int>(state->controls.size())) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  const ui::ControlState& control = state->controls[c.index];
  const std::string name = control.name();
  ui::ControlKind kind = control.kind();
  // As in the window procedure: after a report, `c`, `w` and `control` may be gone.
  switch (message) {
    case WM_NCHITTEST:
      // A transparent label lets presses through to what lies beneath.
      if (kind == ui::ControlKind::TransLabel) return HTTRANSPARENT;
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hwnd, &ps);
      c.look.focused = GetFocus() == hwnd;
      paintControlBuffered(hdc, *state, control, c.look, fonts_);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETCURSOR:
      if (control.def->cursor == ui::Cursor::Hand) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      if (!c.look.hot) {
        c.look.hot = true;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      if (!c.trackingLeave) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        c.trackingLeave = TrackMouseEvent(&track) != FALSE;
      }
      if (c.look.pressed) {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT r;
        GetClientRect(hwnd, &r);
        bool inside = PtInRect(&r, p) != FALSE;
        if (inside != c.look.hot) {
          c.look.hot = inside;
          InvalidateRect(hwnd, nullptr, FALSE);
        }
      }
      return 0;
    case WM_MOUSELEAVE:
      c.trackingLeave = false;
      if (c.look.hot && !c.look.pressed) {
        c.look.hot = false;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
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
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (isButtonKind(kind)) {
        c.look.pressed = true;
        c.look.hot = true;
        SetCapture(hwnd);
        SetFocus(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      if (kind == ui::ControlKind::PageControl && manager_) {
        HDC hdc = GetDC(hwnd);
        int tab = tabAt(hdc, control, fonts_, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        ReleaseDC(hwnd, hdc);
        if (tab >= 0) {
          manager_->tabSelected(id, name, tab);
          return 0;
        }
      }
      if (manager_ && manager_->leftPressed(id, name)) startDrag(w->hwnd);
      return 0;
    case WM_LBUTTONUP:
      if (isButtonKind(kind) && c.look.pressed) {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT r;
        GetClientRect(hwnd, &r);
        bool inside = PtInRect(&r, p) != FALSE;
        c.look.pressed = false;
        c.look.hot = inside;
        ReleaseCapture();
        InvalidateRect(hwnd, nullptr, FALSE);
        if (inside && kind == ui::ControlKind::ColorPicker) {
          openPaletteOf(palettes_, hwnd, manager_, id, name, control.currentColour);
        } else if (inside && manager_) {
          manager_->clicked(id, name);
        }
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (c.look.pressed) {
        c.look.pressed = false;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_KEYDOWN:
      if (kind == ui::ControlKind::ColorPicker && (wParam == VK_SPACE || wParam == VK_RETURN)) {
        openPaletteOf(palettes_, hwnd, manager_, id, name, control.currentColour);
        return 0;
      }
      if (isButtonKind(kind) && (wParam == VK_SPACE || wParam == VK_RETURN) && manager_) {
        manager_->clicked(id, name);
        return 0;
      }
      break;
    case WM_RBUTTONDOWN:
      if (manager_) manager_->rightPressed(id, name);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace win32
