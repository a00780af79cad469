#include "ui/window_manager.h"

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
  for (const ControlDef& cd : def.controls) {
    ControlState c;
    c.def = &cd;
    c.shown = cd.shown;
    c.enabled = cd.enabled;
    c.rect = cd.rect;
    c.caption = cd.caption;
    c.textColour = cd.textColour;
    c.backColour = cd.backColour;
    c.address = cd.address;
    c.currentColour = cd.kind == ControlKind::ColorPicker ? cd.backColour : 0;
    c.timerPeriod = cd.timerPeriod;
    w->controls.push_back(std::move(c));
  }
  return w;
}

bool WindowManager::open(WindowId id, bool modal) {
  if (WindowState* existing = state(id)) {
    if (existing->closing) return false;
    backend_.activate(*existing);
    existing->minimized = false;
    return true;
  }
  const WindowDef& def = definitions(id);
  windows_[static_cast<int>(id)] = build(def);
  WindowState& w = *state(id);
  backend_.createWindow(w);
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
  if (isOpen(id)) backend_.creationDone(*state(id));

  if (modal && isOpen(id)) {
    std::vector<WindowId> disabled;
    for (int i = 0; i < kWindowCount; ++i) {
      WindowState* other = windows_[i].get();
      if (!other || other->id() == id || !other->enabled) continue;
      other->enabled = false;
      backend_.windowChanged(*other, WindowProperty::Enabled);
      disabled.push_back(other->id());
    }
    struct ModalContext {
      WindowManager* manager;
      WindowId id;
    } context{this, id};
    backend_.runModal(
        *state(id),
        [](void* p) {
          auto* c = static_cast<ModalContext*>(p);
          return c->manager->isOpen(c->id);
        },
        &context);
    for (WindowId other : disabled) {
      if (WindowState* o = state(other)) {
        o->enabled = true;
        backend_.windowChanged(*o, WindowProperty::Enabled);
      }
    }
  }
  return true;
}

void WindowManager::close(WindowId id) {
  WindowState* w = state(id);
  if (!w || w->closing) return;
  w->closing = true;
  pendingCloses_.push_back(id);
  if (handlerDepth_ == 0) destroyPending();
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
  ++handlerDepth_;
  handler(program_);
  --handlerDepth_;
  // A window closed by a handler goes once that handler has returned.
  destroyPending();
}

void WindowManager::dispatch(WindowId id, std::string_view source, Event event) {
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
}

// ---------------------------------------------------------------- input

bool WindowManager::leftPressed(WindowId id, std::string_view control) {
  WindowState* w = state(id);
  if (!w || w->closing) return false;
  ControlState* c = control.empty() ? nullptr : w->control(control);
  if (w->dragAnywhere &&
      (!c || c->kind() == ControlKind::Label || c->kind() == ControlKind::PicBox ||
       c->kind() == ControlKind::TransLabel)) {
    return true;
  }
  if (c && c->kind() == ControlKind::HyperLinker) {
    std::string address = c->address;
    std::string name = c->def->name;
    bool opened = !address.empty() && openLink && openLink(address);
    if (ControlState* again = state(id) ? state(id)->control(name) : nullptr) {
      again->visited = opened;
      // Only a successful open repaints, in the visited colour.
      if (opened) backend_.controlChanged(*state(id), *again, ControlProperty::Visited);
    }
  }
  dispatch(id, control, Event::LeftPressed);
  return false;
}

void WindowManager::rightPressed(WindowId id, std::string_view control) { dispatch(id, control, Event::RightPressed); }

void WindowManager::clicked(WindowId id, std::string_view control) { dispatch(id, control, Event::Clicked); }

void WindowManager::timerElapsed(WindowId id, std::string_view control) { dispatch(id, control, Event::Timer); }

void WindowManager::escapePressed(WindowId id) {
  WindowState* w = state(id);
  // A window disabled under a modal one takes no input, Esc included.
  if (w && w->enabled && w->def->escCloses) close(id);
}

void WindowManager::closeRequested(WindowId id) { close(id); }

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
  dispatch(id, {}, Event::Moved);
}

void WindowManager::userResized(WindowId id, Size size) {
  WindowState* w = state(id);
  if (!w || (w->rect.width == size.width && w->rect.height == size.height)) return;
  w->rect.width = size.width;
  w->rect.height = size.height;
  dispatch(id, {}, Event::Resized);
}

void WindowManager::userMinimized(WindowId id, bool minimized) {
  if (WindowState* w = state(id)) w->minimized = minimized;
}

}  // namespace ui
