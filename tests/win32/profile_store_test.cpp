// The settings files through the system's real profile functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "app/settings_files.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_profiles.h"

namespace {

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

class ProfileFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    dir = std::string(temp) + "station-profile-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(dir.c_str(), nullptr);
    user = dir + "\\userini.user";
    defaults = dir + "\\system.dll";
  }
  void TearDown() override {
    SetFileAttributesA(user.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(user.c_str());
    DeleteFileA(defaults.c_str());
    RemoveDirectoryA((dir + "\\userini.user").c_str());
    RemoveDirectoryA(dir.c_str());
  }
  std::string dir, user, defaults;
  win32::Win32FileSystem files;
  win32::Win32ProfileStore profiles;
  app::SettingsFiles at() { return app::SettingsFiles(dir, files, profiles); }
};

TEST_F(ProfileFilesTest, WritingCreatesTheFileWithTheSingleKey) {
  auto s = at();
  EXPECT_FALSE(s.userSettingsExist());
  s.writeUserBackground(65280);
  EXPECT_TRUE(s.userSettingsExist());
  EXPECT_EQ(readAll(user), "[皮肤]\r\n底色=65280\r\n");
  EXPECT_EQ(s.readUserBackground(), 65280);
}

TEST_F(ProfileFilesTest, ReplacingAValueLeavesTheOtherLinesAlone) {
  writeAll(user, "; mine\r\n[其他]\r\nx=1\r\n[皮肤]\r\n底色=1\r\n别的=2\r\n");
  auto s = at();
  s.writeUserBackground(-5);
  EXPECT_EQ(readAll(user), "; mine\r\n[其他]\r\nx=1\r\n[皮肤]\r\n底色=-5\r\n别的=2\r\n");
  EXPECT_EQ(s.readUserBackground(), -5);
}

TEST_F(ProfileFilesTest, StoredTextReadsAsTheDecimalConversionDoes) {
  auto s = at();
  for (auto [text, value] : {std::pair<const char*, int>{"  65280", 65280}, {"255abc", 255}, {"abc", 0}, {"", 0}}) {
    writeAll(user, std::string("[皮肤]\r\n底色=") + text + "\r\n");
    EXPECT_EQ(s.readUserBackground(), value) << text;
  }
  writeAll(user, "[皮肤]\r\n");
  EXPECT_EQ(s.readUserBackground(), 0);
}

TEST_F(ProfileFilesTest, DefaultsComeFromSystemDllAndAMissingOneGivesBlack) {
  auto s = at();
  EXPECT_EQ(s.readDefaultColour("默认底色"), 0);
  writeAll(defaults, "[默认皮肤]\r\n默认底色=16746496\r\n默认底色2=255\r\n");
  EXPECT_EQ(s.readDefaultColour("默认底色"), 16746496);
  EXPECT_EQ(s.readDefaultColour("默认底色2"), 255);
}

TEST_F(ProfileFilesTest, AValueLongerThanTheBufferIsCut) {
  writeAll(user, "[皮肤]\r\n底色=" + std::string(20000, '7') + "\r\n");
  EXPECT_EQ(profiles.read(user, "皮肤", "底色").size(), 10239u);
}

TEST_F(ProfileFilesTest, DeletingAnAbsentFileDoesNothingAndADirectoryCounts) {
  auto s = at();
  s.deleteUserSettings();
  EXPECT_FALSE(s.userSettingsExist());
  CreateDirectoryA(user.c_str(), nullptr);
  EXPECT_TRUE(s.userSettingsExist());
  s.deleteUserSettings();
  EXPECT_TRUE(s.userSettingsExist());
}

// Wine's profile writer replaces a read-only file anyway, so what a refused
// write looks like is shown with a file another program holds open; a
// read-only file must at least still be read.
TEST_F(ProfileFilesTest, AReadOnlyFileIsStillRead) {
  writeAll(user, "[皮肤]\r\n底色=1\r\n");
  SetFileAttributesA(user.c_str(), FILE_ATTRIBUTE_READONLY);
  auto s = at();
  EXPECT_TRUE(s.userSettingsExist());
  EXPECT_EQ(s.readUserBackground(), 1);
}

TEST_F(ProfileFilesTest, AFileHeldOpenExclusivelyStaysUnchanged) {
  writeAll(user, "[皮肤]\r\n底色=1\r\n");
  HANDLE held = CreateFileA(user.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  auto s = at();
  s.writeUserBackground(2);
  s.deleteUserSettings();
  CloseHandle(held);
  EXPECT_EQ(readAll(user), "[皮肤]\r\n底色=1\r\n");
}

}  // namespace
