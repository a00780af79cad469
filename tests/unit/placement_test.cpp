// The advert window's slide-in and the edge docking of the remote control.
#include <gtest/gtest.h>

#include "test_program.h"

using ui::WindowId;
namespace advert_window = app::advert_window;
namespace remote_control = app::remote_control;

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
  EXPECT_EQ(t.program.slideFlag, 1);
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

}  // namespace
