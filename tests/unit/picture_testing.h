// Helpers of the picture decoder tests: pictures made two ways, by
// ImageMagick's `convert` at test time (an independent writer; those tests
// are skipped when it is not installed) and by small writers here, which
// give exact control over the GIF features (disposal, transparency,
// palettes, LZW table behaviour) and over the less common BMP forms.
#pragma once

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

namespace picture_testing {


using pictures::decodePicture;
using pictures::Frame;
using pictures::Picture;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}
inline constexpr std::uint32_t kTransparent = 0;
inline constexpr std::uint32_t kRed = rgb(255, 0, 0);
inline constexpr std::uint32_t kLime = rgb(0, 255, 0);
inline constexpr std::uint32_t kBlue = rgb(0, 0, 255);
inline constexpr std::uint32_t kWhite = rgb(255, 255, 255);
inline constexpr std::uint32_t kBlack = rgb(0, 0, 0);

inline std::uint32_t at(const Frame& frame, int x, int y) {
  return frame.pixels.at(static_cast<std::size_t>(y) * frame.width + x);
}

inline std::string hex(std::uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", v);
  return text;
}

inline ::testing::AssertionResult near(std::uint32_t actual, std::uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) {
      return ::testing::AssertionFailure() << hex(actual) << " is not within " << tolerance << " of " << hex(expected);
    }
  }
  return ::testing::AssertionSuccess();
}

inline Picture decode(const Bytes& bytes) { return decodePicture(bytes.data(), bytes.size()); }

// Processor time; <chrono> does not build with the program's GBK execution
// character set.
inline double secondsSince(std::clock_t start) { return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC; }

// Every frame has the picture's size and a pixel for every place.
inline void expectWellFormed(const Picture& picture) {
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

inline Bytes readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
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

inline bool haveConvert() {
  static const bool present = std::system("convert -version >/dev/null 2>&1") == 0;
  return present;
}

#define REQUIRE_CONVERT() \
  if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed"

// Runs convert with the arguments (paths must not need quoting) and reads the
// output file, the last argument after its "FORMAT:" prefix.
inline Bytes convert(const std::string& arguments, const std::string& output) {
  const std::string command = "convert " + arguments + " 2>/dev/null";
  if (std::system(command.c_str()) != 0) return {};
  return readFile(output);
}

// P6 (opaque) or P7 with alpha, from 0xAARRGGBB pixels.
inline void writePnm(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels,
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
inline std::vector<std::uint32_t> readPpm(const Bytes& bytes) {
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
inline std::vector<std::uint32_t> distinctColours(int n) {
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
inline std::vector<std::uint32_t> scatteredPixels(int width, int height, int count, unsigned seed) {
  const std::vector<std::uint32_t> colours = distinctColours(count);
  std::mt19937 random(seed);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = i < colours.size() ? colours[i] : colours[random() % colours.size()];
  }
  std::shuffle(pixels.begin(), pixels.end(), random);
  return pixels;
}

inline void expectPixels(const Picture& picture, int width, int height, const std::vector<std::uint32_t>& expected,
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

inline void put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32(Bytes& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
inline void set32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

enum class BmpForm { Rgb24, Rgb32, Rgb555, Fields565, Core24 };

// Writes a bitmap with a 40-byte header (or the 12-byte core header), rows
// bottom-up unless topDown. For Rgb32 the unused fourth byte is set to
// `fourth` to show that it is not alpha.
inline Bytes makeBmp(int width, int height, const std::vector<std::uint32_t>& pixels, BmpForm form, bool topDown = false,
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
inline Bytes lzwEncode(const std::vector<std::uint8_t>& indices, int minCodeSize, bool clearWhenFull) {
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

inline GifImage solid(int left, int top, int width, int height, std::uint8_t index) {
  GifImage image;
  image.left = left, image.top = top, image.width = width, image.height = height;
  image.indices.assign(static_cast<std::size_t>(width) * height, index);
  return image;
}


// Flips bytes of valid files at random: whatever comes out is well formed.
inline void fuzzAround(const Bytes& valid, unsigned seed, int rounds) {
  std::mt19937 random(seed);
  for (int round = 0; round < rounds; ++round) {
    Bytes b = valid;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) b[random() % b.size()] = static_cast<std::uint8_t>(random());
    if (random() % 4 == 0) b.resize(random() % b.size());
    expectWellFormed(decode(b));
  }
}

}  // namespace picture_testing
