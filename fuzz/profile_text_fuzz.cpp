// Fuzz target of the settings-file reader and writer (replayed by the unit
// tests too): the input after its first byte is an INI file. A read stays
// within the limit; the value written for the section and key the first
// byte picks reads back, writing it again changes nothing, and every other
// key reads as before; with the first byte's bit 0x40 the file is read as
// UTF-16LE. GBK names are byte escapes (clang has no GBK charset).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/profile_text.h"

namespace {

#define FUZZ_CHECK(condition) \
  do {                        \
    if (!(condition)) std::abort(); \
  } while (0)

// 皮肤, 底色 and 默认皮肤 among plain names; two differ only in ASCII case.
const char* const kSections[] = {"s", "S", "\xC6\xA4\xB7\xF4", "\xC4\xAC\xC8\xCF\xC6\xA4\xB7\xF4"};
const char* const kKeys[] = {"a", "A", "\xB5\xD7\xC9\xAB", "b"};
const char* const kValues[] = {"1", "65280", "x y", ""};
// The same in UTF-16, for a file saved as "Unicode".
const char16_t* const kSections16[] = {u"s", u"S", u"\u76AE\u80A4", u"\u9ED8\u8BA4\u76AE\u80A4"};
const char16_t* const kKeys16[] = {u"a", u"A", u"\u5E95\u8272", u"b"};
const char16_t* const kValues16[] = {u"1", u"65280", u"x y", u""};

template <typename Char>
bool sameAscii(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](Char c) { return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

template <typename Char, std::size_t N>
void check(std::basic_string_view<Char> text, unsigned pick, const Char* const (&sections)[N],
           const Char* const (&keys)[N], const Char* const (&values)[N]) {
  using View = std::basic_string_view<Char>;
  const View section = sections[pick & 3];
  const View key = keys[(pick >> 2) & 3];
  const View value = values[(pick >> 4) & 3];

  for (const Char* s : sections) {
    for (const Char* k : keys) FUZZ_CHECK(app::readProfileValue(text, View(s), View(k)).size() <= app::kProfileValueLimit);
  }
  const std::basic_string<Char> written = app::writeProfileValue(text, section, key, value);
  FUZZ_CHECK(app::readProfileValue(View(written), section, key) == value);
  FUZZ_CHECK(app::writeProfileValue(View(written), section, key, value) == written);
  for (const Char* s : sections) {
    for (const Char* k : keys) {
      if (sameAscii(View(s), section) && sameAscii(View(k), key)) continue;
      FUZZ_CHECK(app::readProfileValue(View(written), View(s), View(k)) == app::readProfileValue(text, View(s), View(k)));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const unsigned pick = size > 0 ? data[0] : 0;
  const std::string_view text = size > 1 ? std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)
                                         : std::string_view();
  if (pick & 0x40) {
    // The rest as UTF-16LE code units, as a file saved as "Unicode" reads.
    std::u16string units(text.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
      units[i] = static_cast<char16_t>(static_cast<unsigned char>(text[2 * i]) |
                                       (static_cast<unsigned char>(text[2 * i + 1]) << 8));
    }
    check<char16_t>(units, pick, kSections16, kKeys16, kValues16);
  } else {
    check<char>(text, pick, kSections, kKeys, kValues);
  }
  return 0;
}
