// The settings files: where they lie, what reads as what, and what a write
// leaves behind.
#include <gtest/gtest.h>

#include "app/settings_files.h"
#include "fakes.h"

namespace {

using app::parseStoredInteger;

TEST(StoredInteger, ReadsAsTheStandardDecimalConversionDoes) {
  EXPECT_EQ(parseStoredInteger("16777215"), 16777215);
  EXPECT_EQ(parseStoredInteger("255abc"), 255);
  EXPECT_EQ(parseStoredInteger(""), 0);
  EXPECT_EQ(parseStoredInteger("abc"), 0);
  EXPECT_EQ(parseStoredInteger("-1"), -1);
  EXPECT_EQ(parseStoredInteger("  65280"), 65280);
  EXPECT_EQ(parseStoredInteger("\t+42"), 42);
  EXPECT_EQ(parseStoredInteger("- 5"), 0) << "a sign must be followed by digits";
  EXPECT_EQ(parseStoredInteger("--5"), 0);
  EXPECT_EQ(parseStoredInteger("12 34"), 12);
  EXPECT_EQ(parseStoredInteger("-2147483648"), INT32_MIN);
  // Far beyond 32 bits: no overflow fault, some value.
  (void)parseStoredInteger("99999999999999999999999999999");
}

class SettingsFilesTest : public ::testing::Test {
 protected:
  testing_support::FakeFileSystem files;
  testing_support::FakeTextCodec codec;
  app::SettingsFiles settings{files, codec};
};

TEST_F(SettingsFilesTest, AFileOrADirectoryCountsAsUserSettings) {
  EXPECT_FALSE(settings.userSettingsExist());
  files.directories.insert("\\userini.user");
  EXPECT_TRUE(settings.userSettingsExist());
}

TEST_F(SettingsFilesTest, WritingCreatesTheFileWithTheSingleKey) {
  settings.writeUserBackground(65280);
  EXPECT_EQ(files.text("\\userini.user"), "[皮肤]\r\n底色=65280\r\n");
  EXPECT_EQ(settings.readUserBackground(), 65280);
  settings.writeUserBackground(65280);
  EXPECT_EQ(files.text("\\userini.user"), "[皮肤]\r\n底色=65280\r\n") << "the same colour twice: one key";
  settings.writeUserBackground(-16);
  EXPECT_EQ(settings.readUserBackground(), -16);
}

TEST_F(SettingsFilesTest, MissingKeyOrFileReadsAsBlack) {
  EXPECT_EQ(settings.readUserBackground(), 0);
  files.setText("\\userini.user", "[皮肤]\r\n其他=5\r\n");
  EXPECT_EQ(settings.readUserBackground(), 0);
  EXPECT_EQ(settings.readDefaultColour("默认底色"), 0) << "no system.dll";
}

TEST_F(SettingsFilesTest, DefaultsComeFromTheirOwnSection) {
  files.setText("\\system.dll", "[默认皮肤]\r\n默认底色=16746496\r\n默认底色2= 255abc\r\n[皮肤]\r\n底色=7\r\n");
  EXPECT_EQ(settings.readDefaultColour("默认底色"), 16746496);
  EXPECT_EQ(settings.readDefaultColour("默认底色2"), 255);
}

TEST_F(SettingsFilesTest, DeletingRemovesTheFileAndAnAbsentOneIsNoFault) {
  settings.deleteUserSettings();
  settings.writeUserBackground(1);
  settings.deleteUserSettings();
  EXPECT_FALSE(settings.userSettingsExist());
  settings.writeUserBackground(1);
  files.locked.insert("\\userini.user");
  settings.deleteUserSettings();
  EXPECT_TRUE(settings.userSettingsExist()) << "a file in use stays, silently";
}

}  // namespace
