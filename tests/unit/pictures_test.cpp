// The picture decoders against pictures made two ways: by ImageMagick's
// `convert` at test time (an independent writer; those tests are skipped when
// it is not installed) and by small writers in this file, which give exact
// control over the GIF features (disposal, transparency, palettes, LZW table
// behaviour) and over the less common BMP forms.
#include "ui/pictures/picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using pictures::decodePicture;
using pictures::Frame;
using pictures::Picture;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}
constexpr std::uint32_t kTransparent = 0;
constexpr std::uint32_t kRed = rgb(255, 0, 0);
constexpr std::uint32_t kLime = rgb(0, 255, 0);
constexpr std::uint32_t kBlue = rgb(0, 0, 255);
constexpr std::uint32_t kWhite = rgb(255, 255, 255);
constexpr std::uint32_t kBlack = rgb(0, 0, 0);

std::uint32_t at(const Frame& frame, int x, int y) {
  return frame.pixels.at(static_cast<std::size_t>(y) * frame.width + x);
}

std::string hex(std::uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", v);
  return text;
}

::testing::AssertionResult near(std::uint32_t actual, std::uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) {
      return ::testing::AssertionFailure() << hex(actual) << " is not within " << tolerance << " of " << hex(expected);
    }
  }
  return ::testing::AssertionSuccess();
}

Picture decode(const Bytes& bytes) { return decodePicture(bytes.data(), bytes.size()); }

// Processor time; <chrono> does not build with the program's GBK execution
// character set.
double secondsSince(std::clock_t start) { return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC; }

// Every frame has the picture's size and a pixel for every place.
void expectWellFormed(const Picture& picture) {
  for (const Frame& f : picture.frames) {
    ASSERT_EQ(f.width, picture.width);
    ASSERT_EQ(f.height, picture.height);
    ASSERT_EQ(f.pixels.size(), static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height));
  }
  if (picture.empty()) {
    EXPECT_EQ(picture.width * picture.height, 0);
  }
}

// ------------------------------------------------------------ files, convert

Bytes readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class Scratch {
 public:
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pictures_test.XXXXXX").string();
    if (mkdtemp(pattern.data())) dir_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path dir_;
};

bool haveConvert() {
  static const bool present = std::system("convert -version >/dev/null 2>&1") == 0;
  return present;
}

#define REQUIRE_CONVERT() \
  if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed"

// Runs convert with the arguments (paths must not need quoting) and reads the
// output file, the last argument after its "FORMAT:" prefix.
Bytes convert(const std::string& arguments, const std::string& output) {
  const std::string command = "convert " + arguments + " 2>/dev/null";
  if (std::system(command.c_str()) != 0) return {};
  return readFile(output);
}

// P6 (opaque) or P7 with alpha, from 0xAARRGGBB pixels.
void writePnm(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels,
              bool alpha = false) {
  std::string header = alpha ? "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height) +
                                   "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                             : "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  Bytes bytes(header.begin(), header.end());
  for (std::uint32_t p : pixels) {
    bytes.push_back(static_cast<std::uint8_t>(p >> 16));
    bytes.push_back(static_cast<std::uint8_t>(p >> 8));
    bytes.push_back(static_cast<std::uint8_t>(p));
    if (alpha) bytes.push_back(static_cast<std::uint8_t>(p >> 24));
  }
  writeFile(path, bytes);
}

// The pixels of a binary PPM as ImageMagick writes it ("P6\nW H\n255\n").
std::vector<std::uint32_t> readPpm(const Bytes& bytes) {
  std::vector<std::uint32_t> pixels;
  std::size_t pos = 0;
  int fields[4] = {0, 0, 0, 0};
  for (int& field : fields) {
    while (pos < bytes.size() && !std::isdigit(bytes[pos])) ++pos;
    while (pos < bytes.size() && std::isdigit(bytes[pos])) field = field * 10 + (bytes[pos++] - '0');
  }
  ++pos;  // the single white-space after the maximum value
  if (fields[0] != 6 || fields[3] != 255) return pixels;
  for (; pos + 2 < bytes.size(); pos += 3) pixels.push_back(rgb(bytes[pos], bytes[pos + 1], bytes[pos + 2]));
  return pixels;
}

// n distinct opaque colours, spread over the cube.
std::vector<std::uint32_t> distinctColours(int n) {
  std::vector<std::uint32_t> colours;
  for (int i = 0; i < n; ++i) {
    colours.push_back(rgb((i * 37 + 11) & 0xFF, (i * 91 + 200) & 0xFF, (i * 53 + i / 7) & 0xFF));
  }
  std::sort(colours.begin(), colours.end());
  colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
  return colours;
}

// A picture of the given size using exactly `count` colours in a scattered
// order (every colour appears at least once when width * height >= count).
std::vector<std::uint32_t> scatteredPixels(int width, int height, int count, unsigned seed) {
  const std::vector<std::uint32_t> colours = distinctColours(count);
  std::mt19937 random(seed);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = i < colours.size() ? colours[i] : colours[random() % colours.size()];
  }
  std::shuffle(pixels.begin(), pixels.end(), random);
  return pixels;
}

void expectPixels(const Picture& picture, int width, int height, const std::vector<std::uint32_t>& expected,
                  int tolerance = 0) {
  ASSERT_FALSE(picture.empty());
  ASSERT_EQ(picture.width, width);
  ASSERT_EQ(picture.height, height);
  ASSERT_EQ(picture.frames.size(), 1u);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      ASSERT_TRUE(near(at(picture.frames[0], x, y), expected[static_cast<std::size_t>(y) * width + x], tolerance))
          << "at " << x << "," << y;
    }
  }
}

// ------------------------------------------------------------ a BMP writer

void put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
void set32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

enum class BmpForm { Rgb24, Rgb32, Rgb555, Fields565, Core24 };

// Writes a bitmap with a 40-byte header (or the 12-byte core header), rows
// bottom-up unless topDown. For Rgb32 the unused fourth byte is set to
// `fourth` to show that it is not alpha.
Bytes makeBmp(int width, int height, const std::vector<std::uint32_t>& pixels, BmpForm form, bool topDown = false,
              std::uint8_t fourth = 0) {
  const int bits = form == BmpForm::Rgb32 ? 32 : (form == BmpForm::Rgb555 || form == BmpForm::Fields565) ? 16 : 24;
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  Bytes b{'B', 'M'};
  put32(b, 0);  // file size, filled in below
  put32(b, 0);
  put32(b, 0);  // pixel offset, filled in below
  if (form == BmpForm::Core24) {
    put32(b, 12);
    put16(b, static_cast<std::uint32_t>(width));
    put16(b, static_cast<std::uint32_t>(height));
    put16(b, 1);
    put16(b, 24);
  } else {
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(topDown ? -height : height));
    put16(b, 1);
    put16(b, static_cast<std::uint32_t>(bits));
    put32(b, form == BmpForm::Fields565 ? 3 : 0);
    for (int i = 0; i < 5; ++i) put32(b, 0);
    if (form == BmpForm::Fields565) {
      put32(b, 0xF800);
      put32(b, 0x07E0);
      put32(b, 0x001F);
    }
  }
  set32(b, 10, static_cast<std::uint32_t>(b.size()));
  for (int row = 0; row < height; ++row) {
    const int y = topDown ? row : height - 1 - row;
    Bytes line;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
      const std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, bl = p & 0xFF;
      switch (form) {
        case BmpForm::Rgb24:
        case BmpForm::Core24:
          line.insert(line.end(), {static_cast<std::uint8_t>(bl), static_cast<std::uint8_t>(g),
                                   static_cast<std::uint8_t>(r)});
          break;
        case BmpForm::Rgb32:
          line.insert(line.end(), {static_cast<std::uint8_t>(bl), static_cast<std::uint8_t>(g),
                                   static_cast<std::uint8_t>(r), fourth});
          break;
        case BmpForm::Rgb555:
          put16(line, ((r >> 3) << 10) | ((g >> 3) << 5) | (bl >> 3));
          break;
        case BmpForm::Fields565:
          put16(line, ((r >> 3) << 11) | ((g >> 2) << 5) | (bl >> 3));
          break;
      }
    }
    line.resize(stride, 0);
    b.insert(b.end(), line.begin(), line.end());
  }
  set32(b, 2, static_cast<std::uint32_t>(b.size()));
  return b;
}

// ------------------------------------------------------------ a GIF writer

// GIF LZW as encoders write it. With clearWhenFull off, a full table is kept
// (no clear code; codes stay 12 bits) as some encoders do.
Bytes lzwEncode(const std::vector<std::uint8_t>& indices, int minCodeSize, bool clearWhenFull) {
  const int clear = 1 << minCodeSize, end = clear + 1;
  Bytes out;
  std::uint32_t buffer = 0;
  int count = 0;
  int width = minCodeSize + 1;
  auto emit = [&](int code) {
    buffer |= static_cast<std::uint32_t>(code) << count;
    count += width;
    while (count >= 8) {
      out.push_back(static_cast<std::uint8_t>(buffer));
      buffer >>= 8;
      count -= 8;
    }
  };
  std::map<std::uint32_t, int> table;
  int next = end + 1;
  emit(clear);
  if (!indices.empty()) {
    int prefix = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
      const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | indices[i];
      auto found = table.find(key);
      if (found != table.end()) {
        prefix = found->second;
        continue;
      }
      emit(prefix);
      if (next < 4096) {
        table[key] = next;
        if (next == (1 << width) && width < 12) ++width;
        ++next;
      } else if (clearWhenFull) {
        emit(clear);
        table.clear();
        width = minCodeSize + 1;
        next = end + 1;
      }
      prefix = indices[i];
    }
    emit(prefix);
  }
  emit(end);
  if (count > 0) out.push_back(static_cast<std::uint8_t>(buffer));
  return out;
}

struct GifImage {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<std::uint8_t> indices;  // row by row, top-down
  std::vector<std::uint32_t> localPalette;
  bool interlaced = false;
  bool control = true;  // write a graphic control extension
  int disposal = 0;
  int delayCs = 10;
  int transparent = -1;
  int minCodeSize = 0;  // 0: from the palette size
  bool clearWhenFull = true;
};

class GifBuilder {
 public:
  GifBuilder(int width, int height, std::vector<std::uint32_t> globalPalette = {}) {
    bytes_ = {'G', 'I', 'F', '8', '9', 'a'};
    put16(bytes_, static_cast<std::uint32_t>(width));
    put16(bytes_, static_cast<std::uint32_t>(height));
    const int field = tableField(globalPalette.size());
    bytes_.push_back(static_cast<std::uint8_t>(globalPalette.empty() ? 0 : (0x80 | 0x70 | field)));
    bytes_.push_back(0);
    bytes_.push_back(0);
    if (!globalPalette.empty()) writeTable(globalPalette, field);
    globalSize_ = globalPalette.size();
  }

  GifBuilder& loop(int count) {
    const char id[] = "NETSCAPE2.0";
    bytes_.insert(bytes_.end(), {0x21, 0xFF, 11});
    bytes_.insert(bytes_.end(), id, id + 11);
    bytes_.insert(bytes_.end(), {3, 1});
    put16(bytes_, static_cast<std::uint32_t>(count));
    bytes_.push_back(0);
    return *this;
  }

  GifBuilder& add(const GifImage& image) {
    if (image.control) {
      bytes_.insert(bytes_.end(), {0x21, 0xF9, 4});
      bytes_.push_back(static_cast<std::uint8_t>((image.disposal << 2) | (image.transparent >= 0 ? 1 : 0)));
      put16(bytes_, static_cast<std::uint32_t>(image.delayCs));
      bytes_.push_back(static_cast<std::uint8_t>(image.transparent >= 0 ? image.transparent : 0));
      bytes_.push_back(0);
    }
    bytes_.push_back(0x2C);
    put16(bytes_, static_cast<std::uint32_t>(image.left));
    put16(bytes_, static_cast<std::uint32_t>(image.top));
    put16(bytes_, static_cast<std::uint32_t>(image.width));
    put16(bytes_, static_cast<std::uint32_t>(image.height));
    const int field = tableField(image.localPalette.size());
    std::uint8_t flags = image.interlaced ? 0x40 : 0;
    if (!image.localPalette.empty()) flags |= static_cast<std::uint8_t>(0x80 | field);
    bytes_.push_back(flags);
    if (!image.localPalette.empty()) writeTable(image.localPalette, field);

    const std::size_t colours = image.localPalette.empty() ? globalSize_ : image.localPalette.size();
    const int minCodeSize = image.minCodeSize ? image.minCodeSize : std::max(2, tableField(colours) + 1);
    std::vector<std::uint8_t> order = image.indices;
    if (image.interlaced) {
      order.clear();
      static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
      for (int pass = 0; pass < 4; ++pass) {
        for (int y = start[pass]; y < image.height; y += step[pass]) {
          order.insert(order.end(), image.indices.begin() + y * image.width,
                       image.indices.begin() + (y + 1) * image.width);
        }
      }
    }
    bytes_.push_back(static_cast<std::uint8_t>(minCodeSize));
    subBlocks(lzwEncode(order, minCodeSize, image.clearWhenFull));
    frameEnds_.push_back(bytes_.size());
    return *this;
  }

  // Raw compressed data for an image, for broken streams.
  GifBuilder& addRaw(int width, int height, int minCodeSize, const Bytes& data) {
    bytes_.push_back(0x2C);
    put16(bytes_, 0);
    put16(bytes_, 0);
    put16(bytes_, static_cast<std::uint32_t>(width));
    put16(bytes_, static_cast<std::uint32_t>(height));
    bytes_.push_back(0);
    bytes_.push_back(static_cast<std::uint8_t>(minCodeSize));
    subBlocks(data);
    frameEnds_.push_back(bytes_.size());
    return *this;
  }

  Bytes bytes() const {
    Bytes b = bytes_;
    b.push_back(0x3B);
    return b;
  }
  // The offset just after each image's data (its block terminator).
  const std::vector<std::size_t>& frameEnds() const { return frameEnds_; }

 private:
  static int tableField(std::size_t colours) {
    int field = 0;
    while ((std::size_t{2} << field) < colours) ++field;
    return field;
  }
  void writeTable(const std::vector<std::uint32_t>& palette, int field) {
    for (std::size_t i = 0; i < (std::size_t{2} << field); ++i) {
      const std::uint32_t p = i < palette.size() ? palette[i] : 0;
      bytes_.insert(bytes_.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                                   static_cast<std::uint8_t>(p)});
    }
  }
  void subBlocks(const Bytes& data) {
    for (std::size_t i = 0; i < data.size(); i += 255) {
      const std::size_t n = std::min<std::size_t>(255, data.size() - i);
      bytes_.push_back(static_cast<std::uint8_t>(n));
      bytes_.insert(bytes_.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                    data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    bytes_.push_back(0);
  }

  Bytes bytes_;
  std::size_t globalSize_ = 0;
  std::vector<std::size_t> frameEnds_;
};

GifImage solid(int left, int top, int width, int height, std::uint8_t index) {
  GifImage image;
  image.left = left, image.top = top, image.width = width, image.height = height;
  image.indices.assign(static_cast<std::size_t>(width) * height, index);
  return image;
}

// ============================================================ signatures

TEST(Pictures, UnknownNullEmptyAndTooShortInputsGiveAnEmptyPicture) {
  EXPECT_TRUE(decodePicture(nullptr, 10).empty());
  const std::uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
  EXPECT_TRUE(decodePicture(png, sizeof png).empty());
  EXPECT_TRUE(decodePicture(png, 0).empty());
  const std::uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a'};
  EXPECT_TRUE(decodePicture(gif, sizeof gif).empty());
  const std::uint8_t gif88[] = {'G', 'I', 'F', '8', '8', 'a', 1, 0, 1, 0, 0, 0, 0, 0x2C};
  EXPECT_TRUE(decodePicture(gif88, sizeof gif88).empty());
  const std::uint8_t bm[] = {'B', 'M'};
  EXPECT_TRUE(decodePicture(bm, sizeof bm).empty());
  const std::uint8_t jpeg[] = {0xFF, 0xD8, 0xFF};
  EXPECT_TRUE(decodePicture(jpeg, sizeof jpeg).empty());
}

TEST(Pictures, TheKindComesFromTheSignatureNotFromElsewhere) {
  // The same GIF bytes decode through decodePicture and decodeGif alike, and
  // the BMP decoder refuses them.
  const std::vector<std::uint32_t> palette{kRed, kLime};
  GifBuilder gif(2, 1, palette);
  gif.add(solid(0, 0, 2, 1, 1));
  const Bytes bytes = gif.bytes();
  const Picture picture = decode(bytes);
  ASSERT_EQ(picture.frames.size(), 1u);
  EXPECT_EQ(at(picture.frames[0], 1, 0), kLime);
  EXPECT_TRUE(pictures::decodeBmp(bytes.data(), bytes.size()).empty());
  EXPECT_TRUE(pictures::decodeJpeg(bytes.data(), bytes.size()).empty());
}

// ============================================================ BMP

TEST(Bmp, TwentyFourBitPicturesOfEachHeaderFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  struct Case {
    const char* format;
    int width, height, colours;
    unsigned seed;
    std::size_t headers;       // file and picture headers together
    std::size_t field, value;  // a header byte that tells the case apart
  };
  for (const Case c : {Case{"BMP3", 5, 3, 15, 1, 54, 28, 24},   // 24 bits a pixel; rows padded from 15 to 16 bytes
                       Case{"BMP", 7, 4, 28, 2, 138, 14, 124},  // version 5 header
                       Case{"BMP2", 6, 3, 18, 3, 26, 14, 12}}) {  // core header
    SCOPED_TRACE(c.format);
    const auto source = scatteredPixels(c.width, c.height, c.colours, c.seed);
    writePnm(dir.path("s.ppm"), c.width, c.height, source);
    const Bytes bytes =
        convert(dir.path("s.ppm") + " -type TrueColor " + c.format + ":" + dir.path("o.bmp"), dir.path("o.bmp"));
    ASSERT_GT(bytes.size(), c.headers);
    ASSERT_EQ(bytes[c.field], c.value);
    expectPixels(decode(bytes), c.width, c.height, source);
  }
}

TEST(Bmp, PalettesOfOneFourAndEightBitsFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  struct Case {
    int width, height, colours, bits;
  };
  for (const Case c : {Case{9, 5, 2, 1}, Case{5, 3, 15, 4}, Case{11, 7, 60, 8}}) {
    SCOPED_TRACE(c.bits);
    std::vector<std::uint32_t> source = scatteredPixels(c.width, c.height, c.colours, 4);
    if (c.colours == 2) {
      for (auto& p : source) p = (p == source[0]) ? kBlack : kWhite;
    }
    writePnm(dir.path("s.ppm"), c.width, c.height, source);
    const Bytes bytes =
        convert(dir.path("s.ppm") + " -type Palette BMP3:" + dir.path("o.bmp"), dir.path("o.bmp"));
    ASSERT_GT(bytes.size(), 54u);
    ASSERT_EQ(bytes[28], c.bits);
    expectPixels(decode(bytes), c.width, c.height, source);
  }
}

TEST(Bmp, Rle8FromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  // Runs and single pixels, so both encoded and literal runs appear.
  std::vector<std::uint32_t> source = scatteredPixels(13, 6, 40, 5);
  for (int x = 0; x < 13; ++x) source[2 * 13 + x] = kRed;
  writePnm(dir.path("s.ppm"), 13, 6, source);
  const Bytes bytes = convert(dir.path("s.ppm") + " -type Palette -compress RLE BMP3:" + dir.path("o.bmp"),
                              dir.path("o.bmp"));
  ASSERT_GT(bytes.size(), 54u);
  ASSERT_EQ(bytes[30], 1);  // BI_RLE8
  expectPixels(decode(bytes), 13, 6, source);
}

TEST(Bmp, SixteenBitBitFieldsFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  const auto source = scatteredPixels(6, 4, 24, 6);
  writePnm(dir.path("s.ppm"), 6, 4, source);
  for (const char* subtype : {"RGB565", "RGB555"}) {
    SCOPED_TRACE(subtype);
    const std::string out = dir.path(std::string(subtype) + ".bmp");
    const Bytes bytes = convert(dir.path("s.ppm") + " -define bmp:subtype=" + subtype + " BMP:" + out, out);
    ASSERT_GT(bytes.size(), 138u);
    ASSERT_EQ(bytes[28], 16);
    expectPixels(decode(bytes), 6, 4, source, 8);
  }
}

TEST(Bmp, SixteenBitWithoutFieldsIsFiveFiveFive) {
  REQUIRE_CONVERT();
  Scratch dir;
  const auto source = scatteredPixels(6, 4, 24, 7);
  writePnm(dir.path("s.ppm"), 6, 4, source);
  const std::string out = dir.path("o.bmp");
  Bytes bytes = convert(dir.path("s.ppm") + " -define bmp:subtype=RGB555 BMP:" + out, out);
  ASSERT_GT(bytes.size(), 138u);
  const Picture withFields = decode(bytes);
  set32(bytes, 30, 0);  // BI_RGB: the masks in the header no longer count
  const Picture plain = decode(bytes);
  ASSERT_FALSE(plain.empty());
  EXPECT_EQ(plain.frames[0].pixels, withFields.frames[0].pixels);
  // And from our own writer, with the short header.
  expectPixels(decode(makeBmp(6, 4, source, BmpForm::Rgb555)), 6, 4, source, 8);
}

TEST(Bmp, ThirtyTwoBitWithAlphaFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  const std::vector<std::uint32_t> source{0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFFFFFFFF,
                                          0xFF0A141E, 0xC8283C50, 0xFF46505A, 0x01646E78};
  writePnm(dir.path("s.pam"), 4, 2, source, true);
  const Bytes bytes = convert(dir.path("s.pam") + " BMP:" + dir.path("o.bmp"), dir.path("o.bmp"));
  ASSERT_GT(bytes.size(), 138u);
  ASSERT_EQ(bytes[28], 32);
  const Picture picture = decode(bytes);
  ASSERT_FALSE(picture.empty());
  for (int i = 0; i < 8; ++i) {
    const std::uint32_t got = picture.frames[0].pixels[i];
    EXPECT_EQ(got >> 24, source[i] >> 24) << i;
    if (source[i] >> 24) {
      EXPECT_EQ(got & 0xFFFFFF, source[i] & 0xFFFFFF) << i;
    }
  }
}

TEST(Bmp, ThirtyTwoBitPlainIgnoresTheFourthByte) {
  const auto source = scatteredPixels(3, 2, 6, 8);
  for (std::uint8_t fourth : {0x00, 0x7F}) {
    expectPixels(decode(makeBmp(3, 2, source, BmpForm::Rgb32, false, fourth)), 3, 2, source);
  }
}

TEST(Bmp, TopDownRowsWhenTheHeightIsNegative) {
  const auto source = scatteredPixels(5, 4, 20, 9);
  const Picture bottomUp = decode(makeBmp(5, 4, source, BmpForm::Rgb24, false));
  const Picture topDown = decode(makeBmp(5, 4, source, BmpForm::Rgb24, true));
  expectPixels(bottomUp, 5, 4, source);
  expectPixels(topDown, 5, 4, source);
  expectPixels(decode(makeBmp(5, 4, source, BmpForm::Rgb32, true)), 5, 4, source);
}

TEST(Bmp, CoreHeaderAndFieldsAfterTheShortHeaderFromOurWriter) {
  const auto source = scatteredPixels(5, 3, 15, 10);
  expectPixels(decode(makeBmp(5, 3, source, BmpForm::Core24)), 5, 3, source);
  expectPixels(decode(makeBmp(5, 3, source, BmpForm::Fields565)), 5, 3, source, 8);
}

TEST(Bmp, Rle4WithLiteralRunsEndOfLineAndDelta) {
  // 6 x 3, palette of 16; rows from the bottom.
  Bytes b{'B', 'M'};
  put32(b, 0);
  put32(b, 0);
  put32(b, 0);
  put32(b, 40);
  put32(b, 6);
  put32(b, 3);
  put16(b, 1);
  put16(b, 4);
  put32(b, 2);  // BI_RLE4
  for (int i = 0; i < 5; ++i) put32(b, 0);
  const std::uint32_t colours[16] = {kBlack, kRed, kLime, kBlue};
  for (std::uint32_t c : colours) put32(b, c & 0xFFFFFF);
  set32(b, 10, static_cast<std::uint32_t>(b.size()));
  b.insert(b.end(), {
                        6, 0x12,           // bottom row: 1 2 1 2 1 2
                        0, 0,              // end of line
                        0, 3, 0x31, 0x20,  // literal 3 1 2 (padded to 2 bytes)
                        0, 2, 2, 1,        // delta: right 2, up 1 (skips x 3..4 of row 1, lands on row 2 x 5)
                        1, 0x30,           // one pixel: 3 at row 2 x 5
                        0, 1,              // end of bitmap
                    });
  const Picture picture = decode(b);
  ASSERT_FALSE(picture.empty());
  const Frame& f = picture.frames[0];
  // Bottom row (y = 2).
  for (int x = 0; x < 6; ++x) EXPECT_EQ(at(f, x, 2), x % 2 ? kLime : kRed) << x;
  // Middle row (y = 1): 3 1 2, then nothing.
  EXPECT_EQ(at(f, 0, 1), kBlue);
  EXPECT_EQ(at(f, 1, 1), kRed);
  EXPECT_EQ(at(f, 2, 1), kLime);
  for (int x = 3; x < 6; ++x) EXPECT_EQ(at(f, x, 1), kTransparent) << x;
  // Top row (y = 0): only x 5.
  for (int x = 0; x < 5; ++x) EXPECT_EQ(at(f, x, 0), kTransparent) << x;
  EXPECT_EQ(at(f, 5, 0), kBlue);

  // Without its end-of-bitmap mark the stream is incomplete.
  Bytes cut(b.begin(), b.end() - 2);
  EXPECT_TRUE(decode(cut).empty());
}

TEST(Bmp, UnsupportedFormsGiveAnEmptyPicture) {
  const auto source = scatteredPixels(4, 4, 16, 11);
  const Bytes good = makeBmp(4, 4, source, BmpForm::Rgb24);
  ASSERT_FALSE(decode(good).empty());
  auto with = [&](std::size_t offset, std::uint32_t value, int bytes) {
    Bytes b = good;
    for (int i = 0; i < bytes; ++i) b[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return decode(b);
  };
  EXPECT_TRUE(with(28, 7, 2).empty());             // 7 bits per pixel
  EXPECT_TRUE(with(28, 0, 2).empty());             // 0 bits per pixel
  EXPECT_TRUE(with(30, 4, 4).empty());             // embedded JPEG
  EXPECT_TRUE(with(30, 5, 4).empty());             // embedded PNG
  EXPECT_TRUE(with(30, 1, 4).empty());             // RLE8 with 24 bits
  EXPECT_TRUE(with(22, 0, 4).empty());             // height 0
  EXPECT_TRUE(with(18, 0xFFFFFFFC, 4).empty());    // width -4
  EXPECT_TRUE(with(22, 0x80000000u, 4).empty());   // the most negative height
  EXPECT_TRUE(with(14, 39, 4).empty());            // unknown header size
  EXPECT_TRUE(with(14, 0xFFFFFFF0u, 4).empty());   // header larger than the file
  EXPECT_TRUE(with(10, 0xFFFFFFF0u, 4).empty());   // pixels past the end
  EXPECT_TRUE(with(10, 20, 4).empty());            // pixels inside the header
}

TEST(Bmp, EveryTruncationGivesAnEmptyPicture) {
  const auto source = scatteredPixels(7, 5, 30, 12);
  for (BmpForm form : {BmpForm::Rgb24, BmpForm::Rgb555, BmpForm::Core24}) {
    const Bytes full = makeBmp(7, 5, source, form);
    ASSERT_FALSE(decode(full).empty());
    for (std::size_t n = 0; n < full.size(); ++n) {
      const Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
      ASSERT_TRUE(decode(part).empty()) << n;
    }
  }
}

// ============================================================ GIF

TEST(Gif, ManyColoursFromImageMagickMatchTheSource) {
  REQUIRE_CONVERT();
  Scratch dir;
  // 256 colours scattered over 300 x 200: the LZW table fills many times.
  const auto source = scatteredPixels(300, 200, 256, 13);
  writePnm(dir.path("s.ppm"), 300, 200, source);
  const Bytes bytes = convert(dir.path("s.ppm") + " GIF:" + dir.path("o.gif"), dir.path("o.gif"));
  ASSERT_GT(bytes.size(), 13u);
  expectPixels(decode(bytes), 300, 200, source);
}

TEST(Gif, InterlacedFromImageMagickMatchesImageMagicksOwnReading) {
  REQUIRE_CONVERT();
  Scratch dir;
  // ImageMagick's reading of its own file is the reference: for some
  // heights (3, for one) its writer puts a row in the wrong pass, so the
  // file does not hold the source picture.
  for (int height = 1; height <= 20; ++height) {
    SCOPED_TRACE(height);
    const auto source = scatteredPixels(11, height, 20, 14 + height);
    writePnm(dir.path("s.ppm"), 11, height, source);
    const Bytes bytes =
        convert(dir.path("s.ppm") + " -interlace GIF GIF:" + dir.path("o.gif"), dir.path("o.gif"));
    // The image descriptor says interlaced.
    bool interlaced = false;
    for (std::size_t i = 13; i + 9 < bytes.size(); ++i) {
      if (bytes[i] == 0x2C && bytes[i + 5] == 11 && bytes[i + 6] == 0) {
        interlaced = (bytes[i + 9] & 0x40) != 0;
        break;
      }
    }
    EXPECT_TRUE(interlaced);
    const auto reference = readPpm(convert(dir.path("o.gif") + " PPM:" + dir.path("r.ppm"), dir.path("r.ppm")));
    ASSERT_EQ(reference.size(), source.size());
    expectPixels(decode(bytes), 11, height, reference);
  }
}

TEST(Gif, InterlacedFromOurWriter) {
  const auto palette = distinctColours(16);
  GifImage image;
  image.width = 5;
  image.height = 13;
  image.interlaced = true;
  for (int i = 0; i < 65; ++i) image.indices.push_back(static_cast<std::uint8_t>((i * 7 + i / 5) % 16));
  GifBuilder gif(5, 13, palette);
  gif.add(image);
  std::vector<std::uint32_t> expected;
  for (auto index : image.indices) expected.push_back(palette[index]);
  expectPixels(decode(gif.bytes()), 5, 13, expected);
}

TEST(Gif, EveryMinimumCodeSizeAndAFullTableWithoutClear) {
  for (int bits = 1; bits <= 8; ++bits) {
    for (bool clearWhenFull : {true, false}) {
      SCOPED_TRACE(std::to_string(bits) + (clearWhenFull ? " clear" : " no clear"));
      const auto palette = distinctColours(1 << bits);
      ASSERT_EQ(palette.size(), std::size_t{1} << bits);
      // Noise fills the table; a long single-colour run hits the case of a
      // code that is being defined (KwKwK).
      std::mt19937 random(static_cast<unsigned>(bits));
      GifImage image;
      image.width = 160;
      image.height = 120;
      image.clearWhenFull = clearWhenFull;
      for (int i = 0; i < 160 * 120; ++i) {
        image.indices.push_back(i > 160 * 100 ? 0 : static_cast<std::uint8_t>(random() % palette.size()));
      }
      GifBuilder gif(160, 120, palette);
      gif.add(image);
      std::vector<std::uint32_t> expected;
      for (auto index : image.indices) expected.push_back(palette[index]);
      expectPixels(decode(gif.bytes()), 160, 120, expected);
    }
  }
}

// Three images on an 8 x 8 canvas: red all over, then lime 4 x 4 at 2,2 with
// the disposal under test, then blue 2 x 2 at 0,0. What does the third frame
// show?
void expectThirdFrameAfterDisposal(const Picture& picture, int disposal) {
  ASSERT_EQ(picture.frames.size(), 3u);
  ASSERT_EQ(picture.width, 8);
  ASSERT_EQ(picture.height, 8);
  const Frame& second = picture.frames[1];
  const Frame& third = picture.frames[2];
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool inLime = x >= 2 && x < 6 && y >= 2 && y < 6;
      const bool inBlue = x < 2 && y < 2;
      EXPECT_EQ(at(picture.frames[0], x, y), kRed);
      EXPECT_EQ(at(second, x, y), inLime ? kLime : kRed) << x << "," << y;
      std::uint32_t expected = kRed;
      if (inLime) expected = disposal == 2 ? kTransparent : disposal == 3 ? kRed : kLime;
      if (inBlue) expected = kBlue;
      EXPECT_EQ(at(third, x, y), expected) << "disposal " << disposal << " at " << x << "," << y;
    }
  }
}

TEST(Gif, DisposalMethodsFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  writePnm(dir.path("r.ppm"), 8, 8, std::vector<std::uint32_t>(64, kRed));
  writePnm(dir.path("g.ppm"), 4, 4, std::vector<std::uint32_t>(16, kLime));
  writePnm(dir.path("b.ppm"), 2, 2, std::vector<std::uint32_t>(4, kBlue));
  const char* names[] = {"Undefined", "None", "Background", "Previous"};
  for (int disposal = 0; disposal < 4; ++disposal) {
    SCOPED_TRACE(names[disposal]);
    const std::string out = dir.path(std::string(names[disposal]) + ".gif");
    const Bytes bytes = convert("-dispose None -page 8x8+0+0 " + dir.path("r.ppm") + " -dispose " + names[disposal] +
                                    " -page 8x8+2+2 " + dir.path("g.ppm") + " -dispose None -page 8x8+0+0 " +
                                    dir.path("b.ppm") + " GIF:" + out,
                                out);
    ASSERT_GT(bytes.size(), 13u);
    expectThirdFrameAfterDisposal(decode(bytes), disposal);
  }
}

TEST(Gif, DisposalMethodsFromOurWriterIncludingTheUndefinedOnes) {
  for (int disposal = 0; disposal < 8; ++disposal) {
    SCOPED_TRACE(disposal);
    GifBuilder gif(8, 8, {kRed, kLime, kBlue, kWhite});
    GifImage first = solid(0, 0, 8, 8, 0);
    first.disposal = 1;
    GifImage second = solid(2, 2, 4, 4, 1);
    second.disposal = disposal;
    gif.add(first).add(second).add(solid(0, 0, 2, 2, 2));
    expectThirdFrameAfterDisposal(decode(gif.bytes()), disposal >= 4 ? 1 : disposal);
  }
}

TEST(Gif, RestoreToPreviousGoesBackPastSeveralFrames) {
  // Frame 2 (disposal 3) is replaced by what was there before it, even
  // though frame 1 had cleared its own area (disposal 2).
  GifBuilder gif(4, 1, {kRed, kLime, kBlue, kWhite});
  GifImage a = solid(0, 0, 4, 1, 0);
  a.disposal = 2;
  GifImage b = solid(0, 0, 2, 1, 1);
  b.disposal = 3;
  GifImage c = solid(3, 0, 1, 1, 2);
  gif.add(a).add(b).add(c);
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 3u);
  EXPECT_EQ(p.frames[1].pixels, (std::vector<std::uint32_t>{kLime, kLime, kTransparent, kTransparent}));
  EXPECT_EQ(p.frames[2].pixels, (std::vector<std::uint32_t>{kTransparent, kTransparent, kTransparent, kBlue}));

  // Disposal 3 on the very first image goes back to the empty canvas.
  GifBuilder first(2, 1, {kRed, kLime});
  GifImage x = solid(0, 0, 2, 1, 0);
  x.disposal = 3;
  first.add(x).add(solid(1, 0, 1, 1, 1));
  const Picture q = decode(first.bytes());
  ASSERT_EQ(q.frames.size(), 2u);
  EXPECT_EQ(q.frames[1].pixels, (std::vector<std::uint32_t>{kTransparent, kLime}));
}

TEST(Gif, TransparentIndexShowsWhatIsBeneath) {
  GifBuilder gif(4, 2, {kRed, kLime, kBlue, kWhite});
  GifImage first = solid(0, 0, 4, 2, 0);
  first.transparent = 0;  // the first frame is all transparent where 0
  first.indices = {0, 1, 0, 1, 2, 2, 0, 0};
  first.disposal = 1;
  GifImage second = solid(0, 0, 4, 2, 3);
  second.indices = {3, 3, 2, 2, 3, 3, 3, 3};
  second.transparent = 3;
  gif.add(first).add(second);
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 2u);
  EXPECT_EQ(p.frames[0].pixels,
            (std::vector<std::uint32_t>{kTransparent, kLime, kTransparent, kLime, kBlue, kBlue, kTransparent,
                                        kTransparent}));
  EXPECT_EQ(p.frames[1].pixels,
            (std::vector<std::uint32_t>{kTransparent, kLime, kBlue, kBlue, kBlue, kBlue, kTransparent, kTransparent}));
}

TEST(Gif, TransparencyFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  std::vector<std::uint32_t> source(6 * 4, 0xFF2040C0);
  for (int i : {0, 5, 7, 14, 23}) source[i] = 0x00000000;
  source[9] = 0xFFF0E010;
  writePnm(dir.path("s.pam"), 6, 4, source, true);
  const Bytes bytes = convert(dir.path("s.pam") + " GIF:" + dir.path("o.gif"), dir.path("o.gif"));
  const Picture p = decode(bytes);
  ASSERT_EQ(p.frames.size(), 1u);
  for (int i = 0; i < 24; ++i) {
    if (source[i] == 0) {
      EXPECT_EQ(p.frames[0].pixels[i] >> 24, 0u) << i;
    } else {
      EXPECT_EQ(p.frames[0].pixels[i], source[i]) << i;
    }
  }
}

TEST(Gif, LocalPalettesReplaceTheGlobalOneForTheirImageOnly) {
  GifBuilder gif(2, 2, {kRed, kLime});
  GifImage a = solid(0, 0, 2, 1, 1);
  GifImage b = solid(0, 1, 2, 1, 1);
  b.localPalette = {kBlue, rgb(1, 2, 3), rgb(4, 5, 6), rgb(7, 8, 9)};
  GifImage c = solid(0, 0, 1, 1, 0);
  gif.add(a).add(b).add(c);
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 3u);
  EXPECT_EQ(p.frames[1].pixels, (std::vector<std::uint32_t>{kLime, kLime, rgb(1, 2, 3), rgb(1, 2, 3)}));
  EXPECT_EQ(p.frames[2].pixels, (std::vector<std::uint32_t>{kRed, kLime, rgb(1, 2, 3), rgb(1, 2, 3)}));

  // Without any colour table the image still counts as a frame.
  GifBuilder none(2, 1);
  none.add(solid(0, 0, 2, 1, 0));
  const Picture q = decode(none.bytes());
  ASSERT_EQ(q.frames.size(), 1u);
}

TEST(Gif, LocalPalettesFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  const auto one = scatteredPixels(6, 6, 30, 20);
  std::vector<std::uint32_t> two(36);
  for (int i = 0; i < 36; ++i) two[i] = rgb(255 - i, i * 7, 100);
  writePnm(dir.path("a.ppm"), 6, 6, one);
  writePnm(dir.path("b.ppm"), 6, 6, two);
  const Bytes bytes =
      convert(dir.path("a.ppm") + " " + dir.path("b.ppm") + " GIF:" + dir.path("o.gif"), dir.path("o.gif"));
  const Picture p = decode(bytes);
  ASSERT_EQ(p.frames.size(), 2u);
  EXPECT_EQ(p.frames[0].pixels, one);
  EXPECT_EQ(p.frames[1].pixels, two);
}

TEST(Gif, DelaysAndLoopCountFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  for (const char* c : {"red", "lime", "blue", "white", "black"}) {
    ASSERT_EQ(std::system(("convert -size 3x3 xc:" + std::string(c) + " " + dir.path(std::string(c) + ".ppm")).c_str()),
              0);
  }
  auto p = [&](const char* c) { return dir.path(std::string(c) + ".ppm"); };
  const Bytes bytes = convert("-delay 0 " + p("red") + " -delay 50 " + p("lime") + " -delay 1 " + p("blue") +
                                  " -delay 2 " + p("white") + " -delay 7 " + p("black") + " -loop 3 GIF:" +
                                  dir.path("o.gif"),
                              dir.path("o.gif"));
  const Picture picture = decode(bytes);
  ASSERT_EQ(picture.frames.size(), 5u);
  std::vector<int> delays;
  for (const Frame& f : picture.frames) delays.push_back(f.delayMs);
  EXPECT_EQ(delays, (std::vector<int>{100, 500, 100, 20, 70}));
  // ImageMagick's "-loop 3" means three plays; it writes 2 into the block.
  EXPECT_EQ(picture.loopCount, 3);
  EXPECT_EQ(at(picture.frames[2], 1, 1), kBlue);

  const Bytes forever = convert("-delay 10 " + p("red") + " " + p("lime") + " -loop 0 GIF:" + dir.path("f.gif"),
                                dir.path("f.gif"));
  EXPECT_EQ(decode(forever).loopCount, 0);
}

TEST(Gif, LoopCountFromOurWriter) {
  auto make = [](int loop) {
    GifBuilder gif(1, 1, {kRed, kLime});
    if (loop >= 0) gif.loop(loop);
    gif.add(solid(0, 0, 1, 1, 0)).add(solid(0, 0, 1, 1, 1));
    return decode(gif.bytes());
  };
  EXPECT_EQ(make(-1).loopCount, 1);  // no NETSCAPE2.0 block: plays once
  EXPECT_EQ(make(0).loopCount, 0);
  EXPECT_EQ(make(1).loopCount, 2);
  EXPECT_EQ(make(65535).loopCount, 65536);
}

TEST(Gif, ImagesPartlyOrWhollyOutsideTheCanvasAreClipped) {
  GifBuilder gif(8, 8, {kRed, kLime, kBlue, kWhite});
  gif.add(solid(0, 0, 8, 8, 0));
  GifImage corner = solid(6, 6, 4, 4, 1);
  gif.add(corner);
  gif.add(solid(100, 3, 5, 5, 2));    // right of the canvas
  gif.add(solid(3, 60000, 5, 5, 2));  // below it
  GifImage tall = solid(7, 0, 3, 20, 3);
  tall.interlaced = true;
  gif.add(tall);
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 5u);
  expectWellFormed(p);
  EXPECT_EQ(p.frames[2].pixels, p.frames[1].pixels);
  EXPECT_EQ(p.frames[3].pixels, p.frames[1].pixels);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(at(p.frames[1], x, y), x >= 6 && y >= 6 ? kLime : kRed);
      EXPECT_EQ(at(p.frames[4], x, y), x == 7 ? kWhite : (x >= 6 && y >= 6 ? kLime : kRed));
    }
  }
}

TEST(Gif, AScreenOfNoSizeTakesTheFirstImageSize) {
  GifBuilder gif(0, 0, {kRed, kLime});
  gif.add(solid(1, 2, 3, 4, 1));
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 1u);
  EXPECT_EQ(p.width, 4);
  EXPECT_EQ(p.height, 6);
  EXPECT_EQ(at(p.frames[0], 0, 0), kTransparent);
  EXPECT_EQ(at(p.frames[0], 3, 5), kLime);
}

TEST(Gif, ABrokenCodeStreamKeepsThePixelsBeforeIt) {
  // Minimum code size 2, 3-bit codes: clear (4), 1, then 7, which is past
  // the next free code (6): the image stops after one pixel.
  const Bytes data{0xCC, 0x01};
  GifBuilder gif(3, 1, {kRed, kLime, kBlue, kWhite});
  gif.add(solid(0, 0, 3, 1, 2));
  gif.addRaw(3, 1, 2, data);
  gif.add(solid(2, 0, 1, 1, 0));
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 3u);
  EXPECT_EQ(p.frames[1].pixels, (std::vector<std::uint32_t>{kLime, kBlue, kBlue}));
  EXPECT_EQ(p.frames[2].pixels, (std::vector<std::uint32_t>{kLime, kBlue, kRed}));

  // A first code after a clear that is not a single pixel: nothing drawn.
  GifBuilder second(2, 1, {kRed, kLime, kBlue, kWhite});
  second.addRaw(2, 1, 2, Bytes{0x34});  // clear (4), then 6 (width 3: 100 110)
  const Picture q = decode(second.bytes());
  ASSERT_EQ(q.frames.size(), 1u);
  EXPECT_EQ(q.frames[0].pixels, (std::vector<std::uint32_t>{kTransparent, kTransparent}));
}

TEST(Gif, AnImpossibleMinimumCodeSizeEndsTheFile) {
  for (int size : {0, 1, 9, 12, 255}) {
    GifBuilder gif(2, 1, {kRed, kLime});
    gif.add(solid(0, 0, 2, 1, 1));
    gif.addRaw(2, 1, size, Bytes{0x00, 0x00});
    gif.add(solid(0, 0, 2, 1, 0));
    const Picture p = decode(gif.bytes());
    ASSERT_EQ(p.frames.size(), 1u) << size;
    EXPECT_EQ(at(p.frames[0], 0, 0), kLime);
  }
}

TEST(Gif, UnknownBlocksAndExtensionsAreHandledAsBrowsersDo) {
  GifBuilder gif(2, 1, {kRed, kLime});
  gif.add(solid(0, 0, 2, 1, 1));
  Bytes bytes = gif.bytes();
  bytes.pop_back();  // the trailer
  // A comment extension is skipped; a stray byte ends the file.
  const Bytes comment{0x21, 0xFE, 3, 'a', 'b', 'c', 0};
  bytes.insert(bytes.end(), comment.begin(), comment.end());
  GifBuilder more(2, 1, {kRed, kLime});
  more.add(solid(0, 0, 1, 1, 0));
  const Bytes moreBytes = more.bytes();
  const std::size_t imageStart = 13 + 6;  // after header and the 2-colour table
  bytes.insert(bytes.end(), moreBytes.begin() + imageStart, moreBytes.end() - 1);
  bytes.push_back(0x99);
  bytes.insert(bytes.end(), moreBytes.begin() + imageStart, moreBytes.end());
  const Picture p = decode(bytes);
  ASSERT_EQ(p.frames.size(), 2u);
  EXPECT_EQ(p.frames[1].pixels, (std::vector<std::uint32_t>{kRed, kLime}));
}

TEST(Gif, ATruncatedFileKeepsItsCompleteFrames) {
  std::mt19937 random(21);
  const auto palette = distinctColours(8);
  GifBuilder gif(12, 9, palette);
  gif.loop(0);
  for (int i = 0; i < 4; ++i) {
    GifImage image;
    image.left = i;
    image.top = i;
    image.width = 12 - 2 * i;
    image.height = 9 - 2 * i;
    image.interlaced = i == 2;
    image.disposal = i % 4;
    image.transparent = i == 1 ? 3 : -1;
    for (int k = 0; k < image.width * image.height; ++k) image.indices.push_back(static_cast<std::uint8_t>(random() % 8));
    gif.add(image);
  }
  const Bytes full = gif.bytes();
  const Picture whole = decode(full);
  ASSERT_EQ(whole.frames.size(), 4u);
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    const Picture p = decode(part);
    std::size_t complete = 0;
    for (std::size_t end : gif.frameEnds()) complete += end <= n ? 1 : 0;
    ASSERT_EQ(p.frames.size(), complete) << "prefix " << n;
    for (std::size_t i = 0; i < complete; ++i) {
      ASSERT_EQ(p.frames[i].pixels, whole.frames[i].pixels) << "prefix " << n << " frame " << i;
    }
  }
}

TEST(Gif, EveryPrefixOfAnImageMagickAnimationDecodesSafely) {
  REQUIRE_CONVERT();
  Scratch dir;
  writePnm(dir.path("a.ppm"), 20, 10, scatteredPixels(20, 10, 100, 22));
  writePnm(dir.path("b.ppm"), 20, 10, scatteredPixels(20, 10, 50, 23));
  const Bytes full = convert("-delay 5 " + dir.path("a.ppm") + " -interlace GIF " + dir.path("b.ppm") + " GIF:" +
                                 dir.path("o.gif"),
                             dir.path("o.gif"));
  const Picture whole = decode(full);
  ASSERT_EQ(whole.frames.size(), 2u);
  std::size_t previous = 0;
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const Picture p = decode(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)));
    expectWellFormed(p);
    ASSERT_GE(p.frames.size(), previous) << n;
    previous = p.frames.size();
    for (std::size_t i = 0; i < p.frames.size(); ++i) ASSERT_EQ(p.frames[i].pixels, whole.frames[i].pixels);
  }
  EXPECT_EQ(previous, 2u);
}

TEST(Gif, AbsurdCanvasSizesGiveAnEmptyPictureQuickly) {
  const std::clock_t start = std::clock();
  for (auto [w, h] : {std::pair{65535, 65535}, std::pair{4097, 1}, std::pair{1, 4097}}) {
    GifBuilder gif(w, h, {kRed, kLime});
    gif.add(solid(0, 0, 1, 1, 1));
    EXPECT_TRUE(decode(gif.bytes()).empty()) << w << "x" << h;
  }
  // No screen size and a huge first image: the same.
  GifBuilder gif(0, 0, {kRed, kLime});
  gif.add(solid(65000, 65000, 1, 1, 1));
  EXPECT_TRUE(decode(gif.bytes()).empty());
  EXPECT_LT(secondsSince(start), 2.0);
}

TEST(Gif, FramesStopAtThePixelBudgetAndTheFrameLimit) {
  // 4096 x 4096 is 16 Mpx a frame: the budget of 64 Mpx holds four.
  GifBuilder big(4096, 4096, {kRed, kLime});
  for (int i = 0; i < 6; ++i) big.add(solid(i, 0, 1, 1, 1));
  const Picture p = decode(big.bytes());
  ASSERT_EQ(p.frames.size(), pictures::kMaxTotalPixels / (4096u * 4096u));
  EXPECT_EQ(at(p.frames[3], 3, 0), kLime);
  EXPECT_EQ(at(p.frames[3], 4, 0), kTransparent);

  GifBuilder many(1, 1, {kRed, kLime});
  for (std::size_t i = 0; i < pictures::kMaxFrames + 20; ++i) many.add(solid(0, 0, 1, 1, i % 2));
  const Picture q = decode(many.bytes());
  ASSERT_EQ(q.frames.size(), pictures::kMaxFrames);
  EXPECT_EQ(q.frames.back().pixels[0], kLime);
}

// Flips bytes of valid files at random: whatever comes out is well formed.
void fuzzAround(const Bytes& valid, unsigned seed, int rounds) {
  std::mt19937 random(seed);
  for (int round = 0; round < rounds; ++round) {
    Bytes b = valid;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) b[random() % b.size()] = static_cast<std::uint8_t>(random());
    if (random() % 4 == 0) b.resize(random() % b.size());
    expectWellFormed(decode(b));
  }
}

TEST(Gif, CorruptInputsDecodeSafely) {
  const auto palette = distinctColours(64);
  GifBuilder gif(30, 20, palette);
  gif.loop(2);
  std::mt19937 random(24);
  for (int i = 0; i < 3; ++i) {
    GifImage image;
    image.left = i * 3;
    image.width = 30 - i * 3;
    image.height = 20;
    image.interlaced = i == 1;
    image.disposal = i + 1;
    image.transparent = 5;
    if (i == 2) image.localPalette = distinctColours(4);
    for (int k = 0; k < image.width * image.height; ++k) {
      image.indices.push_back(static_cast<std::uint8_t>(random() % (i == 2 ? 4 : 64)));
    }
    gif.add(image);
  }
  fuzzAround(gif.bytes(), 25, 3000);
}

// ============================================================ JPEG

TEST(Jpeg, SolidColourWithinASmallTolerance) {
  REQUIRE_CONVERT();
  Scratch dir;
  const Bytes bytes = convert("-size 16x16 xc:#3366CC -quality 95 JPEG:" + dir.path("o.jpg"), dir.path("o.jpg"));
  ASSERT_GT(bytes.size(), 3u);
  expectPixels(decode(bytes), 16, 16, std::vector<std::uint32_t>(256, rgb(0x33, 0x66, 0xCC)), 8);
}

TEST(Jpeg, PlacesColoursWhereTheyBelong) {
  REQUIRE_CONVERT();
  Scratch dir;
  std::vector<std::uint32_t> source(40 * 24);
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 40; ++x) source[y * 40 + x] = x < 16 ? kRed : (y < 8 ? kBlue : kWhite);
  }
  writePnm(dir.path("s.ppm"), 40, 24, source);
  const Bytes bytes = convert(dir.path("s.ppm") + " -quality 95 JPEG:" + dir.path("o.jpg"), dir.path("o.jpg"));
  const Picture p = decode(bytes);
  ASSERT_FALSE(p.empty());
  ASSERT_EQ(p.width, 40);
  ASSERT_EQ(p.height, 24);
  EXPECT_TRUE(near(at(p.frames[0], 4, 12), kRed, 12));
  EXPECT_TRUE(near(at(p.frames[0], 30, 2), kBlue, 12));
  EXPECT_TRUE(near(at(p.frames[0], 30, 20), kWhite, 12));
}

TEST(Jpeg, GreyscaleProgressiveAndCmykInputs) {
  REQUIRE_CONVERT();
  Scratch dir;
  const Bytes grey =
      convert("-size 9x7 xc:#808080 -colorspace Gray JPEG:" + dir.path("g.jpg"), dir.path("g.jpg"));
  ASSERT_GT(grey.size(), 3u);
  expectPixels(decode(grey), 9, 7, std::vector<std::uint32_t>(63, rgb(0x80, 0x80, 0x80)), 8);

  const Bytes progressive = convert("-size 24x24 xc:#C05020 -interlace Plane -quality 95 JPEG:" + dir.path("p.jpg"),
                                    dir.path("p.jpg"));
  ASSERT_GT(progressive.size(), 3u);
  expectPixels(decode(progressive), 24, 24, std::vector<std::uint32_t>(576, rgb(0xC0, 0x50, 0x20)), 8);

  const Bytes cmyk =
      convert("-size 8x8 xc:#3366CC -colorspace CMYK -quality 95 JPEG:" + dir.path("c.jpg"), dir.path("c.jpg"));
  ASSERT_GT(cmyk.size(), 3u);
  expectPixels(decode(cmyk), 8, 8, std::vector<std::uint32_t>(64, rgb(0x33, 0x66, 0xCC)), 10);
}

TEST(Jpeg, EveryTruncationAndCorruptionDecodesSafely) {
  REQUIRE_CONVERT();
  Scratch dir;
  writePnm(dir.path("s.ppm"), 24, 16, scatteredPixels(24, 16, 200, 26));
  const Bytes full = convert(dir.path("s.ppm") + " -quality 80 JPEG:" + dir.path("o.jpg"), dir.path("o.jpg"));
  ASSERT_FALSE(decode(full).empty());
  for (std::size_t n = 0; n < full.size(); ++n) {
    const Picture p = decode(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)));
    ASSERT_TRUE(p.empty()) << n;
  }
  fuzzAround(full, 27, 1500);
}

TEST(Jpeg, AbsurdSizesGiveAnEmptyPictureQuickly) {
  REQUIRE_CONVERT();
  Scratch dir;
  const Bytes good = convert("-size 16x8 xc:#3366CC JPEG:" + dir.path("o.jpg"), dir.path("o.jpg"));
  // The frame header: FF C0, length, precision, height, width.
  std::size_t sof = 0;
  for (std::size_t i = 2; i + 8 < good.size(); ++i) {
    if (good[i] == 0xFF && (good[i + 1] == 0xC0 || good[i + 1] == 0xC1 || good[i + 1] == 0xC2)) {
      sof = i;
      break;
    }
  }
  ASSERT_NE(sof, 0u);
  const std::clock_t start = std::clock();
  for (auto [w, h] : {std::pair{65535, 65535}, std::pair{4097, 8}, std::pair{16, 5000}}) {
    Bytes b = good;
    b[sof + 5] = static_cast<std::uint8_t>(h >> 8);
    b[sof + 6] = static_cast<std::uint8_t>(h);
    b[sof + 7] = static_cast<std::uint8_t>(w >> 8);
    b[sof + 8] = static_cast<std::uint8_t>(w);
    EXPECT_TRUE(decode(b).empty()) << w << "x" << h;
  }
  EXPECT_LT(secondsSince(start), 2.0);
}

// ============================================================ BMP, more

TEST(Bmp, AbsurdSizesGiveAnEmptyPictureQuickly) {
  const std::clock_t start = std::clock();
  Bytes b = makeBmp(2, 2, std::vector<std::uint32_t>(4, kRed), BmpForm::Rgb24);
  for (auto [w, h] : {std::pair{65535, 65535}, std::pair{4097, 1}, std::pair{1, -4097}, std::pair{0x7FFFFFFF, 1}}) {
    Bytes c = b;
    set32(c, 18, static_cast<std::uint32_t>(w));
    set32(c, 22, static_cast<std::uint32_t>(h));
    EXPECT_TRUE(decode(c).empty()) << w << "x" << h;
  }
  // At the limit the size is fine but the file is far too short.
  set32(b, 18, 4096);
  set32(b, 22, 4096);
  EXPECT_TRUE(decode(b).empty());
  EXPECT_LT(secondsSince(start), 2.0);
}

TEST(Bmp, CorruptInputsDecodeSafely) {
  const auto source = scatteredPixels(9, 7, 50, 28);
  fuzzAround(makeBmp(9, 7, source, BmpForm::Rgb24), 29, 1500);
  fuzzAround(makeBmp(9, 7, source, BmpForm::Fields565, true), 30, 1500);
  fuzzAround(makeBmp(9, 7, source, BmpForm::Core24), 31, 1500);
}

}  // namespace
