// ===========================================================================
//  PLATFORM SEAM (Win32): the right-button filter on a browser view's windows.
// ===========================================================================
#pragma once

#include <windows.h>

#include "net/subclass_table.h"

namespace win32 {

// Walks windows with FindWindowExA and puts the filter procedure on them
// through the pointer-sized window-procedure slot of 64-bit Windows.
class Win32WindowTree : public net::WindowTree {
 public:
  std::uintptr_t nextChild(std::uintptr_t parent, std::uintptr_t after) override;
  std::uintptr_t installFilter(std::uintptr_t window) override;
};

// The table the filter looks its records up in: the program's, for the whole
// run (null again before the table goes).
void setFilterTable(const net::SubclassTable* table);

// The replacement window procedure: swallows right-button presses and
// releases, passes every other message to the window's previous procedure.
LRESULT CALLBACK rightButtonFilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32
