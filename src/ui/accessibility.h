#pragma once
// What a screen reader is told about a control: its role (control_kinds.h),
// its name, value and state, all from the model. A backend answers the
// system's accessibility queries with these.
#include <string>

#include "ui/control_kinds.h"
#include "ui/window_state.h"

namespace ui {

struct AccessibleFacts {
  AccessibleRole role = AccessibleRole::None;
  std::string name;   // GBK, as every program text
  std::string value;  // a colour picker's colour
  bool clickable = false;  // has a default action (a click)
  bool focusable = false;  // Tab reaches it
  bool invisible = false;
  bool unavailable = false;
  bool pressed = false;
};

// The caption verbatim ("&" is text, not a mnemonic); where the caption is a
// single character (a button's one-letter face) the tooltip says more and is
// the name instead.
std::string accessibleName(const ControlState& control);

AccessibleFacts accessibleFacts(const WindowState& window, const ControlState& control);

}  // namespace ui
