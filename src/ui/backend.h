#pragma once
// What a window backend does for the model. The model decides everything a
// window does (closing, modality, stacking, focus, input routing); a backend
// only realises the model's state on screen and reports raw input back to
// the window manager. The Win32 backend realises the windows; the headless
// backend of the tests realises nothing.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/window_state.h"

namespace ui {

class WindowManager;

class Backend {
 public:
  virtual ~Backend() = default;

  // Builds the native window and its controls from the state, not yet on
  // screen: the model reveals it once its loading is over. False when the
  // window could not be made; nothing of it is left behind then.
  // The manager hears the window's input from then on.
  virtual bool createWindow(WindowManager& manager, WindowState& window) = 0;
  // Puts a created window on screen as the model holds it (shown or not,
  // minimized or not), in front.
  virtual void reveal(WindowState& window) = 0;
  virtual void destroyWindow(WindowState& window) = 0;
  virtual void windowChanged(WindowState& window, WindowProperty property) = 0;
  virtual void controlChanged(WindowState& window, ControlState& control, ControlProperty property) = 0;
  // Brings an open window to the front, restoring it first when minimized.
  virtual void activate(WindowState& window) = 0;
  // Gives the keyboard focus to the control (null: the window itself).
  virtual void setFocus(WindowState& window, ControlState* control) = 0;
  // The focused control went off screen: where the keyboard focus is still
  // on it, it goes to its window. Which window is active does not change.
  virtual void dropFocus(WindowState& window, ControlState& control) = 0;
  // Runs a nested loop of input until stillOpen turns false (the model ends
  // it by destroying the window).
  virtual void runModal(WindowState& window, bool (*stillOpen)(void*), void* context) = 0;
  // Shows a popup menu with its top-left corner at the screen point; returns
  // the index of the chosen entry, if any. Separators are "-" captions.
  virtual std::optional<int> popupMenu(WindowState& owner, const std::vector<const MenuItemDef*>& entries,
                                       Point at) = 0;
  // An owner-less, task-modal information box with one OK button; returns
  // when it has been dismissed.
  virtual void informationBox(const std::string& text, const std::string& caption) = 0;
  // Opens the colour palette of a colour picker; the user's choice comes back
  // as WindowManager::colourChosen.
  virtual void pickColour(WindowState& window, ControlState& picker) = 0;
  // Puts the right-button filter on the control's native window and on every
  // window below it that exists now (a browser view's own windows): right
  // presses and releases there are swallowed, everything else passes. A
  // window is filtered once only, however often this is asked.
  virtual void filterRightButton(WindowState& window, ControlState& control) = 0;
  // Waits on the user-interface thread until `finished` holds or
  // `timeoutMs` have passed. The windows still paint and answer what the
  // system and other programs send them; no input, timer tick or posted
  // message is taken meanwhile, and the pointer shows that the program is
  // busy once the wait lasts.
  virtual void waitUntil(const std::function<bool()>& finished, std::uint32_t timeoutMs) = 0;
  // From any thread: a running wait asks its `finished` again.
  virtual void wakeWait() = 0;
  virtual Point pointer() = 0;
  virtual Size screen() = 0;
  // Ends the program's message loop.
  virtual void quit() = 0;
};

}  // namespace ui
