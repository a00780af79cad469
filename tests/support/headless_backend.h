#pragma once
// A backend that realises nothing, for tests. It behaves as the Win32
// backend does where the model depends on it: a window is made hidden and
// revealed later, and a modal window runs a real nested loop, here over a
// scripted queue of input (what the user does, timer ticks). Tests set the
// screen and the pointer, script menus and input, fire input by window and
// control name through the manager, and read the model back.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ui/backend.h"
#include "ui/dpi_scale.h"

namespace ui {

class HeadlessBackend : public Backend {
 public:
  struct MenuRequest {
    WindowId owner;
    std::vector<std::string> captions;
    Point at;
  };

  // The screen and the pointer in physical pixels, reported to the model
  // divided by the screen's scale, as the Win32 backend does.
  Size screenSize{1366, 768};
  Point pointerPosition{0, 0};
  DpiScale scale;
  // The entry a popup menu returns (by caption); empty: the menu is dismissed.
  std::string menuChoice;
  // What the user does next, in order; the message loops take from here.
  std::deque<std::function<void()>> input;
  // Queued first when a modal window's loop starts (the user's actions in it).
  std::function<void(WindowId)> whileModal;
  // Told as each window comes on screen.
  std::function<void(const WindowState&)> onReveal;
  // Run on this thread as each wait begins: what the system and other
  // threads do while the program waits (the queued input is not taken).
  std::function<void()> whileWaiting;
  int waits = 0;
  // Windows that cannot be made (as when the system refuses a window).
  std::vector<WindowId> refuseCreation;

  std::vector<MenuRequest> menus;  // every popup shown
  std::vector<std::pair<std::string, std::string>> boxes;  // every information box: text, caption
  std::function<void()> whileBoxShown;                    // run while each box is up
  std::vector<WindowId> created;   // in order
  std::vector<WindowId> revealed;  // in order
  std::vector<WindowId> destroyed;  // in order
  std::vector<WindowId> activated;
  std::vector<std::pair<WindowId, std::string>> focused;  // control name empty: the window
  std::vector<std::pair<std::string, std::string>> navigations;  // browser view name, address
  std::vector<std::pair<WindowId, std::string>> rightButtonFilters;  // window, control: each request
  std::vector<std::pair<WindowId, WindowProperty>> windowChanges;
  std::vector<std::pair<WindowId, std::string>> palettes;  // colour pickers whose palette opened
  int quitRequests = 0;
  // Modal loops that ran out of input with their window still open: under
  // Win32 the program would wait there for the user.
  int modalsLeftWaiting = 0;

  // The program's message loop: runs the queued input until none is left.
  void run();

  bool createWindow(WindowManager& manager, WindowState& window) override;
  void reveal(WindowState& window) override {
    revealed.push_back(window.id());
    if (onReveal) onReveal(window);
  }
  void destroyWindow(WindowState& window) override;
  void windowChanged(WindowState& window, WindowProperty property) override;
  void controlChanged(WindowState& window, ControlState& control, ControlProperty property) override;
  void activate(WindowState& window) override;
  void setFocus(WindowState& window, ControlState* control) override;
  void dropFocus(WindowState& window, ControlState&) override { setFocus(window, nullptr); }
  void runModal(WindowState& window, bool (*stillOpen)(void*), void* context) override;
  std::optional<int> popupMenu(WindowState& owner, const std::vector<const MenuItemDef*>& entries,
                               Point at) override;
  void pickColour(WindowState& window, ControlState& picker) override;
  void informationBox(const std::string& text, const std::string& caption) override {
    boxes.emplace_back(text, caption);
    if (whileBoxShown) whileBoxShown();
  }
  void filterRightButton(WindowState& window, ControlState& control) override {
    rightButtonFilters.emplace_back(window.id(), control.name());
  }
  void waitUntil(const std::function<bool()>& finished, std::uint32_t timeoutMs) override;
  void wakeWait() override;
  Point pointer() override { return scale.toLogical(pointerPosition); }
  Size screen() override { return scale.toLogical(screenSize); }
  void quit() override { ++quitRequests; }

 private:
  // Takes the next queued input and runs it; false when there is none.
  bool runNext();

  std::mutex wakeMutex_;
  std::condition_variable woken_;
  std::uint64_t wakes_ = 0;
};

}  // namespace ui
