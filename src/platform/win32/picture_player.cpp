#include "platform/win32/picture_player.h"

#include <algorithm>

#include "platform/win32/owners.h"

namespace win32 {

void PicturePlayer::set(std::shared_ptr<const std::vector<std::uint8_t>> bytes) {
  if (bytes && bytes == bytes_) return;
  bytes_ = std::move(bytes);
  picture_ = bytes_ && !bytes_->empty() ? pictures::decodePicture(bytes_->data(), bytes_->size()) : pictures::Picture{};
  opaque_.clear();
  for (const pictures::Frame& frame : picture_.frames) {
    opaque_.push_back(std::all_of(frame.pixels.begin(), frame.pixels.end(),
                                  [](std::uint32_t p) { return (p >> 24) == 0xFF; }));
  }
  current_ = 0;
  playsDone_ = 0;
  ended_ = false;
  scaled_ = {};
}

int PicturePlayer::currentDelayMs() const {
  if (picture_.frames.size() < 2 || ended_) return 0;
  return picture_.frames[current_].delayMs;
}

bool PicturePlayer::advance() {
  if (picture_.frames.size() < 2 || ended_) return false;
  if (current_ + 1 < picture_.frames.size()) {
    ++current_;
    return true;
  }
  ++playsDone_;
  if (picture_.loopCount != 0 && playsDone_ >= picture_.loopCount) {
    ended_ = true;  // browsers stop on the last frame too
    return false;
  }
  current_ = 0;
  return true;
}

void PicturePlayer::draw(HDC hdc, int x, int y, ui::DpiScale scale) const { compose(hdc, x, y, scale, false, 0); }

void PicturePlayer::drawKeyed(HDC hdc, int x, int y, ui::DpiScale scale, COLORREF transparent) const {
  compose(hdc, x, y, scale, true, transparent);
}

const pictures::Frame& PicturePlayer::scaledFrame(ui::DpiScale scale, bool keyed, COLORREF key) const {
  if (scaled_.pixels.pixels.empty() || scaled_.frame != current_ || scaled_.dpi != scale.dpi() ||
      scaled_.keyed != keyed || (keyed && scaled_.key != key)) {
    const pictures::Frame& natural = picture_.frames[current_];
    // The key colour goes before resampling: its pixels must not tint the edges.
    const std::uint32_t keyRgb = (static_cast<std::uint32_t>(GetRValue(key)) << 16) |
                                 (static_cast<std::uint32_t>(GetGValue(key)) << 8) | GetBValue(key);
    scaled_ = {current_, scale.dpi(), keyed, key,
               pictures::scaleFrame(keyed ? pictures::withoutColour(natural, keyRgb) : natural,
                                    scale.toPhysical(natural.width), scale.toPhysical(natural.height))};
  }
  return scaled_.pixels;
}

void PicturePlayer::compose(HDC hdc, int x, int y, ui::DpiScale scale, bool keyed, COLORREF key) const {
  if (!hdc || picture_.empty()) return;
  const bool scaling = !scale.isIdentity();
  const pictures::Frame& frame = scaling ? scaledFrame(scale, keyed, key) : picture_.frames[current_];
  if (scaling) keyed = false;  // the key is transparent in the scaled frame already
  const int frameWidth = frame.width, frameHeight = frame.height;
  if (frameWidth <= 0 || frameHeight <= 0) return;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = frameWidth;
  info.bmiHeader.biHeight = -frameHeight;  // top-down, as the frames are
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;

  if (opaque_[current_] && !keyed && !scaling) {
    // Nothing of the DC shows through: copy the pixels straight.
    SetDIBitsToDevice(hdc, x, y, static_cast<DWORD>(frameWidth), static_cast<DWORD>(frameHeight), 0, 0, 0,
                      static_cast<UINT>(frameHeight), frame.pixels.data(), &info, DIB_RGB_COLORS);
    return;
  }

  // Otherwise read what the DC holds under the picture, lay the frame over
  // it and put the result back; the copy back honours the clip region.
  MemoryDc memory(CreateCompatibleDC(hdc));
  if (!memory) return;
  void* bits = nullptr;
  GdiObject<HBITMAP> bitmap(CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return;
  Selection selected(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, frameWidth, frameHeight, hdc, x, y, SRCCOPY);
  GdiFlush();

  const std::uint32_t keyRgb = (static_cast<std::uint32_t>(GetRValue(key)) << 16) |
                               (static_cast<std::uint32_t>(GetGValue(key)) << 8) | GetBValue(key);
  auto* canvas = static_cast<std::uint32_t*>(bits);
  const std::size_t count = frame.pixels.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t src = frame.pixels[i];
    const std::uint32_t alpha = src >> 24;
    if (alpha == 0 || (keyed && (src & 0xFFFFFFu) == keyRgb)) continue;
    if (alpha == 255) {
      canvas[i] = src;
      continue;
    }
    const std::uint32_t dst = canvas[i];
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
      const std::uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
      out |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    canvas[i] = out;
  }

  BitBlt(hdc, x, y, frameWidth, frameHeight, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace win32
