// The advert window's slide-in and the edge docking of the remote control.
#include <gtest/gtest.h>

#include "test_program.h"

using ui::WindowId;
namespace advert_window = app::advert_window;
namespace remote_control = app::remote_control;
namespace interaction_window = app::interaction_window;

namespace {

class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override { t.start(); }
  ui::WindowRef remote() { return t.window(WindowId::Remote); }
  void tickRemote() { t.tick(remote_control::kDockTimer); }
  // The user drops the window at a place with the pointer at x, y.
  void drop(int left, int top, int x, int y) {
    t.backend.pointerPosition = {x, y};
    t.ui().userMoved(WindowId::Remote, {left, top});
  }
  testing_support::TestProgram t;
};

TEST_F(PlacementTest, AdvertStartsBelowTheScreenAndRestsAfter43Steps) {
  ui::WindowRef advert = t.window(WindowId::Advert);
  EXPECT_EQ(advert.left(), 974);
  EXPECT_EQ(advert.top(), 768);
  EXPECT_EQ(t.control(advert_window::kSlideTimer).timerPeriod(), 1);
  int steps = 0;
  for (int i = 0; i < 100; ++i) {
    int before = advert.top();
    t.tick(advert_window::kSlideTimer);
    if (advert.top() != before) ++steps;
  }
  EXPECT_EQ(steps, 43);
  EXPECT_EQ(advert.top(), 424);
  EXPECT_EQ(advert.left(), 974);
}

TEST_F(PlacementTest, AdvertOpenedAgainSlidesAgainAndGetsTheFocus) {
  t.click(advert_window::kClose);
  EXPECT_FALSE(t.ui().isOpen(WindowId::Advert));
  t.backend.focused.clear();
  t.chooseFromNextMenu("支持一下广告吧");
  t.ui().rightPressed(WindowId::Main, "");
  EXPECT_EQ(t.window(WindowId::Advert).top(), 768);
  EXPECT_EQ(t.backend.focused, (std::vector<std::pair<WindowId, std::string>>{{WindowId::Advert, ""}}));
}

TEST_F(PlacementTest, DroppedPastTheLeftEdgeWithThePointerThereItSnapsHidesAndReturns) {
  drop(-20, 300, 3, 310);
  EXPECT_EQ(remote().left(), 0);
  t.backend.pointerPosition = {600, 400};
  tickRemote();
  EXPECT_EQ(remote().left(), -164);
  tickRemote();
  EXPECT_EQ(remote().left(), -164);
  t.backend.pointerPosition = {5, 350};  // on the visible strip
  tickRemote();
  EXPECT_EQ(remote().left(), 0);
}

TEST_F(PlacementTest, DroppedPastTheEdgeWithThePointerAwayItStaysAndNeverHides) {
  drop(-20, 300, 5, 310);
  EXPECT_EQ(remote().left(), -20);
  t.backend.pointerPosition = {600, 400};
  tickRemote();
  EXPECT_EQ(remote().left(), -20);
}

TEST_F(PlacementTest, RightEdgeSnapAndHideLeaveFivePixels) {
  drop(1300, 300, 1364, 310);
  EXPECT_EQ(remote().left(), 1366 - 169);
  t.backend.pointerPosition = {100, 100};
  tickRemote();
  EXPECT_EQ(remote().left(), 1361);
  t.backend.pointerPosition = {1363, 350};
  tickRemote();
  EXPECT_EQ(remote().left(), 1197);
}

TEST_F(PlacementTest, OnePixelPastAnEdgeWithThePointerFourPixelsInSnapsButOnePixelShortNeverHides) {
  drop(-1, 300, 4, 310);
  EXPECT_EQ(remote().left(), 0);
  drop(1366 - 169 + 1, 300, 1366 - 4, 310);
  EXPECT_EQ(remote().left(), 1366 - 169);
  drop(600, -1, 650, 4);
  EXPECT_EQ(remote().top(), 0);

  drop(1, 1, 3, 3);
  t.backend.pointerPosition = {600, 400};
  tickRemote();
  EXPECT_EQ(remote().left(), 1);
  EXPECT_EQ(remote().top(), 1);
}

TEST_F(PlacementTest, TheTopEdgeSnapGoesByThePointersHeightAlone) {
  drop(600, -30, 650, 2);
  EXPECT_EQ(remote().top(), 0);
  drop(0, -30, 2, 100);
  EXPECT_EQ(remote().top(), -30);
}

TEST_F(PlacementTest, ACornerHidesTowardBothEdgesAndTheBottomIsNeverUsed) {
  drop(-10, -10, 2, 2);
  EXPECT_EQ(remote().left(), 0);
  EXPECT_EQ(remote().top(), 0);
  t.backend.pointerPosition = {700, 700};
  tickRemote();
  EXPECT_EQ(remote().left(), -164);
  EXPECT_EQ(remote().top(), -274);
  t.backend.pointerPosition = {0, 0};
  tickRemote();
  EXPECT_EQ(remote().left(), 0);
  EXPECT_EQ(remote().top(), 0);

  drop(100, 700, 150, 767);
  EXPECT_EQ(remote().top(), 700);
}

TEST_F(PlacementTest, InteractionWindowOpensRightBelowTheRemoteControl) {
  remote().move(100, 50);
  t.click(remote_control::kInteraction);
  ui::WindowRef chat = t.window(WindowId::Interaction);
  ASSERT_TRUE(chat.isOpen());
  EXPECT_EQ(chat.top(), 50 + 279);
  EXPECT_EQ(chat.left(), (1366 - 742) / 2);
  EXPECT_TRUE(chat.shown());
}

// Timers that sleep while no tick can act, against timers that tick for
// ever: the same steps, side by side, must leave every window in the same
// place after each of them, and at rest the lean timers do not tick at all.
class LeanTimers : public ::testing::Test {
 protected:
  using Program = testing_support::TestProgram;
  void SetUp() override {
    for (Program* t : {&lean, &always}) {
      t->start();
      t->click(remote_control::kInteraction);
    }
  }
  // The step in both programs, then two seconds of 100 ms ticks (the slide's
  // 1 ms ticks are fewer than a backend would give, and enough to end it).
  template <typename Step>
  void both(const char* what, Step step) {
    step(lean);
    step(always);
    leanTicks = 0;
    for (int i = 0; i < 60; ++i) {
      tickAll(lean, true);
      tickAll(always, false);
    }
    for (int id = 0; id < ui::kWindowCount; ++id) {
      EXPECT_EQ(lean.window(WindowId(id)).rect(), always.window(WindowId(id)).rect()) << what << ", window " << id;
    }
  }
  void tickAll(Program& t, bool leanOne) {
    for (ui::ControlName timer : {advert_window::kSlideTimer, remote_control::kDockTimer, interaction_window::kDockTimer}) {
      ui::WindowState* w = t.ui().state(timer.window);
      ui::ControlState* c = w ? w->control(timer.name) : nullptr;
      if (!c) continue;
      if (!leanOne) c->timerDormant = false;  // never stopped
      if (!c->ticking()) continue;
      leanTicks += leanOne;
      t.tick(timer);
    }
  }
  static auto drop(WindowId id, int left, int top, int x, int y) {
    return [=](Program& t) {
      t.backend.pointerPosition = {x, y};
      t.ui().userMoved(id, {left, top});
    };
  }
  static auto resize(WindowId id, int width, int height) {
    return [=](Program& t) { t.ui().userResized(id, {width, height}); };
  }
  static auto pointerAt(int x, int y) {
    return [=](Program& t) { t.backend.pointerPosition = {x, y}; };
  }
  static auto screen(int width, int height) {
    return [=](Program& t) {
      t.backend.screenSize = {width, height};
      t.ui().screenChanged();
    };
  }
  Program lean, always;
  int leanTicks = 0;
};

TEST_F(LeanTimers, MoveEveryWindowAsTimersThatNeverStop) {
  both("the slide-in", [](Program&) {});
  both("at rest", pointerAt(600, 10));
  EXPECT_EQ(leanTicks, 0) << "the advert at rest and the others away from the edges";
  both("the advert dragged below its rest line", drop(WindowId::Advert, 974, 470, 1000, 480));
  both("the advert dragged above it", drop(WindowId::Advert, 974, 300, 1000, 310));
  both("a taller screen", screen(1366, 900));
  both("docked at the left", drop(WindowId::Remote, -20, 300, 3, 310));
  both("the pointer away: hidden", pointerAt(600, 10));
  both("the pointer on the strip: shown", pointerAt(2, 350));
  both("the pointer away again", pointerAt(600, 10));
  both("docked at the right", drop(WindowId::Remote, 1300, 300, 1364, 310));
  both("the pointer away from the right", pointerAt(600, 10));
  both("the pointer on the right strip", pointerAt(1364, 350));
  both("docked at the top", drop(WindowId::Interaction, 300, -30, 400, 2));
  both("the pointer away from the top", pointerAt(600, 600));
  both("the pointer on the top strip", pointerAt(400, 2));
  both("docked in a corner", drop(WindowId::Remote, -10, -10, 2, 2));
  both("the pointer away from the corner", pointerAt(700, 700));
  both("the pointer in the corner", pointerAt(1, 1));
  both("dragged out of the edge", drop(WindowId::Remote, 500, 200, 520, 220));
  both("the chat window dragged out of the top", drop(WindowId::Interaction, 300, 200, 320, 220));
  both("a narrower screen", screen(1200, 900));
  both("at rest again", pointerAt(600, 10));
  both("the advert made taller: below its rest line", resize(WindowId::Advert, 392, 600));
  both("at rest still", pointerAt(610, 10));
  EXPECT_EQ(leanTicks, 0);
}

}  // namespace
