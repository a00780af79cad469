#pragma once
// The retained model: what each open window and its controls currently show.
// Handlers change it through WindowManager; a backend realises it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/window_definition.h"

namespace ui {

using Bytes = std::vector<std::uint8_t>;

struct ControlState {
  const ControlDef* def = nullptr;
  bool shown = true;
  bool enabled = true;
  Rect rect;
  std::string caption;
  Colour textColour = kBlack;
  Colour backColour = kSystemDefault;
  std::string address;
  bool visited = false;                        // HyperLinker
  std::shared_ptr<const Bytes> picture;        // PicBox: picture bytes as set
  std::shared_ptr<const Bytes> hotPicture;     // PicBtn: picture while hot
  Colour currentColour = 0;                    // ColorPicker
  int timerPeriod = 0;                         // Timer
  // Timer: its program found that no tick can act until its window moves or
  // is resized, or the screen changes; until then it is not realised.
  bool timerDormant = false;
  bool ticking() const { return timerPeriod > 0 && !timerDormant; }
  int selectedTab = 0;                         // PageControl
  bool hot = false;      // the pointer is over it, or it is held down and the pointer is on it
  bool pressed = false;  // the left button went down on it and is still held

  const std::string& name() const { return def->name; }
  ControlKind kind() const { return def->kind; }
};

enum class ControlProperty {
  Shown,
  Enabled,
  Rect,
  Caption,
  TextColour,
  BackColour,
  Address,
  Visited,
  Picture,
  CurrentColour,
  TimerPeriod,
  SelectedTab,
  Look,  // hot, pressed or focused changed
};

enum class WindowProperty {
  Shown,
  Rect,
  Background,
  AlwaysOnTop,
  Minimized,
  Enabled,
};

struct WindowState {
  const WindowDef* def = nullptr;
  Rect rect;
  bool shown = true;
  bool enabled = true;
  bool alwaysOnTop = false;
  bool dragAnywhere = false;
  bool minimized = false;
  bool closing = false;   // close requested, destroyed when the running handler returns
  bool revealed = false;  // has been put on screen (a window loaded by a handler waits for it to return)
  int focused = -1;       // index of the control with the keyboard focus; -1: the window itself
  Colour background = kSystemDefault;
  std::vector<ControlState> controls;

  WindowId id() const { return def->id; }
  ControlState* control(std::string_view name);
  const ControlState* control(std::string_view name) const;
  int indexOf(const ControlState& control) const { return static_cast<int>(&control - controls.data()); }
  bool hasFocus(const ControlState& control) const { return focused == indexOf(control); }
};

// A control as its definition row builds it.
ControlState initialState(const ControlDef& def);

// Whether a control is on screen: its own shown setting, and for a control on
// a tab page, that page being the selected one.
bool effectivelyShown(const WindowState& window, const ControlState& control);

// The control's rectangle in its window's client area: a control on a tab
// page lies on its tab box.
Rect rectInWindow(const WindowState& window, const ControlState& control);

// Whether the control takes the user's input: on screen, enabled, in an
// enabled window.
bool takesInput(const WindowState& window, const ControlState& control);

// The controls that have a window, bottom to top. Later controls lie on
// later ones; the controls on the pages of a tab box lie on that tab box
// (right above it, in definition order) wherever their rows are. Both the
// native stacking and the painter's backdrop follow this order.
std::vector<int> stackingOrder(const WindowState& window);

}  // namespace ui
