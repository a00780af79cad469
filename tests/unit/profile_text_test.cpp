// INI text read and written on bytes, as the system's profile functions do.
#include "app/profile_text.h"

#include <gtest/gtest.h>

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

}  // namespace
