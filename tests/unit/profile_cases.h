#pragma once
// INI texts read and written as the system's profile functions do it: the
// program's reader is held to these natively, and the Win32 tests compare
// the system's own functions with it on the same cases.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

struct ProfileRead {
  const char* what;
  std::optional<std::string> file;  // none: no file at all
  std::string section, key;
  std::string value;
};

// A file saved as "Unicode": UTF-16LE, the text beginning with its byte-order mark.
inline std::string utf16File(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

inline std::string longValueLine() { return "[s]\r\na=" + std::string(10240, '7') + "\r\n"; }

inline const std::vector<ProfileRead>& profileReads() {
  static const std::vector<ProfileRead> cases = {
      {"missing file", std::nullopt, "s", "a", ""},
      {"missing section", "[s]\r\na=1\r\n", "t", "a", ""},
      {"missing key", "[s]\r\na=1\r\n", "s", "b", ""},
      {"key without =", "[s]\r\na\r\n", "s", "a", ""},
      {"empty value", "[s]\r\na=\r\n", "s", "a", ""},
      {"first of duplicate keys", "[s]\r\na=1\r\na=2\r\n", "s", "a", "1"},
      {"first of duplicate sections", "[s]\r\na=1\r\n[s]\r\na=2\r\nb=3\r\n", "s", "a", "1"},
      {"only the first section is looked in", "[s]\r\na=1\r\n[s]\r\nb=3\r\n", "s", "b", ""},
      {"blanks and tabs", " [ s ] \r\n \t a \t= \t 1 x \t \r\n", " s ", " a ", "1 x"},
      {"keys before any section, text after the bracket", "a=0\r\n[s]junk\r\na=1\r\n", "s", "a", "1"},
      {"unclosed bracket is no section", "[t]\r\n[s\r\na=1\r\n", "s", "a", ""},
      {"double quotes", "[s]\r\na= \"x y\" \r\n", "s", "a", "x y"},
      {"single quotes", "[s]\r\na='x y'\r\n", "s", "a", "x y"},
      {"unmatched quotes", "[s]\r\na=\"x'\r\nb=\"\r\nc=\"x\"y\r\n", "s", "a", "\"x'"},
      {"a comment line is a key", "[s]\r\n;a=1\r\na=2\r\n", "s", ";a", "1"},
      {"a commented section is none", ";[s]\r\na=1\r\n", "s", "a", ""},
      {"text after a value stays", "[s]\r\na=1 ;c\r\n", "s", "a", "1 ;c"},
      {"the first = splits", "[s]\r\na==1\r\n", "s", "a", "=1"},
      {"LF line ends", "[s]\na=1\nb=2\n", "s", "b", "2"},
      {"CR line ends", "[s]\ra=1\rb=2\r", "s", "b", "2"},
      {"no line end at the end, a byte-order mark", "\xEF\xBB\xBF[s]\r\na=1", "s", "a", "1"},
      {"ASCII case", "[S]\r\nA=1\r\n", "s", "a", "1"},
      {"GBK names", "[皮肤]\r\n底色=5\r\n", "皮肤", "底色", "5"},
      {"value of 10240 bytes", longValueLine(), "s", "a", std::string(10239, '7')},
      {"a file saved as Unicode", utf16File(u"\uFEFF[皮肤]\r\n底色=255\r\n"), "皮肤", "底色", "255"},
      {"Unicode, ASCII case and quotes", utf16File(u"\uFEFF[S]\r\nA = '1 x' \r\n"), "s", "a", "1 x"},
  };
  return cases;
}

struct ProfileWrite {
  const char* what;
  std::optional<std::string> file;
  std::string section, key, value;
  std::string written;                  // the program's file afterwards
  std::optional<std::string> system;    // the system's, where it differs
};

inline const std::vector<ProfileWrite>& profileWrites() {
  static const std::vector<ProfileWrite> cases = {
      {"new file", std::nullopt, "s", "a", "1", "[s]\r\na=1\r\n", std::nullopt},
      {"empty file", "", "s", "a", "1", "[s]\r\na=1\r\n", std::nullopt},
      {"replaced value", "[s]\r\na=1\r\n", "s", "a", "2", "[s]\r\na=2\r\n", std::nullopt},
      {"new key", "[s]\r\na=1\r\n", "s", "b", "2", "[s]\r\na=1\r\nb=2\r\n", std::nullopt},
      {"new section", "[s]\r\na=1\r\n", "t", "b", "2", "[s]\r\na=1\r\n[t]\r\nb=2\r\n", std::nullopt},
      {"new key among other sections", "[s]\r\na=1\r\n[t]\r\nc=3\r\n", "s", "b", "2",
       "[s]\r\na=1\r\nb=2\r\n[t]\r\nc=3\r\n", std::nullopt},
      {"no line end at the end", "[s]\r\na=1", "s", "b", "2", "[s]\r\na=1\r\nb=2\r\n", std::nullopt},
      {"new section after no line end", "[s]\r\na=1", "t", "b", "2", "[s]\r\na=1\r\n[t]\r\nb=2\r\n", std::nullopt},
      {"ASCII case keeps the file's spelling", "[S]\r\nA=1\r\n", "s", "a", "2", "[S]\r\nA=2\r\n", std::nullopt},
      {"first of duplicate keys", "[s]\r\na=1\r\na=2\r\n", "s", "a", "9", "[s]\r\na=9\r\na=2\r\n", std::nullopt},
      {"first of duplicate sections", "[s]\r\na=1\r\n[s]\r\nb=2\r\n", "s", "b", "9",
       "[s]\r\na=1\r\nb=9\r\n[s]\r\nb=2\r\n", std::nullopt},
      {"key without =", "[s]\r\na\r\n", "s", "a", "2", "[s]\r\na=2\r\n", std::nullopt},
      {"GBK names", "[其他]\r\nx=1\r\n", "皮肤", "底色", "65280", "[其他]\r\nx=1\r\n[皮肤]\r\n底色=65280\r\n",
       std::nullopt},
      {"a file saved as Unicode stays Unicode, every character kept", utf16File(u"\uFEFF[其他]\r\nx=\uD55C\r\n"),
       "皮肤", "底色", "65280", utf16File(u"\uFEFF[其他]\r\nx=\uD55C\r\n[皮肤]\r\n底色=65280\r\n"), std::nullopt},
      {"Unicode, a replaced value", utf16File(u"\uFEFF[皮肤]\r\n底色=1\r\n"), "皮肤", "底色", "2",
       utf16File(u"\uFEFF[皮肤]\r\n底色=2\r\n"), std::nullopt},
      // The system rewrites the whole file: blank lines go, every line end
      // becomes CR LF and blanks in other lines go. The program leaves them.
      {"blank lines between sections", "[s]\r\na=1\r\n\r\n[t]\r\nc=3\r\n", "s", "b", "2",
       "[s]\r\na=1\r\nb=2\r\n\r\n[t]\r\nc=3\r\n", "[s]\r\na=1\r\nb=2\r\n[t]\r\nc=3\r\n"},
      {"comments and blanks", "; top\r\n[s]\r\n  a = 1 \r\n;x\r\n\r\n[t]\r\n c = 3\r\n", "s", "a", "2",
       "; top\r\n[s]\r\na=2\r\n;x\r\n\r\n[t]\r\n c = 3\r\n", "; top\r\n[s]\r\na=2\r\n;x\r\n[t]\r\nc=3\r\n"},
      {"LF line ends", "[s]\na=1\n[t]\nc=3\n", "s", "b", "22", "[s]\na=1\nb=22\n[t]\nc=3\n",
       "[s]\r\na=1\r\nb=22\r\n[t]\r\nc=3\r\n"},
  };
  return cases;
}

}  // namespace testing_support
