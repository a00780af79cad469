#include "app/profile_text.h"

#include <optional>

namespace app {

namespace {

// The same rules on bytes and on UTF-16 code units: every character they
// look at is ASCII.
template <typename Char>
struct Marks;
template <>
struct Marks<char> {
  static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  static constexpr std::string_view kNewLine = "\r\n";
};
template <>
struct Marks<char16_t> {
  static constexpr std::u16string_view kByteOrderMark = u"\uFEFF";
  static constexpr std::u16string_view kNewLine = u"\r\n";
};

template <typename Char>
bool isBlank(Char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

template <typename Char>
std::basic_string_view<Char> trim(std::basic_string_view<Char> s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

template <typename Char>
Char lowerAscii(Char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <typename Char>
bool sameName(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

// One line: its text runs from begin to contentEnd, its line end (none on a
// last line without one) from there to end.
struct Line {
  std::size_t begin = 0;
  std::size_t contentEnd = 0;
  std::size_t end = 0;
  template <typename Char>
  std::basic_string_view<Char> content(std::basic_string_view<Char> text) const {
    return text.substr(begin, contentEnd - begin);
  }
  template <typename Char>
  std::basic_string_view<Char> lineEnd(std::basic_string_view<Char> text) const {
    return text.substr(contentEnd, end - contentEnd);
  }
};

template <typename Char>
Line lineAt(std::basic_string_view<Char> text, std::size_t begin) {
  Line line;
  line.begin = begin;
  // A line ends at the first CR or LF.
  std::size_t at = text.find_first_of(Marks<Char>::kNewLine, begin);
  line.contentEnd = at == std::basic_string_view<Char>::npos ? text.size() : at;
  line.end = line.contentEnd;
  if (line.end < text.size()) line.end += text.compare(line.end, 2, Marks<Char>::kNewLine) == 0 ? 2 : 1;
  return line;
}

template <typename Char>
std::optional<std::basic_string_view<Char>> sectionName(std::basic_string_view<Char> content) {
  std::basic_string_view<Char> t = trim(content);
  if (t.empty() || t.front() != '[') return std::nullopt;
  std::size_t close = t.find(Char{']'});
  if (close == std::basic_string_view<Char>::npos) return std::nullopt;
  return trim(t.substr(1, close - 1));
}

template <typename Char>
std::basic_string_view<Char> keyName(std::basic_string_view<Char> content) {
  return trim(content.substr(0, content.find(Char{'='})));
}

// Where a section and a key of it lie in the text.
struct Place {
  bool sectionFound = false;
  Line lastOfSection;  // the header or the section's last non-blank line
  std::optional<Line> key;
};

template <typename Char>
Place find(std::basic_string_view<Char> text, std::basic_string_view<Char> section, std::basic_string_view<Char> key) {
  section = trim(section);
  key = trim(key);
  Place place;
  bool inSection = false;
  constexpr auto kByteOrderMark = Marks<Char>::kByteOrderMark;
  std::size_t begin = text.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
  while (begin < text.size()) {
    Line line = lineAt(text, begin);
    begin = line.end;
    std::basic_string_view<Char> content = line.content(text);
    if (std::optional<std::basic_string_view<Char>> name = sectionName(content)) {
      // Only the first section of a name counts.
      if (inSection) break;
      inSection = sameName(*name, section);
      if (inSection) {
        place.sectionFound = true;
        place.lastOfSection = line;
      }
      continue;
    }
    if (!inSection || trim(content).empty()) continue;
    place.lastOfSection = line;
    if (sameName(keyName(content), key)) {
      place.key = line;
      break;
    }
  }
  return place;
}

}  // namespace

template <typename Char>
std::basic_string<Char> readProfileValue(std::basic_string_view<Char> text, std::basic_string_view<Char> section,
                                         std::basic_string_view<Char> key) {
  Place place = find(text, section, key);
  if (!place.key) return {};
  std::basic_string_view<Char> content = place.key->content(text);
  std::size_t equals = content.find(Char{'='});
  if (equals == std::basic_string_view<Char>::npos) return {};
  std::basic_string_view<Char> value = trim(content.substr(equals + 1));
  if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::basic_string<Char>(value.substr(0, kProfileValueLimit));
}

template <typename Char>
std::basic_string<Char> writeProfileValue(std::basic_string_view<Char> text, std::basic_string_view<Char> section,
                                          std::basic_string_view<Char> key, std::basic_string_view<Char> value) {
  constexpr auto kNewLine = Marks<Char>::kNewLine;
  const Char open[] = {'['}, close[] = {']'}, equals[] = {'='};
  Place place = find(text, section, key);
  std::basic_string<Char> out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (!place.sectionFound) {
    out.append(text);
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out.append(kNewLine);
    out.append(open, 1).append(trim(section)).append(close, 1).append(kNewLine);
    out.append(trim(key)).append(equals, 1).append(value).append(kNewLine);
    return out;
  }
  if (place.key) {
    // The key keeps its spelling in the file; the line keeps its line end.
    out.append(text.substr(0, place.key->begin));
    out.append(keyName(place.key->content(text))).append(equals, 1).append(value);
    out.append(text.substr(place.key->contentEnd));
    return out;
  }
  // A new key follows the section's last line, with the line end that line has.
  const Line& after = place.lastOfSection;
  std::basic_string_view<Char> lineEnd = after.lineEnd(text).empty() ? kNewLine : after.lineEnd(text);
  out.append(text.substr(0, after.end));
  if (after.lineEnd(text).empty()) out.append(kNewLine);
  out.append(trim(key)).append(equals, 1).append(value).append(lineEnd);
  out.append(text.substr(after.end));
  return out;
}

std::string readProfileValue(std::string_view text, std::string_view section, std::string_view key) {
  return readProfileValue<char>(text, section, key);
}
std::u16string readProfileValue(std::u16string_view text, std::u16string_view section, std::u16string_view key) {
  return readProfileValue<char16_t>(text, section, key);
}
std::string writeProfileValue(std::string_view text, std::string_view section, std::string_view key,
                              std::string_view value) {
  return writeProfileValue<char>(text, section, key, value);
}
std::u16string writeProfileValue(std::u16string_view text, std::u16string_view section, std::u16string_view key,
                                 std::u16string_view value) {
  return writeProfileValue<char16_t>(text, section, key, value);
}

}  // namespace app
