// GBK <-> UTF-16 conversion with code page 936 named explicitly. This source
// is compiled with -fexec-charset=GBK, so narrow literals are GBK bytes.
#include "platform/win32/gbk_text.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using win32::gbkFromWide;
using win32::wideFromGbk;

TEST(TextWin32, ChineseGbkBecomesUtf16) {
  const std::string gbk = "视听台";
  ASSERT_EQ(gbk, std::string("\xCA\xD3\xCC\xFD\xCC\xA8"));  // the build really produced GBK
  EXPECT_EQ(wideFromGbk(gbk), std::wstring(L"\u89C6\u542C\u53F0"));
}

TEST(TextWin32, Utf16BecomesGbk) {
  EXPECT_EQ(gbkFromWide(L"\u8D85\u6587\u672C"), std::string("超文本"));
}

TEST(TextWin32, MixedTextRoundTrips) {
  const std::string gbk = "http://127.0.0.1:8080/bofang/?名=值&x=1 V1.3";
  const std::wstring wide = wideFromGbk(gbk);
  EXPECT_EQ(wide.substr(0, 29), L"http://127.0.0.1:8080/bofang/");
  EXPECT_EQ(gbkFromWide(wide), gbk);
}

TEST(TextWin32, EmptyStaysEmpty) {
  EXPECT_EQ(wideFromGbk(""), L"");
  EXPECT_EQ(gbkFromWide(L""), "");
}

TEST(TextWin32, EmbeddedNulIsKept) {
  const std::string gbk("a\0中", 4);
  const std::wstring wide = wideFromGbk(gbk);
  ASSERT_EQ(wide.size(), 3u);
  EXPECT_EQ(wide[1], L'\0');
  EXPECT_EQ(wide[2], L'\u4E2D');
  EXPECT_EQ(gbkFromWide(wide), gbk);
}

TEST(TextWin32, TruncatedLeadByteDoesNotSwallowOrCrash) {
  // A lone lead byte at the end: the text before it survives.
  const std::wstring wide = wideFromGbk(std::string("ab\x81", 3));
  ASSERT_GE(wide.size(), 2u);
  EXPECT_EQ(wide.substr(0, 2), L"ab");
}

TEST(TextWin32, CharactersOutsideGbkBecomeQuestionMarks) {
  // U+0E01 (Thai) has no GBK encoding.
  EXPECT_EQ(gbkFromWide(L"a\u0E01b"), "a?b");
}

}  // namespace
