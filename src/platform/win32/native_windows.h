// ===========================================================================
//  PLATFORM SEAM (Win32)
// ===========================================================================
//
// The native side of an open window and of its controls, shared by the
// backend's files. Both are bound to their native windows and handle their
// own messages (native_window.cpp, native_control.cpp), reporting input to
// the window manager that made them; what the input means is its decision.
#pragma once

#include <memory>
#include <vector>

#include "platform/win32/backend.h"
#include "platform/win32/bound_window.h"
#include "platform/win32/browser_view.h"
#include "platform/win32/picture_player.h"

namespace win32 {

inline constexpr wchar_t kWindowClass[] = L"StationWindow";
inline constexpr wchar_t kControlClass[] = L"StationControl";
inline constexpr wchar_t kOwnerClass[] = L"StationOwner";
// Window timers of the model's timer controls: this plus the control's index.
inline constexpr UINT_PTR kTimerBase = 1000;
// A control's own timers that step its animated pictures.
inline constexpr UINT_PTR kPictureTimer = 1;
inline constexpr UINT_PTR kHotPictureTimer = 2;

// Schedules the next frame of an animated picture on the control's own
// timer; a still or finished picture needs none.
inline void scheduleFrame(HWND hwnd, UINT_PTR timer, const PicturePlayer& player) {
  int delay = player.currentDelayMs();
  if (delay > 0) {
    SetTimer(hwnd, timer, static_cast<UINT>(delay), nullptr);
  } else {
    KillTimer(hwnd, timer);
  }
}

struct Win32Backend::NativeControl : BoundWindow {
  NativeControl(Win32Backend& owner, ui::WindowManager& model, ui::WindowId of, int at)
      : backend(owner), manager(model), window(of), index(at) {}
  // The control's own window, or the browser view's.
  HWND handle() const { return browser ? browser->window() : hwnd(); }
  // At its physical rectangle in the window.
  bool create(HWND parent, const ui::ControlState& control, const ui::Rect& r, HINSTANCE instance);

  Win32Backend& backend;
  ui::WindowManager& manager;
  ui::WindowId window;
  int index;  // into the window's controls
  std::unique_ptr<BrowserView> browser;
  bool trackingLeave = false;
  bool releasingCapture = false;  // our own ReleaseCapture: not a cancelled press
  PicturePlayer picture;          // PicBox, and PicBtn's normal picture
  PicturePlayer hotPicture;       // PicBtn while the pointer is over it

 protected:
  // One call per message. After a report to the manager nothing of the
  // control may be touched: the handler it ran may have destroyed it.
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  friend class Win32Backend;

 private:
  LRESULT paint(const ui::WindowState& state, const ui::ControlState& control);
  LRESULT setCursor(const ui::ControlState& control, WPARAM wParam, LPARAM lParam);
  LRESULT pointerMoved(const ui::ControlState& control, WPARAM wParam, LPARAM lParam);
  LRESULT pointerLeft(const ui::ControlState& control);
  LRESULT pictureTimer(WPARAM timer, LPARAM lParam);
  LRESULT focusGained(const ui::ControlState& control);
  LRESULT leftDown(const ui::ControlState& control, LPARAM lParam);
  LRESULT leftUp(const ui::ControlState& control, LPARAM lParam);
  LRESULT captureLost(const ui::ControlState& control);
  LRESULT keyDown(const ui::ControlState& control, WPARAM wParam, LPARAM lParam);
};

struct Win32Backend::NativeWindow : BoundWindow {
  NativeWindow(Win32Backend& owner, ui::WindowManager& model, ui::WindowId of) : backend(owner), manager(model), id(of) {}
  ~NativeWindow() override;
  bool create(const ui::WindowState& state, HWND owner, HINSTANCE instance);
  // The model's state of the window; null once the model has let it go.
  ui::WindowState* state() const { return manager.state(id); }

  Win32Backend& backend;
  ui::WindowManager& manager;  // made it, and hears its input
  ui::WindowId id;
  OwnedWindow tooltip;  // made when first needed (tooltipsOf)
  ui::DpiScale scale;  // of the screen the window is on
  // Active when this window was made: a modal window gives it the keys back
  // as it closes (its owner is the hidden one, which the system would pick).
  HWND activeBefore = nullptr;
  std::vector<std::unique_ptr<NativeControl>> controls;  // one per model control, null for timers
  ui::Size shapedFor{};  // the physical size its region was made for

 protected:
  // One call per message; as for the controls, nothing of the window may be
  // touched after a report to the manager.
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  friend class Win32Backend;

 private:
  LRESULT eraseBackground(HDC hdc);
  LRESULT leftDown();
  LRESULT timer(WPARAM timer, LPARAM lParam);
  LRESULT moved();
  LRESULT sized(WPARAM how);
  LRESULT contextMenu(WPARAM wParam, LPARAM lParam);
};

}  // namespace win32
