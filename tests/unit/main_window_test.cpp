// Start-up and the main window's own handlers on the headless backend.
#include <gtest/gtest.h>

#include "app/placement.h"
#include "test_program.h"

using ui::WindowId;
namespace advert_window = app::advert_window;
namespace exit_confirmation = app::exit_confirmation;
namespace main_window = app::main_window;
namespace remote_control = app::remote_control;

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  testing_support::TestProgram t;
};

const std::vector<std::string> kTrayEntries = {
    "关于",   "检测更新", "官网",     "刷新视听台", "-",        "正常的窗口", "置顶或取消置顶", "遥控器出来", "-",
    "汀蔚地区网", "微汀蔚", "沣岙百科", "汀蔚百科", "-", "支持一下广告吧", "-", "退出"};

TEST_F(MainWindowTest, StartOpensTheCentredMainWindowWithItsBanner) {
  t.start();
  ui::WindowRef main = t.window(WindowId::Main);
  ASSERT_TRUE(main.isOpen());
  EXPECT_EQ(main.rect(), (ui::Rect{275, 68, 815, 631}));
  EXPECT_EQ(t.ui().state(WindowId::Main)->def->title, "汀蔚网络视听台");
  EXPECT_EQ(t.control(main_window::kVersionLabel).caption(), "V1.3");
  EXPECT_EQ(t.control(main_window::kTitleLabel).caption(), "汀蔚网络视听台");
  EXPECT_FALSE(t.control(main_window::kUnpin).shown());
  EXPECT_FALSE(t.control(main_window::kRestore).shown());
  EXPECT_FALSE(t.control(main_window::kPictureAdvert).shown());
  EXPECT_TRUE(t.control(main_window::kPin).shown());
  EXPECT_TRUE(t.control(main_window::kMaximize).shown());
}

TEST_F(MainWindowTest, StartOpensTheAdvertAndRemoteWindowsAndPlacesTheRemoteBesideTheMain) {
  t.start();
  EXPECT_EQ(t.backend.created, (std::vector<WindowId>{WindowId::Main, WindowId::Advert, WindowId::Remote}));
  // 68 + 631 / 10 = 131.1, truncated.
  EXPECT_EQ(t.window(WindowId::Remote).left(), 275 + 815);
  EXPECT_EQ(t.window(WindowId::Remote).top(), 131);
}

TEST_F(MainWindowTest, TheStationPageStartsLoadingInTheMainView) {
  t.start();
  ASSERT_FALSE(t.backend.navigations.empty());
  EXPECT_EQ(t.backend.navigations[0].first, main_window::kStationView.name);
  const std::string& address = t.backend.navigations[0].second;
  EXPECT_EQ(address.rfind("http://", 0), 0u);
  EXPECT_EQ(address.substr(address.size() - 8), "/bofang/");
}

TEST_F(MainWindowTest, RemoteControlPlacementTruncatesTowardZero) {
  t.start();
  t.backend.pointerPosition = {600, 400};  // away from the edges: no snap
  t.window(WindowId::Main).move(10, 100);
  app::placeRemoteBesideMain(t.program);
  EXPECT_EQ(t.window(WindowId::Remote).top(), 163);
  t.window(WindowId::Main).move(10, -100);
  app::placeRemoteBesideMain(t.program);
  EXPECT_EQ(t.window(WindowId::Remote).top(), -36) << "-100 + 63.1 = -36.9 truncates to -36";
  EXPECT_EQ(t.window(WindowId::Remote).left(), 825);
}

TEST_F(MainWindowTest, RightPressOnWindowAndBannerLabelsOpensTheTrayMenuExactlyAtThePointer) {
  t.start();
  t.backend.pointerPosition = {400, 300};
  for (ui::ControlName source : {ui::ControlName{WindowId::Main, ""}, main_window::kTitleLabel, main_window::kVersionLabel,
                                 main_window::kNotificationLine, main_window::kAdvertLink}) {
    t.backend.menus.clear();
    t.rightPress(source);
    ASSERT_EQ(t.backend.menus.size(), 1u) << source.name;
    EXPECT_EQ(t.backend.menus[0].at, (ui::Point{400, 300})) << source.name;
    EXPECT_EQ(t.backend.menus[0].captions, kTrayEntries) << source.name;
  }
  t.backend.menus.clear();
  t.rightPress(main_window::kStationView);
  t.rightPress(main_window::kClose);
  EXPECT_TRUE(t.backend.menus.empty()) << "the page's right click is left to the browser";
}

TEST_F(MainWindowTest, TheSettingsButtonOpensTheDropDownThreePixelsFromThePointer) {
  t.start();
  t.backend.pointerPosition = {600, 10};
  t.click(main_window::kMenuButton);
  ASSERT_EQ(t.backend.menus.size(), 1u);
  EXPECT_EQ(t.backend.menus[0].at, (ui::Point{603, 13}));
  EXPECT_EQ(t.backend.menus[0].captions, (std::vector<std::string>{"正常窗口", "小窗口", "-", "置顶/取消置顶", "遥控器",
                                                                   "-", "检测是否有更新"}));
}

TEST_F(MainWindowTest, EscClosesTheMainWindowAndEndsTheProgramWithEveryOtherWindow) {
  t.start();
  t.ui().open(WindowId::Interaction);
  t.ui().escapePressed(WindowId::Main);
  EXPECT_FALSE(t.ui().isOpen(WindowId::Main));
  EXPECT_EQ(t.backend.quitRequests, 1);
  t.program.finish();
  for (int i = 0; i < ui::kWindowCount; ++i) EXPECT_FALSE(t.ui().isOpen(static_cast<WindowId>(i)));
}

TEST_F(MainWindowTest, RefreshingTheStationNavigatesToTheStationPageAgain) {
  t.start();
  t.control(main_window::kStationView).setAddress("http://elsewhere/");
  t.backend.navigations.clear();
  t.chooseFromNextMenu("刷新视听台");
  t.rightPress(main_window::kTitleLabel);
  ASSERT_EQ(t.backend.navigations.size(), 1u);
  EXPECT_EQ(t.backend.navigations[0].second, t.ui().state(WindowId::Main)->control(main_window::kStationView.name)->def->address);
}

TEST_F(MainWindowTest, ConfirmingTheExitClosesMainRemoteAndTheQuestionInThatOrder) {
  t.start();
  t.ui().open(WindowId::Interaction);
  t.backend.whileModal = [&](WindowId id) {
    EXPECT_EQ(id, WindowId::ExitConfirm);
    t.click(exit_confirmation::kConfirm);
  };
  t.click(main_window::kClose);
  EXPECT_EQ(t.backend.destroyed, (std::vector<WindowId>{WindowId::Main, WindowId::Remote, WindowId::ExitConfirm}));
  EXPECT_EQ(t.backend.quitRequests, 1);
  t.program.finish();
  EXPECT_FALSE(t.ui().isOpen(WindowId::Interaction));
  EXPECT_FALSE(t.ui().isOpen(WindowId::Advert));
}

TEST_F(MainWindowTest, GoingBackFromTheExitQuestionLeavesEverythingAsItWas) {
  t.start();
  t.backend.whileModal = [&](WindowId) { t.click(exit_confirmation::kBack); };
  t.chooseFromNextMenu("退出");
  t.ui().rightPressed(WindowId::Main, "");
  EXPECT_EQ(t.backend.destroyed, std::vector<WindowId>{WindowId::ExitConfirm});
  EXPECT_TRUE(t.ui().isOpen(WindowId::Main));
  EXPECT_TRUE(t.ui().isOpen(WindowId::Remote));
  EXPECT_TRUE(t.ui().isOpen(WindowId::Advert));
  EXPECT_EQ(t.backend.quitRequests, 0);
}

TEST_F(MainWindowTest, AskingForTheAdvertWhileItIsOpenBringsItForwardWithoutASecondSlide) {
  t.start();
  for (int i = 0; i < 10; ++i) t.tick(advert_window::kSlideTimer);
  int top = t.window(WindowId::Advert).top();
  t.chooseFromNextMenu("支持一下广告吧");
  t.ui().rightPressed(WindowId::Main, "");
  EXPECT_EQ(t.backend.created.size(), 3u);
  EXPECT_EQ(t.backend.activated, std::vector<WindowId>{WindowId::Advert});
  EXPECT_EQ(t.window(WindowId::Advert).top(), top);
}

TEST_F(MainWindowTest, TheRemoteControlHiddenByItsCloseButtonReturnsWhereItWas) {
  t.start();
  t.window(WindowId::Remote).move(300, 200);
  t.click(remote_control::kClose);
  EXPECT_FALSE(t.window(WindowId::Remote).shown());
  EXPECT_TRUE(t.ui().isOpen(WindowId::Remote));
  t.chooseFromNextMenu("遥控器");
  t.click(main_window::kMenuButton);
  EXPECT_TRUE(t.window(WindowId::Remote).shown());
  EXPECT_EQ(t.window(WindowId::Remote).left(), 300);
  EXPECT_EQ(t.window(WindowId::Remote).top(), 200);
}

TEST_F(MainWindowTest, ARemoteControlClosedByEscIsBuiltAgainCentred) {
  t.start();
  t.ui().escapePressed(WindowId::Remote);
  EXPECT_FALSE(t.ui().isOpen(WindowId::Remote));
  t.chooseFromNextMenu("遥控器出来");
  t.ui().rightPressed(WindowId::Main, "");
  EXPECT_TRUE(t.window(WindowId::Remote).shown());
  EXPECT_EQ(t.window(WindowId::Remote).left(), (1366 - 169) / 2);
  EXPECT_EQ(t.window(WindowId::Remote).top(), (768 - 279) / 2);
}

TEST_F(MainWindowTest, EveryWindowClosesAtTheEndEvenHiddenOnes) {
  t.start();
  t.click(remote_control::kClose);
  t.ui().close(WindowId::Main);
  t.program.finish();
  for (int i = 0; i < ui::kWindowCount; ++i) EXPECT_FALSE(t.ui().isOpen(static_cast<WindowId>(i)));
  EXPECT_EQ(t.backend.destroyed.size(), 3u);
}

// --- Loading, modal windows and closing, as the user meets them ------------

bool enabled(testing_support::TestProgram& t, WindowId id) { return t.ui().state(id) && t.ui().state(id)->enabled; }

TEST_F(MainWindowTest, EscInTheExitQuestionEndsItsWaitWhenNoOtherWindowTicks) {
  t.start();
  t.ui().clicked(WindowId::Advert, "关");
  t.ui().escapePressed(WindowId::Remote);
  ASSERT_FALSE(t.ui().isOpen(WindowId::Advert));
  ASSERT_FALSE(t.ui().isOpen(WindowId::Remote));
  t.backend.input.push_back([&] { t.ui().escapePressed(WindowId::ExitConfirm); });
  t.ui().clicked(WindowId::Main, "关");
  EXPECT_EQ(t.backend.modalsLeftWaiting, 0) << "the question stayed on screen, deaf to input";
  EXPECT_FALSE(t.ui().isOpen(WindowId::ExitConfirm));
  EXPECT_TRUE(enabled(t, WindowId::Main));
}

TEST_F(MainWindowTest, TheSystemCannotCloseWindowsAModalWindowHasDisabled) {
  t.start();
  t.backend.input = {[&] {
                       EXPECT_FALSE(enabled(t, WindowId::Main));
                       t.ui().closeRequested(WindowId::Main);
                       t.ui().closeRequested(WindowId::Remote);
                       t.ui().escapePressed(WindowId::Main);
                     },
                     [&] { t.ui().closeRequested(WindowId::Settings); }};
  t.ui().open(WindowId::Settings, true);
  EXPECT_EQ(t.backend.modalsLeftWaiting, 0);
  EXPECT_TRUE(t.ui().isOpen(WindowId::Main));
  EXPECT_TRUE(t.ui().isOpen(WindowId::Remote));
  EXPECT_FALSE(t.ui().isOpen(WindowId::Settings));
  EXPECT_TRUE(enabled(t, WindowId::Main));
  t.ui().closeRequested(WindowId::Remote);
  EXPECT_FALSE(t.ui().isOpen(WindowId::Remote)) << "outside a handler a close takes effect at once";
}

TEST_F(MainWindowTest, WindowsOpenedAtStartAppearOnlyWhereTheyRest) {
  std::vector<std::pair<WindowId, ui::Rect>> seen;
  t.backend.onReveal = [&](const ui::WindowState& w) { seen.emplace_back(w.id(), w.rect); };
  t.start();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].first, WindowId::Main);
  for (const auto& [id, rect] : seen) {
    EXPECT_EQ(rect, t.window(id).rect()) << "window " << static_cast<int>(id) << " was first seen elsewhere";
  }
}

TEST_F(MainWindowTest, TheMainWindowIsOnScreenAndPaintedWhileItsDownloadsWait) {
  std::vector<WindowId> revealedDuringTheWait;
  std::string versionDuringTheWait;
  t.backend.whileWaiting = [&] {
    if (!revealedDuringTheWait.empty()) return;
    revealedDuringTheWait = t.backend.revealed;
    versionDuringTheWait = t.control(main_window::kVersionLabel).caption();
  };
  EXPECT_TRUE(t.program.start());
  EXPECT_EQ(revealedDuringTheWait, std::vector<WindowId>{WindowId::Main});
  EXPECT_EQ(versionDuringTheWait, "V1.3");
  EXPECT_EQ(t.backend.waits, 2) << "the manifest and the picture";
}

TEST_F(MainWindowTest, AMainWindowTheSystemRefusesEndsTheStart) {
  t.backend.refuseCreation = {WindowId::Main};
  EXPECT_FALSE(t.program.start());
  EXPECT_TRUE(t.fetcher.requests.empty());
}

TEST_F(MainWindowTest, AButtonItsOwnHandlerHidTakesNoKeyAndGivesTheFocusBack) {
  t.start();
  t.ui().clicked(WindowId::Main, "扩");
  ASSERT_TRUE(t.control(WindowId::Main, "消扩").shown());
  ASSERT_FALSE(t.control(WindowId::Main, "扩").shown());
  EXPECT_EQ(t.ui().state(WindowId::Main)->focused, -1);
  EXPECT_EQ(t.backend.focused.back(), (std::pair<WindowId, std::string>{WindowId::Main, ""}));
  t.ui().keyClicked(WindowId::Main, "扩");
  t.ui().clicked(WindowId::Main, "扩");
  EXPECT_TRUE(t.control(WindowId::Main, "消扩").shown()) << "a hidden 扩 was clicked";
  t.ui().keyClicked(WindowId::Main, "顶");
  t.ui().keyClicked(WindowId::Main, "顶");
  EXPECT_TRUE(t.window(WindowId::Main).alwaysOnTop()) << "a shown 顶 takes Space once, a hidden one not again";
  EXPECT_TRUE(t.control(WindowId::Main, "消顶").shown());
}

}  // namespace
