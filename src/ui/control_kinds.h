#pragma once
// What each control kind does with input and how it is drawn, in one table:
// the window model routes input by it and the backends realise it.
#include "ui/window_definition.h"

namespace ui {

// What a control is to a screen reader.
enum class AccessibleRole { PushButton, Link, StaticText, Graphic, PageTabList, Client, None };

struct KindTraits {
  bool hasWindow = true;       // realised on screen (a timer is not)
  bool buttonLike = false;     // pressed and released: a release over it is a click
  bool draggable = false;      // a left press moves the window while drag-anywhere is on
  bool passesInput = false;    // presses go to what lies beneath it
  bool showsBackdrop = false;  // covers only part of its rectangle: what lies beneath shows
  bool takesFocus = false;     // a press gives it the keyboard focus
  bool selfDrawn = false;      // draws itself (a hosted browser): nothing to paint for it
  bool tabStop = false;        // Tab and Shift+Tab reach it
  AccessibleRole role = AccessibleRole::None;
};

constexpr KindTraits traitsOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:       return {.draggable = true, .role = AccessibleRole::StaticText};
    case ControlKind::TransLabel:
      return {.passesInput = true, .showsBackdrop = true, .role = AccessibleRole::StaticText};
    case ControlKind::SuperBtn:
      return {.buttonLike = true, .takesFocus = true, .tabStop = true, .role = AccessibleRole::PushButton};
    case ControlKind::HyperLinker: return {.tabStop = true, .role = AccessibleRole::Link};
    case ControlKind::PicBox:      return {.draggable = true, .role = AccessibleRole::Graphic};
    case ControlKind::HtmlViewer:
      return {.takesFocus = true, .selfDrawn = true, .tabStop = true, .role = AccessibleRole::Client};
    case ControlKind::PicBtn:
      return {.buttonLike = true, .showsBackdrop = true, .takesFocus = true, .tabStop = true,
              .role = AccessibleRole::PushButton};
    case ControlKind::ColorPicker:
      return {.buttonLike = true, .takesFocus = true, .tabStop = true, .role = AccessibleRole::PushButton};
    case ControlKind::PageControl: return {.role = AccessibleRole::PageTabList};
    case ControlKind::Timer:       return {.hasWindow = false};
  }
  return {};
}

}  // namespace ui
