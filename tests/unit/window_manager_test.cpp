// The window layer's rules: opening, events after creation, deferred and
// modal closing, settings by name, drag-anywhere, menus and links.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>

#include <string>
#include <vector>

#include "test_program.h"

using ui::ControlKind;
using ui::Event;
using ui::WindowId;

namespace {

using testing_support::record;
using testing_support::TestProgram;

// Small windows of our own, so each rule is seen alone; their handlers record
// what ran in t.log.
class WindowManagerTest : public ::testing::Test {
 protected:
  WindowManagerTest() {
    for (int i = 0; i < ui::kWindowCount; ++i) {
      ui::WindowDef& d = defs[i];
      d.id = static_cast<WindowId>(i);
      d.title = "w";
      d.rect = {10, 20, 200, 100};
      d.dragAnywhere = true;
      d.escCloses = true;
      d.controls = {
          ui::label("文字", {0, 0, 50, 20}, "a", {}, ui::kBlack, ui::kWhite, {}),
          ui::transLabel("透明", {0, 20, 50, 20}, "t", {}, ui::kBlack, {}),
          ui::picBox("图片", {50, 0, 50, 20}, ui::kWhite),
          ui::superBtn("按钮", {100, 0, 50, 20}, "b", "", {}, {}),
          ui::hyperLinker("链接", {150, 0, 50, 20}, "l", {}, {}),
          ui::timer("时钟", 0),
      };
      d.menu = {{"菜单", 0, nullptr}, {"一", 1, record<"item">}, {"-", 1, nullptr}, {"二", 1, record<"item">}};
      d.bindings = {{ui::kWindowItself, Event::Created, record<"created">},
                    {ui::kWindowItself, Event::Moved, record<"moved">},
                    {ui::kWindowItself, Event::Resized, record<"resized">},
                    {ui::kWindowItself, Event::AboutToBeDestroyed, record<"closing">},
                    {ui::ControlName{d.id, "图片"}, Event::LeftPressed, record<"left">},
                    {ui::ControlName{d.id, "按钮"}, Event::Clicked, record<"clicked">},
                    {ui::kWindowItself, Event::LeftPressed, record<"left">}};
    }
    t.ui().definitions = [this](WindowId id) -> const ui::WindowDef& { return def(id); };
  }
  ui::WindowDef& def(WindowId id) { return defs[static_cast<int>(id)]; }
  // Binds the event of a control of the window (an empty name: of the window
  // itself) to the handler, in place of what it was bound to.
  void bind(WindowId id, std::string_view name, Event event, ui::Handler handler) {
    std::vector<ui::Binding>& bindings = def(id).bindings;
    std::erase_if(bindings, [&](const ui::Binding& b) { return b.event == event && b.sourceName() == name; });
    std::optional<ui::ControlName> source;
    if (!name.empty()) source = ui::ControlName{id, name};
    bindings.insert(bindings.begin(), {source, event, handler});
  }
  ui::WindowDef defs[ui::kWindowCount];  // before t: they outlive its windows
  TestProgram t;
};

TEST_F(WindowManagerTest, OpeningRunsCreatedThenMovedThenResizedOnce) {
  // The resized event is the last one of a creation: the backend has heard
  // of no creation done yet when it runs.
  bind(WindowId::Remote, "", Event::Resized, [](app::Program& p) {
    TestProgram& t = TestProgram::of(p);
    t.log.push_back("resized, revealed " + std::to_string(t.backend.revealed.size()));
  });
  EXPECT_TRUE(t.ui().open(WindowId::Remote));
  EXPECT_EQ(t.log, (std::vector<std::string>{"created", "moved", "resized, revealed 0"}));
  EXPECT_EQ(t.backend.revealed, std::vector<WindowId>{WindowId::Remote});
  // Centred on the screen: (1366 - 200) / 2, (768 - 100) / 2.
  EXPECT_EQ(t.window(WindowId::Remote).rect(), (ui::Rect{583, 334, 200, 100}));
}

TEST_F(WindowManagerTest, OpeningAnOpenWindowOnlyBringsItToTheFrontRestoringIt) {
  t.ui().open(WindowId::Remote);
  t.window(WindowId::Remote).setPosition(ui::WindowPosition::Minimized);
  t.log.clear();
  EXPECT_TRUE(t.ui().open(WindowId::Remote));
  EXPECT_TRUE(t.log.empty());
  EXPECT_EQ(t.backend.created.size(), 1u);
  EXPECT_EQ(t.backend.activated, std::vector<WindowId>{WindowId::Remote});
  EXPECT_FALSE(t.window(WindowId::Remote).minimized());
}

TEST_F(WindowManagerTest, AWindowAtItsDefinedPlaceKeepsIt) {
  def(WindowId::Remote).position = ui::OpeningPosition::AtDefinedPlace;
  t.ui().open(WindowId::Remote);
  EXPECT_EQ(t.window(WindowId::Remote).rect(), (ui::Rect{10, 20, 200, 100}));
}

TEST_F(WindowManagerTest, AWindowClosedByItsCreationHandlerHearsNoMoveOrResize) {
  bind(WindowId::Advert, "", Event::Created, [](app::Program& p) { p.ui().close(WindowId::Advert); });
  t.ui().open(WindowId::Advert);
  EXPECT_FALSE(t.ui().isOpen(WindowId::Advert));
  EXPECT_EQ(t.log, std::vector<std::string>{"closing"});
  EXPECT_TRUE(t.backend.revealed.empty());
}

TEST_F(WindowManagerTest, CloseInsideAHandlerWaitsUntilTheHandlerReturns) {
  bind(WindowId::Remote, "按钮", Event::Clicked, [](app::Program& p) {
    p.ui().close(WindowId::Remote);
    // Still there until this handler has returned.
    TestProgram::of(p).log.push_back(p.ui().isOpen(WindowId::Remote) ? "still open" : "gone early");
  });
  t.ui().open(WindowId::Remote);
  t.log.clear();
  t.ui().clicked(WindowId::Remote, "按钮");
  EXPECT_EQ(t.log, (std::vector<std::string>{"still open", "closing"}));
  EXPECT_FALSE(t.ui().isOpen(WindowId::Remote));
  EXPECT_EQ(t.backend.destroyed, std::vector<WindowId>{WindowId::Remote});
}

TEST_F(WindowManagerTest, ClosingAWindowThatIsNotOpenDoesNothing) {
  t.ui().close(WindowId::Settings);
  EXPECT_TRUE(t.backend.destroyed.empty());
  EXPECT_TRUE(t.log.empty());
}

TEST_F(WindowManagerTest, SettingsOfAClosedWindowReadEmptyAndIgnoreWrites) {
  ui::WindowRef w = t.window(WindowId::Settings);
  w.setShown(true);
  w.setLeft(5);
  t.control(WindowId::Settings, "文字").setCaption("x");
  EXPECT_FALSE(w.isOpen());
  EXPECT_FALSE(w.shown());
  EXPECT_EQ(w.left(), 0);
  EXPECT_EQ(t.control(WindowId::Settings, "文字").caption(), "");
}

TEST_F(WindowManagerTest, ANameTheOpenWindowHasNotAndABindingInAnotherWindowsTableAreCaught) {
  testing_support::FailedChecks checks;
  t.ui().open(WindowId::Settings);
  EXPECT_EQ(t.control(WindowId::Settings, "没有").caption(), "") << "reads empty where the program goes on";
  t.control(WindowId::Settings, "没有").setCaption("x");
  EXPECT_EQ(checks.seen.size(), 2u);
  def(WindowId::Remote).bindings.push_back({ui::ControlName{WindowId::Settings, "按钮"}, Event::Clicked, record<"clicked">});
  t.ui().open(WindowId::Remote);
  ASSERT_EQ(checks.seen.size(), 3u);
  EXPECT_NE(checks.seen.back().find("binding"), std::string::npos) << checks.seen.back();
}

TEST_F(WindowManagerTest, ModalOpenDisablesTheOthersAndReturnsWhenClosed) {
  t.ui().open(WindowId::Main);
  t.ui().open(WindowId::Remote);
  bool othersDisabledWhileOpen = false;
  t.backend.whileModal = [&](WindowId id) {
    othersDisabledWhileOpen = !t.ui().state(WindowId::Main)->enabled && !t.ui().state(WindowId::Remote)->enabled &&
                              t.ui().state(id)->enabled;
    t.ui().escapePressed(id);
  };
  EXPECT_TRUE(t.ui().open(WindowId::ExitConfirm, true));
  EXPECT_TRUE(othersDisabledWhileOpen);
  EXPECT_FALSE(t.ui().isOpen(WindowId::ExitConfirm));
  EXPECT_TRUE(t.ui().state(WindowId::Main)->enabled);
  EXPECT_TRUE(t.ui().state(WindowId::Remote)->enabled);
}

TEST_F(WindowManagerTest, MovingFiresMovedOnlyWhenThePlaceChanges) {
  t.ui().open(WindowId::Remote);
  t.log.clear();
  ui::WindowRef w = t.window(WindowId::Remote);
  w.setLeft(w.left());
  EXPECT_TRUE(t.log.empty());
  w.setLeft(-20);
  w.setWidth(300);
  w.move(1, 2, 3, 4);
  EXPECT_EQ(t.log, (std::vector<std::string>{"moved", "resized", "moved", "resized"}));
  t.ui().userMoved(WindowId::Remote, {7, 8});
  EXPECT_EQ(w.rect(), (ui::Rect{7, 8, 3, 4}));
  EXPECT_EQ(t.log.back(), "moved");
}

TEST_F(WindowManagerTest, DragAnywhereTakesPressesOnBackgroundLabelsAndPictures) {
  t.ui().open(WindowId::Remote);
  t.log.clear();
  EXPECT_TRUE(t.ui().leftPressed(WindowId::Remote, ""));
  EXPECT_TRUE(t.ui().leftPressed(WindowId::Remote, "文字"));
  EXPECT_TRUE(t.ui().leftPressed(WindowId::Remote, "透明"));
  EXPECT_TRUE(t.ui().leftPressed(WindowId::Remote, "图片"));
  EXPECT_TRUE(t.log.empty()) << "a drag is not reported as a press";
  EXPECT_FALSE(t.ui().leftPressed(WindowId::Remote, "按钮"));

  t.window(WindowId::Remote).setDragAnywhere(false);
  EXPECT_FALSE(t.ui().leftPressed(WindowId::Remote, "图片"));
  EXPECT_FALSE(t.ui().leftPressed(WindowId::Remote, ""));
  EXPECT_EQ(t.log, (std::vector<std::string>{"left", "left"}));
}

TEST_F(WindowManagerTest, PopupMenuOpensBesideThePointerUnlessPlacedAndRunsTheChoice) {
  t.ui().open(WindowId::Main);
  t.log.clear();
  t.backend.pointerPosition = {100, 200};
  t.ui().popupMenu(WindowId::Main, "菜单");
  ASSERT_EQ(t.backend.menus.size(), 1u);
  EXPECT_EQ(t.backend.menus[0].at, (ui::Point{103, 203}));
  EXPECT_EQ(t.backend.menus[0].captions, (std::vector<std::string>{"一", "-", "二"}));
  EXPECT_TRUE(t.log.empty()) << "dismissed menu runs nothing";

  t.chooseFromNextMenu("二");
  t.ui().popupMenu(WindowId::Main, "菜单", ui::Point{5, 6});
  EXPECT_EQ(t.backend.menus[1].at, (ui::Point{5, 6}));
  EXPECT_EQ(t.log, std::vector<std::string>{"item"});

  t.chooseFromNextMenu("-");
  t.ui().popupMenu(WindowId::Main, "菜单");
  EXPECT_EQ(t.log.size(), 1u) << "a separator runs nothing";
}

TEST_F(WindowManagerTest, LinkOpensOnlyWithAnAddressAndEachOpenSetsTheMark) {
  t.ui().open(WindowId::Main);
  std::vector<std::string> opened;
  bool succeed = false;
  t.ui().openLink = [&](const std::string& a) {
    opened.push_back(a);
    return succeed;
  };
  ui::ControlRef link = t.control(WindowId::Main, "链接");
  t.ui().leftPressed(WindowId::Main, "链接");
  EXPECT_TRUE(opened.empty()) << "an empty address calls nothing";
  EXPECT_FALSE(link.visited());

  link.setAddress("http://x/");
  t.ui().leftPressed(WindowId::Main, "链接");
  EXPECT_FALSE(link.visited());
  succeed = true;
  t.ui().leftPressed(WindowId::Main, "链接");
  EXPECT_TRUE(link.visited());
  link.setAddress("");
  t.ui().leftPressed(WindowId::Main, "链接");
  EXPECT_TRUE(link.visited()) << "an empty press leaves the mark alone";
  link.setAddress("http://x/");
  succeed = false;
  t.ui().leftPressed(WindowId::Main, "链接");
  EXPECT_FALSE(link.visited()) << "each open sets the mark anew";
  EXPECT_EQ(opened.size(), 3u);
}

TEST_F(WindowManagerTest, PositionSettingsActOnlyOnVisibleWindows) {
  t.ui().open(WindowId::Main);
  ui::WindowRef w = t.window(WindowId::Main);
  w.setPosition(ui::WindowPosition::Maximized);
  EXPECT_EQ(w.rect(), (ui::Rect{0, 0, 1366, 768}));
  w.move({}, {}, 815, 631);
  w.setPosition(ui::WindowPosition::Minimized);
  EXPECT_TRUE(w.minimized());
  w.setPosition(ui::WindowPosition::Centred);
  EXPECT_FALSE(w.minimized());
  EXPECT_EQ(w.rect(), (ui::Rect{275, 68, 815, 631}));

  w.setShown(false);
  w.setPosition(ui::WindowPosition::Minimized);
  EXPECT_FALSE(w.minimized());
}

TEST_F(WindowManagerTest, TakingOneWindowOffTheTopRaisesTheOtherTopmostWindowsAgain) {
  t.ui().open(WindowId::Main);
  t.ui().open(WindowId::Advert);
  t.window(WindowId::Advert).setAlwaysOnTop(true);
  t.window(WindowId::Main).setAlwaysOnTop(true);
  t.backend.windowChanges.clear();
  t.window(WindowId::Main).setAlwaysOnTop(false);
  EXPECT_FALSE(t.window(WindowId::Main).alwaysOnTop());
  EXPECT_TRUE(t.window(WindowId::Advert).alwaysOnTop());
  EXPECT_EQ(t.backend.windowChanges,
            (std::vector<std::pair<WindowId, ui::WindowProperty>>{{WindowId::Main, ui::WindowProperty::AlwaysOnTop},
                                                                 {WindowId::Advert, ui::WindowProperty::AlwaysOnTop}}));
}

TEST_F(WindowManagerTest, EscClosesOnlyWindowsThatAllowIt) {
  def(WindowId::Remote).escCloses = false;
  t.ui().open(WindowId::Remote);
  t.ui().open(WindowId::Advert);
  t.ui().escapePressed(WindowId::Remote);
  t.ui().escapePressed(WindowId::Advert);
  EXPECT_TRUE(t.ui().isOpen(WindowId::Remote));
  EXPECT_FALSE(t.ui().isOpen(WindowId::Advert));
}

TEST_F(WindowManagerTest, EscIsIgnoredByAWindowDisabledUnderAModalOne) {
  t.ui().open(WindowId::Main);
  t.ui().open(WindowId::Advert);
  bool advertOpenAfterEsc = false;
  t.backend.whileModal = [&](WindowId id) {
    t.ui().escapePressed(WindowId::Advert);
    advertOpenAfterEsc = t.ui().isOpen(WindowId::Advert);
    t.ui().escapePressed(id);
  };
  t.ui().open(WindowId::Settings, true);
  EXPECT_TRUE(advertOpenAfterEsc);
  EXPECT_FALSE(t.ui().isOpen(WindowId::Settings));
  // Enabled again once the modal window has gone.
  t.ui().escapePressed(WindowId::Advert);
  EXPECT_FALSE(t.ui().isOpen(WindowId::Advert));
}

TEST_F(WindowManagerTest, NothingRunsWhileAHandlersFetchWaitsAndWhatCameMeanwhileRunsOnceAfter) {
  ui::WindowDef& remote = def(WindowId::Remote);
  remote.bindings.clear();
  bind(WindowId::Remote, "按钮", Event::Clicked, [](app::Program& p) {
    p.fetcher().fetchUrlBytes("http://station/x");
    TestProgram::of(p).log.push_back("fetched");
  });
  bind(WindowId::Remote, "图片", Event::LeftPressed, record<"left">);
  bind(WindowId::Remote, "时钟", Event::Timer, record<"tick">);
  bind(WindowId::Remote, "", Event::AboutToBeDestroyed, record<"closing">);
  remote.dragAnywhere = false;
  t.ui().open(WindowId::Remote);
  t.control(WindowId::Remote, "时钟").setTimerPeriod(100);
  t.control(WindowId::Remote, "链接").setAddress("http://x/");
  t.ui().openLink = [this](const std::string&) {
    t.log.push_back("link");
    return true;
  };
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  t.fetcher.beforeAnswer = [released] { released.wait(); };
  std::vector<std::string> heardWhileWaiting;
  t.backend.input.push_back([this] { t.log.push_back("queued input"); });
  t.backend.whileWaiting = [&] {
    // What the system and other programs send the windows while the fetch
    // is still held back: a tick, a click, a key and a close.
    t.ui().timerElapsed(WindowId::Remote, "时钟");
    t.ui().clicked(WindowId::Remote, "图片");
    t.ui().keyClicked(WindowId::Remote, "链接");
    t.ui().closeRequested(WindowId::Remote);
    heardWhileWaiting = t.log;
    release.set_value();
  };
  t.ui().clicked(WindowId::Remote, "按钮");
  EXPECT_TRUE(heardWhileWaiting.empty());
  EXPECT_EQ(t.log, (std::vector<std::string>{"fetched", "tick", "left", "link", "closing"}));
  EXPECT_EQ(t.fetcher.requests, std::vector<std::string>{"http://station/x"});
  t.backend.run();
  EXPECT_EQ(t.log.back(), "queued input") << "the queued input waited for its turn";
}

TEST_F(WindowManagerTest, WindowsStayDisabledUntilTheOutermostModalWindowCloses) {
  t.ui().open(WindowId::Main);
  auto enabled = [&](WindowId id) { return t.ui().state(id) && t.ui().state(id)->enabled; };
  std::vector<bool> afterInner;
  t.backend.whileModal = [&](WindowId id) {
    if (id == WindowId::Settings) {
      t.ui().open(WindowId::ExitConfirm, true);
      afterInner = {enabled(WindowId::Main), enabled(WindowId::Advert), enabled(WindowId::Settings)};
    } else {
      // Opened by the inner modal window's handlers: disabled, and it does not take the keys.
      t.ui().open(WindowId::Advert);
      t.window(WindowId::Advert).focus();
    }
    t.ui().escapePressed(id);
  };
  t.ui().open(WindowId::Settings, true);
  EXPECT_EQ(afterInner, (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(enabled(WindowId::Main));
  EXPECT_TRUE(enabled(WindowId::Advert));
  EXPECT_TRUE(std::none_of(t.backend.focused.begin(), t.backend.focused.end(),
                           [](const auto& f) { return f.first == WindowId::Advert; }));
}

TEST_F(WindowManagerTest, TimerPeriodIsNeverNegative) {
  t.ui().open(WindowId::Main);
  ui::ControlRef timer = t.control(WindowId::Main, "时钟");
  timer.setTimerPeriod(-5);
  EXPECT_EQ(timer.timerPeriod(), 0);
  timer.setTimerPeriod(100);
  EXPECT_EQ(timer.timerPeriod(), 100);
}

TEST_F(WindowManagerTest, AWindowTheSystemRefusesIsNotOpenAndRunsNoHandler) {
  t.backend.refuseCreation = {WindowId::Remote};
  EXPECT_FALSE(t.ui().open(WindowId::Remote));
  EXPECT_FALSE(t.ui().isOpen(WindowId::Remote));
  EXPECT_TRUE(t.log.empty());
  t.control(WindowId::Remote, "按钮").setCaption("x");
  t.ui().clicked(WindowId::Remote, "按钮");
  t.ui().close(WindowId::Remote);
  EXPECT_TRUE(t.backend.destroyed.empty());
  t.backend.refuseCreation.clear();
  EXPECT_TRUE(t.ui().open(WindowId::Remote)) << "a later attempt starts afresh";
}

TEST_F(WindowManagerTest, AButtonClicksOnlyWhenReleasedOverItWhileStillShown) {
  t.ui().open(WindowId::Remote);
  const ui::ControlState& button = *t.ui().state(WindowId::Remote)->control("按钮");
  t.ui().leftPressed(WindowId::Remote, "按钮");
  EXPECT_TRUE(button.pressed && button.hot);
  t.ui().pointerOver(WindowId::Remote, "按钮", false);
  EXPECT_TRUE(button.pressed && !button.hot) << "held down, the hot look follows the pointer";
  t.ui().leftReleased(WindowId::Remote, "按钮", false);
  EXPECT_FALSE(button.pressed);
  t.ui().leftPressed(WindowId::Remote, "按钮");
  t.control(WindowId::Remote, "按钮").setShown(false);
  t.ui().leftReleased(WindowId::Remote, "按钮", true);
  t.ui().leftPressed(WindowId::Remote, "按钮");
  t.ui().keyClicked(WindowId::Remote, "按钮");
  EXPECT_TRUE(std::find(t.log.begin(), t.log.end(), "clicked") == t.log.end());
  t.control(WindowId::Remote, "按钮").setShown(true);
  t.ui().leftPressed(WindowId::Remote, "按钮");
  t.ui().pressCancelled(WindowId::Remote, "按钮");
  t.ui().leftReleased(WindowId::Remote, "按钮", true);
  EXPECT_TRUE(std::find(t.log.begin(), t.log.end(), "clicked") == t.log.end()) << "a cancelled press is no click";
  t.ui().clicked(WindowId::Remote, "按钮");
  EXPECT_EQ(t.log.back(), "clicked");
}

TEST(Stacking, LaterControlsLieOnTopAndPageControlsOnTheirTabBox) {
  TestProgram t;
  t.ui().open(WindowId::Settings);
  const ui::WindowState& w = *t.ui().state(WindowId::Settings);
  std::vector<std::string> names;
  for (int i : ui::stackingOrder(w)) names.push_back(w.controls[i].name());
  auto at = [&](const char* name) { return std::find(names.begin(), names.end(), name) - names.begin(); };
  // The page rows come before the tab box in the table, yet lie on it.
  EXPECT_GT(at("默认"), at("高级选择夹1"));
  EXPECT_GT(at("设置标签1"), at("高级选择夹1"));
  EXPECT_LT(at("设置标签"), at("高级选择夹1")) << "defined before the tab box, beneath it";
  EXPECT_EQ(names.size(), w.controls.size()) << "every control with a window is stacked once";
}

TEST(TabPages, OnlyTheSelectedPagesControlsAreShown) {
  TestProgram t;
  t.ui().open(WindowId::Settings);
  const ui::WindowState& w = *t.ui().state(WindowId::Settings);
  using namespace app::settings_window;
  EXPECT_TRUE(ui::effectivelyShown(w, *w.control(kDefaults.name)));
  EXPECT_FALSE(ui::effectivelyShown(w, *w.control(kToolsPageLabel.name)));
  EXPECT_TRUE(ui::effectivelyShown(w, *w.control(kTitleLabel.name)));
  t.control(kTabs).selectTab(1);
  EXPECT_FALSE(ui::effectivelyShown(w, *w.control(kDefaults.name)));
  EXPECT_TRUE(ui::effectivelyShown(w, *w.control(kToolsPageLabel.name)));
  t.control(kTabs).selectTab(7);
  EXPECT_EQ(t.control(kTabs).selectedTab(), 1);
  t.control(kTabs).selectTab(0);
  t.control(kDefaults).focus();
  t.control(kTabs).selectTab(1);
  EXPECT_EQ(w.focused, -1) << "the focus left with its page";
  EXPECT_EQ(t.backend.focused.back(), (std::pair<WindowId, std::string>{WindowId::Settings, ""}));
}

}  // namespace
