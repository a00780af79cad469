// What every decoded picture promises, for the picture fuzz targets: either
// empty, or frames of the picture's size within the limits, each with a
// pixel for every place. A broken promise aborts, which the fuzzer reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ui/pictures/picture.h"

namespace picture_checks {

#define PICTURE_CHECK(condition)      \
  do {                                \
    if (!(condition)) std::abort();   \
  } while (0)

inline void checkPicture(const pictures::Picture& picture) {
  if (picture.empty()) {
    PICTURE_CHECK(picture.width * picture.height == 0 || picture.frames.empty());
    return;
  }
  PICTURE_CHECK(picture.width > 0 && picture.width <= pictures::kMaxDimension);
  PICTURE_CHECK(picture.height > 0 && picture.height <= pictures::kMaxDimension);
  PICTURE_CHECK(picture.frames.size() <= pictures::kMaxFrames);
  PICTURE_CHECK(picture.loopCount >= 0);
  const std::size_t area = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
  PICTURE_CHECK(picture.frames.size() * area <= pictures::kMaxTotalPixels);
  for (const pictures::Frame& frame : picture.frames) {
    PICTURE_CHECK(frame.width == picture.width && frame.height == picture.height);
    PICTURE_CHECK(frame.pixels.size() == area);
    PICTURE_CHECK(frame.delayMs >= 0);
  }
  // Drawn at 150 %: the first frame scaled, whole, with an opaque frame
  // staying opaque (small pictures only, to keep each run quick).
  if (area <= 128 * 128) {
    const pictures::Frame& first = picture.frames.front();
    const pictures::Frame big = pictures::scaleFrame(first, picture.width * 3 / 2 + 1, picture.height * 3 / 2 + 1);
    PICTURE_CHECK(big.pixels.size() == static_cast<std::size_t>(big.width) * static_cast<std::size_t>(big.height));
    const auto opaque = [](const pictures::Frame& f) {
      for (std::uint32_t p : f.pixels) {
        if ((p >> 24) != 0xFF) return false;
      }
      return true;
    };
    if (opaque(first)) PICTURE_CHECK(opaque(big));
  }
}

// The signatures decodePicture goes by.
inline bool looksLikeBmp(const std::uint8_t* d, std::size_t n) { return n >= 2 && d[0] == 'B' && d[1] == 'M'; }
inline bool looksLikeGif(const std::uint8_t* d, std::size_t n) {
  return n >= 6 && d[0] == 'G' && d[1] == 'I' && d[2] == 'F' && d[3] == '8' && (d[4] == '7' || d[4] == '9') &&
         d[5] == 'a';
}
inline bool looksLikeJpeg(const std::uint8_t* d, std::size_t n) {
  return n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF;
}

inline bool samePictures(const pictures::Picture& a, const pictures::Picture& b) {
  if (a.width != b.width || a.height != b.height || a.frames.size() != b.frames.size()) return false;
  for (std::size_t i = 0; i < a.frames.size(); ++i) {
    if (a.frames[i].pixels != b.frames[i].pixels || a.frames[i].delayMs != b.frames[i].delayMs) return false;
  }
  return true;
}

}  // namespace picture_checks
