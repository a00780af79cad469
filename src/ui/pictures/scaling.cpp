#include <algorithm>
#include <array>
#include <cmath>

#include "ui/pictures/picture.h"

namespace pictures {

Frame withoutColour(const Frame& frame, std::uint32_t rgb) {
  Frame out = frame;
  for (std::uint32_t& p : out.pixels) {
    if ((p & 0xFFFFFFu) == (rgb & 0xFFFFFFu)) p = 0;
  }
  return out;
}

namespace {

// One source pixel with its colour multiplied by its alpha, as floats.
using Premultiplied = std::array<float, 4>;  // B, G, R, A

Premultiplied premultiply(std::uint32_t p) {
  const float a = static_cast<float>(p >> 24);
  const float scale = a / 255.0f;
  return {static_cast<float>(p & 0xFF) * scale, static_cast<float>((p >> 8) & 0xFF) * scale,
          static_cast<float>((p >> 16) & 0xFF) * scale, a};
}

std::uint32_t unpremultiply(const Premultiplied& v) {
  const float a = std::clamp(v[3], 0.0f, 255.0f);
  if (a < 0.5f) return 0;
  std::uint32_t out = static_cast<std::uint32_t>(std::lround(a)) << 24;
  for (int i = 0; i < 3; ++i) {
    const float c = std::clamp(v[i] * 255.0f / a, 0.0f, 255.0f);
    out |= static_cast<std::uint32_t>(std::lround(c)) << (8 * i);
  }
  return out;
}

// Where an output pixel's centre falls among the source pixels: the two
// neighbours along one axis and the weight of the second.
struct Tap {
  int first = 0, second = 0;
  float weight = 0;
};

std::vector<Tap> taps(int from, int to) {
  std::vector<Tap> result(static_cast<std::size_t>(to));
  const double ratio = static_cast<double>(from) / to;
  for (int i = 0; i < to; ++i) {
    const double centre = std::clamp((i + 0.5) * ratio - 0.5, 0.0, static_cast<double>(from - 1));
    const int first = static_cast<int>(centre);
    result[static_cast<std::size_t>(i)] = {first, std::min(first + 1, from - 1), static_cast<float>(centre - first)};
  }
  return result;
}

}  // namespace

Frame scaleFrame(const Frame& frame, int width, int height) {
  Frame out;
  out.delayMs = frame.delayMs;
  const std::size_t sourceCount = static_cast<std::size_t>(std::max(frame.width, 0)) * std::max(frame.height, 0);
  if (width <= 0 || height <= 0 || sourceCount == 0 || frame.pixels.size() < sourceCount) return out;
  out.width = width;
  out.height = height;
  out.pixels.resize(static_cast<std::size_t>(width) * height);
  const std::vector<Tap> across = taps(frame.width, width);
  const std::vector<Tap> down = taps(frame.height, height);
  auto source = [&frame](int x, int y) {
    return premultiply(frame.pixels[static_cast<std::size_t>(y) * frame.width + x]);
  };
  for (int y = 0; y < height; ++y) {
    const Tap& row = down[static_cast<std::size_t>(y)];
    for (int x = 0; x < width; ++x) {
      const Tap& column = across[static_cast<std::size_t>(x)];
      const Premultiplied a = source(column.first, row.first), b = source(column.second, row.first);
      const Premultiplied c = source(column.first, row.second), d = source(column.second, row.second);
      Premultiplied mixed{};
      for (int i = 0; i < 4; ++i) {
        const float top = a[i] + (b[i] - a[i]) * column.weight;
        const float bottom = c[i] + (d[i] - c[i]) * column.weight;
        mixed[i] = top + (bottom - top) * row.weight;
      }
      out.pixels[static_cast<std::size_t>(y) * width + x] = unpremultiply(mixed);
    }
  }
  return out;
}

}  // namespace pictures
