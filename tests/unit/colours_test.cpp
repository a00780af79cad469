// The user's colour on every target, at creation and when chosen, and the
// default colours.
#include <gtest/gtest.h>

#include "test_program.h"

using ui::WindowId;
namespace advert_window = app::advert_window;
namespace main_window = app::main_window;
namespace remote_control = app::remote_control;
namespace settings_window = app::settings_window;

namespace {

// Colours whose red and blue differ, so that a swap of the two shows.
constexpr ui::Colour kUser = 0x123456;           // stored as 1193046
constexpr ui::Colour kDefault = 0x332211;        // 3351057
constexpr ui::Colour kSecondDefault = 0x665544;  // 6706500

class ColoursTest : public ::testing::Test {
 protected:
  void userColour(const std::string& text) { t.files.setText("\\userini.user", text); }
  // Every colour target of the main, remote control and advert windows; the
  // version label has its own colour under the defaults.
  void expectTargets(ui::Colour colour, ui::Colour version) {
    EXPECT_EQ(t.window(WindowId::Main).background(), colour);
    EXPECT_EQ(t.control(main_window::kTitleLabel).backColour(), colour);
    EXPECT_EQ(t.control(main_window::kVersionLabel).backColour(), version);
    EXPECT_EQ(t.control(main_window::kNotificationLine).backColour(), colour);
    EXPECT_EQ(t.control(main_window::kAdvertLink).backColour(), colour);
    EXPECT_EQ(t.window(WindowId::Remote).background(), colour);
    EXPECT_EQ(t.window(WindowId::Advert).background(), colour);
    EXPECT_EQ(t.control(advert_window::kCaptionLabel).backColour(), colour);
  }
  // The windows whose background was written, in the order of the writes:
  // a chosen colour and the defaults go main, settings, remote control, advert.
  std::vector<WindowId> backgroundsPainted() const {
    std::vector<WindowId> order;
    for (const auto& [window, property] : t.backend.windowChanges) {
      if (property == ui::WindowProperty::Background) order.push_back(window);
    }
    return order;
  }
  const std::vector<WindowId> kWindowOrder{WindowId::Main, WindowId::Settings, WindowId::Remote, WindowId::Advert};
  void expectSettingsTargets(ui::Colour colour) {
    EXPECT_EQ(t.window(WindowId::Settings).background(), colour);
    EXPECT_EQ(t.control(settings_window::kColourPicker).currentColour(), colour);
  }
  testing_support::TestProgram t;
};

TEST_F(ColoursTest, WithoutUserSettingsNothingIsReadOrChanged) {
  t.start();
  EXPECT_EQ(t.files.readsOf["\\userini.user"], 0);
  EXPECT_EQ(t.window(WindowId::Main).background(), ui::rgb(0x0088FF));
  EXPECT_EQ(t.control(main_window::kVersionLabel).backColour(), ui::rgb(0x2B9AFF));
}

TEST_F(ColoursTest, EachWindowTakesTheStoredColourOnItsTargetsWhenCreated) {
  userColour("[皮肤]\r\n底色=1193046\r\n");
  t.start();
  expectTargets(kUser, kUser);
  EXPECT_EQ(t.control(main_window::kMenuButton).backColour(), ui::rgb(0xBCAD27)) << "buttons keep theirs";
  EXPECT_EQ(t.files.readsOf["\\userini.user"], 5 + 2 + 1) << "each target reads the file anew";
  t.click(remote_control::kInteraction);
  EXPECT_EQ(t.window(WindowId::Interaction).background(), kUser);
  t.backend.whileModal = [&](WindowId) {
    expectSettingsTargets(kUser);
    t.click(settings_window::kClose);
  };
  t.click(remote_control::kSettings);
}

TEST_F(ColoursTest, UserSettingsWithoutTheKeyTurnEveryTargetBlack) {
  userColour("[皮肤]\r\n");
  t.start();
  expectTargets(0, 0);
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
  t.click(remote_control::kInteraction);
  t.click(advert_window::kClose);
  t.backend.whileModal = [&](WindowId) {
    t.backend.windowChanges.clear();
    t.chooseColour(settings_window::kColourPicker, kUser);
    EXPECT_EQ(backgroundsPainted(), kWindowOrder);
    EXPECT_EQ(t.window(WindowId::Settings).background(), kUser);
    t.click(settings_window::kClose);
  };
  t.click(remote_control::kSettings);
  ASSERT_TRUE(t.ui().isOpen(WindowId::Advert));
  EXPECT_EQ(t.window(WindowId::Advert).top(), 768) << "opened again with a new slide-in";
  expectTargets(kUser, kUser);
  EXPECT_EQ(t.window(WindowId::Interaction).background(), ui::rgb(0x0088FF)) << "the chat keeps its colour";
  EXPECT_EQ(t.files.text("\\userini.user"), "[皮肤]\r\n底色=1193046\r\n");
}

TEST_F(ColoursTest, DefaultsForgetTheUserColourAndUseTheSecondDefaultForTheVersion) {
  userColour("[皮肤]\r\n底色=1193046\r\n");
  t.files.setText("\\system.dll", "[默认皮肤]\r\n默认底色=3351057\r\n默认底色2=6706500\r\n");
  t.start();
  t.click(remote_control::kInteraction);
  t.backend.whileModal = [&](WindowId id) {
    EXPECT_EQ(t.control(settings_window::kColourPicker).currentColour(), kUser) << "the picker shows the user's colour";
    t.backend.windowChanges.clear();
    t.click(settings_window::kDefaults);
    EXPECT_EQ(backgroundsPainted(), kWindowOrder);
    expectSettingsTargets(kDefault);
    t.ui().escapePressed(id);
  };
  t.click(remote_control::kSettings);
  EXPECT_FALSE(t.files.exists("\\userini.user"));
  expectTargets(kDefault, kSecondDefault);
  EXPECT_EQ(t.window(WindowId::Interaction).background(), kUser) << "the chat keeps its colour";
}

TEST_F(ColoursTest, DefaultsWithoutSystemDllPaintBlackAndStillDeleteTheUserFile) {
  userColour("[皮肤]\r\n底色=1193046\r\n");
  t.start();
  t.backend.whileModal = [&](WindowId) {
    t.click(settings_window::kDefaults);
    t.click(settings_window::kClose);
  };
  t.click(remote_control::kSettings);
  EXPECT_FALSE(t.files.exists("\\userini.user"));
  EXPECT_EQ(t.window(WindowId::Main).background(), 0);
  EXPECT_EQ(t.window(WindowId::Remote).background(), 0);
}

TEST_F(ColoursTest, TheSettingsButtonReleasesTheMainWindowsPinAndTheSettingsCloseAgain) {
  t.start();
  t.click(main_window::kPin);
  bool wasOpen = false;
  t.backend.whileModal = [&](WindowId id) {
    wasOpen = t.ui().isOpen(id);
    EXPECT_FALSE(t.window(WindowId::Main).alwaysOnTop());
    t.click(settings_window::kClose);
  };
  t.click(remote_control::kSettings);
  EXPECT_TRUE(wasOpen);
  EXPECT_FALSE(t.ui().isOpen(WindowId::Settings)) << "shown afterwards finds it closed";
  EXPECT_TRUE(t.control(main_window::kPin).shown());
}

}  // namespace
