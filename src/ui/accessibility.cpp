#include "ui/accessibility.h"

#include <cstdio>

#include "ui/named_colours.h"

namespace ui {

namespace {

// One GBK character: a single byte below 0x81, or a lead byte and its trail.
bool isSingleCharacter(const std::string& text) {
  if (text.size() == 1) return true;
  return text.size() == 2 && static_cast<unsigned char>(text[0]) >= 0x81;
}

std::string colourName(Colour colour) {
  const int index = namedColourIndex(colour);
  if (index >= 0) return namedColours()[index].name;
  char hex[8];
  std::snprintf(hex, sizeof hex, "#%02X%02X%02X", static_cast<unsigned>(colour & 0xFF),
                static_cast<unsigned>((colour >> 8) & 0xFF), static_cast<unsigned>((colour >> 16) & 0xFF));
  return hex;
}

}  // namespace

std::string accessibleName(const ControlState& control) {
  if (isSingleCharacter(control.caption) && !control.def->tooltip.empty()) return control.def->tooltip;
  return control.caption;
}

AccessibleFacts accessibleFacts(const WindowState& window, const ControlState& control) {
  const KindTraits traits = traitsOf(control.kind());
  AccessibleFacts facts;
  facts.role = traits.role;
  facts.name = accessibleName(control);
  if (control.kind() == ControlKind::ColorPicker) facts.value = colourName(control.currentColour);
  const WindowDef& def = *window.def;
  facts.clickable = traits.buttonLike || control.kind() == ControlKind::HyperLinker ||
                    def.handlerFor(control.name(), Event::LeftPressed) != nullptr ||
                    def.handlerFor(control.name(), Event::Clicked) != nullptr;
  facts.focusable = traits.tabStop;
  facts.invisible = !window.shown || !effectivelyShown(window, control);
  // A transparent label is disabled only so that presses pass through it.
  facts.unavailable = (!window.enabled || !control.enabled) && !traits.passesInput;
  facts.pressed = control.pressed || (control.def->pin && window.alwaysOnTop);
  return facts;
}

}  // namespace ui
