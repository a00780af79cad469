// Fuzz target of the settings-file reader and writer (replayed by the unit
// tests too): the input after its first byte is an INI file. A read stays
// within the limit; the value written for the section and key the first
// byte picks reads back, writing it again changes nothing, and every other
// key reads as before. GBK names are byte escapes (clang has no GBK charset).
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

bool sameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const unsigned pick = size > 0 ? data[0] : 0;
  const std::string_view text = size > 1 ? std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)
                                         : std::string_view();
  const char* section = kSections[pick & 3];
  const char* key = kKeys[(pick >> 2) & 3];
  const char* value = kValues[(pick >> 4) & 3];

  for (const char* s : kSections) {
    for (const char* k : kKeys) FUZZ_CHECK(app::readProfileValue(text, s, k).size() <= app::kProfileValueLimit);
  }
  const std::string written = app::writeProfileValue(text, section, key, value);
  FUZZ_CHECK(app::readProfileValue(written, section, key) == value);
  FUZZ_CHECK(app::writeProfileValue(written, section, key, value) == written);
  for (const char* s : kSections) {
    for (const char* k : kKeys) {
      if (sameAscii(s, section) && sameAscii(k, key)) continue;
      FUZZ_CHECK(app::readProfileValue(written, s, k) == app::readProfileValue(text, s, k));
    }
  }
  return 0;
}
