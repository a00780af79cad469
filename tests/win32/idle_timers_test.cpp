// The program at rest under the real backend: no timer wakes it, and a move
// wakes the timer that can act on it.
#include <gtest/gtest.h>

#include <functional>

#include "win32_program.h"

namespace {

using ui::WindowId;

class IdleTimers : public ::testing::Test, protected testing_support::Win32Program {
 protected:
  void TearDown() override {
    program.finish();
    // The main window's close ended "the program": its quit message must not
    // end the next test's loops.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  // Dispatches what comes for the time given, counting the timer ticks.
  int pump(DWORD ms, const std::function<bool()>& done = {}) {
    int ticks = 0;
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end && !(done && done())) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ticks += message.message == WM_TIMER;
        DispatchMessageW(&message);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return ticks;
  }
  // At or above its rest line, 30 pixels above the screen's bottom.
  bool advertAtRest() {
    const ui::WindowRef advert = program.window(WindowId::Advert);
    return advert.top() <= program.ui().screen().height - advert.height() - 30;
  }
};

TEST_F(IdleTimers, AtRestNothingTicksAndADragBelowTheRestLineSlidesBack) {
  ASSERT_TRUE(program.start());
  pump(10000, [&] { return advertAtRest(); });
  ASSERT_TRUE(advertAtRest()) << "the advert did not come to rest";
  EXPECT_EQ(pump(2000), 0) << "a timer ticked with the advert at rest and the remote control away from the edges";

  HWND advert = backend.nativeWindow(WindowId::Advert);
  RECT r;
  GetWindowRect(advert, &r);
  SetWindowPos(advert, nullptr, r.left, r.top + 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_FALSE(advertAtRest()) << "the drag was not heard";
  pump(5000, [&] { return advertAtRest(); });
  EXPECT_TRUE(advertAtRest()) << "dragged 40 pixels down, the advert did not slide back";
  GetWindowRect(advert, &r);
  EXPECT_EQ(r.top, program.window(WindowId::Advert).top());
}

}  // namespace
