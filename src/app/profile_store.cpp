#include "app/profile_store.h"

#include "app/profile_text.h"

namespace app {

namespace {
std::string_view asText(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// A file saved as "Unicode": UTF-16LE after its byte-order mark.
bool isUtf16(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
}

// The code units, the byte-order mark the first of them; an odd last byte
// is no character and is dropped.
std::u16string utf16Units(const std::vector<std::uint8_t>& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return text;
}

std::vector<std::uint8_t> utf16Bytes(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}
}  // namespace

std::string ProfileStore::read(const std::string& file, const std::string& section, const std::string& key) {
  std::optional<std::vector<std::uint8_t>> bytes = files_.readWholeFile(file);
  if (!bytes) return {};
  if (isUtf16(*bytes)) {
    return codec_.gbkFromUtf16(
        readProfileValue(utf16Units(*bytes), codec_.utf16FromGbk(section), codec_.utf16FromGbk(key)));
  }
  return readProfileValue(asText(*bytes), section, key);
}

bool ProfileStore::write(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& value) {
  std::optional<std::vector<std::uint8_t>> bytes = files_.readWholeFile(file);
  // A file that is there but cannot be read (in use) is not replaced by one
  // that holds the new key alone.
  if (!bytes && files_.exists(file)) return false;
  if (bytes && isUtf16(*bytes)) {
    // Written back as UTF-16: every other character of the file stays, also
    // one that GBK has not.
    const std::u16string text = writeProfileValue(utf16Units(*bytes), codec_.utf16FromGbk(section),
                                                  codec_.utf16FromGbk(key), codec_.utf16FromGbk(value));
    return files_.writeWholeFile(file, utf16Bytes(text));
  }
  std::string text = writeProfileValue(bytes ? asText(*bytes) : std::string_view(), section, key, value);
  return files_.writeWholeFile(file, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace app
