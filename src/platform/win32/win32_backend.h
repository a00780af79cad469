// ===========================================================================
//  PLATFORM SEAM (Win32). Everything below src/platform/win32 may include
//  windows.h; nothing outside it does.
// ===========================================================================
//
// The window backend on Win32: realises the model's windows as borderless
// top-level windows of our own class, each control as a child window whose
// window text is its caption (so accessibility tools and outside tests can
// read what it shows), browser views as hosted WebBrowser controls, timers as
// window timers, popup menus with TrackPopupMenu; and reports input to the
// window manager.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "platform/win32/browser_view.h"
#include "platform/win32/colour_palette.h"
#include "platform/win32/control_painter.h"
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

  // The manager that hears this backend's input. Set once, before any window opens.
  void attach(ui::WindowManager& manager) { manager_ = &manager; }

  // Dispatches messages until quit() is called.
  void runMessageLoop();

  void createWindow(ui::WindowState& window) override;
  void creationDone(ui::WindowState& window) override;
  void destroyWindow(ui::WindowState& window) override;
  void windowChanged(ui::WindowState& window, ui::WindowProperty property) override;
  void controlChanged(ui::WindowState& window, ui::ControlState& control, ui::ControlProperty property) override;
  void activate(ui::WindowState& window) override;
  void setFocus(ui::WindowState& window, ui::ControlState* control) override;
  void runModal(ui::WindowState& window, bool (*stillOpen)(void*), void* context) override;
  std::optional<int> popupMenu(ui::WindowState& owner, const std::vector<const ui::MenuItemDef*>& entries,
                               ui::Point at) override;
  // In right_button_filter.cpp.
  void filterRightButton(ui::WindowState& window, ui::ControlState& control) override;
  ui::Point pointer() override;
  ui::Size screen() override;
  void quit() override;

  // The native window of an open window or of one of its controls (the view's
  // own window for a browser view); null when there is none.
  HWND nativeWindow(ui::WindowId window) const;
  HWND nativeControl(ui::WindowId window, std::string_view control) const;

 private:
  struct NativeControl;
  struct NativeWindow;

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleWindowMessage(NativeWindow& window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleControlMessage(NativeControl& control, UINT message, WPARAM wParam, LPARAM lParam);

  // Handles keys the program takes before any window: Esc closes the window
  // that allows it. True when the message was used up.
  bool preTranslate(const MSG& message);
  void pumpOne(const MSG& message);

  void registerClasses();
  void createControl(NativeWindow& window, ui::ControlState& control, int index);
  void stackControls(const NativeWindow& window);
  void applyShape(NativeWindow& window);
  void applyTimer(NativeWindow& window, int index);
  // Picture boxes and picture buttons: decode what the model holds and run
  // their animations on the control's own timers.
  static void applyPictures(NativeControl& native, const ui::ControlState& control);
  static void resumePictures(const NativeControl& native);
  static void drawControlPicture(HDC hdc, const ui::ControlState& control, const ControlLook& look);
  void startDrag(HWND topLevel);
  void redrawTransparentControls(NativeWindow& window);
  NativeWindow* find(ui::WindowId id) const;
  ui::WindowState* model(const NativeWindow& window) const;

  HINSTANCE instance_;
  ui::WindowManager* manager_ = nullptr;
  HWND owner_ = nullptr;  // hidden: windows it owns get no taskbar button
  FontCache fonts_;
  ColourPalettes palettes_;
  RightButtonFilter rightButtonFilter_;
  std::array<std::unique_ptr<NativeWindow>, ui::kWindowCount> windows_;
  int applying_ = 0;  // >0 while the program itself moves or sizes a window
  bool quitting_ = false;
};

}  // namespace win32
