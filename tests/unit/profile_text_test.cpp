// INI text read and written on bytes, as the system's profile functions do.
#include "app/profile_text.h"

#include <gtest/gtest.h>

#include "app/profile_store.h"
#include "fakes.h"
#include "profile_cases.h"

namespace {

using testing_support::profileReads;
using testing_support::profileWrites;

TEST(ProfileText, ReadsAsTheSystemDoes) {
  for (const auto& c : profileReads()) {
    EXPECT_EQ(app::readProfileValue(c.file.value_or(""), c.section, c.key), c.value) << c.what;
  }
}

TEST(ProfileText, WritesChangeOnlyTheKeysLine) {
  for (const auto& c : profileWrites()) {
    const std::string written = app::writeProfileValue(c.file.value_or(""), c.section, c.key, c.value);
    EXPECT_EQ(written, c.written) << c.what;
    EXPECT_EQ(app::readProfileValue(written, c.section, c.key), c.value) << c.what << ": reads back";
  }
}

TEST(ProfileText, AByteOrderMarkIsSkippedAndKept) {
  const std::string text = "\xEF\xBB\xBF[s]\r\na=1\r\n";
  EXPECT_EQ(app::readProfileValue(text, "s", "a"), "1");
  EXPECT_EQ(app::writeProfileValue(text, "s", "a", "2"), "\xEF\xBB\xBF[s]\r\na=2\r\n");
}

TEST(ProfileStore, AFileInUseIsNotReplaced) {
  testing_support::FakeFileSystem files;
  app::ProfileStore profiles(files);
  files.setText("\\userini.user", "[s]\r\na=1\r\nkept=1\r\n");
  files.locked.insert("\\userini.user");
  EXPECT_FALSE(profiles.write("\\userini.user", "s", "a", "2"));
  files.locked.clear();
  EXPECT_EQ(files.text("\\userini.user"), "[s]\r\na=1\r\nkept=1\r\n");
  EXPECT_TRUE(profiles.write("\\userini.user", "s", "a", "2"));
  EXPECT_EQ(profiles.read("\\userini.user", "S", "A"), "2");
}

}  // namespace
