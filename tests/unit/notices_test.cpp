// The notice refresh, the picture advert, and the advert window's pages.
#include <gtest/gtest.h>

#include "app/window_forms.h"
#include "net/addresses.h"
#include "net/links.h"
#include "test_program.h"

using ui::WindowId;
namespace advert_window = app::advert_window;
namespace main_window = app::main_window;
namespace remote_control = app::remote_control;

namespace {

const std::string kManifest =
    "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<yun>\r\n<ad neirong=\"欢迎收听\"/>\r\n"
    "<ad1 neirong=\"广告一\" url=\"http://ad1/\"/>\r\n<ad2 url=\"http://ad2/\"/>\r\n</yun>\r\n";
const net::Bytes kPicture = {'G', 'I', 'F', '8', '9', 'a', 1, 2, 3};

class NoticesTest : public ::testing::Test {
 protected:
  void serve(const std::string& manifest, net::Bytes picture = kPicture) {
    t.fetcher.bodies[net::noticeManifestAddress()] = net::Bytes(manifest.begin(), manifest.end());
    t.fetcher.bodies[net::advertPictureAddress()] = std::move(picture);
  }
  testing_support::TestProgram t;
};

TEST_F(NoticesTest, AtStartTheManifestThenTheDirectoryThenThePictureAreStoredAndShown) {
  serve(kManifest);
  t.start();
  EXPECT_EQ(t.fetcher.requests,
            (std::vector<std::string>{net::noticeManifestAddress(), net::advertPictureAddress()}));
  EXPECT_EQ(t.files.text("\\ad.tingweiini"), kManifest);
  EXPECT_TRUE(t.files.directories.count("\\ad"));
  EXPECT_EQ(t.files.files["\\ad\\tingweiad.gif"], kPicture);
  EXPECT_EQ(t.control(main_window::kNotificationLine).caption(), "欢迎收听");
  EXPECT_EQ(t.control(main_window::kAdvertLink).caption(), "广告一");
  EXPECT_EQ(t.control(main_window::kAdvertLink).address(), "http://ad1/");
  ASSERT_TRUE(t.control(main_window::kPictureAdvert).picture());
  EXPECT_EQ(*t.control(main_window::kPictureAdvert).picture(), kPicture);
  // The refresh ran before the advert and remote windows opened.
  EXPECT_EQ(t.backend.created.front(), WindowId::Main);
}

TEST_F(NoticesTest, OfflineRefreshEmptiesEverythingAndTruncatesBothFiles) {
  serve(kManifest);
  t.start();
  t.fetcher.bodies.clear();
  t.click(remote_control::kRefreshNotices);
  EXPECT_EQ(t.control(main_window::kNotificationLine).caption(), "");
  EXPECT_EQ(t.control(main_window::kAdvertLink).caption(), "");
  EXPECT_EQ(t.control(main_window::kAdvertLink).address(), "");
  EXPECT_FALSE(t.control(main_window::kPictureAdvert).picture());
  EXPECT_TRUE(t.files.files["\\ad.tingweiini"].empty());
  EXPECT_TRUE(t.files.files["\\ad\\tingweiad.gif"].empty());
  EXPECT_FALSE(t.program.notificationDocument().loaded());
}

TEST_F(NoticesTest, AManifestWithoutTheLinkLeavesTheLinkEmptyButTheLineFilled) {
  serve("<yun><ad neirong=\"只有通知\"/></yun>");
  t.start();
  EXPECT_EQ(t.control(main_window::kNotificationLine).caption(), "只有通知");
  EXPECT_EQ(t.control(main_window::kAdvertLink).caption(), "");
  EXPECT_EQ(t.control(main_window::kAdvertLink).address(), "");
  serve("<yun><ad/></yun>");
  t.click(remote_control::kRefreshNotices);
  EXPECT_EQ(t.control(main_window::kNotificationLine).caption(), "");
}

TEST_F(NoticesTest, WithoutTheAdDirectoryThePictureIsNotStoredAndTheBoxIsCleared) {
  serve(kManifest);
  t.files.locked.insert("\\ad");
  t.start();
  EXPECT_EQ(t.control(main_window::kNotificationLine).caption(), "欢迎收听");
  EXPECT_FALSE(t.files.exists("\\ad\\tingweiad.gif"));
  EXPECT_FALSE(t.control(main_window::kPictureAdvert).picture());
}

TEST_F(NoticesTest, ThePictureAdvertOpensTheManifestsWebAddressOnly) {
  t.start();
  app::showMaximizedForm(t.program);
  t.leftPress(main_window::kPictureAdvert);
  EXPECT_TRUE(t.shell.opened.empty()) << "before any successful refresh there is no address to open";
  serve(kManifest);
  t.click(remote_control::kRefreshNotices);
  t.leftPress(main_window::kPictureAdvert);
  ASSERT_EQ(t.shell.opened.size(), 1u);
  EXPECT_EQ(t.shell.opened[0].address, "http://ad2/");
  EXPECT_EQ(t.shell.opened[0].show, net::ShowCommand::Normal);

  // What the network says is not run as a program or opened as a file.
  for (const char* url : {"C:\\windows\\system32\\cmd.exe", "file:///C:/x.htm", "ftp://ad2/", "http://a b/"}) {
    serve(std::string("<yun><ad2 url=\"") + url + "\"/></yun>");
    t.click(remote_control::kRefreshNotices);
    t.leftPress(main_window::kPictureAdvert);
    EXPECT_EQ(t.shell.opened.size(), 1u) << url;
  }
}

TEST_F(NoticesTest, TheAdvertLinkOpensTheManifestsWebAddressOnly) {
  serve("<yun><ad1 neirong=\"链接\" url=\"cmd.exe\"/></yun>");
  t.start();
  ui::ControlRef link = t.control(main_window::kAdvertLink);
  EXPECT_EQ(link.address(), "cmd.exe") << "kept as the manifest says";
  t.shell.classesRoot[".htm"] = "htmlfile";
  t.shell.classesRoot["htmlfile\\shell\\open\\command"] = "web.exe \"%1\"";
  t.leftPress(main_window::kAdvertLink);
  EXPECT_TRUE(t.shell.opened.empty());
  EXPECT_TRUE(t.shell.ran.empty()) << "nor through the registered page command";
  EXPECT_FALSE(link.visited());

  serve("<yun><ad1 neirong=\"链接\" url=\"https://ad1/x?a=1\"/></yun>");
  t.click(remote_control::kRefreshNotices);
  t.leftPress(main_window::kAdvertLink);
  ASSERT_EQ(t.shell.opened.size(), 1u);
  EXPECT_EQ(t.shell.opened[0].address, "https://ad1/x?a=1");
  EXPECT_TRUE(link.visited());
}

TEST(WebAddress, OnlyAbsoluteHttpOrHttpsWithoutBlanksQuotesOrControls) {
  for (const char* yes : {"http://a", "https://a/", "HTTP://A/B?c=d&e=f#g", "Https://127.0.0.1:8080/x.exe",
                          "http://\xCD\xA1\xCE\xB5/\xB9\xE3\xB8\xE6"}) {
    EXPECT_TRUE(net::isWebAddress(yes)) << yes;
  }
  for (const char* no : {"", "http://", "https://", "http:///etc/passwd", "http:/a", "http:a", "ftp://a/",
                         "mailto:a@b", "file:///C:/x", "C:\\x.exe", "x.exe", "//a/", " http://a/", "http://a/b c",
                         "http://a/\"b", "http://a/'b", "http://a/\tb", "http://a/\r\n", "http://a/\x7F",
                         "javascript:alert(1)", "www.a.example", "\\\\host\\share\\x.htm", "cmd.exe"}) {
    EXPECT_FALSE(net::isWebAddress(no)) << no;
  }
  EXPECT_FALSE(net::isWebAddress(std::string_view("http://a/\0b", 11)));
  // As long as a web address may be, and one byte longer.
  const std::string longest = "http://a/" + std::string(net::kMaxWebAddressLength - 9, 'x');
  EXPECT_TRUE(net::isWebAddress(longest));
  EXPECT_FALSE(net::isWebAddress(longest + "x"));
}

TEST_F(NoticesTest, TheManifestIsReleasedWhenTheMainWindowGoes) {
  serve(kManifest);
  t.start();
  EXPECT_TRUE(t.program.notificationDocument().loaded());
  t.ui().escapePressed(WindowId::Main);
  EXPECT_FALSE(t.program.notificationDocument().loaded());
}

TEST_F(NoticesTest, EachAdvertPageNavigatesAndFiltersTheViewAgain) {
  t.start();
  EXPECT_TRUE(t.backend.rightButtonFilters.empty()) << "the first page comes without a filter";
  t.backend.navigations.clear();
  t.chooseFromNextMenu("第二条广告");
  t.rightPress(advert_window::kCaptionLabel);
  t.chooseFromNextMenu("第二条广告");
  t.ui().rightPressed(WindowId::Advert, "");
  ASSERT_EQ(t.backend.navigations.size(), 2u);
  EXPECT_EQ(t.backend.navigations[1].second, net::advertPageAddress(2));
  // Asked after each navigation: windows the browser has made since get it too.
  const std::pair<WindowId, std::string> view{WindowId::Advert, "超文本浏览框1"};
  EXPECT_EQ(t.backend.rightButtonFilters, (std::vector{view, view}));

  t.chooseFromNextMenu("关闭广告窗口");
  t.ui().rightPressed(WindowId::Advert, "");
  EXPECT_FALSE(t.ui().isOpen(WindowId::Advert));
}

TEST_F(NoticesTest, AReopenedAdvertStartsOnTheFirstPage) {
  t.start();
  t.chooseFromNextMenu("第三条广告");
  t.ui().rightPressed(WindowId::Advert, "");
  t.click(advert_window::kClose);
  t.backend.navigations.clear();
  t.chooseFromNextMenu("支持一下广告吧");
  t.ui().rightPressed(WindowId::Main, "");
  ASSERT_EQ(t.backend.navigations.size(), 1u);
  EXPECT_EQ(t.backend.navigations[0].second, net::advertPageAddress(1));
}

}  // namespace
