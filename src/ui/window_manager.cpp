#include "ui/window_manager.h"

#include <utility>

#include "ui/check.h"
#include "ui/control_kinds.h"
#include "ui/scoped_count.h"

namespace ui {

// ---------------------------------------------------------------- manager

WindowManager::WindowManager(Backend& backend, app::Program& program) : backend_(backend), program_(program) {}

WindowManager::~WindowManager() = default;

std::unique_ptr<WindowState> WindowManager::build(const WindowDef& def) {
  auto w = std::make_unique<WindowState>();
  w->def = &def;
  w->rect = def.rect;
  if (def.position == OpeningPosition::Centred) {
    Size s = backend_.screen();
    w->rect.left = (s.width - def.rect.width) / 2;
    w->rect.top = (s.height - def.rect.height) / 2;
  }
  w->alwaysOnTop = def.alwaysOnTop;
  w->dragAnywhere = def.dragAnywhere;
  w->background = def.background;
  w->controls.reserve(def.controls.size());
  for (const ControlDef& cd : def.controls) w->controls.push_back(initialState(cd));
  for (const Binding& b : def.bindings) {
    if (!b.source) continue;
    STATION_CHECK(b.source->window == def.id && def.control(b.source->name),
                  "a binding of \"" + std::string(b.source->name) + "\" in the table of the window \"" + def.title +
                      "\", which has no such control");
  }
  return w;
}

// While one is alive, closes and reveals wait; the outermost one ending
// carries them out.
class WindowManager::Frame {
 public:
  explicit Frame(WindowManager& manager) : manager_(manager) { ++manager_.frameDepth_; }
  ~Frame() {
    if (--manager_.frameDepth_ == 0) manager_.frameEnded();
  }
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

 private:
  WindowManager& manager_;
};

// While a key's handler runs, its menus go to the middle of the focused
// control (of the window when none has the focus) instead of the pointer.
class WindowManager::KeyMenuPoint {
 public:
  KeyMenuPoint(WindowManager& manager, const WindowState& window)
      : manager_(manager), saved_(manager.keyMenuPoint_) {
    const Rect r = window.focused >= 0 ? rectInWindow(window, window.controls[window.focused])
                                       : Rect{0, 0, window.rect.width, window.rect.height};
    manager_.keyMenuPoint_ = Point{window.rect.left + r.left + r.width / 2, window.rect.top + r.top + r.height / 2};
  }
  ~KeyMenuPoint() { manager_.keyMenuPoint_ = saved_; }
  KeyMenuPoint(const KeyMenuPoint&) = delete;
  KeyMenuPoint& operator=(const KeyMenuPoint&) = delete;

 private:
  WindowManager& manager_;
  std::optional<Point> saved_;
};

bool WindowManager::open(WindowId id, bool modal) {
  if (WindowState* existing = state(id)) {
    if (existing->closing) return false;
    backend_.activate(*existing);
    existing->minimized = false;
    return true;
  }
  if (!STATION_CHECK(definitions, "the window manager has no window definitions")) return false;
  const WindowDef& def = definitions(id);
  windows_[static_cast<int>(id)] = build(def);
  // A window opened while a modal one is open is disabled with the others,
  // until the outermost modal window has closed.
  if (!modal && !modalDisabled_.empty()) {
    state(id)->enabled = false;
    modalDisabled_.front()->push_back(id);
  }
  if (!backend_.createWindow(*this, *state(id))) {
    // Nothing was made: the window is simply not open, and no handler of it runs.
    windows_[static_cast<int>(id)].reset();
    return false;
  }
  {
    Frame loading(*this);
    pendingReveals_.push_back(id);
    if (def.position == OpeningPosition::Minimized) {
      window(id).setPosition(WindowPosition::Minimized);
    } else if (def.position == OpeningPosition::Maximized) {
      window(id).setPosition(WindowPosition::Maximized);
    }
    dispatch(id, {}, Event::Created);
    // Every window hears once that it was moved and resized, right after it
    // was created, as long as it still exists.
    if (isOpen(id)) dispatch(id, {}, Event::Moved);
    if (isOpen(id)) dispatch(id, {}, Event::Resized);
  }
  if (modal && isOpen(id) && !state(id)->closing) runModal(id);
  return true;
}

void WindowManager::runModal(WindowId id) {
  std::vector<WindowId> disabled;
  for (int i = 0; i < kWindowCount; ++i) {
    WindowState* other = windows_[i].get();
    if (!other || other->id() == id || !other->enabled) continue;
    other->enabled = false;
    backend_.windowChanged(*other, WindowProperty::Enabled);
    disabled.push_back(other->id());
  }
  modalDisabled_.push_back(&disabled);
  revealPending();
  // The loop waits for the user, outside the handler that opened the window:
  // what its input closes goes at once, so the loop sees the window gone.
  const int outerDepth = frameDepth_;
  frameDepth_ = 0;
  // The user's input in the loop is the pointer's again, whatever opened it.
  const std::optional<Point> outerMenuPoint = std::exchange(keyMenuPoint_, std::nullopt);
  destroyPending();
  struct ModalContext {
    WindowManager* manager;
    WindowId id;
  } context{this, id};
  if (WindowState* w = state(id)) {
    backend_.runModal(
        *w,
        [](void* p) {
          auto* c = static_cast<ModalContext*>(p);
          return c->manager->isOpen(c->id);
        },
        &context);
  }
  modalDisabled_.pop_back();
  frameDepth_ = outerDepth;
  keyMenuPoint_ = outerMenuPoint;
  for (WindowId other : disabled) {
    if (WindowState* o = state(other)) {
      o->enabled = true;
      backend_.windowChanged(*o, WindowProperty::Enabled);
    }
  }
}

void WindowManager::revealPending() {
  std::vector<WindowId> reveals;
  reveals.swap(pendingReveals_);
  for (WindowId id : reveals) {
    WindowState* w = state(id);
    if (!w || w->closing || w->revealed) continue;
    w->revealed = true;
    backend_.reveal(*w);
  }
}

void WindowManager::frameEnded() {
  destroyPending();
  revealPending();
  runHeld();
}

void WindowManager::waitWhileBusy(const std::function<bool()>& finished, std::uint32_t timeoutMs) {
  // The windows loaded so far are seen while the handler waits: the main
  // window at start-up, painted, while its downloads run.
  revealPending();
  const ScopedCount waiting(waiting_);
  backend_.waitUntil(finished, timeoutMs);
}

bool WindowManager::heldWhileWaiting(std::function<void()> later) {
  if (waiting_ == 0) return false;
  held_.push_back(std::move(later));
  return true;
}

// In the order heard, each as if it had come now; one that a held one's
// handler makes obsolete (its window closed) finds nothing to do.
void WindowManager::runHeld() {
  if (runningHeld_ || destroying_ || frameDepth_ > 0 || waiting_ > 0) return;
  runningHeld_ = true;
  while (!held_.empty()) {
    std::function<void()> next = std::move(held_.front());
    held_.erase(held_.begin());
    next();
  }
  runningHeld_ = false;
}

void WindowManager::close(WindowId id) {
  WindowState* w = state(id);
  if (!w || w->closing) return;
  w->closing = true;
  pendingCloses_.push_back(id);
  if (frameDepth_ == 0) destroyPending();
}

void WindowManager::closeAll() {
  close(WindowId::Main);
  for (int i = 0; i < kWindowCount; ++i) close(static_cast<WindowId>(i));
  destroyPending();
}

void WindowManager::destroyPending() {
  // Handlers run while destroying (about to be destroyed) must not reorder
  // the windows still waiting: they go in the order they were closed.
  if (destroying_) return;
  destroying_ = true;
  while (!pendingCloses_.empty()) {
    WindowId id = pendingCloses_.front();
    pendingCloses_.erase(pendingCloses_.begin());
    destroyNow(id);
  }
  destroying_ = false;
}

void WindowManager::destroyNow(WindowId id) {
  if (!state(id)) return;
  if (Handler h = state(id)->def->handlerFor({}, Event::AboutToBeDestroyed)) runHandler(h);
  WindowState* w = state(id);
  if (!w) return;
  backend_.destroyWindow(*w);
  windows_[static_cast<int>(id)].reset();
  if (windowDestroyed) windowDestroyed(id);
}

void WindowManager::runHandler(Handler handler) {
  Frame frame(*this);
  handler(program_);
}

void WindowManager::dispatch(WindowId id, std::string_view source, Event event) {
  if (heldWhileWaiting([this, id, name = std::string(source), event] { dispatch(id, name, event); })) return;
  WindowState* w = state(id);
  if (!w || w->closing) return;
  if (Handler h = w->def->handlerFor(source, event)) runHandler(h);
}

void WindowManager::popupMenu(WindowId id, std::string_view topItem, std::optional<Point> at) {
  WindowState* w = state(id);
  if (!w || w->closing) return;
  std::vector<const MenuItemDef*> entries;
  bool inside = false;
  for (const MenuItemDef& item : w->def->menu) {
    if (item.level == 0) {
      inside = item.caption == topItem;
      continue;
    }
    if (inside) entries.push_back(&item);
  }
  if (entries.empty()) return;
  Point where = at ? *at : Point{backend_.pointer().x + 3, backend_.pointer().y + 3};
  std::optional<int> chosen = backend_.popupMenu(*w, entries, where);
  if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(entries.size())) return;
  const MenuItemDef* item = entries[*chosen];
  if (item->caption != "-" && item->chosen && isOpen(id)) runHandler(item->chosen);
}

void WindowManager::setWindowRect(WindowId id, Rect rect) {
  WindowState* w = state(id);
  if (!w || w->rect == rect) return;
  bool moved = rect.left != w->rect.left || rect.top != w->rect.top;
  bool resized = rect.width != w->rect.width || rect.height != w->rect.height;
  w->rect = rect;
  backend_.windowChanged(*w, WindowProperty::Rect);
  wakeTimers(*w);
  // Every change of place or size is heard, the program's own included.
  if (moved) dispatch(id, {}, Event::Moved);
  if (resized) dispatch(id, {}, Event::Resized);
}

void WindowManager::setControlRect(WindowState& window, ControlState& control, Rect rect) {
  if (control.rect == rect) return;
  control.rect = rect;
  backend_.controlChanged(window, control, ControlProperty::Rect);
}

void WindowManager::applyPageVisibility(WindowState& window) {
  for (ControlState& c : window.controls) {
    if (!c.def->page.empty()) backend_.controlChanged(window, c, ControlProperty::Shown);
  }
  moveFocusOffHidden(window);
}

// ---------------------------------------------------------------- input

ControlState* WindowManager::inputTarget(WindowState& window, std::string_view control) {
  if (control.empty()) return nullptr;
  ControlState* c = window.control(control);
  if (!c) return nullptr;
  // A control that passes its input on leaves it to the window it lies on.
  return traitsOf(c->kind()).passesInput ? nullptr : c;
}

void WindowManager::setLook(WindowState& window, ControlState& control, bool hot, bool pressed) {
  if (control.hot == hot && control.pressed == pressed) return;
  control.hot = hot;
  control.pressed = pressed;
  backend_.controlChanged(window, control, ControlProperty::Look);
}

bool WindowManager::leftPressed(WindowId id, std::string_view control) {
  WindowState* w = state(id);
  if (!w || w->closing || !w->enabled) return false;
  ControlState* c = inputTarget(*w, control);
  if (c && !takesInput(*w, *c)) return false;
  const KindTraits traits = c ? traitsOf(c->kind()) : KindTraits{.draggable = true};
  // Drag-anywhere moves the window from its bare background and from the
  // kinds that let it; such a press is not reported.
  if (w->dragAnywhere && traits.draggable) return true;
  if (c && traits.takesFocus && !w->hasFocus(*c)) {
    backend_.setFocus(*w, c);
    focusMoved(id, c->name());
  }
  if (c && traits.buttonLike) {
    setLook(*w, *c, true, true);
    return false;
  }
  if (c && c->kind() == ControlKind::HyperLinker) followLink(id, *c);
  dispatch(id, c ? std::string_view(c->name()) : std::string_view(), Event::LeftPressed);
  return false;
}

void WindowManager::followLink(WindowId id, const ControlState& link) {
  std::string address = link.address;
  std::string name = link.def->name;
  if (heldWhileWaiting([this, id, name] {
        if (const ControlState* again = state(id) ? state(id)->control(name) : nullptr) followLink(id, *again);
      })) {
    return;
  }
  // A press on an empty address opens nothing and leaves the mark alone.
  if (address.empty()) return;
  const bool opened = openLink && openLink(address);
  // Each open sets the mark anew: visited when it worked, not when it failed.
  ControlState* again = state(id) ? state(id)->control(name) : nullptr;
  if (again && again->visited != opened) {
    again->visited = opened;
    backend_.controlChanged(*state(id), *again, ControlProperty::Visited);
  }
}

void WindowManager::pickColour(WindowState& window, ControlState& picker) {
  if (heldWhileWaiting([this, id = window.id(), name = picker.name()] {
        WindowState* w = state(id);
        if (ControlState* c = w ? w->control(name) : nullptr) pickColour(*w, *c);
      })) {
    return;
  }
  backend_.pickColour(window, picker);
}

void WindowManager::leftReleased(WindowId id, std::string_view control, bool overControl) {
  WindowState* w = state(id);
  ControlState* c = w ? w->control(control) : nullptr;
  if (!c || !c->pressed) return;
  setLook(*w, *c, overControl, false);
  // A control hidden or disabled while it was held down is not clicked.
  if (!overControl || !takesInput(*w, *c)) return;
  if (c->kind() == ControlKind::ColorPicker) {
    pickColour(*w, *c);
    return;
  }
  dispatch(id, control, Event::Clicked);
}

void WindowManager::pointerOver(WindowId id, std::string_view control, bool over) {
  WindowState* w = state(id);
  ControlState* c = w ? w->control(control) : nullptr;
  if (!c) return;
  // Held down, the look follows the pointer; otherwise leaving ends the hot look.
  setLook(*w, *c, over && (c->pressed || takesInput(*w, *c)), c->pressed);
}

void WindowManager::pressCancelled(WindowId id, std::string_view control) {
  WindowState* w = state(id);
  ControlState* c = w ? w->control(control) : nullptr;
  if (c && c->pressed) setLook(*w, *c, false, false);
}

void WindowManager::clicked(WindowId id, std::string_view control) {
  WindowState* w = state(id);
  ControlState* c = w ? inputTarget(*w, control) : nullptr;
  if (!c || !traitsOf(c->kind()).buttonLike) {
    leftPressed(id, control);
    return;
  }
  std::string name = c->name();
  leftPressed(id, name);
  leftReleased(id, name, true);
}

void WindowManager::keyClicked(WindowId id, std::string_view control) {
  WindowState* w = state(id);
  ControlState* c = w ? w->control(control) : nullptr;
  if (!c || !takesInput(*w, *c)) return;
  const std::string name = c->name();
  KeyMenuPoint at(*this, *w);
  if (c->kind() == ControlKind::HyperLinker) {
    followLink(id, *c);
    dispatch(id, name, Event::LeftPressed);
  } else if (c->kind() == ControlKind::ColorPicker) {
    pickColour(*w, *c);
  } else if (traitsOf(c->kind()).buttonLike) {
    dispatch(id, name, Event::Clicked);
  } else {
    // A picture that a press opens something from, asked by a screen reader.
    dispatch(id, name, Event::LeftPressed);
  }
}

void WindowManager::tabPressed(WindowId id, bool backwards) {
  WindowState* w = state(id);
  if (!w || w->closing || !w->enabled) return;
  const int count = static_cast<int>(w->controls.size());
  // From the window itself, forwards starts at the first control and
  // backwards at the last.
  const int from = w->focused >= 0 ? w->focused : (backwards ? count : -1);
  for (int step = 1; step <= count; ++step) {
    const int index = ((backwards ? from - step : from + step) % count + count) % count;
    ControlState& c = w->controls[index];
    if (!traitsOf(c.kind()).tabStop || !takesInput(*w, c)) continue;
    if (w->hasFocus(c)) return;
    backend_.setFocus(*w, &c);
    focusMoved(id, c.name());
    return;
  }
}

void WindowManager::menuKeyPressed(WindowId id) {
  WindowState* w = state(id);
  if (!w || !w->enabled) return;
  KeyMenuPoint at(*this, *w);
  dispatch(id, {}, Event::RightPressed);
}

Point WindowManager::menuPoint() { return keyMenuPoint_ ? *keyMenuPoint_ : backend_.pointer(); }

void WindowManager::rightPressed(WindowId id, std::string_view control) {
  WindowState* w = state(id);
  if (!w || !w->enabled) return;
  ControlState* c = inputTarget(*w, control);
  if (c && !takesInput(*w, *c)) return;
  dispatch(id, c ? std::string_view(c->name()) : std::string_view(), Event::RightPressed);
}

void WindowManager::timerElapsed(WindowId id, std::string_view control) {
  WindowState* w = state(id);
  ControlState* c = w ? w->control(control) : nullptr;
  // A tick already queued when the timer was stopped or put to sleep is not heard.
  if (c && c->ticking()) dispatch(id, control, Event::Timer);
}

void WindowManager::escapePressed(WindowId id) {
  if (heldWhileWaiting([this, id] { escapePressed(id); })) return;
  WindowState* w = state(id);
  // A window disabled under a modal one takes no input, Esc included.
  if (w && w->enabled && w->def->escCloses) close(id);
}

// A window disabled under a modal one cannot be closed by the system either.
void WindowManager::closeRequested(WindowId id) {
  if (heldWhileWaiting([this, id] { closeRequested(id); })) return;
  WindowState* w = state(id);
  if (w && w->enabled) close(id);
}

void WindowManager::focusMoved(WindowId id, std::string_view control) {
  WindowState* w = state(id);
  if (!w) return;
  const ControlState* c = control.empty() ? nullptr : w->control(control);
  const int focused = c ? w->indexOf(*c) : -1;
  if (focused == w->focused) return;
  ControlState* before = w->focused >= 0 ? &w->controls[w->focused] : nullptr;
  w->focused = focused;
  if (before) backend_.controlChanged(*w, *before, ControlProperty::Look);
  if (c) backend_.controlChanged(*w, w->controls[focused], ControlProperty::Look);
}

void WindowManager::setControlShown(WindowState& window, ControlState& control, bool shown) {
  if (control.shown == shown) return;
  control.shown = shown;
  if (!shown) setLook(window, control, false, false);
  backend_.controlChanged(window, control, ControlProperty::Shown);
  moveFocusOffHidden(window);
}

// A control that is no longer on screen gives the focus back to its window.
void WindowManager::moveFocusOffHidden(WindowState& window) {
  if (window.focused < 0) return;
  ControlState& leaving = window.controls[window.focused];
  if (effectivelyShown(window, leaving)) return;
  window.focused = -1;
  backend_.dropFocus(window, leaving);
}

void WindowManager::colourChosen(WindowId id, std::string_view control, Colour colour) {
  WindowState* w = state(id);
  ControlState* c = w ? w->control(control) : nullptr;
  if (!c) return;
  c->currentColour = colour;
  backend_.controlChanged(*w, *c, ControlProperty::CurrentColour);
  dispatch(id, control, Event::ColourChosen);
}

void WindowManager::tabSelected(WindowId id, std::string_view control, int index) {
  this->control(id, control).selectTab(index);
}

void WindowManager::userMoved(WindowId id, Point topLeft) {
  WindowState* w = state(id);
  if (!w || (w->rect.left == topLeft.x && w->rect.top == topLeft.y)) return;
  w->rect.left = topLeft.x;
  w->rect.top = topLeft.y;
  wakeTimers(*w);
  dispatch(id, {}, Event::Moved);
}

void WindowManager::userResized(WindowId id, Size size) {
  WindowState* w = state(id);
  if (!w || (w->rect.width == size.width && w->rect.height == size.height)) return;
  w->rect.width = size.width;
  w->rect.height = size.height;
  wakeTimers(*w);
  dispatch(id, {}, Event::Resized);
}

void WindowManager::screenChanged() {
  for (int i = 0; i < kWindowCount; ++i) {
    if (WindowState* w = state(static_cast<WindowId>(i))) wakeTimers(*w);
  }
}

void WindowManager::wakeTimers(WindowState& window) {
  for (ControlState& c : window.controls) {
    if (!c.timerDormant) continue;
    c.timerDormant = false;
    backend_.controlChanged(window, c, ControlProperty::TimerPeriod);
  }
}

void WindowManager::userMinimized(WindowId id, bool minimized) {
  if (WindowState* w = state(id)) w->minimized = minimized;
}

}  // namespace ui
