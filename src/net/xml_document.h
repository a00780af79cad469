#pragma once
// The holder the program reads its two XML manifests with (the update
// manifest and the notice manifest). It holds at most one parsed document,
// loads it from bytes, answers attribute queries by element path, and
// releases it.
//
// Text is GBK bytes throughout and is never converted: names are compared
// and values returned exactly as the bytes stand. A byte of 0x81 or above
// is a lead byte and is always taken together with the byte after it as one
// character, so its trail byte (whatever its value: '\\', '[', ']', even
// '/', '<' or '"' in malformed text) is never taken for markup, for a quote
// or for the path separator. 0x80 is a single-byte character (the euro sign
// of code page 936), not a lead byte. A lone lead byte at the very end of
// the input or of a path stands alone.
//
// One exception keeps a manifest saved in UTF-8 loadable: when the whole
// document is well-formed UTF-8 with at least one byte above 0x7F, its
// characters are divided as UTF-8 divides them (where no ASCII byte is ever
// part of a longer character), and not in pairs, which would swallow the
// '>' or '"' after an odd number of such bytes. Names and values still stay
// the bytes as they stand, so GBK names never match such a document. A GBK
// document is practically never well-formed UTF-8, and where it happens to
// be, both divisions put the markup at the same places. Paths given to
// readAttribute are always divided as GBK.
//
// What is accepted:
//  - Before the root element: blanks, tabs and line breaks, the XML
//    declaration, processing instructions, comments and markup declarations
//    such as <!DOCTYPE ...> with an internal subset. A UTF-8 byte order mark
//    at the very start is skipped. Any other text there fails the load.
//  - Exactly one root element. After it only blanks, tabs, line breaks,
//    comments, processing instructions and markup declarations may follow;
//    anything else (text, a second element) fails the load.
//  - Inside a tag only the blank (0x20) separates: the element name runs up
//    to the first blank, '/' or '>' and takes every other byte, so a tab or
//    line break inside a tag becomes part of a name. Attributes are
//    name="value" (blanks around the '=' and single quotes are tolerated);
//    a value runs to the next matching quote and may hold any other byte,
//    '<', '>' and a bare '&' included. An attribute name may follow a value
//    directly. An attribute without '=' and a quoted value fails the load.
//  - <a/> closes at once; otherwise the element ends at </name> (blanks
//    before the '>' allowed), whose name must equal the open element's byte
//    for byte: a mismatched, stray or missing end tag fails the load.
//  - Text between tags, CDATA sections ("]]>" ends them, '<' inside is no
//    markup), comments, processing instructions and declarations inside
//    elements are skipped; text is never used.
//  - Any unterminated tag, value, comment, CDATA section, instruction or
//    declaration fails the load.
// Nesting depth is bounded only by memory: the parser keeps its own stack
// and the tree is flat, so neither parsing nor freeing recurses. Loading
// takes time linear in the size; a document of 4 GiB or more is refused.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace net {

class XmlDocument {
 public:
  // Both discard the held document first; true when a document was parsed.
  bool loadFromBytes(const std::uint8_t* data, std::size_t size);
  bool loadFromBytes(const std::vector<std::uint8_t>& bytes);

  // The value of the attribute `name` on the element reached by
  // "root/child/...", with the five predefined entity references decoded;
  // empty when the holder, the path, the name or anything along the way is
  // missing. The first segment must be the root element's name; each further
  // segment picks the first child of that name; the last occurrence of a
  // repeated attribute counts.
  std::string readAttribute(std::string_view path, std::string_view name) const;

  // Discards the held document; true when one was held.
  bool release();
  bool loaded() const { return !elements_.empty(); }

 private:
  // Names and values are spans of text_, the loaded bytes. 32-bit offsets
  // keep the tree small; a document must be shorter than 4 GiB.
  using Index = std::uint32_t;
  static constexpr Index kNone = 0xFFFFFFFFu;
  struct Span {
    Index offset = 0;
    Index size = 0;
  };
  struct Attribute {
    Span name;
    Span value;  // raw, entity references not yet decoded
  };
  struct Element {
    Span name;
    Index firstAttribute = 0;  // attributes_[firstAttribute, endAttribute)
    Index endAttribute = 0;
    Index firstChild = kNone;
    Index nextSibling = kNone;
  };
  class Parser;

  std::string_view view(Span span) const { return std::string_view(text_).substr(span.offset, span.size); }

  std::string text_;
  bool utf8_ = false;              // how text_ divides into characters (see above)
  std::vector<Element> elements_;  // elements_[0] is the root; empty: no document
  std::vector<Attribute> attributes_;
};

}  // namespace net
