#pragma once
// INI text as the system's profile functions read and write it, on bytes, so
// that a GBK file reads the same whatever the system's code page is; or on
// the UTF-16 code units of a file saved as "Unicode", with the same rules.
//
//   - a line is ended by CR LF, LF or CR; a leading UTF-8 byte-order mark is
//     skipped;
//   - a section starts at a line whose first non-blank byte is "[" and that
//     holds a "]"; its name is what lies between, blanks trimmed;
//   - any other line is a key: the text before its first "=" (or the whole
//     line when it has none), blanks trimmed; its value is the rest after
//     the "=", blanks trimmed, and one pair of matching quotes (' or ")
//     around it removed. Comment marks mean nothing;
//   - section and key names compare without regard to ASCII case; only the
//     first section of a name is looked in, and the first key of a name in it.
#include <cstddef>
#include <string>
#include <string_view>

namespace app {

// A value read is cut to this many characters, as a 10240-byte buffer cuts it.
inline constexpr std::size_t kProfileValueLimit = 10239;

// The value of the key in the section; empty when either is missing or the
// key has no "=".
std::string readProfileValue(std::string_view text, std::string_view section, std::string_view key);
std::u16string readProfileValue(std::u16string_view text, std::u16string_view section, std::u16string_view key);

// The text with the key set to the value: the key's line replaced, or a
// new line after the section's last non-blank line, or a new section at the
// end. Every other byte stays as it was.
std::string writeProfileValue(std::string_view text, std::string_view section, std::string_view key,
                              std::string_view value);
std::u16string writeProfileValue(std::u16string_view text, std::u16string_view section, std::u16string_view key,
                                 std::u16string_view value);

}  // namespace app
