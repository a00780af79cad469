#include "ui/window_state.h"

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

}  // namespace ui
