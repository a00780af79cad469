// Settings of windows and controls, read and written by name.
#include "ui/window_manager.h"

#include "ui/check.h"

namespace ui {

// ---------------------------------------------------------------- windows

WindowState* WindowRef::state() const {
  WindowState* w = manager_->state(window_);
  return w && !w->closing ? w : nullptr;
}

bool WindowRef::isOpen() const { return state() != nullptr; }

Rect WindowRef::rect() const { return read(&WindowState::rect); }

void WindowRef::move(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                     std::optional<int> height) {
  WindowState* w = state();
  if (!w) return;
  Rect r = w->rect;
  if (left) r.left = *left;
  if (top) r.top = *top;
  if (width) r.width = *width;
  if (height) r.height = *height;
  manager_->setWindowRect(window_, r);
}

void WindowRef::setLeft(int left) { move(left, {}); }
void WindowRef::setTop(int top) { move({}, top); }
void WindowRef::setWidth(int width) { move({}, {}, width); }
void WindowRef::setHeight(int height) { move({}, {}, {}, height); }

bool WindowRef::shown() const { return read(&WindowState::shown); }

void WindowRef::setShown(bool shown) {
  WindowState* w = state();
  if (!w || w->shown == shown) return;
  w->shown = shown;
  manager_->backend_.windowChanged(*w, WindowProperty::Shown);
}

bool WindowRef::alwaysOnTop() const { return read(&WindowState::alwaysOnTop); }

void WindowRef::setAlwaysOnTop(bool on) {
  WindowState* w = state();
  if (!w) return;
  w->alwaysOnTop = on;
  manager_->backend_.windowChanged(*w, WindowProperty::AlwaysOnTop);
  if (on) return;
  // Taking one window off the top must not bury the program's other
  // always-on-top windows.
  for (int i = 0; i < kWindowCount; ++i) {
    WindowState* other = manager_->state(static_cast<WindowId>(i));
    if (other && other != w && other->alwaysOnTop) manager_->backend_.windowChanged(*other, WindowProperty::AlwaysOnTop);
  }
}

bool WindowRef::dragAnywhere() const { return read(&WindowState::dragAnywhere); }

void WindowRef::setDragAnywhere(bool on) {
  if (WindowState* w = state()) w->dragAnywhere = on;
}

bool WindowRef::minimized() const { return read(&WindowState::minimized); }

Colour WindowRef::background() const {
  WindowState* w = state();
  return w ? w->background : 0;
}

void WindowRef::setBackground(Colour colour) {
  WindowState* w = state();
  if (!w) return;
  w->background = colour;
  manager_->backend_.windowChanged(*w, WindowProperty::Background);
}

void WindowRef::setPosition(WindowPosition position) {
  WindowState* w = state();
  // The position acts only on a visible window.
  if (!w || !w->shown) return;
  auto restore = [&] {
    if (!w->minimized) return;
    w->minimized = false;
    manager_->backend_.windowChanged(*w, WindowProperty::Minimized);
  };
  Size screen = manager_->backend_.screen();
  switch (position) {
    case WindowPosition::Normal:
      restore();
      break;
    case WindowPosition::Centred:
      restore();
      move((screen.width - w->rect.width) / 2, (screen.height - w->rect.height) / 2);
      break;
    case WindowPosition::Minimized:
      if (w->minimized) return;
      w->minimized = true;
      manager_->backend_.windowChanged(*w, WindowProperty::Minimized);
      break;
    case WindowPosition::Maximized:
      // Windows without a frame are maximized by covering the whole screen.
      restore();
      move(0, 0, screen.width, screen.height);
      break;
  }
}

// A window disabled under a modal one does not take the focus: the modal
// window keeps the keys.
void WindowRef::focus() {
  WindowState* w = state();
  if (!w || !w->enabled) return;
  w->focused = -1;
  manager_->backend_.setFocus(*w, nullptr);
}

// ---------------------------------------------------------------- controls

// A window that is not open reads as empty, as the program relies on; a
// name its open window does not have is a programmer's mistake.
ControlState* ControlRef::state() const {
  WindowState* w = manager_->state(window_);
  if (!w || w->closing) return nullptr;
  ControlState* c = w->control(name_);
  STATION_CHECK(c != nullptr, "no control \"" + std::string(name_) + "\" in the window \"" + w->def->title + "\"");
  return c;
}

void ControlRef::changed(ControlProperty property) {
  manager_->backend_.controlChanged(*manager_->state(window_), *state(), property);
}

bool ControlRef::shown() const { return read(&ControlState::shown); }

void ControlRef::setShown(bool shown) {
  if (ControlState* c = state()) manager_->setControlShown(*manager_->state(window_), *c, shown);
}

Rect ControlRef::rect() const { return read(&ControlState::rect); }

void ControlRef::move(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                      std::optional<int> height) {
  ControlState* c = state();
  if (!c) return;
  Rect r = c->rect;
  if (left) r.left = *left;
  if (top) r.top = *top;
  if (width) r.width = *width;
  if (height) r.height = *height;
  manager_->setControlRect(*manager_->state(window_), *c, r);
}

void ControlRef::setLeft(int left) { move(left, {}); }
void ControlRef::setTop(int top) { move({}, top); }
void ControlRef::setWidth(int width) { move({}, {}, width); }
void ControlRef::setHeight(int height) { move({}, {}, {}, height); }

std::string ControlRef::caption() const { return read(&ControlState::caption); }

void ControlRef::setCaption(std::string caption) { write(&ControlState::caption, std::move(caption), ControlProperty::Caption); }

Colour ControlRef::textColour() const { return read(&ControlState::textColour); }

void ControlRef::setTextColour(Colour colour) { write(&ControlState::textColour, colour, ControlProperty::TextColour); }

Colour ControlRef::backColour() const { return read(&ControlState::backColour); }

void ControlRef::setBackColour(Colour colour) { write(&ControlState::backColour, colour, ControlProperty::BackColour); }

std::string ControlRef::address() const { return read(&ControlState::address); }

// Writing the address of a browser view navigates, even to the same address.
void ControlRef::setAddress(std::string address) { write(&ControlState::address, std::move(address), ControlProperty::Address); }

bool ControlRef::visited() const { return read(&ControlState::visited); }

std::shared_ptr<const Bytes> ControlRef::picture() const { return read(&ControlState::picture); }

namespace {
std::shared_ptr<const Bytes> shared(Bytes bytes) {
  return bytes.empty() ? nullptr : std::make_shared<const Bytes>(std::move(bytes));
}
}  // namespace

void ControlRef::setPicture(Bytes bytes) {
  write(&ControlState::picture, shared(std::move(bytes)), ControlProperty::Picture);
}

std::shared_ptr<const Bytes> ControlRef::hotPicture() const { return read(&ControlState::hotPicture); }

void ControlRef::setHotPicture(Bytes bytes) {
  write(&ControlState::hotPicture, shared(std::move(bytes)), ControlProperty::Picture);
}

Colour ControlRef::currentColour() const { return read(&ControlState::currentColour); }

// The program's own write raises no colour-chosen event; only the user's choice does.
void ControlRef::setCurrentColour(Colour colour) { write(&ControlState::currentColour, colour, ControlProperty::CurrentColour); }

int ControlRef::timerPeriod() const { return read(&ControlState::timerPeriod); }

void ControlRef::setTimerPeriod(int periodMs) {
  if (ControlState* c = state()) c->timerDormant = false;
  write(&ControlState::timerPeriod, periodMs < 0 ? 0 : periodMs, ControlProperty::TimerPeriod);
}

void ControlRef::sleepUntilMoved() {
  const ControlState* c = state();
  if (c && !c->timerDormant) write(&ControlState::timerDormant, true, ControlProperty::TimerPeriod);
}

int ControlRef::selectedTab() const { return read(&ControlState::selectedTab); }

void ControlRef::selectTab(int index) {
  ControlState* c = state();
  if (!c || index < 0 || index >= static_cast<int>(c->def->tabs.size()) || c->selectedTab == index) return;
  c->selectedTab = index;
  changed(ControlProperty::SelectedTab);
  manager_->applyPageVisibility(*manager_->state(window_));
}

void ControlRef::filterRightButton() {
  if (ControlState* c = state()) manager_->backend_.filterRightButton(*manager_->state(window_), *c);
}

// Only a control on screen can take the focus.
void ControlRef::focus() {
  ControlState* c = state();
  WindowState* w = manager_->state(window_);
  if (!c || !effectivelyShown(*w, *c) || !w->enabled) return;
  w->focused = w->indexOf(*c);
  manager_->backend_.setFocus(*w, c);
}

}  // namespace ui
