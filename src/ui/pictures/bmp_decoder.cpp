// Windows bitmaps: the core header (12 bytes) and the information header (40
// bytes) with its later versions (52, 56, 108, 124); 1-, 4- and 8-bit
// palettes, 16-bit (5-5-5, or bit fields such as 5-6-5), 24-bit and 32-bit
// (plain, or bit fields with or without alpha); bottom-up and top-down rows;
// RLE8 and RLE4 compression. Anything else, and any file that ends before its
// pixels do, gives an empty picture.
#include <algorithm>
#include <cstdint>

#include "ui/pictures/picture.h"

namespace pictures {

namespace {

enum Compression : std::uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,
  kAlphaBitFields = 6,
};

std::uint32_t u16(const std::uint8_t* p) { return p[0] | (std::uint32_t{p[1]} << 8); }
std::uint32_t u32(const std::uint8_t* p) { return u16(p) | (u16(p + 2) << 16); }
std::int64_t i32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }

constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

std::uint32_t argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

// One colour channel of a bit-field pixel, scaled to 0..255.
class Channel {
 public:
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    while (!((mask >> shift_) & 1u)) ++shift_;
    std::uint32_t field = mask >> shift_;
    while (bits_ < 32 && (field >> bits_) != 0) ++bits_;
    max_ = (std::uint64_t{1} << bits_) - 1;
  }
  bool present() const { return mask_ != 0; }
  std::uint32_t operator()(std::uint32_t pixel) const {
    if (!mask_) return 0;
    const std::uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<std::uint32_t>((value * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_;
  int shift_ = 0;
  int bits_ = 0;
  std::uint64_t max_ = 1;
};

struct Header {
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: rows top-down
  std::uint32_t bitCount = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t coloursUsed = 0;
  std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool masksGiven = false;
  std::size_t paletteStart = 0;
  std::size_t paletteEntrySize = 4;
};

bool readHeader(const std::uint8_t* data, std::size_t size, Header& h) {
  if (size < 18) return false;
  const std::uint32_t headerSize = u32(data + 14);
  const std::uint8_t* p = data + 14;
  if (headerSize == 12) {
    if (size < 14 + 12) return false;
    h.width = u16(p + 4);
    h.height = u16(p + 6);
    h.bitCount = u16(p + 10);
    h.paletteStart = 14 + 12;
    h.paletteEntrySize = 3;
    return true;
  }
  if (headerSize < 40 || headerSize > size - 14) return false;
  h.width = i32(p + 4);
  h.height = i32(p + 8);
  h.bitCount = u16(p + 14);
  h.compression = u32(p + 16);
  h.coloursUsed = u32(p + 32);
  h.paletteStart = 14 + std::size_t{headerSize};
  // The OS/2 2.x header (64 bytes) gives 3 and 4 other meanings (Huffman,
  // RLE24) that no one writes any more.
  if (headerSize == 64 && (h.compression == kBitFields || h.compression == 4)) return false;
  if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
    h.masksGiven = true;
    if (headerSize >= 52) {
      // Version 2 and later headers hold the masks themselves.
      for (int i = 0; i < 3; ++i) h.masks[i] = u32(p + 40 + 4 * i);
      if (headerSize >= 56) h.masks[3] = u32(p + 52);
    } else {
      // After a 40-byte header the masks follow it.
      const std::size_t count = h.compression == kAlphaBitFields ? 4 : 3;
      if (h.paletteStart + 4 * count > size) return false;
      for (std::size_t i = 0; i < count; ++i) h.masks[i] = u32(data + h.paletteStart + 4 * i);
      h.paletteStart += 4 * count;
    }
  }
  return true;
}

// The palette of a 1-, 4- or 8-bit picture; entries the file does not hold
// are black.
std::vector<std::uint32_t> readPalette(const std::uint8_t* data, std::size_t size, const Header& h,
                                       std::size_t pixelStart) {
  const std::size_t full = std::size_t{1} << h.bitCount;
  std::size_t count = (h.coloursUsed == 0 || h.coloursUsed > full) ? full : h.coloursUsed;
  const std::size_t end = std::min(size, pixelStart);
  const std::size_t available = end > h.paletteStart ? (end - h.paletteStart) / h.paletteEntrySize : 0;
  count = std::min(count, available);
  std::vector<std::uint32_t> palette(full, kOpaqueBlack);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = data + h.paletteStart + i * h.paletteEntrySize;
    palette[i] = argb(255, e[2], e[1], e[0]);
  }
  return palette;
}

// RLE8 and RLE4 (always bottom-up). Pixels the stream skips stay transparent.
bool decodeRle(const std::uint8_t* data, std::size_t size, std::size_t pos, const Header& h,
               const std::vector<std::uint32_t>& palette, std::vector<std::uint32_t>& pixels) {
  const std::int64_t width = h.width, height = h.height;
  const bool four = h.compression == kRle4;
  std::int64_t x = 0, y = 0;  // y counts rows from the bottom
  auto put = [&](std::uint32_t index) {
    if (x < width && y < height) {
      pixels[static_cast<std::size_t>((height - 1 - y) * width + x)] = palette[index & (palette.size() - 1)];
    }
    ++x;
  };
  while (y < height) {
    if (pos + 2 > size) return false;  // ended without its end-of-bitmap mark
    const std::uint32_t count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count && x < width; ++i) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return true;
      case 2:  // move right and up
        if (pos + 2 > size) return false;
        x += data[pos];
        y += data[pos + 1];
        pos += 2;
        break;
      default: {  // a literal run, padded to a 16-bit boundary
        std::size_t bytes = four ? (value + 1) / 2 : value;
        bytes += bytes & 1;
        if (pos + bytes > size) return false;
        for (std::uint32_t i = 0; i < value; ++i) {
          const std::uint8_t b = data[pos + (four ? i / 2 : i)];
          put(four ? ((i & 1) ? b & 0x0F : b >> 4) : b);
        }
        pos += bytes;
        break;
      }
    }
  }
  return true;
}

}  // namespace

Picture decodeBmp(const std::uint8_t* data, std::size_t size) {
  if (!data || size < 18 || data[0] != 'B' || data[1] != 'M') return {};
  Header h;
  if (!readHeader(data, size, h)) return {};
  const bool topDown = h.height < 0;
  const std::int64_t width = h.width;
  const std::int64_t height = topDown ? -h.height : h.height;
  if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) return {};

  const std::size_t pixelStart = u32(data + 10);
  if (pixelStart < h.paletteStart || pixelStart >= size) return {};

  const std::uint32_t bits = h.bitCount;
  const bool paletted = bits == 1 || bits == 4 || bits == 8;
  switch (h.compression) {
    case kRgb:
      if (!paletted && bits != 16 && bits != 24 && bits != 32) return {};
      break;
    case kRle8:
    case kRle4:
      if (bits != (h.compression == kRle8 ? 8u : 4u) || topDown) return {};
      break;
    case kBitFields:
    case kAlphaBitFields:
      if (bits != 16 && bits != 32) return {};
      break;
    default:
      return {};  // embedded JPEG or PNG, or unknown
  }

  Picture picture;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  Frame frame;
  frame.width = picture.width;
  frame.height = picture.height;
  const std::size_t w = static_cast<std::size_t>(width), rows = static_cast<std::size_t>(height);

  if (h.compression == kRle8 || h.compression == kRle4) {
    frame.pixels.assign(w * rows, 0);
    if (!decodeRle(data, size, pixelStart, h, readPalette(data, size, h, pixelStart), frame.pixels)) return {};
    picture.frames.push_back(std::move(frame));
    return picture;
  }

  const std::size_t stride = (w * bits + 31) / 32 * 4;
  if (stride * rows > size - pixelStart) return {};  // truncated
  frame.pixels.resize(w * rows);

  std::vector<std::uint32_t> palette;
  if (paletted) palette = readPalette(data, size, h, pixelStart);

  std::uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
  if (!h.masksGiven) {
    // Without bit fields 16 bits are 5-5-5 and the fourth byte of 32 unused.
    if (bits == 16) {
      masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F, masks[3] = 0;
    } else {
      masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF, masks[3] = 0;
    }
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  bool anyAlpha = false;

  for (std::size_t row = 0; row < rows; ++row) {
    const std::uint8_t* src = data + pixelStart + row * stride;
    std::uint32_t* dst = frame.pixels.data() + (topDown ? row : rows - 1 - row) * w;
    for (std::size_t x = 0; x < w; ++x) {
      switch (bits) {
        case 1:
          dst[x] = palette[(src[x / 8] >> (7 - x % 8)) & 1];
          break;
        case 4:
          dst[x] = palette[(src[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F];
          break;
        case 8:
          dst[x] = palette[src[x]];
          break;
        case 24:
          dst[x] = argb(255, src[3 * x + 2], src[3 * x + 1], src[3 * x]);
          break;
        default: {  // 16 or 32 through the masks
          const std::uint32_t value = bits == 16 ? u16(src + 2 * x) : u32(src + 4 * x);
          const std::uint32_t a = alpha.present() ? alpha(value) : 255;
          anyAlpha = anyAlpha || a != 0;
          dst[x] = argb(a, red(value), green(value), blue(value));
          break;
        }
      }
    }
  }
  // An alpha field that is zero everywhere was never filled in: opaque.
  if (alpha.present() && !anyAlpha) {
    for (auto& p : frame.pixels) p |= 0xFF000000u;
  }
  picture.frames.push_back(std::move(frame));
  return picture;
}

}  // namespace pictures
