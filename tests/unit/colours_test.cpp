// The user's colour on every target, at creation and when chosen, and the
// default colours.
#include <gtest/gtest.h>

#include "test_program.h"

using ui::WindowId;

namespace {

constexpr ui::Colour kGreen = 65280;

class ColoursTest : public ::testing::Test {
 protected:
  void userColour(const std::string& text) { t.files.setText(t.path("\\userini.user"), text); }
  testing_support::TestProgram t;
};

TEST_F(ColoursTest, WithoutUserSettingsNothingIsReadOrChanged) {
  t.start();
  EXPECT_EQ(t.profiles.reads, 0);
  EXPECT_EQ(t.window(WindowId::Main).background(), ui::rgb(0x0088FF));
  EXPECT_EQ(t.control(WindowId::Main, "版本标签").backColour(), ui::rgb(0x2B9AFF));
}

TEST_F(ColoursTest, AtStartTheFiveMainTargetsTheAdvertAndTheRemoteTakeTheUserColour) {
  userColour("[皮肤]\r\n底色=65280\r\n");
  t.start();
  EXPECT_EQ(t.window(WindowId::Main).background(), kGreen);
  for (const char* name : {"标签1", "版本标签", "通知标签", "超级链接框1"}) {
    EXPECT_EQ(t.control(WindowId::Main, name).backColour(), kGreen) << name;
  }
  EXPECT_EQ(t.control(WindowId::Main, "新").backColour(), ui::rgb(0xBCAD27)) << "buttons keep theirs";
  EXPECT_EQ(t.window(WindowId::Advert).background(), kGreen);
  EXPECT_EQ(t.control(WindowId::Advert, "标签1").backColour(), kGreen);
  EXPECT_EQ(t.window(WindowId::Remote).background(), kGreen);
  EXPECT_EQ(t.profiles.reads, 5 + 2 + 1) << "each target reads the file anew";
}

TEST_F(ColoursTest, UserSettingsWithoutTheKeyTurnEveryTargetBlack) {
  userColour("[皮肤]\r\n");
  t.start();
  EXPECT_EQ(t.window(WindowId::Main).background(), 0);
  EXPECT_EQ(t.control(WindowId::Main, "超级链接框1").backColour(), 0);
}

TEST_F(ColoursTest, AStoredMinusOneIsWhiteNotTheSystemColour) {
  userColour("[皮肤]\r\n底色=-1\r\n");
  t.start();
  EXPECT_EQ(t.window(WindowId::Main).background(), -1);
  EXPECT_NE(t.window(WindowId::Main).background(), ui::kSystemDefault);
  EXPECT_EQ(ui::redOf(t.window(WindowId::Main).background()), 0xFF);
  EXPECT_EQ(ui::blueOf(t.control(WindowId::Main, "通知标签").backColour()), 0xFF);
}

TEST_F(ColoursTest, ChoosingAColourPaintsTheTargetsReopensTheAdvertAndRemembersIt) {
  t.start();
  t.ui().clicked(WindowId::Remote, "互动");
  t.ui().clicked(WindowId::Advert, "关");
  t.backend.whileModal = [&](WindowId id) {
    t.ui().colourChosen(id, "颜色选择器1", kGreen);
    EXPECT_EQ(t.window(WindowId::Settings).background(), kGreen);
    t.ui().clicked(id, "关");
  };
  t.ui().clicked(WindowId::Remote, "设置1");
  EXPECT_EQ(t.window(WindowId::Main).background(), kGreen);
  EXPECT_EQ(t.control(WindowId::Main, "版本标签").backColour(), kGreen);
  EXPECT_EQ(t.window(WindowId::Remote).background(), kGreen);
  ASSERT_TRUE(t.ui().isOpen(WindowId::Advert));
  EXPECT_EQ(t.window(WindowId::Advert).top(), 768) << "opened again with a new slide-in";
  EXPECT_EQ(t.window(WindowId::Advert).background(), kGreen);
  EXPECT_EQ(t.window(WindowId::Interaction).background(), ui::rgb(0x0088FF)) << "the chat keeps its colour";
  EXPECT_EQ(t.files.text(t.path("\\userini.user")), "[皮肤]\r\n底色=65280\r\n");
}

TEST_F(ColoursTest, DefaultsForgetTheUserColourAndUseTheSecondDefaultForTheVersion) {
  userColour("[皮肤]\r\n底色=65280\r\n");
  t.files.setText(t.path("\\system.dll"), "[默认皮肤]\r\n默认底色=255\r\n默认底色2=16711680\r\n");
  t.start();
  t.backend.whileModal = [&](WindowId id) {
    EXPECT_EQ(t.control(id, "颜色选择器1").currentColour(), kGreen) << "the picker shows the user's colour";
    t.ui().clicked(id, "默认");
    EXPECT_EQ(t.control(id, "颜色选择器1").currentColour(), 255);
    EXPECT_EQ(t.window(id).background(), 255);
    t.ui().escapePressed(id);
  };
  t.ui().clicked(WindowId::Remote, "设置1");
  EXPECT_FALSE(t.files.exists(t.path("\\userini.user")));
  EXPECT_EQ(t.window(WindowId::Main).background(), 255);
  EXPECT_EQ(t.control(WindowId::Main, "标签1").backColour(), 255);
  EXPECT_EQ(t.control(WindowId::Main, "版本标签").backColour(), 16711680);
  EXPECT_EQ(t.window(WindowId::Advert).background(), 255);
}

TEST_F(ColoursTest, DefaultsWithoutSystemDllPaintBlackAndStillDeleteTheUserFile) {
  userColour("[皮肤]\r\n底色=65280\r\n");
  t.start();
  t.backend.whileModal = [&](WindowId id) { t.ui().clicked(id, "默认"); t.ui().clicked(id, "关"); };
  t.ui().clicked(WindowId::Remote, "设置1");
  EXPECT_FALSE(t.files.exists(t.path("\\userini.user")));
  EXPECT_EQ(t.window(WindowId::Main).background(), 0);
  EXPECT_EQ(t.window(WindowId::Remote).background(), 0);
}

TEST_F(ColoursTest, TheSettingsButtonReleasesTheMainWindowsPinAndTheSettingsCloseAgain) {
  t.start();
  t.ui().clicked(WindowId::Main, "顶");
  bool wasOpen = false;
  t.backend.whileModal = [&](WindowId id) {
    wasOpen = t.ui().isOpen(id);
    EXPECT_FALSE(t.window(WindowId::Main).alwaysOnTop());
    t.ui().clicked(id, "关");
  };
  t.ui().clicked(WindowId::Remote, "设置1");
  EXPECT_TRUE(wasOpen);
  EXPECT_FALSE(t.ui().isOpen(WindowId::Settings)) << "shown afterwards finds it closed";
  EXPECT_TRUE(t.control(WindowId::Main, "顶").shown());
}

}  // namespace
