// The native side of one of an open window's controls: a child window of our
// own class whose window text is its caption (so accessibility tools and
// outside tests read what it shows), or a hosted browser view. It paints
// itself, places itself at its window's scale, runs its pictures' frames and
// reports its input to the window manager, which decides what it means.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/bound_window.h"
#include "platform/win32/browser_view.h"
#include "platform/win32/control_painter.h"
#include "platform/win32/picture_player.h"
#include "ui/window_state.h"

namespace win32 {

class NativeWindow;

class NativeControl : public BoundWindow {
 public:
  // Registers the window class of the controls; false when the system refuses it.
  static bool registerClass(HINSTANCE instance);

  NativeControl(NativeWindow& window, int index) : window_(window), index_(index) {}
  // The browser view closes while the window it sits in is still there;
  // messages to the control from here on go to the system.
  ~NativeControl() override;

  // Makes the native control as the model has it; false when the system refuses it.
  bool create(const ui::ControlState& control);
  // The control's own window, or the browser view's.
  HWND handle() const { return browser_ ? browser_->window() : hwnd(); }
  int index() const { return index_; }
  BrowserView* browser() const { return browser_.get(); }

  // The model changed a property: the native control follows.
  void apply(const ui::ControlState& control, ui::ControlProperty property);
  // Puts it where the model has it, at its window's scale.
  void place(const ui::ControlState& control);
  // Runs the animations on from the current frames: when the control is shown again.
  void resumePictures();
  // Draws its current picture at its natural size times the window's scale
  // from the top-left corner (PictureDrawer).
  void drawPicture(HDC hdc, const ui::ControlState& control, const ControlLook& look) const;

 protected:
  // One call per message. After a report to the manager nothing of the
  // control may be touched: the handler it ran may have destroyed it.
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void applyPictures(const ui::ControlState& control);
  void hookBrowserView();
  ControlLook look(const ui::WindowState& state, const ui::ControlState& control) const;

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

  NativeWindow& window_;  // owns the control
  int index_;             // into the window's controls
  std::unique_ptr<BrowserView> browser_;
  bool trackingLeave_ = false;
  bool releasingCapture_ = false;  // our own ReleaseCapture: not a cancelled press
  PicturePlayer picture_;          // PicBox, and PicBtn's normal picture
  PicturePlayer hotPicture_;       // PicBtn while the pointer is over it
};

}  // namespace win32
