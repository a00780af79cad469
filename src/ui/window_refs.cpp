// Settings of windows and controls, read and written by name.
#include "ui/window_manager.h"

namespace ui {

// ---------------------------------------------------------------- windows

WindowState* WindowRef::state() const {
  WindowState* w = manager_->state(window_);
  return w && !w->closing ? w : nullptr;
}

bool WindowRef::isOpen() const { return state() != nullptr; }

Rect WindowRef::rect() const {
  WindowState* w = state();
  return w ? w->rect : Rect{};
}

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

bool WindowRef::shown() const {
  WindowState* w = state();
  return w && w->shown;
}

void WindowRef::setShown(bool shown) {
  WindowState* w = state();
  if (!w || w->shown == shown) return;
  w->shown = shown;
  manager_->backend_.windowChanged(*w, WindowProperty::Shown);
}

bool WindowRef::alwaysOnTop() const {
  WindowState* w = state();
  return w && w->alwaysOnTop;
}

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

bool WindowRef::dragAnywhere() const {
  WindowState* w = state();
  return w && w->dragAnywhere;
}

void WindowRef::setDragAnywhere(bool on) {
  if (WindowState* w = state()) w->dragAnywhere = on;
}

bool WindowRef::minimized() const {
  WindowState* w = state();
  return w && w->minimized;
}

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

ControlState* ControlRef::state() const {
  WindowState* w = manager_->state(window_);
  return w && !w->closing ? w->control(name_) : nullptr;
}

void ControlRef::changed(ControlProperty property) {
  manager_->backend_.controlChanged(*manager_->state(window_), *state(), property);
}

bool ControlRef::shown() const {
  ControlState* c = state();
  return c && c->shown;
}

void ControlRef::setShown(bool shown) {
  if (ControlState* c = state()) manager_->setControlShown(*manager_->state(window_), *c, shown);
}

Rect ControlRef::rect() const {
  ControlState* c = state();
  return c ? c->rect : Rect{};
}

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

std::string ControlRef::caption() const {
  ControlState* c = state();
  return c ? c->caption : std::string();
}

void ControlRef::setCaption(std::string caption) {
  ControlState* c = state();
  if (!c) return;
  c->caption = std::move(caption);
  changed(ControlProperty::Caption);
}

Colour ControlRef::textColour() const {
  ControlState* c = state();
  return c ? c->textColour : 0;
}

void ControlRef::setTextColour(Colour colour) {
  ControlState* c = state();
  if (!c) return;
  c->textColour = colour;
  changed(ControlProperty::TextColour);
}

Colour ControlRef::backColour() const {
  ControlState* c = state();
  return c ? c->backColour : 0;
}

void ControlRef::setBackColour(Colour colour) {
  ControlState* c = state();
  if (!c) return;
  c->backColour = colour;
  changed(ControlProperty::BackColour);
}

std::string ControlRef::address() const {
  ControlState* c = state();
  return c ? c->address : std::string();
}

// Writing the address of a browser view navigates, even to the same address.
void ControlRef::setAddress(std::string address) {
  ControlState* c = state();
  if (!c) return;
  c->address = std::move(address);
  changed(ControlProperty::Address);
}

bool ControlRef::visited() const {
  ControlState* c = state();
  return c && c->visited;
}

std::shared_ptr<const Bytes> ControlRef::picture() const {
  ControlState* c = state();
  return c ? c->picture : nullptr;
}

void ControlRef::setPicture(Bytes bytes) {
  ControlState* c = state();
  if (!c) return;
  c->picture = bytes.empty() ? nullptr : std::make_shared<const Bytes>(std::move(bytes));
  changed(ControlProperty::Picture);
}

std::shared_ptr<const Bytes> ControlRef::hotPicture() const {
  ControlState* c = state();
  return c ? c->hotPicture : nullptr;
}

void ControlRef::setHotPicture(Bytes bytes) {
  ControlState* c = state();
  if (!c) return;
  c->hotPicture = bytes.empty() ? nullptr : std::make_shared<const Bytes>(std::move(bytes));
  changed(ControlProperty::Picture);
}

Colour ControlRef::currentColour() const {
  ControlState* c = state();
  return c ? c->currentColour : 0;
}

// The program's own write raises no colour-chosen event; only the user's choice does.
void ControlRef::setCurrentColour(Colour colour) {
  ControlState* c = state();
  if (!c) return;
  c->currentColour = colour;
  changed(ControlProperty::CurrentColour);
}

int ControlRef::timerPeriod() const {
  ControlState* c = state();
  return c ? c->timerPeriod : 0;
}

void ControlRef::setTimerPeriod(int periodMs) {
  ControlState* c = state();
  if (!c) return;
  c->timerPeriod = periodMs < 0 ? 0 : periodMs;
  changed(ControlProperty::TimerPeriod);
}

int ControlRef::selectedTab() const {
  ControlState* c = state();
  return c ? c->selectedTab : 0;
}

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
