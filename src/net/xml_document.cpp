#include "net/xml_document.h"

namespace net {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// How the bytes of a text divide into characters (see the header).
enum class Encoding { Gbk, Utf8 };

// A lead byte of GBK: it and the byte after it make one character.
bool isLeadByte(char c) { return static_cast<unsigned char>(c) > 0x80; }

// White space between markup outside the root element. Inside a tag only
// the blank counts (see the header).
bool isOuterSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The start of the character after the one at i. A lead byte at the very end
// stands alone. In UTF-8 the text has been checked to be well-formed; the
// length is bounded by the text all the same.
std::size_t nextCharacter(Encoding encoding, std::string_view text, std::size_t i) {
  auto byte = static_cast<unsigned char>(text[i]);
  std::size_t length = 1;
  if (encoding == Encoding::Gbk) {
    if (isLeadByte(text[i])) length = 2;
  } else if (byte >= 0xF0) {
    length = 4;
  } else if (byte >= 0xE0) {
    length = 3;
  } else if (byte >= 0xC0) {
    length = 2;
  }
  return length < text.size() - i ? i + length : text.size();
}

// The first position at or after `from` that starts a character and where
// `marker` (ASCII) begins; npos when there is none.
std::size_t findAtCharacter(Encoding encoding, std::string_view text, std::size_t from, std::string_view marker) {
  for (std::size_t i = from; i < text.size(); i = nextCharacter(encoding, text, i)) {
    if (text[i] == marker[0] && text.substr(i, marker.size()) == marker) return i;
  }
  return npos;
}

// Well-formed UTF-8 (shortest forms, no surrogates, at most U+10FFFF) with
// at least one byte above 0x7F.
bool isNonAsciiUtf8(std::string_view text) {
  bool nonAscii = false;
  std::size_t i = 0;
  while (i < text.size()) {
    auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      ++i;
      continue;
    }
    nonAscii = true;
    std::size_t length;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // bounds of the second byte
    if (byte >= 0xC2 && byte <= 0xDF) {
      length = 2;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      length = 3;
      if (byte == 0xE0) low = 0xA0;
      if (byte == 0xED) high = 0x9F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4;
      if (byte == 0xF0) low = 0x90;
      if (byte == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return nonAscii;
}

bool startsWithAt(std::string_view text, std::size_t i, std::string_view prefix) {
  return i <= text.size() && text.substr(i, prefix.size()) == prefix;
}

// The value with the five predefined entity references of XML decoded; any
// other '&' (numeric references included) stays as written.
std::string decodeEntities(Encoding encoding, std::string_view value) {
  struct Entity {
    std::string_view reference;
    char character;
  };
  static constexpr Entity kEntities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&apos;", '\''}, {"&quot;", '"'},
  };
  std::string decoded;
  decoded.reserve(value.size());
  std::size_t i = 0;
  while (i < value.size()) {
    if (value[i] == '&') {
      bool matched = false;
      for (const Entity& entity : kEntities) {
        if (startsWithAt(value, i, entity.reference)) {
          decoded += entity.character;
          i += entity.reference.size();
          matched = true;
          break;
        }
      }
      if (matched) continue;
    }
    std::size_t next = nextCharacter(encoding, value, i);
    decoded.append(value.substr(i, next - i));
    i = next;
  }
  return decoded;
}

}  // namespace

// One pass over the bytes with a stack of open elements instead of recursion.
// Every function returns false (or npos) on input it cannot read; the caller
// then discards whatever was built.
class XmlDocument::Parser {
 public:
  Parser(std::string_view text, Encoding encoding, std::vector<Element>& elements,
         std::vector<Attribute>& attributes)
      : text_(text), encoding_(encoding), elements_(elements), attributes_(attributes) {}

  bool parse() {
    std::size_t i = 0;
    if (startsWithAt(text_, 0, "\xEF\xBB\xBF")) i = 3;  // UTF-8 byte order mark

    // Before the root element.
    for (;;) {
      while (i < text_.size() && isOuterSpace(text_[i])) ++i;
      if (i >= text_.size() || text_[i] != '<') return false;  // no root, or text
      std::size_t after = skipOuterMarkup(i);
      if (after == npos) return false;
      if (after == i) break;  // an element: the root
      i = after;
    }

    // The root element and everything inside it.
    i = startTag(i + 1);
    while (i != npos && !open_.empty()) i = content(i);
    if (i == npos) return false;

    // After the root element.
    for (;;) {
      while (i < text_.size() && isOuterSpace(text_[i])) ++i;
      if (i >= text_.size()) return true;
      if (text_[i] != '<') return false;
      std::size_t after = skipOuterMarkup(i);
      if (after == npos || after == i) return false;  // a second element
      i = after;
    }
  }

 private:
  struct Open {
    Index element;
    Index lastChild;
  };

  static Span span(std::size_t begin, std::size_t end) {
    return Span{static_cast<Index>(begin), static_cast<Index>(end - begin)};
  }
  std::string_view view(Span s) const { return text_.substr(s.offset, s.size); }

  // At '<' outside the root: past a declaration, instruction or comment;
  // `at` itself when an element starts there; npos on anything else.
  std::size_t skipOuterMarkup(std::size_t at) const {
    if (startsWithAt(text_, at, "<?")) return skipInstruction(at);
    if (startsWithAt(text_, at, "<!--")) return skipComment(at);
    if (startsWithAt(text_, at, "<![CDATA[")) return npos;  // text outside the root
    if (startsWithAt(text_, at, "<!")) return skipDeclaration(at);
    return at;
  }

  // <? ... ?>, the XML declaration included.
  std::size_t skipInstruction(std::size_t at) const {
    std::size_t end = find(at + 2, "?>");
    return end == npos ? npos : end + 2;
  }

  // <!-- ... -->
  std::size_t skipComment(std::size_t at) const {
    std::size_t end = find(at + 4, "-->");
    return end == npos ? npos : end + 3;
  }

  // <![CDATA[ ... ]]>
  std::size_t skipCdata(std::size_t at) const {
    std::size_t end = find(at + 9, "]]>");
    return end == npos ? npos : end + 3;
  }

  // <!DOCTYPE ...> and the like: up to the '>' outside quotes and outside
  // the brackets of an internal subset, whose own declarations, comments
  // and instructions are stepped over.
  std::size_t skipDeclaration(std::size_t at) const {
    std::size_t depth = 0;
    std::size_t i = at + 2;
    while (i < text_.size()) {
      char c = text_[i];
      if (c == '"' || c == '\'') {
        std::size_t end = find(i + 1, std::string_view(&text_[i], 1));
        if (end == npos) return npos;
        i = end + 1;
      } else if (c == '[') {
        ++depth;
        ++i;
      } else if (c == ']') {
        if (depth > 0) --depth;
        ++i;
      } else if (c == '>' && depth == 0) {
        return i + 1;
      } else if (depth > 0 && startsWithAt(text_, i, "<!--")) {
        i = skipComment(i);
        if (i == npos) return npos;
      } else if (depth > 0 && startsWithAt(text_, i, "<?")) {
        i = skipInstruction(i);
        if (i == npos) return npos;
      } else {
        i = next(i);
      }
    }
    return npos;
  }

  // Inside an open element, at any position: up to and past the next piece
  // of markup. Returns the position after it; npos on failure.
  std::size_t content(std::size_t i) {
    std::size_t at = find(i, "<");  // the text before it is not used
    if (at == npos) return npos;    // the element never ends
    if (startsWithAt(text_, at, "<!--")) return skipComment(at);
    if (startsWithAt(text_, at, "<![CDATA[")) return skipCdata(at);
    if (startsWithAt(text_, at, "<!")) return skipDeclaration(at);
    if (startsWithAt(text_, at, "<?")) return skipInstruction(at);
    if (startsWithAt(text_, at, "</")) return endTag(at + 2);
    return startTag(at + 1);
  }

  // Just after '<': the element's name and attributes up to '>' or "/>".
  std::size_t startTag(std::size_t i) {
    std::size_t nameBegin = i;
    // Any byte but these three belongs to the name, a tab or line break too.
    while (i < text_.size() && text_[i] != ' ' && text_[i] != '/' && text_[i] != '>') i = next(i);
    if (i >= text_.size() || i == nameBegin) return npos;

    Index index = static_cast<Index>(elements_.size());
    Element element;
    element.name = span(nameBegin, i);
    element.firstAttribute = static_cast<Index>(attributes_.size());
    elements_.push_back(element);
    if (!open_.empty()) {
      Open& parent = open_.back();
      if (parent.lastChild == kNone) {
        elements_[parent.element].firstChild = index;
      } else {
        elements_[parent.lastChild].nextSibling = index;
      }
      parent.lastChild = index;
    }

    for (;;) {
      while (i < text_.size() && text_[i] == ' ') ++i;
      if (i >= text_.size()) return npos;
      if (text_[i] == '>') {
        elements_[index].endAttribute = static_cast<Index>(attributes_.size());
        open_.push_back(Open{index, kNone});
        return i + 1;
      }
      if (text_[i] == '/') {
        if (!startsWithAt(text_, i, "/>")) return npos;
        elements_[index].endAttribute = static_cast<Index>(attributes_.size());
        return i + 2;
      }
      i = attribute(i);
      if (i == npos) return npos;
    }
  }

  // name="value" (or name = 'value'); returns the position after the quote.
  std::size_t attribute(std::size_t i) {
    std::size_t nameBegin = i;
    while (i < text_.size()) {
      char c = text_[i];
      if (c == ' ' || c == '=') break;
      if (c == '>' || c == '/' || c == '<' || c == '"' || c == '\'') return npos;
      i = next(i);
    }
    std::size_t nameEnd = i;
    if (nameEnd == nameBegin) return npos;
    while (i < text_.size() && text_[i] == ' ') ++i;
    if (i >= text_.size() || text_[i] != '=') return npos;
    ++i;
    while (i < text_.size() && text_[i] == ' ') ++i;
    if (i >= text_.size() || (text_[i] != '"' && text_[i] != '\'')) return npos;
    std::size_t valueBegin = i + 1;
    std::size_t valueEnd = find(valueBegin, std::string_view(&text_[i], 1));
    if (valueEnd == npos) return npos;
    attributes_.push_back(Attribute{span(nameBegin, nameEnd), span(valueBegin, valueEnd)});
    return valueEnd + 1;
  }

  // Just after "</": the name must be the open element's, then '>'.
  std::size_t endTag(std::size_t i) {
    std::size_t nameBegin = i;
    while (i < text_.size() && text_[i] != ' ' && text_[i] != '>') i = next(i);
    std::string_view name = text_.substr(nameBegin, i - nameBegin);
    while (i < text_.size() && text_[i] == ' ') ++i;
    if (i >= text_.size() || text_[i] != '>') return npos;
    if (name != view(elements_[open_.back().element].name)) return npos;
    open_.pop_back();
    return i + 1;
  }

  std::size_t next(std::size_t i) const { return nextCharacter(encoding_, text_, i); }
  std::size_t find(std::size_t from, std::string_view marker) const {
    return findAtCharacter(encoding_, text_, from, marker);
  }

  std::string_view text_;
  Encoding encoding_;
  std::vector<Element>& elements_;
  std::vector<Attribute>& attributes_;
  std::vector<Open> open_;
};

bool XmlDocument::loadFromBytes(const std::uint8_t* data, std::size_t size) {
  release();
  if (data == nullptr || size == 0 || size >= kNone) return false;
  text_.assign(reinterpret_cast<const char*>(data), size);
  utf8_ = isNonAsciiUtf8(text_);
  Parser parser(text_, utf8_ ? Encoding::Utf8 : Encoding::Gbk, elements_, attributes_);
  if (!parser.parse()) {
    release();
    return false;
  }
  text_.shrink_to_fit();
  return true;
}

bool XmlDocument::loadFromBytes(const std::vector<std::uint8_t>& bytes) {
  return loadFromBytes(bytes.data(), bytes.size());
}

std::string XmlDocument::readAttribute(std::string_view path, std::string_view name) const {
  if (!loaded() || path.empty() || name.empty()) return {};

  // Walk the path a segment at a time; '/' splits it only where it starts a
  // character, never as the trail byte of a double-byte one.
  Index current = kNone;
  std::size_t begin = 0;
  for (;;) {
    std::size_t end = findAtCharacter(Encoding::Gbk, path, begin, "/");
    std::string_view segment = path.substr(begin, end == npos ? npos : end - begin);
    if (current == kNone) {
      if (segment != view(elements_[0].name)) return {};
      current = 0;
    } else {
      Index child = elements_[current].firstChild;
      while (child != kNone && view(elements_[child].name) != segment) child = elements_[child].nextSibling;
      if (child == kNone) return {};
      current = child;
    }
    if (end == npos) break;
    begin = end + 1;
  }

  const Element& element = elements_[current];
  for (Index a = element.endAttribute; a > element.firstAttribute; --a) {
    const Attribute& attribute = attributes_[a - 1];
    if (view(attribute.name) == name) return decodeEntities(utf8_ ? Encoding::Utf8 : Encoding::Gbk, view(attribute.value));
  }
  return {};
}

bool XmlDocument::release() {
  bool held = loaded();
  text_.clear();
  text_.shrink_to_fit();
  utf8_ = false;
  elements_.clear();
  elements_.shrink_to_fit();
  attributes_.clear();
  attributes_.shrink_to_fit();
  return held;
}

}  // namespace net
