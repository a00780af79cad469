#pragma once
// Conversion between the program's GBK text and UTF-16, for a settings file
// saved as "Unicode". The platform converts with code page 936.
#include <string>
#include <string_view>

namespace app {

class TextCodec {
 public:
  virtual ~TextCodec() = default;
  virtual std::u16string utf16FromGbk(std::string_view gbk) const = 0;
  // Characters GBK has not become '?'.
  virtual std::string gbkFromUtf16(std::u16string_view text) const = 0;
};

}  // namespace app
