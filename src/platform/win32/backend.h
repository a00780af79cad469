// ===========================================================================
//  PLATFORM SEAM (Win32). Everything below src/platform/win32 may include
//  windows.h; nothing outside it does.
// ===========================================================================
//
// The window backend on Win32: realises the model's windows as borderless
// top-level windows of our own class, each control as a child window whose
// window text is its caption (so accessibility tools and outside tests can
// read what it shows), browser views as hosted WebBrowser controls, timers as
// window timers, popup menus with TrackPopupMenu. Each native window and
// control reports its own input to the window manager that made it, which
// decides what it means.
//
// The work is split by job: backend.cpp makes, changes and destroys
// the native windows; native_window.cpp and native_control.cpp are their
// messages; message_loops.cpp runs the message loops and popups.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "platform/win32/accessible_control.h"
#include "platform/win32/browser_view.h"
#include "platform/win32/colour_palette.h"
#include "platform/win32/control_painter.h"
#include "platform/win32/owners.h"
#include "platform/win32/right_button_filter.h"
#include "ui/backend.h"
#include "ui/window_manager.h"

namespace win32 {

class Win32Backend : public ui::Backend {
 public:
  explicit Win32Backend(HINSTANCE instance);
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  // False when the window classes could not be registered: no window can be made.
  bool ready() const { return ready_; }

  // Dispatches messages until quit() is called.
  void runMessageLoop();

  bool createWindow(ui::WindowManager& manager, ui::WindowState& window) override;
  void reveal(ui::WindowState& window) override;
  void destroyWindow(ui::WindowState& window) override;
  void windowChanged(ui::WindowState& window, ui::WindowProperty property) override;
  void controlChanged(ui::WindowState& window, ui::ControlState& control, ui::ControlProperty property) override;
  void activate(ui::WindowState& window) override;
  void setFocus(ui::WindowState& window, ui::ControlState* control) override;
  void dropFocus(ui::WindowState& window, ui::ControlState& control) override;
  void runModal(ui::WindowState& window, bool (*stillOpen)(void*), void* context) override;
  std::optional<int> popupMenu(ui::WindowState& owner, const std::vector<const ui::MenuItemDef*>& entries,
                               ui::Point at) override;
  void pickColour(ui::WindowState& window, ui::ControlState& picker) override;
  // In message_loops.cpp.
  void informationBox(const std::string& text, const std::string& caption) override;
  // In right_button_filter.cpp.
  void filterRightButton(ui::WindowState& window, ui::ControlState& control) override;
  // In wait.cpp.
  void waitUntil(const std::function<bool()>& finished, std::uint32_t timeoutMs) override;
  void wakeWait() override;
  ui::Point pointer() override;
  ui::Size screen() override;
  void quit() override;

  // The native window of an open window or of one of its controls (the view's
  // own window for a browser view); null when there is none.
  HWND nativeWindow(ui::WindowId window) const;
  HWND nativeControl(ui::WindowId window, std::string_view control) const;

  // The native windows (native_windows.h).
  struct NativeControl;
  struct NativeWindow;

 private:
  // Handles keys the program takes before any window (keyboard.cpp):
  // Esc, Tab and the menu keys. True when the message was used up.
  bool preTranslate(const MSG& message);
  // In accessibility.cpp: what a screen reader is told about an open
  // window (index -1) or one of its controls while the native window is
  // `hwnd`; the browser view's answers; the pins' state after the window's
  // always-on-top changed.
  AccessibleSource accessibleSource(ui::WindowId id, int index, HWND hwnd) const;
  void hookBrowserView(const NativeControl& control);
  void announcePins(const NativeWindow& window, const ui::WindowState& state) const;
  // In message_loops.cpp: the window active before a modal one that has just
  // closed takes the activation back once the model enables it again.
  void giveBackActivation(HWND enabled);
  void pumpOne(const MSG& message);
  // In wait.cpp: the busy pointer while a wait lasts. busyCursor()
  // answers a window's WM_SETCURSOR: true when it set the busy pointer.
  void showBusy(bool busy);
  bool busyCursor() const;
  // Whether the native window is one of a browser view's (its own or one below it).
  bool inBrowserView(const NativeWindow& window, HWND hwnd) const;

  void createControl(NativeWindow& window, const ui::ControlState& control, int index);
  void stackControls(const NativeWindow& window);
  void applyShape(NativeWindow& window);
  // Puts the native window or control where the model has it, at the window's scale.
  void placeWindow(NativeWindow& window);
  void placeControl(NativeWindow& window, NativeControl& native, const ui::ControlState& control);
  void rescale(NativeWindow& window, int dpi, const RECT& suggested);
  HWND tooltipsOf(NativeWindow& window);
  void applyTooltipFont(NativeWindow& window);
  void applyTimer(NativeWindow& window, int index);
  // Moves the window as if its title bar were dragged.
  static void startDrag(HWND topLevel);
  void redrawTransparentControls(NativeWindow& window);
  // How a control of the window looks right now, from the model.
  ControlLook lookOf(const ui::WindowState& window, const ui::ControlState& control, HWND hwnd) const;
  // Draws a picture box's or picture button's current picture (the painter's PictureDrawer).
  PictureDrawer pictureDrawerFor(const NativeWindow& window) const;
  NativeWindow* find(ui::WindowId id) const;

  HINSTANCE instance_;
  bool ready_ = false;
  OwnedWindow owner_;  // hidden: windows it owns get no taskbar button
  // The primary screen's scale: the pointer and the screen size reach the
  // model through it, and windows are first made at it.
  ui::DpiScale screenScale_;
  FontCache fonts_;
  ColourPalettes palettes_;
  RightButtonFilter rightButtonFilter_;
  std::array<std::unique_ptr<NativeWindow>, ui::kWindowCount> windows_;
  HWND activeAfterModal_ = nullptr;
  int applying_ = 0;  // >0 while the program itself moves or sizes a window
  bool quitting_ = false;
  KernelHandle wakeEvent_;  // set by another thread to end a wait's sleep
  bool busy_ = false;            // a wait has lasted: the busy pointer shows
  bool waiting_ = false;         // in waitUntil
};

}  // namespace win32
