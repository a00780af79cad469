// The platform-free rules of a fetch: read block size and request path.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "net/fetcher.h"

namespace {

using net::blockSizeFor;
using net::pathWithoutFragment;
using net::isRedirectStatus;
using net::mayRedirect;
using namespace std::string_view_literals;

// Rows of {length text, block size}; a failure names the text.
void expectBlockSizes(std::initializer_list<std::pair<std::string_view, std::size_t>> rows) {
  for (const auto& [length, size] : rows) EXPECT_EQ(blockSizeFor(length), size) << "length \"" << length << '"';
}

TEST(FetchRules, BlockSizeIsLengthPlusOne) {
  expectBlockSizes({{"5", 6}, {"1", 2}, {"10239", 10240}, {"50000", 50001}});
}

TEST(FetchRules, BlockSizeIsAtMost102400) {
  expectBlockSizes({{"102398", 102399}, {"102399", 102400}, {"102400", 102400}, {"200000", 102400},
                    {"4294967296", 102400}});
}

TEST(FetchRules, HugeLengthsDoNotOverflow) {
  const std::string nines(5000, '9');
  std::string tenToTheForty(41, '0');  // formed in place: GCC 12 warns on "1" + text at -O3
  tenToTheForty[0] = '1';
  expectBlockSizes({{"18446744073709551616", 102400},  // 2^64
                    {"99999999999999999999999999999", 102400}, {nines, 102400}, {tenToTheForty, 102400}});
}

TEST(FetchRules, WithoutAUsableLengthTheBlockIs10240) {
  EXPECT_EQ(blockSizeFor(std::nullopt), 10240u);
  expectBlockSizes({{"", 10240}, {"0", 10240}, {"000", 10240}, {"abc", 10240}, {"-5", 10240}, {"-0", 10240},
                    {" ", 10240}, {"+", 10240}});
}

TEST(FetchRules, LengthIsReadAsADecimalInteger) {
  // Leading blanks and a plus sign are read; what follows the digits is not.
  expectBlockSizes({{" 42", 43}, {"+42", 43}, {"42 ", 43}, {"42abc", 43}, {"0042", 43},
                    {"0x10", 10240}});  // zero, then letters
}

TEST(FetchRules, LengthTextIsNotReadPastItsEnd) {
  // A view into a longer text: only its own characters count.
  expectBlockSizes({{"12345"sv.substr(0, 2), 13}});
}

TEST(FetchRules, PathKeepsTheQueryAndLosesTheFragment) {
  const std::pair<std::string_view, std::string_view> rows[] = {
      {"/bofang/ad/tingweitz.xml?x=1#top", "/bofang/ad/tingweitz.xml?x=1"}, {"/a#b#c", "/a"}, {"/a?q=#", "/a?q="},
      {"#top", ""}, {"/plain", "/plain"}, {"/a?x=1&y=2", "/a?x=1&y=2"}, {"", ""}};
  for (const auto& [path, expected] : rows) EXPECT_EQ(pathWithoutFragment(path), expected) << '"' << path << '"';
}

TEST(FetchRules, PathKeepsGbkBytes) {
  // GBK text, bytes at or above 0x80, stays as it is.
  const std::string path = "/目录/文件.xml?名=值";
  EXPECT_EQ(pathWithoutFragment(path + "#片段"), path);
}

TEST(FetchRules, RedirectsAreTheFiveGetRedirectsAndNeverFromHttpsToHttp) {
  for (unsigned status : {301u, 302u, 303u, 307u, 308u}) EXPECT_TRUE(isRedirectStatus(status)) << status;
  for (unsigned status : {0u, 200u, 300u, 304u, 305u, 306u, 309u, 404u}) EXPECT_FALSE(isRedirectStatus(status)) << status;
  EXPECT_TRUE(mayRedirect("http://a/", "http://b/"));
  EXPECT_TRUE(mayRedirect("http://a/", "HTTPS://a/"));
  EXPECT_TRUE(mayRedirect("https://a/", "https://b:8443/x"));
  EXPECT_FALSE(mayRedirect("HTTPS://a/", "http://a/"));
  EXPECT_FALSE(mayRedirect("https://a/", "ftp://a/"));
}

}  // namespace
