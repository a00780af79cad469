// The update check: the version read from the manifest, the comparison, and
// the one message it shows.
#include <gtest/gtest.h>

#include "app/update_check.h"
#include "net/addresses.h"
#include "test_program.h"

using ui::WindowId;
namespace main_window = app::main_window;

namespace {

TEST(ManifestVersion, ReadsTheLongestDecimalPrefixAfterFoldingFullWidthForms) {
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("1.3"), 1.3);
  EXPECT_DOUBLE_EQ(app::parseManifestVersion(" 1.5"), 1.5);
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("1.5beta"), 1.5);
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("abc"), 0);
  EXPECT_DOUBLE_EQ(app::parseManifestVersion(""), 0);
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("."), 0);
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("-"), 0);
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("2e1x"), 20);
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("2e"), 2);
  EXPECT_DOUBLE_EQ(app::parseManifestVersion(".5"), 0.5);
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("inf"), 0) << "decimal numbers only";
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("0x10"), 0);
  // Full-width "１．５" and an ideographic space before it.
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("\xA1\xA1\xA3\xB1\xA3\xAE\xA3\xB5"), 1.5);
  // A double-byte character whose trail byte is an ASCII digit's code stays whole.
  EXPECT_DOUBLE_EQ(app::parseManifestVersion("\xB0\x31"), 0);
}

TEST(NewVersionMessage, IsBuiltPieceByPiece) {
  EXPECT_EQ(app::newVersionMessage(" 1.5x", "修复#换行符提速"),
            "发现新版本（ 1.5x）可以更新！，本次更新了如下内容：\r\n修复\r\n提速\r\n\r\n");
  EXPECT_EQ(app::newVersionMessage("2", ""), "发现新版本（2）可以更新！，本次更新了如下内容：\r\n\r\n\r\n");
  EXPECT_EQ(app::newVersionMessage("2", "#换行符#换行符"),
            "发现新版本（2）可以更新！，本次更新了如下内容：\r\n\r\n\r\n\r\n\r\n");
}

class UpdateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { t.start(); }
  void serve(const std::string& manifest) {
    t.fetcher.bodies[net::updateManifestAddress()] = net::Bytes(manifest.begin(), manifest.end());
  }
  void check() {
    t.chooseFromNextMenu("检测更新");
    t.ui().rightPressed(WindowId::Main, "");
  }
  testing_support::TestProgram t;
};

TEST_F(UpdateCheckTest, TheSameVersionOrOneWithinTheMarginIsTheLatest) {
  for (const char* version : {"1.3", "1.30000001", "1.2", "abc", ""}) {
    t.backend.boxes.clear();
    serve(std::string("<最新版本><版本信息 版本号=\"") + version + "\" 下载地址=\"http://dl/\"/></最新版本>");
    check();
    ASSERT_EQ(t.backend.boxes.size(), 1u) << version;
    EXPECT_EQ(t.backend.boxes[0].first, "当前您使用的是最新版本") << version;
    EXPECT_EQ(t.backend.boxes[0].second, "信息：");
  }
  EXPECT_TRUE(t.shell.opened.empty());
}

TEST_F(UpdateCheckTest, ANewerVersionIsAnnouncedThenItsDownloadOpens) {
  serve("<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<最新版本>\n<版本信息 版本号=\"1.31\" 升级说明=\"甲#换行符乙\" "
        "下载地址=\"http://dl/x.exe\"/>\n</最新版本>");
  bool openedBeforeDismissed = false;
  t.backend.whileBoxShown = [&] { openedBeforeDismissed = !t.shell.opened.empty(); };
  t.chooseFromNextMenu("检测是否有更新");
  t.click(main_window::kMenuButton);
  ASSERT_EQ(t.backend.boxes.size(), 1u);
  EXPECT_EQ(t.backend.boxes[0].first, "发现新版本（1.31）可以更新！，本次更新了如下内容：\r\n甲\r\n乙\r\n\r\n");
  EXPECT_FALSE(openedBeforeDismissed);
  ASSERT_EQ(t.shell.opened.size(), 1u);
  EXPECT_EQ(t.shell.opened[0].address, "http://dl/x.exe");
}

TEST_F(UpdateCheckTest, ANewerVersionOpensOnlyAWebAddress) {
  serve("<最新版本><版本信息 版本号=\"9\"/></最新版本>");
  check();
  ASSERT_EQ(t.backend.boxes.size(), 1u);
  EXPECT_TRUE(t.shell.opened.empty()) << "no address: nothing to open";
  for (const char* address : {"C:\\windows\\system32\\cmd.exe", "file:///C:/setup.exe", "ftp://dl/x.exe",
                              "http://dl/x.exe&quot; /c calc", "http://dl/x .exe"}) {
    serve(std::string("<最新版本><版本信息 版本号=\"9\" 下载地址=\"") + address + "\"/></最新版本>");
    check();
    EXPECT_TRUE(t.shell.opened.empty()) << address;
  }
  ASSERT_EQ(t.backend.boxes.size(), 6u);
  for (const auto& box : t.backend.boxes) {
    EXPECT_EQ(box.first.rfind("发现新版本（9）", 0), 0u) << "each check still announces the version: " << box.first;
  }
  serve("<最新版本><版本信息 版本号=\"9\" 下载地址=\"https://dl/x.exe\"/></最新版本>");
  check();
  ASSERT_EQ(t.shell.opened.size(), 1u);
  EXPECT_EQ(t.shell.opened[0].address, "https://dl/x.exe");
}

TEST_F(UpdateCheckTest, AnUnreachableServerOrAnErrorPageMeansTheLatest) {
  check();
  serve("<html><body>404</body></html>");
  check();
  ASSERT_EQ(t.backend.boxes.size(), 2u);
  EXPECT_EQ(t.backend.boxes[1].first, "当前您使用的是最新版本");
}

TEST_F(UpdateCheckTest, TheCheckReleasesThePinFirstAndKeepsItReleased) {
  t.click(main_window::kPin);
  t.backend.whileBoxShown = [&] { EXPECT_FALSE(t.window(WindowId::Main).alwaysOnTop()); };
  check();
  EXPECT_FALSE(t.window(WindowId::Main).alwaysOnTop());
  EXPECT_TRUE(t.control(main_window::kPin).shown());
  EXPECT_FALSE(t.control(main_window::kUnpin).shown());
}

}  // namespace
