// The manifest reader: loading, reading attributes by path, releasing, and
// surviving any input. String literals here are GBK bytes (the test sources
// are compiled like the program); UTF-8 text is spelled with u8"" literals.
#include "net/xml_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

#include "app/download.h"
#include "fakes.h"

namespace {

using net::XmlDocument;
using namespace std::string_literals;
using namespace std::string_view_literals;

bool load(XmlDocument& document, std::string_view text) {
  return document.loadFromBytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::string utf8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

// One attribute read: the path, the attribute's name, the value it gives and,
// where that is not plain, why.
struct Read {
  std::string_view path, name, value, why = {};
};

// Checks each read; a failure names the path and attribute of its row.
void expectReads(const XmlDocument& d, std::initializer_list<Read> reads) {
  for (const Read& r : reads)
    EXPECT_EQ(d.readAttribute(r.path, r.name), r.value) << '"' << r.path << "\" @" << r.name << ' ' << r.why;
}

// The same, from a fresh document loaded from text.
void expectReads(std::string_view text, std::initializer_list<Read> reads) {
  XmlDocument d;
  ASSERT_TRUE(load(d, text));
  EXPECT_TRUE(d.loaded());
  expectReads(d, reads);
}

const std::string kUpdateManifest =
    "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n"
    "<最新版本>\r\n"
    "<!-- 每次发布时改这里 -->\r\n"
    "<版本信息 版本号=\"1.31\" 升级说明=\"修复播放#换行符加快启动\" 下载地址=\"http://127.0.0.1/station.zip\"/>\r\n"
    "</最新版本>\r\n";

const std::string kNoticeManifest =
    "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n"
    "<yun>\r\n"
    "<ad neirong=\"欢迎收听本台节目\"/>\r\n"
    "<ad1 neirong=\"广告一\" url=\"http://127.0.0.1/ad1\"/>\r\n"
    "<ad2 url=\"http://127.0.0.1/ad2\"/>\r\n"
    "</yun>\r\n";

TEST(XmlDocument, ReadsTheUpdateManifest) {
  const std::string_view info = "最新版本/版本信息";
  expectReads(kUpdateManifest, {{info, "版本号", "1.31"}, {info, "升级说明", "修复播放#换行符加快启动"},
                                {info, "下载地址", "http://127.0.0.1/station.zip"},
                                {info, "版本", "", "a prefix of a name is another name"},
                                {"最新版本", "版本号", "", "the root has no attributes"}});
}

TEST(XmlDocument, ReadsTheNoticeManifest) {
  expectReads(kNoticeManifest, {{"yun/ad", "neirong", "欢迎收听本台节目"}, {"yun/ad", "url", ""},
                                {"yun/ad1", "neirong", "广告一"}, {"yun/ad1", "url", "http://127.0.0.1/ad1"},
                                {"yun/ad2", "neirong", ""}, {"yun/ad2", "url", "http://127.0.0.1/ad2"},
                                {"yun/ad3", "url", ""}, {"YUN/ad", "neirong", "", "names are case-sensitive"},
                                {"yun/AD", "neirong", ""}, {"yun/ad", "NEIRONG", ""}});
}

TEST(XmlDocument, AManifestInUtf8LoadsButNoGbkNameIsFound) {
  const std::string manifest = utf8(
      u8"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<最新版本 来源=\"u\">\r\n"
      u8"<版本信息 版本号=\"1.5\" 升级说明=\"修复\" 下载地址=\"http://127.0.0.1/x\"/>\r\n</最新版本>\r\n");
  ASSERT_NE(manifest.find("\xE6\x9C\x80"), std::string::npos) << "the literal really is UTF-8";
  XmlDocument d;
  EXPECT_TRUE(load(d, manifest));
  // Its own bytes, the last row, do find it: nothing was converted. (A path is
  // always divided as GBK, so a UTF-8 path with a '/' would not split right.)
  expectReads(d, {{"最新版本/版本信息", "版本号", ""}, {"最新版本/版本信息", "升级说明", ""},
                  {"最新版本/版本信息", "下载地址", ""}, {"最新版本", "来源", ""},
                  {utf8(u8"最新版本"), utf8(u8"来源"), "u", "its own bytes"}});

  // With a byte order mark too, and with an odd number of non-ASCII bytes
  // right before the closing quote and the '>'.
  const std::string notice = "\xEF\xBB\xBF" + utf8(u8"<yun><ad neirong=\"中\"/><ad1 neirong=\"é\" url=\"ü\"/></yun>");
  EXPECT_TRUE(load(d, notice));
  expectReads(d, {{"yun/ad", "neirong", utf8(u8"中")}, {"yun/ad1", "url", utf8(u8"ü")}});

  // One byte that is no UTF-8 makes the whole document GBK again, where the
  // last byte of 中 takes the closing quote with it.
  EXPECT_FALSE(load(d, utf8(u8"<yun><ad neirong=\"中\"/></yun>") + "<!--\x81\x81-->"));
}

TEST(XmlDocument, TheFirstSegmentMustBeTheRoot) {
  XmlDocument d;
  ASSERT_TRUE(load(d, "<station><yun><ad neirong=\"deep\"/></yun><ad neirong=\"child\"/></station>"));
  expectReads(d, {{"yun/ad", "neirong", ""}, {"yun", "neirong", ""}, {"ad", "neirong", ""},
                  {"station/yun/ad", "neirong", "deep"},
                  {"station/ad", "neirong", "child", "only direct children are searched"}});

  ASSERT_TRUE(load(d, "<其他><最新版本><版本信息 版本号=\"9\"/></最新版本></其他>"));
  expectReads(d, {{"最新版本/版本信息", "版本号", ""}});
}

TEST(XmlDocument, EachSegmentTakesTheFirstChildOfThatName) {
  expectReads("<最新版本><其他 版本号=\"0.1\"/><版本信息 版本号=\"1.4\"><版本信息 版本号=\"7\"/></版本信息>"
              "<版本信息 版本号=\"2.0\" 下载地址=\"http://second\"/></最新版本>",
              {{"最新版本/版本信息", "版本号", "1.4"},
               {"最新版本/版本信息", "下载地址", "", "not taken from the second one"},
               {"最新版本/版本信息/版本信息", "版本号", "7"}});
}

TEST(XmlDocument, TheLastOfARepeatedAttributeCounts) {
  expectReads("<yun><ad neirong=\"one\" url=\"u\" neirong=\"two\" neirong=\"three\"/></yun>",
              {{"yun/ad", "neirong", "three"}, {"yun/ad", "url", "u"}});
}

TEST(XmlDocument, ALoadDiscardsTheHeldDocumentFirst) {
  // A failed reload leaves nothing behind.
  const std::pair<const char*, bool (*)(XmlDocument&)> failedLoads[] = {
      {"no bytes", [](XmlDocument& x) { return x.loadFromBytes(std::vector<std::uint8_t>{}); }},
      {"a null pointer", [](XmlDocument& x) { return x.loadFromBytes(nullptr, 0); }},
      {"no end tag", [](XmlDocument& x) { return load(x, "<yun><ad neirong=\"broken\"/>"); }},
  };
  XmlDocument d;
  for (const auto& [what, failedLoad] : failedLoads) {
    ASSERT_TRUE(load(d, kNoticeManifest));
    EXPECT_FALSE(failedLoad(d)) << what;
    EXPECT_FALSE(d.loaded()) << what;
    EXPECT_EQ(d.readAttribute("yun/ad", "neirong"), "") << what;
  }
  ASSERT_TRUE(load(d, kNoticeManifest));
  ASSERT_TRUE(load(d, kUpdateManifest));
  expectReads(d, {{"yun/ad", "neirong", ""}, {"最新版本/版本信息", "版本号", "1.31"}});
}

TEST(XmlDocument, LoadsFromAFile) {
  testing_support::FakeFileSystem files;
  files.setText("\\ad.tingweiini", kNoticeManifest);
  files.setText("\\empty", "");
  XmlDocument d;
  for (const char* bad : {"\\empty", "\\missing"}) {
    ASSERT_TRUE(app::loadFromFile(d, files, "\\ad.tingweiini"));
    EXPECT_EQ(d.readAttribute("yun/ad1", "url"), "http://127.0.0.1/ad1");
    EXPECT_FALSE(app::loadFromFile(d, files, bad)) << bad;
    EXPECT_FALSE(d.loaded()) << bad;
    EXPECT_EQ(d.readAttribute("yun/ad1", "url"), "") << bad;
  }

  ASSERT_TRUE(app::loadFromFile(d, files, "\\ad.tingweiini"));
  files.locked.insert("\\ad.tingweiini");
  EXPECT_FALSE(app::loadFromFile(d, files, "\\ad.tingweiini")) << "unreadable";
  EXPECT_FALSE(d.loaded());

  files.setText("", kNoticeManifest);
  EXPECT_FALSE(app::loadFromFile(d, files, "")) << "an empty path is never read";
}

TEST(XmlDocument, ReleaseTellsWhetherADocumentWasHeld) {
  XmlDocument d;
  EXPECT_FALSE(d.loaded());
  EXPECT_FALSE(d.release());
  ASSERT_TRUE(load(d, kNoticeManifest));
  EXPECT_TRUE(d.release());
  EXPECT_FALSE(d.loaded());
  EXPECT_FALSE(d.release());
  EXPECT_EQ(d.readAttribute("yun/ad", "neirong"), "");
  ASSERT_TRUE(load(d, kNoticeManifest)) << "usable again after a release";
  EXPECT_EQ(d.readAttribute("yun/ad", "neirong"), "欢迎收听本台节目");
}

TEST(XmlDocument, DeclarationsCommentsAndInstructionsAreSkipped) {
  expectReads("<?xml version=\"1.0\" encoding=\"gbk\"?>\n"
              "<!-- before <yun> the root -->\n"
              "<!DOCTYPE yun [\n"
              "  <!ELEMENT yun (ad)*>\n"
              "  <!ENTITY x \"has > and ] inside\">\n"
              "  <!-- a comment in the subset with an ' apostrophe and ] -->\n"
              "  <?pi in the subset ' ?>\n"
              "]>\n"
              "<?station-tool option=\"a>b\"?>\n"
              "<yun><!-- <ad neirong=\"commented out\"/> -->\n"
              "  <?inside ?>\n"
              "  <ad neirong=\"kept\"/>\n"
              "</yun>\n"
              "<!-- after -->\n<?after?>\n",
              {{"yun/ad", "neirong", "kept"}});
}

TEST(XmlDocument, CdataAndTextAreSkippedWhateverTheyHold) {
  expectReads("<yun>some text & more > less\n<![CDATA[<ad neirong=\"in cdata\"/> ] ]> ]]>"
              "<ad neirong=\"real\"/>tail</yun>", {{"yun/ad", "neirong", "real"}});
}

TEST(XmlDocument, OnlyTheFivePredefinedEntitiesAreDecoded) {
  expectReads("<yun><ad a=\"&amp;\" b=\"&lt;&gt;&apos;&quot;\" c=\"&foo; &#65; &#x41; &amp\" "
              "d=\"&amp;lt;\" e=\"x&\" f=\"广告&amp;新闻\" g=\"&LT;&Amp;\"/></yun>",
              {{"yun/ad", "a", "&"}, {"yun/ad", "b", "<>'\""}, {"yun/ad", "c", "&foo; &#65; &#x41; &amp"},
               {"yun/ad", "d", "&lt;", "decoded once, left to right"}, {"yun/ad", "e", "x&"},
               {"yun/ad", "f", "广告&新闻"}, {"yun/ad", "g", "&LT;&Amp;", "entity names are case-sensitive"}});
}

TEST(XmlDocument, AValueHoldsAnyByteButItsQuote) {
  expectReads("<yun><ad1 url=\"http://h/a?x=1&y=<2>\" neirong=\"it's\" other='say \"hi\"' z = \"spaced\"/>"
              "<ad2 url=\"a\0b\"/></yun>"sv,
              {{"yun/ad1", "url", "http://h/a?x=1&y=<2>"}, {"yun/ad1", "neirong", "it's"},
               {"yun/ad1", "other", "say \"hi\""}, {"yun/ad1", "z", "spaced"}, {"yun/ad2", "url", "a\0b"sv},
               {"yun/ad1", "url\0x"sv, ""}});
}

TEST(XmlDocument, OnlyTheBlankSeparatesInsideATag) {
  XmlDocument d;
  // A tab or line break becomes part of the element's or attribute's name;
  // the document still loads and the rest of it reads.
  ASSERT_TRUE(load(d,
                   "<yun>\r\n"
                   "<ad\tneirong=\"tabbed\"/>\r\n"
                   "<ad1\r\n url=\"broken\"/>\r\n"
                   "<ad2 neirong=\"n\"\turl=\"after tab\" url\n=\"x\"/>\r\n"
                   "<ad3 neirong=\"ok\"/>\r\n"
                   "</yun>\r\n"));
  expectReads(d, {{"yun/ad", "neirong", ""},
                  {"yun/ad\tneirong=\"tabbed\"", "neirong", "", "the whole rest is the name"},
                  {"yun/ad1", "url", ""}, {"yun/ad1\r\n", "url", "broken"},
                  {"yun/ad2", "neirong", "n"}, {"yun/ad2", "url", ""}, {"yun/ad2", "\turl", "after tab"},
                  {"yun/ad2", "url\n", "x"}, {"yun/ad3", "neirong", "ok"}});

  ASSERT_TRUE(load(d, "<yun\t><ad neirong=\"x\"/></yun\t>"));
  expectReads(d, {{"yun/ad", "neirong", ""}, {"yun\t/ad", "neirong", "x"}});
}

// GBK characters whose trail byte is an ASCII code: 誠 D5 5C and 乗 81 5C
// ('\'), 乕 81 5B ('['), 乚 81 5D (']'), 丂 81 40 ('@'), 亅 81 7C ('|').
TEST(XmlDocument, TrailBytesOfRealGbkCharactersStayInsideTheirCharacter) {
  EXPECT_EQ(std::string("誠"), "\xD5\x5C") << "the test source is compiled to GBK";
  EXPECT_EQ(std::string("乚"), "\x81\x5D");
  // Had the trail of 乚 been read as ']', "]]>" would have ended the CDATA
  // section early and <bad> would be an element.
  expectReads("<誠乗><乕乚 丂=\"亅誠\"/><乚><![CDATA[乚]><bad x=\"1\"/>]]></乚><end v=\"乕\"/></誠乗>",
              {{"誠乗/乕乚", "丂", "亅誠"}, {"誠乗/乚/bad", "x", ""}, {"誠乗/end", "v", "乕"}});
}

// No GBK character has a trail byte below 0x40, where '/', '<', '>', '"',
// '&', '=' and the blank lie; malformed text can still pair a lead byte with
// one of them, and then it is not markup either.
TEST(XmlDocument, ALeadByteAlwaysTakesTheNextByteWithIt) {
  expectReads("<yun><a\x81/b v=\"1\"/><c\x81> w=\"\x81\"x\" y=\"\x81&amp;\x81=\" n\x81 m=\"2\"/><d\x81<e/></yun>",
              {{"yun/a\x81/b", "v", "1", "the path is not split inside a character"},
               {"yun/a\x81", "v", ""}, {"yun/c\x81>", "w", "\x81\"x"},
               {"yun/c\x81>", "y", "\x81&amp;\x81=", "'&' after a lead byte starts nothing"},
               {"yun/c\x81>", "n\x81 m", "2"}, {"yun/d\x81<e", "v", ""},
               {"yun/c\x81>", "w\x81", "", "a lone lead byte at the end of a name"},
               {"yun\x81", "v", "", "a lone lead byte at the end of a path"}});
}

TEST(XmlDocument, ByteEightyIsASingleByteCharacter) {
  expectReads("<yun><ad neirong=\"\x80\" url=\"\x80\x80\"/></yun>",
              {{"yun/ad", "neirong", "\x80"}, {"yun/ad", "url", "\x80\x80"}});
}

TEST(XmlDocument, MalformedDocumentsDoNotLoad) {
  const char* const bad[] = {
      "", "   \r\n", "just text", "text before <yun/>", "<!-- only a comment -->", "<?xml version=\"1.0\"?>",
      "<yun>", "<yun><ad></yun>", "<yun></ad></yun>", "<yun></yun></yun>", "<yun></YUN>", "<yun></yun >x",
      "<yun/><yun/>", "<yun/>trailing text", "<yun/><![CDATA[x]]>", "<![CDATA[x]]><yun/>",
      "<yun ad>", "<yun ad=x/>", "<yun ad=\"x/>", "<yun ad='x\"/>", "<yun =\"x\"/>", "<yun a=\"1\"b/>",
      "<yun a=\"1\"/ >", "< yun/>", "<yun", "<yun/", "<yun></", "<yun></yun", "<?xml version=\"1.0\"",
      "<yun><!-- never closed </yun>", "<yun><![CDATA[ never closed </yun>", "<yun><? never closed </yun>",
      "<yun><!DOCTYPE never closed </yun>", "<yun/>\x81", "\x81<yun/>",
  };
  for (const char* text : bad) {
    XmlDocument d;
    EXPECT_FALSE(load(d, text)) << text;
    EXPECT_FALSE(d.loaded()) << text;
  }
  XmlDocument d;
  for (const char* text : {"<yun></yun  >\r\n\t ", "<yun/>", "\r\n <yun ad=\"\" />"})
    EXPECT_TRUE(load(d, text)) << text;
}

TEST(XmlDocument, EmptyPathOrNameReadsEmpty) {
  expectReads("<yun v=\"root\"><ad neirong=\"x\"/></yun>",
              {{"", "v", ""}, {"yun", "", ""}, {"yun", "v", "root"}, {"/yun", "v", ""}, {"yun/", "v", ""},
               {"yun//ad", "neirong", ""}, {"yun/ad/", "neirong", ""}, {"/", "neirong", ""}});
}

TEST(XmlDocument, SurvivesDeepNesting) {
  constexpr int kDepth = 100000;
  std::string open;
  std::string close;
  for (int i = 0; i < kDepth; ++i) open += "<a>";
  for (int i = 0; i < kDepth; ++i) close += "</a>";
  XmlDocument d;
  EXPECT_TRUE(load(d, "<r>" + open + "<ad v=\"deep\"/>" + close + "</r>"));
  std::string path = "r";
  for (int i = 0; i < kDepth; ++i) path += "/a";
  EXPECT_EQ(d.readAttribute(path + "/ad", "v"), "deep");
  EXPECT_FALSE(load(d, open)) << "never closed";
  EXPECT_FALSE(load(d, open + close.substr(4)));
  EXPECT_TRUE(load(d, open + close));
  XmlDocument other;
  EXPECT_TRUE(load(other, open + close));  // and both are freed without recursion
}

TEST(XmlDocument, HandlesManyAttributesAndSiblings) {
  std::string text = "<yun><ad";
  for (int i = 0; i < 200000; ++i) text += " neirong=\"" + std::to_string(i) + "\"";
  text += "/>";
  for (int i = 0; i < 100000; ++i) text += "<x/>";
  text += "<ad1 url=\"last\"/></yun>";
  expectReads(text, {{"yun/ad", "neirong", "199999"}, {"yun/ad1", "url", "last"}});
}

TEST(XmlDocument, EveryPrefixOfAManifestLoadsOnlyOnceTheRootIsClosed) {
  const std::size_t rootEnd = kUpdateManifest.find("</最新版本>") + std::string("</最新版本>").size();
  for (std::size_t size = 0; size <= kUpdateManifest.size(); ++size) {
    XmlDocument d;
    bool loaded = load(d, std::string_view(kUpdateManifest).substr(0, size));
    EXPECT_EQ(loaded, size >= rootEnd) << size;
    EXPECT_EQ(d.readAttribute("最新版本/版本信息", "版本号"), loaded ? "1.31" : "") << size;
  }
  const std::size_t noticeEnd = kNoticeManifest.find("</yun>") + 6;
  for (std::size_t size = 0; size <= kNoticeManifest.size(); ++size) {
    XmlDocument d;
    EXPECT_EQ(load(d, std::string_view(kNoticeManifest).substr(0, size)), size >= noticeEnd) << size;
  }
}

// The manifests the demo station serves.
std::string readRepositoryFile(const std::string& relative) {
  std::filesystem::path path = std::filesystem::path(STATION_FUZZ_CORPUS_DIR) / ".." / ".." / relative;
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Loads one of them and finds each attribute filled; skips where it is missing.
void expectDemoManifestFills(const std::string& relative,
                             std::initializer_list<std::pair<std::string_view, std::string_view>> attributes) {
  const std::string manifest = readRepositoryFile(relative);
  if (manifest.empty()) GTEST_SKIP() << "the demo station has no " << relative;
  XmlDocument d;
  ASSERT_TRUE(load(d, manifest));
  for (const auto& [path, name] : attributes) EXPECT_NE(d.readAttribute(path, name), "") << path << " @" << name;
}

TEST(XmlDocument, ReadsTheDemoStationsUpdateManifest) {
  expectDemoManifestFills("demo-station/site/dedazizova/dodezazoz.xml",
                          {{"最新版本/版本信息", "版本号"}, {"最新版本/版本信息", "下载地址"}});
}

TEST(XmlDocument, ReadsTheDemoStationsNoticeManifest) {
  expectDemoManifestFills("demo-station/site/bofang/ad/tingweitz.xml",
                          {{"yun/ad", "neirong"}, {"yun/ad1", "neirong"}, {"yun/ad1", "url"}, {"yun/ad2", "url"}});
}

}  // namespace
