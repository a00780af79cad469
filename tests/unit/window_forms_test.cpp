// The main window's forms and always-on-top switches.
#include <gtest/gtest.h>

#include "app/window_forms.h"
#include "test_program.h"

using ui::WindowId;

namespace {

class WindowFormsTest : public ::testing::Test {
 protected:
  void SetUp() override { t.start(); }
  ui::ControlRef c(const char* name) { return t.control(WindowId::Main, name); }
  ui::WindowRef main() { return t.window(WindowId::Main); }
  testing_support::TestProgram t;
};

TEST_F(WindowFormsTest, MaximizedFormCoversTheScreenAndLaysOutTheControls) {
  app::showMaximizedForm(t.program);
  EXPECT_EQ(main().rect(), (ui::Rect{0, 0, 1366, 768}));
  EXPECT_EQ(c("超文本浏览框1").rect(), (ui::Rect{8, 72, 1350, 665}));
  EXPECT_EQ(c("通知标签").top(), 744);
  EXPECT_EQ(c("通知标签").width(), 1350);
  EXPECT_EQ(c("图片框2").left(), 1086);
  EXPECT_TRUE(c("图片框2").shown());
  EXPECT_FALSE(c("扩").shown());
  EXPECT_TRUE(c("消扩").shown());
  EXPECT_FALSE(c("新").shown());
  EXPECT_FALSE(main().dragAnywhere());
}

TEST_F(WindowFormsTest, RestoreCentresTheNormalSizeAndBringsBackTheButtons) {
  app::showMaximizedForm(t.program);
  app::restoreFromMaximized(t.program);
  EXPECT_EQ(main().rect(), (ui::Rect{275, 68, 815, 631}));
  EXPECT_EQ(c("超文本浏览框1").rect(), (ui::Rect{8, 72, 800, 528}));
  EXPECT_EQ(c("通知标签").top(), 607);
  EXPECT_EQ(c("通知标签").width(), 799);
  EXPECT_TRUE(c("扩").shown());
  EXPECT_FALSE(c("消扩").shown());
  EXPECT_TRUE(c("新").shown());
  EXPECT_FALSE(c("图片框2").shown());
  EXPECT_TRUE(main().dragAnywhere());
}

TEST_F(WindowFormsTest, SmallFormShrinksHidesTheBannerAndPinsTheWindow) {
  app::showSmallForm(t.program);
  EXPECT_EQ(main().width(), 529);
  EXPECT_EQ(main().height(), 410);
  EXPECT_EQ(c("超文本浏览框1").rect(), (ui::Rect{8, 25, 520, 343}));
  EXPECT_FALSE(c("标签1").shown());
  EXPECT_FALSE(c("版本标签").shown());
  EXPECT_FALSE(c("通知标签").shown());
  EXPECT_EQ(c("新").left(), 469);
  EXPECT_TRUE(main().alwaysOnTop());
  EXPECT_FALSE(c("顶").shown());
  EXPECT_TRUE(c("消顶").shown());

  app::showNormalForm(t.program);
  EXPECT_TRUE(main().alwaysOnTop()) << "the normal form does not unpin";
  EXPECT_EQ(main().width(), 815);
  EXPECT_EQ(c("通知标签").top(), 607);
  EXPECT_TRUE(c("标签1").shown());
  EXPECT_EQ(c("新").left(), 520);
}

TEST_F(WindowFormsTest, MaximizingFromTheSmallFormKeepsTheBannerHiddenThroughRestore) {
  app::showSmallForm(t.program);
  app::showMaximizedForm(t.program);
  EXPECT_FALSE(c("标签1").shown());
  EXPECT_FALSE(c("通知标签").shown());
  EXPECT_EQ(c("超文本浏览框1").top(), 25);
  app::restoreFromMaximized(t.program);
  EXPECT_FALSE(c("标签1").shown());
  EXPECT_FALSE(c("版本标签").shown());
  EXPECT_EQ(c("新").left(), 469);
  EXPECT_TRUE(c("新").shown());
}

TEST_F(WindowFormsTest, NormalFormWhileMaximizedOnlyResizes) {
  app::showMaximizedForm(t.program);
  app::showNormalForm(t.program);
  EXPECT_EQ(main().width(), 815);
  EXPECT_EQ(main().height(), 631);
  EXPECT_TRUE(c("消扩").shown());
  EXPECT_FALSE(c("扩").shown());
  EXPECT_FALSE(c("新").shown());
  EXPECT_FALSE(main().dragAnywhere());
}

TEST_F(WindowFormsTest, PinButtonsShowExactlyOneOfThePair) {
  t.ui().clicked(WindowId::Main, "顶");
  EXPECT_TRUE(main().alwaysOnTop());
  EXPECT_FALSE(c("顶").shown());
  EXPECT_TRUE(c("消顶").shown());
  t.ui().clicked(WindowId::Main, "消顶");
  EXPECT_FALSE(main().alwaysOnTop());
  EXPECT_TRUE(c("顶").shown());
  EXPECT_FALSE(c("消顶").shown());
  t.chooseFromNextMenu("置顶或取消置顶");
  t.ui().rightPressed(WindowId::Main, "");
  EXPECT_TRUE(main().alwaysOnTop());
  t.chooseFromNextMenu("置顶/取消置顶");
  t.ui().clicked(WindowId::Main, "新");
  EXPECT_FALSE(main().alwaysOnTop());
}

TEST_F(WindowFormsTest, TopmostReleaseActsOnlyWhenPinned) {
  app::releaseTopmost(t.program);
  EXPECT_TRUE(c("顶").shown());
  EXPECT_FALSE(c("消顶").shown());
  app::mainAlwaysOnTopOn(t.program);
  app::releaseTopmost(t.program);
  EXPECT_FALSE(main().alwaysOnTop());
  EXPECT_TRUE(c("顶").shown());
  EXPECT_FALSE(c("消顶").shown());
}

TEST_F(WindowFormsTest, TheRemoteControlsPinTogglesOnlyItself) {
  t.ui().clicked(WindowId::Remote, "顶");
  EXPECT_TRUE(t.window(WindowId::Remote).alwaysOnTop());
  EXPECT_FALSE(main().alwaysOnTop());
  t.ui().clicked(WindowId::Remote, "顶");
  EXPECT_FALSE(t.window(WindowId::Remote).alwaysOnTop());
  EXPECT_EQ(t.control(WindowId::Remote, "顶").caption(), "遥控器置顶");
}

TEST_F(WindowFormsTest, MinimizeButtonMinimizesTheMainWindow) {
  t.ui().clicked(WindowId::Main, "缩");
  EXPECT_TRUE(main().minimized());
}

}  // namespace
