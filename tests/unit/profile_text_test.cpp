// INI text read and written on bytes, or on UTF-16 for a file saved as
// "Unicode", as the system's profile functions do.
#include "app/profile_text.h"

#include <gtest/gtest.h>

#include "app/profile_store.h"
#include "fakes.h"
#include "profile_cases.h"

namespace {

using testing_support::profileReads;
using testing_support::profileWrites;

class ProfileText : public ::testing::Test {
 protected:
  void put(const std::optional<std::string>& file) {
    files.files.clear();
    if (file) files.setText("\\case.ini", *file);
  }

  testing_support::FakeFileSystem files;
  testing_support::FakeTextCodec codec;
  app::ProfileStore profiles{files, codec};
};

TEST_F(ProfileText, ReadsAsTheSystemDoes) {
  for (const auto& c : profileReads()) {
    put(c.file);
    EXPECT_EQ(profiles.read("\\case.ini", c.section, c.key), c.value) << c.what;
  }
}

TEST_F(ProfileText, WritesChangeOnlyTheKeysLine) {
  for (const auto& c : profileWrites()) {
    put(c.file);
    EXPECT_TRUE(profiles.write("\\case.ini", c.section, c.key, c.value)) << c.what;
    EXPECT_EQ(files.text("\\case.ini"), c.written) << c.what;
    EXPECT_EQ(profiles.read("\\case.ini", c.section, c.key), c.value) << c.what << ": reads back";
  }
}

}  // namespace
