// The main window's forms and always-on-top switches.
#include <gtest/gtest.h>

#include "app/window_forms.h"
#include "test_program.h"

using ui::WindowId;
namespace main_window = app::main_window;
namespace remote_control = app::remote_control;

namespace {

class WindowFormsTest : public ::testing::Test {
 protected:
  void SetUp() override { t.start(); }
  ui::WindowRef main() { return t.window(WindowId::Main); }
  testing_support::TestProgram t;
};

TEST_F(WindowFormsTest, MaximizedFormCoversTheScreenAndLaysOutTheControls) {
  app::showMaximizedForm(t.program);
  EXPECT_EQ(main().rect(), (ui::Rect{0, 0, 1366, 768}));
  EXPECT_EQ(t.control(main_window::kStationView).rect(), (ui::Rect{8, 72, 1350, 665}));
  EXPECT_EQ(t.control(main_window::kNotificationLine).top(), 744);
  EXPECT_EQ(t.control(main_window::kNotificationLine).width(), 1350);
  EXPECT_EQ(t.control(main_window::kPictureAdvert).left(), 1086);
  EXPECT_TRUE(t.control(main_window::kPictureAdvert).shown());
  EXPECT_FALSE(t.control(main_window::kMaximize).shown());
  EXPECT_TRUE(t.control(main_window::kRestore).shown());
  EXPECT_FALSE(t.control(main_window::kMenuButton).shown());
  EXPECT_FALSE(main().dragAnywhere());
}

TEST_F(WindowFormsTest, RestoreCentresTheNormalSizeAndBringsBackTheButtons) {
  app::showMaximizedForm(t.program);
  app::restoreFromMaximized(t.program);
  EXPECT_EQ(main().rect(), (ui::Rect{275, 68, 815, 631}));
  EXPECT_EQ(t.control(main_window::kStationView).rect(), (ui::Rect{8, 72, 800, 528}));
  EXPECT_EQ(t.control(main_window::kNotificationLine).top(), 607);
  EXPECT_EQ(t.control(main_window::kNotificationLine).width(), 799);
  EXPECT_TRUE(t.control(main_window::kMaximize).shown());
  EXPECT_FALSE(t.control(main_window::kRestore).shown());
  EXPECT_TRUE(t.control(main_window::kMenuButton).shown());
  EXPECT_FALSE(t.control(main_window::kPictureAdvert).shown());
  EXPECT_TRUE(main().dragAnywhere());
}

TEST_F(WindowFormsTest, SmallFormShrinksHidesTheBannerAndPinsTheWindow) {
  app::showSmallForm(t.program);
  EXPECT_EQ(main().width(), 529);
  EXPECT_EQ(main().height(), 410);
  EXPECT_EQ(t.control(main_window::kStationView).rect(), (ui::Rect{8, 25, 520, 343}));
  EXPECT_FALSE(t.control(main_window::kTitleLabel).shown());
  EXPECT_FALSE(t.control(main_window::kVersionLabel).shown());
  EXPECT_FALSE(t.control(main_window::kNotificationLine).shown());
  EXPECT_EQ(t.control(main_window::kMenuButton).left(), 469);
  EXPECT_TRUE(main().alwaysOnTop());
  EXPECT_FALSE(t.control(main_window::kPin).shown());
  EXPECT_TRUE(t.control(main_window::kUnpin).shown());

  app::showNormalForm(t.program);
  EXPECT_TRUE(main().alwaysOnTop()) << "the normal form does not unpin";
  EXPECT_EQ(main().width(), 815);
  EXPECT_EQ(t.control(main_window::kNotificationLine).top(), 607);
  EXPECT_TRUE(t.control(main_window::kTitleLabel).shown());
  EXPECT_EQ(t.control(main_window::kMenuButton).left(), 520);
}

TEST_F(WindowFormsTest, MaximizingFromTheSmallFormKeepsTheBannerHiddenThroughRestore) {
  app::showSmallForm(t.program);
  app::showMaximizedForm(t.program);
  EXPECT_FALSE(t.control(main_window::kTitleLabel).shown());
  EXPECT_FALSE(t.control(main_window::kNotificationLine).shown());
  EXPECT_EQ(t.control(main_window::kStationView).top(), 25);
  app::restoreFromMaximized(t.program);
  EXPECT_FALSE(t.control(main_window::kTitleLabel).shown());
  EXPECT_FALSE(t.control(main_window::kVersionLabel).shown());
  EXPECT_EQ(t.control(main_window::kMenuButton).left(), 469);
  EXPECT_TRUE(t.control(main_window::kMenuButton).shown());
}

TEST_F(WindowFormsTest, NormalFormWhileMaximizedOnlyResizes) {
  app::showMaximizedForm(t.program);
  app::showNormalForm(t.program);
  EXPECT_EQ(main().width(), 815);
  EXPECT_EQ(main().height(), 631);
  EXPECT_TRUE(t.control(main_window::kRestore).shown());
  EXPECT_FALSE(t.control(main_window::kMaximize).shown());
  EXPECT_FALSE(t.control(main_window::kMenuButton).shown());
  EXPECT_FALSE(main().dragAnywhere());
}

TEST_F(WindowFormsTest, PinButtonsShowExactlyOneOfThePair) {
  t.click(main_window::kPin);
  EXPECT_TRUE(main().alwaysOnTop());
  EXPECT_FALSE(t.control(main_window::kPin).shown());
  EXPECT_TRUE(t.control(main_window::kUnpin).shown());
  t.click(main_window::kUnpin);
  EXPECT_FALSE(main().alwaysOnTop());
  EXPECT_TRUE(t.control(main_window::kPin).shown());
  EXPECT_FALSE(t.control(main_window::kUnpin).shown());
  t.chooseFromNextMenu("置顶或取消置顶");
  t.ui().rightPressed(WindowId::Main, "");
  EXPECT_TRUE(main().alwaysOnTop());
  t.chooseFromNextMenu("置顶/取消置顶");
  t.click(main_window::kMenuButton);
  EXPECT_FALSE(main().alwaysOnTop());
}

TEST_F(WindowFormsTest, TopmostReleaseActsOnlyWhenPinned) {
  app::releaseTopmost(t.program);
  EXPECT_TRUE(t.control(main_window::kPin).shown());
  EXPECT_FALSE(t.control(main_window::kUnpin).shown());
  app::mainAlwaysOnTopOn(t.program);
  app::releaseTopmost(t.program);
  EXPECT_FALSE(main().alwaysOnTop());
  EXPECT_TRUE(t.control(main_window::kPin).shown());
  EXPECT_FALSE(t.control(main_window::kUnpin).shown());
}

TEST_F(WindowFormsTest, TheRemoteControlsPinTogglesOnlyItself) {
  t.click(remote_control::kPin);
  EXPECT_TRUE(t.window(WindowId::Remote).alwaysOnTop());
  EXPECT_FALSE(main().alwaysOnTop());
  t.click(remote_control::kPin);
  EXPECT_FALSE(t.window(WindowId::Remote).alwaysOnTop());
  EXPECT_EQ(t.control(remote_control::kPin).caption(), "遥控器置顶");
}

TEST_F(WindowFormsTest, MinimizeButtonMinimizesTheMainWindow) {
  t.click(main_window::kMinimize);
  EXPECT_TRUE(main().minimized());
}

}  // namespace
