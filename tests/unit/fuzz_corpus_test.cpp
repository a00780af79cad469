// Replays the committed fuzz corpus through the fuzz target on every run of
// the sanitized unit tests, so inputs that once crashed stay fixed.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// The picture targets, renamed by the build (tests/CMakeLists.txt).
extern "C" int GifFuzzTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int BmpFuzzTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int JpegFuzzTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int ProfileTextFuzzTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(FuzzCorpus, XmlDocumentReplaysEveryInput) {
  const std::filesystem::path corpus = std::filesystem::path(STATION_FUZZ_CORPUS_DIR) / "xml_document";
  ASSERT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
  int replayed = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    ASSERT_TRUE(in) << entry.path();
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
    ++replayed;
  }
  EXPECT_GT(replayed, 0) << "the corpus is empty";
  // And the empty input.
  EXPECT_EQ(LLVMFuzzerTestOneInput(nullptr, 0), 0);
}

// Replays fuzz/corpus/<name> through one target; returns how many inputs it
// replayed (none without a corpus).
int replayCorpus(const char* name, int (*target)(const std::uint8_t*, std::size_t)) {
  const std::filesystem::path corpus = std::filesystem::path(STATION_FUZZ_CORPUS_DIR) / name;
  int replayed = 0;
  if (!std::filesystem::is_directory(corpus)) return replayed;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    EXPECT_TRUE(in) << entry.path();
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(target(bytes.data(), bytes.size()), 0);
    ++replayed;
  }
  EXPECT_EQ(target(nullptr, 0), 0);
  return replayed;
}

TEST(FuzzCorpus, GifReplaysEveryInput) { EXPECT_GT(replayCorpus("gif", GifFuzzTestOneInput), 0); }
TEST(FuzzCorpus, BmpReplaysEveryInput) { EXPECT_GT(replayCorpus("bmp", BmpFuzzTestOneInput), 0); }
TEST(FuzzCorpus, JpegReplaysEveryInput) { EXPECT_GT(replayCorpus("jpeg", JpegFuzzTestOneInput), 0); }
TEST(FuzzCorpus, ProfileTextReplaysEveryInput) {
  EXPECT_GT(replayCorpus("profile_text", ProfileTextFuzzTestOneInput), 0);
}

}  // namespace
