// What the native windows and controls of one backend share. The backend
// owns it and hands it to each window as it makes it: the fonts, whether a
// handler's wait is on and shows the busy pointer, and the mark of the moves
// and sizes the program makes itself.
#pragma once

#include <windows.h>

#include "platform/win32/control_painter.h"
#include "platform/win32/owners.h"
#include "ui/scoped_count.h"

namespace win32 {

class NativeContext {
 public:
  // Makes the hidden owner window; hiddenOwner() is null when the system refused it.
  explicit NativeContext(HINSTANCE instance);
  NativeContext(const NativeContext&) = delete;
  NativeContext& operator=(const NativeContext&) = delete;

  HINSTANCE instance() const { return instance_; }
  // Hidden: what it owns gets no taskbar button and is not tied to one of
  // the program's windows.
  HWND hiddenOwner() const { return hiddenOwner_.get(); }
  FontCache& fonts() { return fonts_; }

  // While the mark lives, the moves and sizes of the windows are the
  // program's own and not reported as the user's.
  [[nodiscard]] ui::ScopedCount markProgramMove() { return ui::ScopedCount(programMoves_); }
  bool programMoving() const { return programMoves_ > 0; }

  // A handler's wait (Win32Backend::waitUntil) counts itself in for as long
  // as it lasts, and shows the busy pointer once it has lasted.
  [[nodiscard]] ui::ScopedCount markWait() { return ui::ScopedCount(waits_); }
  bool inWait() const { return waits_ > 0; }
  void showBusy(bool busy) { busy_ = busy; }
  bool busy() const { return busy_; }
  // Answers a window's WM_SETCURSOR: true when it set the busy pointer.
  bool setBusyCursor() const {
    if (!busy_) return false;
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32650)));  // IDC_APPSTARTING: the arrow with an hourglass
    return true;
  }

 private:
  HINSTANCE instance_;
  OwnedWindow hiddenOwner_;
  FontCache fonts_;
  int programMoves_ = 0;
  int waits_ = 0;
  bool busy_ = false;
};

}  // namespace win32
