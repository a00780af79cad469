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
  int selectedTab = 0;                         // PageControl
  std::uintptr_t native = 0;                   // backend's handle

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
  bool closing = false;  // close requested, destroyed when the running handler returns
  Colour background = kSystemDefault;
  std::vector<ControlState> controls;
  std::uintptr_t native = 0;

  WindowId id() const { return def->id; }
  ControlState* control(std::string_view name);
  const ControlState* control(std::string_view name) const;
};

}  // namespace ui

namespace ui {

// Whether a control is on screen: its own shown setting, and for a control on
// a tab page, that page being the selected one.
bool effectivelyShown(const WindowState& window, const ControlState& control);

}  // namespace ui
