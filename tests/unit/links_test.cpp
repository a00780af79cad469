// Community links, the hyperlink control's open and its fallback, and the
// about box.
#include <gtest/gtest.h>

#include "app/about_box.h"
#include "net/links.h"
#include "station_config.h"
#include "test_program.h"

using ui::WindowId;
namespace main_window = app::main_window;
namespace remote_control = app::remote_control;
namespace settings_window = app::settings_window;

namespace {

TEST(FallbackCommand, IsCutBeforeTheQuotedOrBarePlaceholder) {
  EXPECT_EQ(net::fallbackCommandLine("\"C:\\b.exe\" -nohome \"%1\" -x", "http://a/"), "\"C:\\b.exe\" -nohome  http://a/");
  EXPECT_EQ(net::fallbackCommandLine("C:\\b.exe %1", "http://a/"), "C:\\b.exe  http://a/");
  EXPECT_EQ(net::fallbackCommandLine("C:\\b.exe", "http://a/"), "C:\\b.exe http://a/");
  EXPECT_EQ(net::fallbackCommandLine("", "x"), " x");
}

TEST(FallbackCommand, ACommandLineThatWouldNotFitIsNotRun) {
  EXPECT_FALSE(net::fallbackCommandLine(std::string(260, 'c'), std::string(300, 'a')));
  EXPECT_TRUE(net::fallbackCommandLine(std::string(260, 'c'), std::string(200, 'a')));
}

class LinksTest : public ::testing::Test {
 protected:
  void SetUp() override { t.start(); }
  testing_support::TestProgram t;
};

TEST_F(LinksTest, SiteItemsOpenTheirAddressOwnedByTheExplorerWindowAndLeaveThePinAlone) {
  t.click(main_window::kPin);
  t.shell.explorerWindow = 77;
  struct Item {
    const char* caption;
    const char* address;
  };
  for (Item item : {Item{"官网", station::config::kOfficialSiteAddress},
                    Item{"汀蔚地区网", station::config::kPortalSiteAddress},
                    Item{"微汀蔚", station::config::kSisterSiteAddress},
                    Item{"沣岙百科", station::config::kCityEncyclopediaAddress},
                    Item{"汀蔚百科", station::config::kRegionEncyclopediaAddress}}) {
    t.shell.opened.clear();
    t.chooseFromNextMenu(item.caption);
    t.ui().rightPressed(WindowId::Main, "");
    ASSERT_EQ(t.shell.opened.size(), 1u) << item.caption;
    EXPECT_EQ(t.shell.opened[0].address, item.address);
    EXPECT_EQ(t.shell.opened[0].owner, 77u);
    EXPECT_EQ(t.shell.opened[0].show, net::ShowCommand::Normal);
  }
  EXPECT_TRUE(t.window(WindowId::Main).alwaysOnTop());
}

TEST_F(LinksTest, WithoutAnExplorerWindowTheAddressOpensWithNoOwnerEvenWhenEmpty) {
  net::openInBrowser(t.shell, "");
  ASSERT_EQ(t.shell.opened.size(), 1u);
  EXPECT_EQ(t.shell.opened[0].owner, 0u);
  EXPECT_TRUE(t.backend.boxes.empty());
}

TEST_F(LinksTest, TheAdvertLinkOpensItsAddressAndIsVisitedOnlyWhenThatWorked) {
  ui::ControlRef link = t.control(main_window::kAdvertLink);
  t.leftPress(main_window::kAdvertLink);
  EXPECT_TRUE(t.shell.opened.empty()) << "no address yet: nothing opens";

  link.setAddress("http://ad/");
  t.leftPress(main_window::kAdvertLink);
  ASSERT_EQ(t.shell.opened.size(), 1u);
  EXPECT_EQ(t.shell.opened[0].show, net::ShowCommand::Show);
  EXPECT_EQ(t.shell.opened[0].owner, 0u);
  EXPECT_TRUE(link.visited());
}

TEST_F(LinksTest, AFailedShellOpenFallsBackToTheRegisteredPageCommand) {
  ui::ControlRef link = t.control(main_window::kAdvertLink);
  link.setAddress("http://ad/");
  t.shell.openResult = 2;
  t.leftPress(main_window::kAdvertLink);
  EXPECT_TRUE(t.shell.ran.empty()) << "no .htm class registered";
  EXPECT_FALSE(link.visited());

  t.shell.classesRoot[".htm"] = "htmlfile";
  t.shell.classesRoot["htmlfile\\shell\\open\\command"] = "\"C:\\web.exe\" \"%1\"";
  t.leftPress(main_window::kAdvertLink);
  EXPECT_EQ(t.shell.ran, std::vector<std::string>{"\"C:\\web.exe\"  http://ad/"});
  EXPECT_TRUE(link.visited());

  t.shell.runResult = 2;
  t.leftPress(main_window::kAdvertLink);
  EXPECT_FALSE(link.visited()) << "each open sets the mark anew";
}

TEST_F(LinksTest, TheMicroblogButtonLoadsItsTwoPicturesEachTimeTheSettingsWindowOpens) {
  const ui::Bytes normal{'G', 'I', 'F', '8', '9', 'a', 1}, hot{'G', 'I', 'F', '8', '9', 'a', 2};
  t.files.files["\\img\\sinaweibo1.gif"] = normal;
  t.files.files["\\img\\sinaweibo2.gif"] = hot;
  int opened = 0;
  t.backend.whileModal = [&](WindowId) {
    ++opened;
    ui::ControlRef button = t.control(settings_window::kMicroblogButton);
    ASSERT_TRUE(button.picture());
    ASSERT_TRUE(button.hotPicture());
    EXPECT_EQ(*button.picture(), opened == 1 ? normal : hot) << "opening " << opened;
    EXPECT_EQ(*button.hotPicture(), hot);
    t.click(settings_window::kClose);
  };
  t.click(remote_control::kSettings);
  // Read anew at the next opening, not kept from the first.
  t.files.files["\\img\\sinaweibo1.gif"] = hot;
  t.click(remote_control::kSettings);
  EXPECT_EQ(opened, 2);
  EXPECT_TRUE(t.shell.opened.empty());
}

TEST_F(LinksTest, TheMicroblogButtonOpensTheMicroblogWithAPictureMissing) {
  t.files.files["\\img\\sinaweibo2.gif"] = {'G', 'I', 'F', '8', '9', 'a'};
  t.files.files["\\img\\sinaweibo1.gif"] = {};  // empty file: no picture either
  t.backend.whileModal = [&](WindowId) {
    EXPECT_FALSE(t.control(settings_window::kMicroblogButton).picture());
    EXPECT_TRUE(t.control(settings_window::kMicroblogButton).hotPicture());
    t.click(settings_window::kMicroblogButton);
    t.click(settings_window::kClose);
  };
  t.click(remote_control::kSettings);
  ASSERT_EQ(t.shell.opened.size(), 1u);
  EXPECT_EQ(t.shell.opened[0].address, station::config::kMicroblogAddress);
}

TEST_F(LinksTest, AboutBoxReleasesThePinAndShowsFourLines) {
  t.click(main_window::kPin);
  t.backend.whileBoxShown = [&] { EXPECT_FALSE(t.window(WindowId::Main).alwaysOnTop()); };
  t.chooseFromNextMenu("关于");
  t.ui().rightPressed(WindowId::Main, "");
  ASSERT_EQ(t.backend.boxes.size(), 1u);
  EXPECT_EQ(t.backend.boxes[0].second, "信息：");
  const std::string& text = t.backend.boxes[0].first;
  EXPECT_EQ(text.rfind("汀蔚网络视听台 V1.3\r\n", 0), 0u);
  EXPECT_NE(text.back(), '\n');
  int breaks = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++breaks;
  EXPECT_EQ(breaks, 3);
  EXPECT_TRUE(t.control(main_window::kPin).shown());
  EXPECT_FALSE(t.control(main_window::kUnpin).shown());
}

TEST(AboutText, NamesTheHostsWithoutSchemeAndThePortalWithoutWww) {
  std::string text = app::aboutText();
  std::string official = std::string(station::config::kOfficialSiteAddress).substr(7);
  std::string portal = std::string(station::config::kPortalSiteAddress).substr(7 + 4);
  std::string microblog = std::string(station::config::kMicroblogAddress).substr(7);
  EXPECT_EQ(text, "汀蔚网络视听台 V1.3\r\n" + official + "\r\n" + portal + "\r\n微博：" +
                      station::config::kMicroblogDisplayName + "（" + microblog + "）");
}

}  // namespace
