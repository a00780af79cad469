// Fuzz target of the manifest reader: loads the input, reads the manifests'
// paths and a few guessed from the input itself, and checks the holder's
// promises (a failed load leaves it empty, release empties it, reads from an
// empty holder are empty). Any broken promise aborts.
//
// Also compiled into the native unit tests, which replay the committed
// corpus through it. The names are written as GBK bytes in escapes so the
// clang build (which has no GBK execution character set) reads the same
// bytes as the gcc one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "net/xml_document.h"

namespace {

#define FUZZ_CHECK(condition) \
  do {                        \
    if (!(condition)) std::abort(); \
  } while (0)

struct Read {
  const char* path;
  const char* name;
};

// The update manifest (最新版本/版本信息 with 版本号, 升级说明, 下载地址) and the
// notice manifest (yun/ad, yun/ad1, yun/ad2 with neirong and url).
const Read kManifestReads[] = {
    {"\xD7\xEE\xD0\xC2\xB0\xE6\xB1\xBE/\xB0\xE6\xB1\xBE\xD0\xC5\xCF\xA2", "\xB0\xE6\xB1\xBE\xBA\xC5"},
    {"\xD7\xEE\xD0\xC2\xB0\xE6\xB1\xBE/\xB0\xE6\xB1\xBE\xD0\xC5\xCF\xA2", "\xC9\xFD\xBC\xB6\xCB\xB5\xC3\xF7"},
    {"\xD7\xEE\xD0\xC2\xB0\xE6\xB1\xBE/\xB0\xE6\xB1\xBE\xD0\xC5\xCF\xA2", "\xCF\xC2\xD4\xD8\xB5\xD8\xD6\xB7"},
    {"yun/ad", "neirong"},
    {"yun/ad1", "neirong"},
    {"yun/ad1", "url"},
    {"yun/ad2", "url"},
    {"yun", "url"},
    {"a/b/c", "x"},
    {"/", "x"},
    {"yun//ad", "neirong"},
};

// Element and attribute names guessed from the raw bytes (not GBK-aware on
// purpose: a guess that splits a character is a good probe too), so reads
// reach deep paths and attribute values of inputs the fuzzer invents.
void guessNames(std::string_view text, std::vector<std::string>& elements, std::vector<std::string>& attributes) {
  std::size_t i = 0;
  while (elements.size() < 3 && (i = text.find('<', i)) != std::string_view::npos) {
    ++i;
    if (i >= text.size() || text[i] == '?' || text[i] == '!' || text[i] == '/') continue;
    std::size_t end = text.find_first_of(" />", i);
    if (end == std::string_view::npos) end = text.size();
    elements.emplace_back(text.substr(i, end - i));
    std::size_t tagEnd = text.find('>', end);
    if (tagEnd == std::string_view::npos) tagEnd = text.size();
    for (std::size_t a = end; a < tagEnd && attributes.size() < 4;) {
      std::size_t eq = text.find('=', a);
      if (eq == std::string_view::npos || eq >= tagEnd) break;
      std::size_t nameBegin = text.rfind(' ', eq);
      if (nameBegin == std::string_view::npos || nameBegin < a) nameBegin = a;
      attributes.emplace_back(text.substr(nameBegin + 1, eq - nameBegin - 1));
      std::size_t q1 = text.find('"', eq);
      std::size_t q2 = q1 == std::string_view::npos ? q1 : text.find('"', q1 + 1);
      if (q2 == std::string_view::npos) break;
      a = q2 + 1;
    }
    i = end;
  }
}

void checkRead(const net::XmlDocument& document, std::string_view path, std::string_view name, std::size_t inputSize) {
  std::string value = document.readAttribute(path, name);
  // Decoding only shortens: a value never outgrows the input it came from.
  FUZZ_CHECK(value.size() <= inputSize);
  if (!document.loaded()) FUZZ_CHECK(value.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string kHeld = "<yun><ad neirong=\"held\"/></yun>";

  net::XmlDocument document;
  FUZZ_CHECK(document.loadFromBytes(reinterpret_cast<const std::uint8_t*>(kHeld.data()), kHeld.size()));
  FUZZ_CHECK(document.readAttribute("yun/ad", "neirong") == "held");

  const bool loaded = document.loadFromBytes(data, size);
  FUZZ_CHECK(loaded == document.loaded());
  if (size == 0) FUZZ_CHECK(!loaded);
  // A failed load never leaves the previous document in place.
  if (!loaded) FUZZ_CHECK(document.readAttribute("yun/ad", "neirong").empty());

  for (const Read& read : kManifestReads) checkRead(document, read.path, read.name, size);

  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> elements;
  std::vector<std::string> attributes;
  guessNames(text, elements, attributes);
  std::string path;
  for (const std::string& element : elements) {
    path += path.empty() ? element : "/" + element;
    for (const std::string& attribute : attributes) checkRead(document, path, attribute, size);
  }
  // Raw bytes as path and name: splitting must cope with anything, a lone
  // lead byte at the end included.
  checkRead(document, text.substr(0, 24), text.substr(text.size() > 24 ? 24 : text.size(), 8), size);
  checkRead(document, "", "x", size);
  if (!elements.empty()) checkRead(document, elements[0], "", size);

  FUZZ_CHECK(document.release() == loaded);
  FUZZ_CHECK(!document.loaded());
  FUZZ_CHECK(!document.release());
  for (const Read& read : kManifestReads) FUZZ_CHECK(document.readAttribute(read.path, read.name).empty());
  return 0;
}
