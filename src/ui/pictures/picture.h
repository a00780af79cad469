// Pictures as the program shows them: decoded from the bytes of a BMP, GIF or
// JPEG file into frames of 32-bit pixels. Portable: the platform only blits.
//
// Every frame is a full canvas of the picture's size with the GIF disposal of
// the earlier frames already applied, so a player shows frames[0], waits its
// delay, shows frames[1], and so on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pictures {

struct Frame {
  int width = 0, height = 0;
  // Top-down rows, 0xAARRGGBB; A = 0 fully transparent, 255 opaque. In memory
  // (little-endian) the bytes are B, G, R, A, as a 32-bit top-down DIB wants.
  std::vector<std::uint32_t> pixels;
  int delayMs = 0;  // how long this frame stays before the next one
};

struct Picture {
  int width = 0, height = 0;
  std::vector<Frame> frames;
  // How many times the animation plays through; 0 = forever. A GIF without a
  // NETSCAPE2.0 block plays once (1); a loop count N > 0 in that block means N
  // repeats after the first play (N + 1), as browsers read it.
  int loopCount = 0;

  bool empty() const { return frames.empty(); }
};

// Limits that keep a hostile or broken file from taking the machine's memory.
// A canvas wider or taller than kMaxDimension gives an empty picture. A GIF
// stops at kMaxFrames frames or when the next frame would take the frames
// over kMaxTotalPixels in all; the frames decoded until then are kept, as for
// a truncated GIF.
inline constexpr int kMaxDimension = 4096;
inline constexpr std::size_t kMaxFrames = 1000;
inline constexpr std::size_t kMaxTotalPixels = std::size_t{64} * 1024 * 1024;

// Decodes a BMP ("BM"), GIF ("GIF87a", "GIF89a") or JPEG (FF D8 FF) file,
// told apart by its first bytes. Anything else, a truncated or corrupt file
// and one beyond the limits give an empty picture; a truncated GIF keeps the
// frames that were complete.
Picture decodePicture(const std::uint8_t* data, std::size_t size);

// The single decoders, for the fuzz targets; they expect their own kind of
// file but check everything themselves.
Picture decodeBmp(const std::uint8_t* data, std::size_t size);
Picture decodeGif(const std::uint8_t* data, std::size_t size);
Picture decodeJpeg(const std::uint8_t* data, std::size_t size);

// A copy of the frame with every pixel of the colour 0xRRGGBB made fully
// transparent (a picture button's transparent colour), so that scaling
// blends its edges with what lies beneath instead of with the key colour.
Frame withoutColour(const Frame& frame, std::uint32_t rgb);

// The frame resampled to width x height with a smooth filter (bilinear, on
// colours weighted by their alpha, so a transparent pixel lends no colour to
// its neighbours). An empty frame or size gives an empty frame.
Frame scaleFrame(const Frame& frame, int width, int height);

}  // namespace pictures
