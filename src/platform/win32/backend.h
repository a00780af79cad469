// ===========================================================================
//  PLATFORM SEAM (Win32). Everything below src/platform/win32 may include
//  windows.h; nothing outside it does.
// ===========================================================================
//
// The window backend on Win32: realises the model's windows as native ones
// (native_window.h, native_control.h), which each handle their own messages
// and report their input to the window manager that made them. The backend
// itself routes from a window id to its native window, runs the message
// loops, popups and the handlers' wait, and takes the keys that go to the
// program before any window sees them.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "platform/win32/colour_palette.h"
#include "platform/win32/native_context.h"
#include "platform/win32/native_window.h"
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

 private:
  // Handles keys the program takes before any window (keyboard.cpp):
  // Esc, Tab and the menu keys. True when the message was used up.
  bool preTranslate(const MSG& message);
  // In message_loops.cpp: the window active before a modal one that has just
  // closed takes the activation back once the model enables it again.
  void giveBackActivation(HWND enabled);
  void pumpOne(const MSG& message);
  // In wait.cpp: the busy pointer while a wait lasts.
  void showBusy(bool busy);
  NativeWindow* find(ui::WindowId id) const;

  bool ready_ = false;
  // The primary screen's scale: the pointer and the screen size reach the
  // model through it, and windows are first made at it.
  ui::DpiScale screenScale_;
  NativeContext context_;
  ColourPalettes palettes_;
  RightButtonFilter rightButtonFilter_;
  std::array<std::unique_ptr<NativeWindow>, ui::kWindowCount> windows_;
  HWND activeAfterModal_ = nullptr;
  bool quitting_ = false;
  KernelHandle wakeEvent_;  // set by another thread to end a wait's sleep
};

}  // namespace win32
