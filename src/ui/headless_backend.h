#pragma once
// A backend that realises nothing, for tests: they set the screen and the
// pointer, script what a popup menu or a modal window does, fire input by
// window and control name through the manager, and read the model back.
#include <functional>
#include <string>
#include <vector>

#include "ui/backend.h"

namespace ui {

class HeadlessBackend : public Backend {
 public:
  struct MenuRequest {
    WindowId owner;
    std::vector<std::string> captions;
    Point at;
  };

  Size screenSize{1366, 768};
  Point pointerPosition{0, 0};
  // The entry a popup menu returns (by caption); empty: the menu is dismissed.
  std::string menuChoice;
  // Runs while a modal window is open (the user's actions in it). A window
  // still open afterwards is left open and the modal call returns.
  std::function<void(WindowId)> whileModal;

  std::vector<MenuRequest> menus;  // every popup shown
  std::vector<WindowId> created;   // in order
  std::vector<WindowId> creationsDone;  // in order
  std::vector<WindowId> destroyed;  // in order
  std::vector<WindowId> activated;
  std::vector<std::pair<WindowId, std::string>> focused;  // control name empty: the window
  std::vector<std::pair<std::string, std::string>> navigations;  // browser view name, address
  std::vector<std::pair<WindowId, std::string>> rightButtonFilters;  // window, control: each request
  std::vector<std::pair<WindowId, WindowProperty>> windowChanges;
  int quitRequests = 0;

  void createWindow(WindowState& window) override;
  void creationDone(WindowState& window) override { creationsDone.push_back(window.id()); }
  void destroyWindow(WindowState& window) override;
  void windowChanged(WindowState& window, WindowProperty property) override;
  void controlChanged(WindowState& window, ControlState& control, ControlProperty property) override;
  void activate(WindowState& window) override;
  void setFocus(WindowState& window, ControlState* control) override;
  void runModal(WindowState& window, bool (*stillOpen)(void*), void* context) override;
  std::optional<int> popupMenu(WindowState& owner, const std::vector<const MenuItemDef*>& entries,
                               Point at) override;
  void filterRightButton(WindowState& window, ControlState& control) override {
    rightButtonFilters.emplace_back(window.id(), control.name());
  }
  Point pointer() override { return pointerPosition; }
  Size screen() override { return screenSize; }
  void quit() override { ++quitRequests; }
};

}  // namespace ui
