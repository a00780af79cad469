#include "app/profile_text.h"

#include <optional>

namespace app {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kNewLine = "\r\n";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
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
  std::string_view content(std::string_view text) const { return text.substr(begin, contentEnd - begin); }
  std::string_view lineEnd(std::string_view text) const { return text.substr(contentEnd, end - contentEnd); }
};

Line lineAt(std::string_view text, std::size_t begin) {
  Line line;
  line.begin = begin;
  std::size_t at = text.find_first_of("\r\n", begin);
  line.contentEnd = at == std::string_view::npos ? text.size() : at;
  line.end = line.contentEnd;
  if (line.end < text.size()) line.end += text.compare(line.end, 2, kNewLine) == 0 ? 2 : 1;
  return line;
}

std::optional<std::string_view> sectionName(std::string_view content) {
  std::string_view t = trim(content);
  if (t.empty() || t.front() != '[') return std::nullopt;
  std::size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(t.substr(1, close - 1));
}

std::string_view keyName(std::string_view content) { return trim(content.substr(0, content.find('='))); }

// Where a section and a key of it lie in the text.
struct Place {
  bool sectionFound = false;
  Line lastOfSection;  // the header or the section's last non-blank line
  std::optional<Line> key;
};

Place find(std::string_view text, std::string_view section, std::string_view key) {
  section = trim(section);
  key = trim(key);
  Place place;
  bool inSection = false;
  std::size_t begin = text.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
  while (begin < text.size()) {
    Line line = lineAt(text, begin);
    begin = line.end;
    std::string_view content = line.content(text);
    if (std::optional<std::string_view> name = sectionName(content)) {
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

std::string readProfileValue(std::string_view text, std::string_view section, std::string_view key) {
  Place place = find(text, section, key);
  if (!place.key) return {};
  std::string_view content = place.key->content(text);
  std::size_t equals = content.find('=');
  if (equals == std::string_view::npos) return {};
  std::string_view value = trim(content.substr(equals + 1));
  if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kProfileValueLimit));
}

std::string writeProfileValue(std::string_view text, std::string_view section, std::string_view key,
                              std::string_view value) {
  Place place = find(text, section, key);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (!place.sectionFound) {
    out.append(text);
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out.append(kNewLine);
    out.append("[").append(trim(section)).append("]").append(kNewLine);
    out.append(trim(key)).append("=").append(value).append(kNewLine);
    return out;
  }
  if (place.key) {
    // The key keeps its spelling in the file; the line keeps its line end.
    out.append(text.substr(0, place.key->begin));
    out.append(keyName(place.key->content(text))).append("=").append(value);
    out.append(text.substr(place.key->contentEnd));
    return out;
  }
  // A new key follows the section's last line, with the line end that line has.
  const Line& after = place.lastOfSection;
  std::string_view lineEnd = after.lineEnd(text).empty() ? kNewLine : after.lineEnd(text);
  out.append(text.substr(0, after.end));
  if (after.lineEnd(text).empty()) out.append(kNewLine);
  out.append(trim(key)).append("=").append(value).append(lineEnd);
  out.append(text.substr(after.end));
  return out;
}

}  // namespace app
