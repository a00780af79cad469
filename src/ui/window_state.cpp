#include "ui/window_state.h"

#include "ui/control_kinds.h"

namespace ui {

ControlState* WindowState::control(std::string_view name) {
  for (ControlState& c : controls) {
    if (c.def->name == name) return &c;
  }
  return nullptr;
}

const ControlState* WindowState::control(std::string_view name) const {
  return const_cast<WindowState*>(this)->control(name);
}

ControlState initialState(const ControlDef& def) {
  ControlState c;
  c.def = &def;
  c.shown = def.shown;
  c.enabled = def.enabled;
  c.rect = def.rect;
  c.caption = def.caption;
  c.textColour = def.textColour;
  c.backColour = def.backColour;
  c.address = def.address;
  c.currentColour = def.kind == ControlKind::ColorPicker ? def.backColour : 0;
  c.timerPeriod = def.timerPeriod;
  return c;
}

bool effectivelyShown(const WindowState& window, const ControlState& control) {
  if (!control.shown) return false;
  const std::string& page = control.def->page;
  if (page.empty()) return true;
  for (const ControlState& c : window.controls) {
    if (c.def->kind != ControlKind::PageControl) continue;
    const auto& tabs = c.def->tabs;
    return c.selectedTab >= 0 && c.selectedTab < static_cast<int>(tabs.size()) && tabs[c.selectedTab] == page;
  }
  return false;
}

Rect rectInWindow(const WindowState& window, const ControlState& control) {
  Rect r = control.rect;
  if (control.def->page.empty()) return r;
  for (const ControlState& c : window.controls) {
    if (c.kind() != ControlKind::PageControl) continue;
    r.left += c.rect.left;
    r.top += c.rect.top;
    break;
  }
  return r;
}

bool takesInput(const WindowState& window, const ControlState& control) {
  return window.enabled && !window.closing && control.enabled && effectivelyShown(window, control);
}

std::vector<int> stackingOrder(const WindowState& window) {
  std::vector<int> order;
  order.reserve(window.controls.size());
  const int count = static_cast<int>(window.controls.size());
  for (int i = 0; i < count; ++i) {
    const ControlDef& def = *window.controls[i].def;
    if (!traitsOf(def.kind).hasWindow || !def.page.empty()) continue;
    order.push_back(i);
    if (def.kind != ControlKind::PageControl) continue;
    for (int j = 0; j < count; ++j) {
      const ControlDef& pageRow = *window.controls[j].def;
      if (!pageRow.page.empty() && traitsOf(pageRow.kind).hasWindow) order.push_back(j);
    }
  }
  return order;
}

}  // namespace ui
