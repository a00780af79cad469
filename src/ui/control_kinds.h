#pragma once
// What each control kind does with input and how it is drawn, in one table:
// the window model routes input by it and the backends realise it.
#include "ui/window_definition.h"

namespace ui {

struct KindTraits {
  bool hasWindow = true;       // realised on screen (a timer is not)
  bool buttonLike = false;     // pressed and released: a release over it is a click
  bool draggable = false;      // a left press moves the window while drag-anywhere is on
  bool passesInput = false;    // presses go to what lies beneath it
  bool showsBackdrop = false;  // covers only part of its rectangle: what lies beneath shows
  bool takesFocus = false;     // a press gives it the keyboard focus
  bool selfDrawn = false;      // draws itself (a hosted browser): nothing to paint for it
};

constexpr KindTraits traitsOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:       return {.draggable = true};
    case ControlKind::TransLabel:  return {.passesInput = true, .showsBackdrop = true};
    case ControlKind::SuperBtn:    return {.buttonLike = true, .takesFocus = true};
    case ControlKind::HyperLinker: return {};
    case ControlKind::PicBox:      return {.draggable = true};
    case ControlKind::HtmlViewer:  return {.takesFocus = true, .selfDrawn = true};
    case ControlKind::PicBtn:      return {.buttonLike = true, .showsBackdrop = true, .takesFocus = true};
    case ControlKind::ColorPicker: return {.buttonLike = true, .takesFocus = true};
    case ControlKind::PageControl: return {};
    case ControlKind::Timer:       return {.hasWindow = false};
  }
  return {};
}

}  // namespace ui
