// GIF 87a and 89a, still and animated, read as browsers read them:
//  - the canvas starts transparent; each image is drawn on it at its place,
//    clipped to the canvas, skipping its transparent colour;
//  - before the next image, the disposal of this one applies: 0, 1 (and the
//    undefined 4..7) leave it, 2 clears its rectangle to transparent, 3 puts
//    back the canvas as it was before this image;
//  - a delay under 20 ms (0 or 1 hundredths) is taken as 100 ms;
//  - a file that ends early keeps the images that were complete; a block
//    that makes no sense ends the file there, likewise; an image whose
//    compressed data ends before all its pixels keeps the pixels it had.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "ui/pictures/picture.h"

namespace pictures {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

std::uint32_t u16(const std::uint8_t* p) { return p[0] | (std::uint32_t{p[1]} << 8); }

using Palette = std::array<std::uint32_t, 256>;

// Reads a colour table of 2^(field+1) entries; entries past it are black.
bool readPalette(const std::uint8_t* data, std::size_t size, std::size_t& pos, unsigned field, Palette& palette) {
  const std::size_t count = std::size_t{2} << field;
  if (count * 3 > size - pos) return false;
  palette.fill(0xFF000000u);
  for (std::size_t i = 0; i < count; ++i, pos += 3) {
    palette[i] = 0xFF000000u | (std::uint32_t{data[pos]} << 16) | (std::uint32_t{data[pos + 1]} << 8) | data[pos + 2];
  }
  return true;
}

// Gathers the data sub-blocks that start at pos into out (if given) and moves
// pos past their terminator. False if the file ends first.
bool readSubBlocks(const std::uint8_t* data, std::size_t size, std::size_t& pos, std::vector<std::uint8_t>* out) {
  for (;;) {
    if (pos >= size) return false;
    const std::size_t length = data[pos++];
    if (length == 0) return true;
    if (length > size - pos) return false;
    if (out) out->insert(out->end(), data + pos, data + pos + length);
    pos += length;
  }
}

// Where the pixels of one image go, in the order the compressed stream gives
// them: row by row, or in the four passes of an interlaced image.
class PixelSink {
 public:
  PixelSink(std::vector<std::uint32_t>& canvas, int canvasWidth, int canvasHeight, int left, int top, int width,
            int height, bool interlaced, const Palette& palette, int transparent)
      : canvas_(canvas),
        canvasWidth_(canvasWidth),
        canvasHeight_(canvasHeight),
        left_(left),
        top_(top),
        width_(width),
        height_(height),
        interlaced_(interlaced),
        palette_(palette),
        transparent_(transparent) {}

  bool full() const { return row_ >= height_; }

  void put(std::uint8_t index) {
    if (row_ >= height_) return;
    const int x = left_ + column_, y = top_ + row_;
    if (index != transparent_ && x < canvasWidth_ && y < canvasHeight_) {
      canvas_[static_cast<std::size_t>(y) * static_cast<std::size_t>(canvasWidth_) + static_cast<std::size_t>(x)] =
          palette_[index];
    }
    if (++column_ < width_) return;
    column_ = 0;
    nextRow();
  }

  // Whether any later pixel can still land on the canvas: a plain image that
  // has run past the canvas's bottom or right edge cannot.
  bool pastCanvas() const {
    if (left_ >= canvasWidth_ || top_ >= canvasHeight_) return true;
    return !interlaced_ && top_ + row_ >= canvasHeight_;
  }

 private:
  void nextRow() {
    if (!interlaced_) {
      ++row_;
      return;
    }
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    row_ += kStep[pass_];
    while (row_ >= height_ && pass_ < 3) {
      ++pass_;
      row_ = kStart[pass_];
    }
  }

  std::vector<std::uint32_t>& canvas_;
  int canvasWidth_, canvasHeight_;
  int left_, top_, width_, height_;
  bool interlaced_;
  const Palette& palette_;
  int transparent_;  // -1: none
  int row_ = 0, column_ = 0, pass_ = 0;
};

// The GIF flavour of LZW: codes of 3..12 bits (minimum code size 2..8), least significant bit first;
// a clear code resets the table; once the table is full it stays as it is
// until the next clear code (no new entries, codes stay 12 bits wide).
// Decodes until the end code, the end of the data, a code that cannot be
// (the image keeps what it has) or the image's last pixel.
void decodeLzw(const std::vector<std::uint8_t>& data, int minCodeSize, PixelSink& sink) {
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  std::array<std::uint16_t, kTableSize> prefix{};
  std::array<std::uint8_t, kTableSize> suffix{};
  std::array<std::uint8_t, kTableSize> first{};  // first byte of each string
  std::array<std::uint8_t, kTableSize + 1> stack{};
  for (int i = 0; i < clear; ++i) {
    suffix[i] = static_cast<std::uint8_t>(i);
    first[i] = static_cast<std::uint8_t>(i);
  }

  int width = minCodeSize + 1;
  int next = end + 1;
  int previous = -1;
  std::uint32_t bitBuffer = 0;
  int bitCount = 0;
  std::size_t pos = 0;

  while (!sink.full() && !sink.pastCanvas()) {
    while (bitCount < width && pos < data.size()) {
      bitBuffer |= std::uint32_t{data[pos++]} << bitCount;
      bitCount += 8;
    }
    if (bitCount < width) return;
    const int code = static_cast<int>(bitBuffer & ((1u << width) - 1));
    bitBuffer >>= width;
    bitCount -= width;

    if (code == clear) {
      width = minCodeSize + 1;
      next = end + 1;
      previous = -1;
      continue;
    }
    if (code == end) return;

    int depth = 0;
    int walk = code;
    if (previous < 0) {
      // The first code after a clear must be a single pixel.
      if (code >= clear) return;
    } else if (code > next || (code == next && next >= kTableSize)) {
      return;  // a code the table cannot have yet
    }
    if (code == next) {
      // The string being defined: previous string + its own first byte.
      stack[depth++] = first[previous];
      walk = previous;
    }
    while (walk >= clear) {
      stack[depth++] = suffix[walk];
      walk = prefix[walk];
    }
    stack[depth++] = static_cast<std::uint8_t>(walk);
    const std::uint8_t head = static_cast<std::uint8_t>(walk);

    if (previous >= 0 && next < kTableSize) {
      prefix[next] = static_cast<std::uint16_t>(previous);
      suffix[next] = head;
      first[next] = first[previous];
      ++next;
      if (next == (1 << width) && width < kMaxCodeBits) ++width;
    }
    previous = code;
    while (depth > 0) sink.put(stack[--depth]);
  }
}

int delayFromHundredths(std::uint32_t hundredths) { return hundredths < 2 ? 100 : static_cast<int>(hundredths) * 10; }

}  // namespace

Picture decodeGif(const std::uint8_t* data, std::size_t size) {
  if (!data || size < 13) return {};
  if (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0) return {};

  int canvasWidth = static_cast<int>(u16(data + 6));
  int canvasHeight = static_cast<int>(u16(data + 8));
  const unsigned flags = data[10];
  std::size_t pos = 13;
  Palette global{};
  bool hasGlobal = false;
  if (flags & 0x80) {
    if (!readPalette(data, size, pos, flags & 0x07, global)) return {};
    hasGlobal = true;
  }

  Picture picture;
  picture.loopCount = 1;  // without a NETSCAPE2.0 block: once
  std::vector<std::uint32_t> canvas;
  std::vector<std::uint32_t> saved;  // for disposal 3

  // The graphic control of the next image.
  int disposal = 0;
  int delayMs = 100;
  int transparent = -1;

  // What the previous image asked for once it has been shown.
  int pendingDisposal = 0;
  int pendingLeft = 0, pendingTop = 0, pendingWidth = 0, pendingHeight = 0;

  std::vector<std::uint8_t> compressed;

  while (pos < size) {
    const std::uint8_t introducer = data[pos++];
    if (introducer == 0x3B) break;  // trailer

    if (introducer == 0x21) {  // extension
      if (pos >= size) break;
      const std::uint8_t label = data[pos++];
      if (label == 0xF9) {
        // Graphic control: 4 bytes in the first sub-block.
        std::vector<std::uint8_t> block;
        if (!readSubBlocks(data, size, pos, &block)) break;
        if (block.size() >= 4) {
          disposal = (block[0] >> 2) & 0x07;
          delayMs = delayFromHundredths(u16(block.data() + 1));
          transparent = (block[0] & 0x01) ? block[3] : -1;
        }
      } else if (label == 0xFF) {
        // Application: NETSCAPE2.0 (or ANIMEXTS1.0) with a loop count.
        if (pos >= size) break;
        const std::size_t idLength = data[pos];
        std::vector<std::uint8_t> block;
        if (!readSubBlocks(data, size, pos, &block)) break;
        const bool looping = idLength == 11 && block.size() >= 11 + 3 &&
                             (std::memcmp(block.data(), "NETSCAPE2.0", 11) == 0 ||
                              std::memcmp(block.data(), "ANIMEXTS1.0", 11) == 0);
        // block: the 11 identifier bytes, then sub-block data: 1, loop count.
        if (looping && block[11] == 1) {
          const int count = static_cast<int>(u16(block.data() + 12));
          picture.loopCount = count == 0 ? 0 : count + 1;
        }
      } else {
        if (!readSubBlocks(data, size, pos, nullptr)) break;
      }
      continue;
    }

    if (introducer != 0x2C) break;  // not a GIF block: stop here

    // Image descriptor.
    if (size - pos < 9) break;
    const int left = static_cast<int>(u16(data + pos));
    const int top = static_cast<int>(u16(data + pos + 2));
    const int width = static_cast<int>(u16(data + pos + 4));
    const int height = static_cast<int>(u16(data + pos + 6));
    const unsigned imageFlags = data[pos + 8];
    pos += 9;
    Palette local{};
    const Palette* palette = hasGlobal ? &global : nullptr;
    if (imageFlags & 0x80) {
      if (!readPalette(data, size, pos, imageFlags & 0x07, local)) break;
      palette = &local;
    }
    if (pos >= size) break;
    const int minCodeSize = data[pos++];
    compressed.clear();
    if (!readSubBlocks(data, size, pos, &compressed)) break;  // truncated: drop this image
    if (minCodeSize < 2 || minCodeSize > 8) break;  // the format's range

    if (canvas.empty()) {
      // A screen of no size takes the first image's.
      if (canvasWidth == 0 || canvasHeight == 0) {
        canvasWidth = left + width;
        canvasHeight = top + height;
      }
      if (canvasWidth <= 0 || canvasHeight <= 0 || canvasWidth > kMaxDimension || canvasHeight > kMaxDimension) {
        return {};
      }
      canvas.assign(static_cast<std::size_t>(canvasWidth) * static_cast<std::size_t>(canvasHeight), 0);
      picture.width = canvasWidth;
      picture.height = canvasHeight;
    }
    const std::size_t canvasPixels = canvas.size();
    if (picture.frames.size() >= kMaxFrames || (picture.frames.size() + 1) * canvasPixels > kMaxTotalPixels) break;

    // The previous image leaves the canvas as it asked.
    if (pendingDisposal == 2) {
      const int right = std::min(pendingLeft + pendingWidth, canvasWidth);
      const int bottom = std::min(pendingTop + pendingHeight, canvasHeight);
      for (int y = pendingTop; y < bottom; ++y) {
        for (int x = pendingLeft; x < right; ++x) canvas[static_cast<std::size_t>(y) * canvasWidth + x] = 0;
      }
    } else if (pendingDisposal == 3 && !saved.empty()) {
      canvas = saved;
    }
    if (disposal == 3) saved = canvas;

    if (palette && width > 0 && height > 0) {
      PixelSink sink(canvas, canvasWidth, canvasHeight, left, top, width, height, (imageFlags & 0x40) != 0, *palette,
                     transparent);
      decodeLzw(compressed, minCodeSize, sink);
    }

    Frame frame;
    frame.width = canvasWidth;
    frame.height = canvasHeight;
    frame.pixels = canvas;
    frame.delayMs = delayMs;
    picture.frames.push_back(std::move(frame));

    pendingDisposal = disposal;
    pendingLeft = left, pendingTop = top, pendingWidth = width, pendingHeight = height;
    disposal = 0;
    delayMs = 100;
    transparent = -1;
  }

  if (picture.frames.empty()) return {};
  return picture;
}

}  // namespace pictures
