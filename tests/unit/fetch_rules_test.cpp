// The platform-free rules of a fetch: read block size and request path.
#include <gtest/gtest.h>

#include "net/fetcher.h"

namespace {

using net::blockSizeFor;
using net::pathWithoutFragment;

TEST(FetchRules, BlockSizeIsLengthPlusOne) {
  EXPECT_EQ(blockSizeFor("5"), 6u);
  EXPECT_EQ(blockSizeFor("1"), 2u);
  EXPECT_EQ(blockSizeFor("10239"), 10240u);
  EXPECT_EQ(blockSizeFor("50000"), 50001u);
}

TEST(FetchRules, BlockSizeIsAtMost102400) {
  EXPECT_EQ(blockSizeFor("102398"), 102399u);
  EXPECT_EQ(blockSizeFor("102399"), 102400u);
  EXPECT_EQ(blockSizeFor("102400"), 102400u);
  EXPECT_EQ(blockSizeFor("200000"), 102400u);
  EXPECT_EQ(blockSizeFor("4294967296"), 102400u);
}

TEST(FetchRules, HugeLengthsDoNotOverflow) {
  EXPECT_EQ(blockSizeFor("18446744073709551616"), 102400u);       // 2^64
  EXPECT_EQ(blockSizeFor("99999999999999999999999999999"), 102400u);
  EXPECT_EQ(blockSizeFor(std::string(5000, '9')), 102400u);
  std::string tenToTheForty(41, '0');  // formed in place: GCC 12 warns on "1" + text at -O3
  tenToTheForty[0] = '1';
  EXPECT_EQ(blockSizeFor(tenToTheForty), 102400u);
}

TEST(FetchRules, WithoutAUsableLengthTheBlockIs10240) {
  EXPECT_EQ(blockSizeFor(std::nullopt), 10240u);
  EXPECT_EQ(blockSizeFor(""), 10240u);
  EXPECT_EQ(blockSizeFor("0"), 10240u);
  EXPECT_EQ(blockSizeFor("000"), 10240u);
  EXPECT_EQ(blockSizeFor("abc"), 10240u);
  EXPECT_EQ(blockSizeFor("-5"), 10240u);
  EXPECT_EQ(blockSizeFor("-0"), 10240u);
  EXPECT_EQ(blockSizeFor(" "), 10240u);
  EXPECT_EQ(blockSizeFor("+"), 10240u);
}

TEST(FetchRules, LengthIsReadAsADecimalInteger) {
  // Leading blanks and a plus sign are read; what follows the digits is not.
  EXPECT_EQ(blockSizeFor(" 42"), 43u);
  EXPECT_EQ(blockSizeFor("+42"), 43u);
  EXPECT_EQ(blockSizeFor("42 "), 43u);
  EXPECT_EQ(blockSizeFor("42abc"), 43u);
  EXPECT_EQ(blockSizeFor("0042"), 43u);
  EXPECT_EQ(blockSizeFor("0x10"), 10240u);  // zero, then letters
}

TEST(FetchRules, LengthTextIsNotReadPastItsEnd) {
  // A view into a longer text: only its own characters count.
  const std::string text = "12345";
  EXPECT_EQ(blockSizeFor(std::string_view(text).substr(0, 2)), 13u);
}

TEST(FetchRules, PathKeepsTheQueryAndLosesTheFragment) {
  EXPECT_EQ(pathWithoutFragment("/bofang/ad/tingweitz.xml?x=1#top"), "/bofang/ad/tingweitz.xml?x=1");
  EXPECT_EQ(pathWithoutFragment("/a#b#c"), "/a");
  EXPECT_EQ(pathWithoutFragment("/a?q=#"), "/a?q=");
  EXPECT_EQ(pathWithoutFragment("#top"), "");
  EXPECT_EQ(pathWithoutFragment("/plain"), "/plain");
  EXPECT_EQ(pathWithoutFragment("/a?x=1&y=2"), "/a?x=1&y=2");
  EXPECT_EQ(pathWithoutFragment(""), "");
}

TEST(FetchRules, PathKeepsGbkBytes) {
  // GBK text, bytes at or above 0x80, stays as it is.
  const std::string path = "/目录/文件.xml?名=值";
  EXPECT_EQ(pathWithoutFragment(path + "#片段"), path);
}

}  // namespace
