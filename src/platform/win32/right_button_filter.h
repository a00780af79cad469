// ===========================================================================
//  PLATFORM SEAM (Win32): the right-button filter on a browser view's windows.
// ===========================================================================
#pragma once

#include <windows.h>

#include "ui/subclass_table.h"

namespace win32 {

// Puts the filter procedure on windows through the pointer-sized
// window-procedure slot of 64-bit Windows, walking them with FindWindowExW,
// and keeps their records for as long as it lives. The backend owns one for
// the whole run. Each filtered window finds its filter through a window
// property, so the procedure needs no global of its own.
class RightButtonFilter : private ui::WindowTree {
 public:
  RightButtonFilter() = default;
  // A window still filtered afterwards goes on swallowing right presses and
  // gives everything else to the default procedure (the program's windows
  // are all gone by then).
  ~RightButtonFilter() override;
  RightButtonFilter(const RightButtonFilter&) = delete;
  RightButtonFilter& operator=(const RightButtonFilter&) = delete;

  // The window and every window below it that exists now, depth first; a
  // window already in the records is skipped. A null window: nothing.
  void filterTree(HWND root);
  const ui::SubclassTable& records() const { return table_; }

 private:
  std::uintptr_t nextChild(std::uintptr_t parent, std::uintptr_t after) override;
  std::uintptr_t installFilter(std::uintptr_t window) override;

  ui::SubclassTable table_;
};

// The replacement window procedure: swallows right-button presses and
// releases, passes every other message to the window's previous procedure.
LRESULT CALLBACK rightButtonFilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32
