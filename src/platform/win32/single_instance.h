// One program per user session.
#pragma once

#include <windows.h>

#include "platform/win32/owners.h"

namespace win32 {

// Holds the session's mark of a running program for as long as it lives.
class SingleInstance {
 public:
  SingleInstance();

  // False when another program of this user session held the mark first.
  bool first() const { return first_; }

 private:
  KernelHandle mark_;
  bool first_ = true;
};

// Brings the running program's main window to the front, restoring it when
// it is minimized. A program that is still starting may not have made its
// main window yet: it is looked for up to waitMs.
void bringRunningProgramForward(DWORD waitMs);

}  // namespace win32
