// Text conversion between the program's GBK strings and the UTF-16 the
// Windows API draws with. Every program string is GBK (code page 936) bytes;
// the conversion names code page 936 explicitly, so text reads right whatever
// the system's ANSI code page is.
#pragma once

#include <string>
#include <string_view>

#include "app/text_codec.h"

namespace win32 {

// GBK bytes -> UTF-16. Bytes that are not valid GBK become U+FFFD (or the
// system's default replacement); never fails, an empty input gives "".
std::wstring wideFromGbk(std::string_view gbk);

// UTF-16 -> GBK bytes. Characters GBK cannot encode become '?'.
std::string gbkFromWide(std::wstring_view wide);

// The program's conversion for settings files saved as UTF-16.
class Win32TextCodec : public app::TextCodec {
 public:
  std::u16string utf16FromGbk(std::string_view gbk) const override;
  std::string gbkFromUtf16(std::u16string_view text) const override;
};

}  // namespace win32
