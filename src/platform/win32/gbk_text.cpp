#include "platform/win32/gbk_text.h"

#include <windows.h>

#include <climits>

namespace win32 {
namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::wstring wideFromGbk(std::string_view gbk) {
  // The API counts in int; program strings are far below that, and anything
  // larger is not text we could show anyway.
  if (gbk.empty() || gbk.size() > static_cast<size_t>(INT_MAX)) return {};
  const int inLength = static_cast<int>(gbk.size());
  const int outLength = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), inLength, nullptr, 0);
  if (outLength <= 0) return {};
  std::wstring wide(static_cast<size_t>(outLength), L'\0');
  const int written = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), inLength, wide.data(), outLength);
  wide.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return wide;
}

std::string gbkFromWide(std::wstring_view wide) {
  if (wide.empty() || wide.size() > static_cast<size_t>(INT_MAX)) return {};
  const int inLength = static_cast<int>(wide.size());
  const int outLength =
      WideCharToMultiByte(kGbkCodePage, 0, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
  if (outLength <= 0) return {};
  std::string gbk(static_cast<size_t>(outLength), '\0');
  const int written =
      WideCharToMultiByte(kGbkCodePage, 0, wide.data(), inLength, gbk.data(), outLength, nullptr, nullptr);
  gbk.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return gbk;
}

// wchar_t is a UTF-16 code unit on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::u16string Win32TextCodec::utf16FromGbk(std::string_view gbk) const {
  const std::wstring wide = wideFromGbk(gbk);
  return std::u16string(wide.begin(), wide.end());
}

std::string Win32TextCodec::gbkFromUtf16(std::u16string_view text) const {
  return gbkFromWide(std::wstring(text.begin(), text.end()));
}

}  // namespace win32
