// The program without a mouse: Tab order, keys on the focused control, the
// menu keys, and what a screen reader is told (role, name, state).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_program.h"
#include "ui/accessibility.h"
#include "ui/named_colours.h"

using ui::AccessibleRole;
using ui::ControlKind;
using ui::WindowId;
namespace main_window = app::main_window;
namespace remote_control = app::remote_control;

namespace {

class KeyboardAccessTest : public ::testing::Test {
 protected:
  void SetUp() override { t.start(); }

  // The name of the control holding the model's focus ("" for the window).
  std::string focused(WindowId id) {
    const ui::WindowState* w = t.ui().state(id);
    return w->focused < 0 ? std::string() : w->controls[w->focused].name();
  }
  // Where Tab (or Shift+Tab) puts the focus, pressed `times` times.
  std::vector<std::string> tabs(WindowId id, int times, bool backwards = false) {
    std::vector<std::string> seen;
    for (int i = 0; i < times; ++i) {
      t.ui().tabPressed(id, backwards);
      seen.push_back(focused(id));
    }
    return seen;
  }
  ui::AccessibleFacts facts(ui::ControlName c) {
    const ui::WindowState* w = t.ui().state(c.window);
    return ui::accessibleFacts(*w, *w->control(c.name));
  }

  testing_support::TestProgram t;
};

TEST_F(KeyboardAccessTest, TabWalksTheShownButtonsLinksAndViewsInDefinitionOrderAndWraps) {
  const std::vector<std::string> order = {"超级链接框1", "新", "扩", "超文本浏览框1", "顶", "缩", "关"};
  std::vector<std::string> twice = order;
  twice.insert(twice.end(), order.begin(), order.end());
  EXPECT_EQ(tabs(WindowId::Main, 14), twice) << "labels, the hidden 消顶, 消扩 and picture are skipped";
  EXPECT_EQ(t.backend.focused.back(), (std::pair<WindowId, std::string>{WindowId::Main, "关"}))
      << "the backend realises the focus";

  t.ui().focusMoved(WindowId::Main, {});
  EXPECT_EQ(tabs(WindowId::Main, 3, true), (std::vector<std::string>{"关", "缩", "顶"}))
      << "Shift+Tab from the window starts at the last";

  t.ui().keyClicked(WindowId::Main, "顶");  // always on top: 消顶 takes 顶's place, later in the rows
  t.ui().state(WindowId::Main)->control("缩")->enabled = false;
  t.ui().focusMoved(WindowId::Main, "扩");
  EXPECT_EQ(tabs(WindowId::Main, 4), (std::vector<std::string>{"超文本浏览框1", "关", "消顶", "超级链接框1"}))
      << "a disabled control is skipped too";
}

TEST_F(KeyboardAccessTest, AWindowWithoutATabStopOrDisabledUnderAModalOneKeepsItsFocus) {
  t.ui().focusMoved(WindowId::Main, "关");
  t.ui().state(WindowId::Main)->enabled = false;
  t.ui().tabPressed(WindowId::Main, false);
  EXPECT_EQ(focused(WindowId::Main), "关");
  t.ui().state(WindowId::Main)->enabled = true;
  for (ui::ControlState& c : t.ui().state(WindowId::Main)->controls) c.shown = c.name() == "关";
  t.ui().tabPressed(WindowId::Main, true);
  EXPECT_EQ(focused(WindowId::Main), "关") << "the only tab stop keeps the focus";
}

TEST_F(KeyboardAccessTest, EnterOnTheFocusedLinkOpensIt) {
  t.control(main_window::kAdvertLink).setAddress("http://127.0.0.1/ad");
  t.ui().tabPressed(WindowId::Main, false);
  t.ui().keyClicked(WindowId::Main, focused(WindowId::Main));
  ASSERT_EQ(t.shell.opened.size(), 1u);
  EXPECT_EQ(t.shell.opened[0].address, "http://127.0.0.1/ad");
  EXPECT_TRUE(t.control(main_window::kAdvertLink).visited());
}

TEST_F(KeyboardAccessTest, MenuKeysOpenTheTrayMenuAtTheFocusedControlAndKeysClickMenusThere) {
  // The main window rests at (275, 68).
  t.backend.pointerPosition = {5, 5};
  t.ui().menuKeyPressed(WindowId::Main);
  ASSERT_EQ(t.backend.menus.size(), 1u);
  EXPECT_EQ(t.backend.menus[0].at, (ui::Point{275 + 407, 68 + 315})) << "no focused control: the window's middle";
  EXPECT_EQ(t.backend.menus[0].captions.front(), "关于");

  t.ui().focusMoved(WindowId::Main, "关");  // 744, 0, 56 x 24
  t.ui().menuKeyPressed(WindowId::Main);
  EXPECT_EQ(t.backend.menus.back().at, (ui::Point{275 + 772, 68 + 12}));

  t.ui().focusMoved(WindowId::Main, "新");  // 520, 0, 56 x 24
  t.ui().keyClicked(WindowId::Main, "新");
  EXPECT_EQ(t.backend.menus.back().at, (ui::Point{275 + 548 + 3, 68 + 12 + 3})) << "the drop-down, beside the button";
  t.click(main_window::kMenuButton);
  EXPECT_EQ(t.backend.menus.back().at, (ui::Point{8, 8})) << "a click still opens it at the pointer";

  t.ui().menuKeyPressed(WindowId::Remote);
  EXPECT_EQ(t.backend.menus.size(), 4u) << "the remote control has no menu";
}

TEST(AccessibleRoles, EachKindHasItsRole) {
  const std::vector<std::pair<ControlKind, AccessibleRole>> table = {
      {ControlKind::SuperBtn, AccessibleRole::PushButton},   {ControlKind::PicBtn, AccessibleRole::PushButton},
      {ControlKind::ColorPicker, AccessibleRole::PushButton}, {ControlKind::HyperLinker, AccessibleRole::Link},
      {ControlKind::Label, AccessibleRole::StaticText},      {ControlKind::TransLabel, AccessibleRole::StaticText},
      {ControlKind::PicBox, AccessibleRole::Graphic},        {ControlKind::PageControl, AccessibleRole::PageTabList},
      {ControlKind::HtmlViewer, AccessibleRole::Client},     {ControlKind::Timer, AccessibleRole::None}};
  for (const auto& [kind, role] : table) EXPECT_EQ(ui::traitsOf(kind).role, role) << static_cast<int>(kind);
}

TEST_F(KeyboardAccessTest, NamesAreCaptionsVerbatimOrTheTooltipOfAOneCharacterCaption) {
  EXPECT_EQ(facts(main_window::kClose).name, "点下去就退出了哦");
  EXPECT_EQ(facts(main_window::kMenuButton).name, "检测更新");
  EXPECT_EQ(facts(main_window::kUnpin).name, "消-顶");
  EXPECT_EQ(facts(main_window::kTitleLabel).name, "汀蔚网络视听台");
  EXPECT_EQ(facts(remote_control::kPin).name, "遥控器置顶") << "two characters and more: the caption";
  t.control(main_window::kNotificationLine).setCaption("A&B 新闻 && 天气");
  EXPECT_EQ(facts(main_window::kNotificationLine).name, "A&B 新闻 && 天气");
  t.control(main_window::kNotificationLine).setCaption("&");
  EXPECT_EQ(facts(main_window::kNotificationLine).name, "&") << "a label has no tooltip to read instead";
  t.control(main_window::kClose).setCaption("X");
  EXPECT_EQ(facts(main_window::kClose).name, "点下去就退出了哦") << "one byte is one character too";
}

TEST_F(KeyboardAccessTest, StateFollowsTheModel) {
  EXPECT_TRUE(facts(main_window::kUnpin).invisible);
  EXPECT_FALSE(facts(main_window::kPin).invisible);
  EXPECT_FALSE(facts(main_window::kPin).pressed);
  EXPECT_TRUE(facts(main_window::kPictureAdvert).clickable) << "a press on it opens the advert";
  EXPECT_FALSE(facts(main_window::kTitleLabel).clickable);
  EXPECT_TRUE(facts(main_window::kClose).focusable);
  EXPECT_FALSE(facts(remote_control::kTitleLabel).unavailable) << "a transparent label is disabled only for presses";

  t.ui().keyClicked(WindowId::Main, "顶");
  EXPECT_TRUE(facts(main_window::kPin).invisible);
  EXPECT_FALSE(facts(main_window::kUnpin).invisible);
  EXPECT_TRUE(facts(main_window::kUnpin).pressed) << "the pin reads pressed while the window is on top";
  t.ui().keyClicked(WindowId::Remote, remote_control::kPin.name);
  EXPECT_TRUE(facts(remote_control::kPin).pressed);

  t.ui().state(WindowId::Main)->enabled = false;
  EXPECT_TRUE(facts(main_window::kClose).unavailable) << "under a modal window";
}

TEST_F(KeyboardAccessTest, AColourPickerTellsItsColourByName) {
  t.ui().open(WindowId::Settings);
  const ui::ControlName picker = app::settings_window::kColourPicker;
  t.chooseColour(picker, ui::namedColours()[0].colour);
  EXPECT_EQ(facts(picker).value, ui::namedColours()[0].name);
  t.chooseColour(picker, ui::rgb(0x123456));
  EXPECT_EQ(facts(picker).value, "#123456");
}

}  // namespace
