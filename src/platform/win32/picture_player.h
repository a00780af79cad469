// Shows a decoded picture on a DC: the current frame of a still or animated
// picture (BMP, GIF, JPEG; see ui/pictures/picture.h), with its transparent
// pixels leaving what is already there. The caller owns the timing: it asks
// for the current frame's delay, and calls advance() when that has passed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/dpi_scale.h"
#include "ui/pictures/picture.h"

namespace win32 {

class PicturePlayer {
 public:
  // Decodes the bytes and starts at the first frame; null, empty or
  // undecodable bytes leave no picture. Setting the very same bytes again
  // (the same shared buffer) changes nothing, so an animation keeps going
  // when a model change repeats them.
  void set(std::shared_ptr<const std::vector<std::uint8_t>> bytes);
  bool empty() const { return picture_.empty(); }
  int width() const { return picture_.width; }
  int height() const { return picture_.height; }

  // Draws the current frame at its natural size times the scale (smoothly
  // resampled; at 96 DPI pixel for pixel) with its top-left corner at (x, y),
  // clipped by the DC's clip region. Transparent pixels leave the DC as it
  // is; partly transparent ones are blended over it.
  void draw(HDC hdc, int x, int y, ui::DpiScale scale = {}) const;
  // The same, also leaving out every pixel of the given colour (a picture
  // button's transparent colour).
  void drawKeyed(HDC hdc, int x, int y, ui::DpiScale scale, COLORREF transparent) const;

  // How long the current frame stays; 0 for a still picture and once the
  // animation has ended.
  int currentDelayMs() const;
  // Moves to the next frame, back to the first after the last one while the
  // loop count allows. False (and the last frame stays) when the animation
  // has ended or there is none.
  bool advance();
  std::size_t currentFrame() const { return current_; }

 private:
  void compose(HDC hdc, int x, int y, ui::DpiScale scale, bool keyed, COLORREF key) const;
  // The current frame at the scale, made once per frame, scale and key.
  const pictures::Frame& scaledFrame(ui::DpiScale scale, bool keyed, COLORREF key) const;

  std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
  pictures::Picture picture_;
  std::vector<bool> opaque_;  // per frame: no pixel is transparent at all
  std::size_t current_ = 0;
  int playsDone_ = 0;
  bool ended_ = false;

  struct ScaledFrame {
    std::size_t frame = 0;
    int dpi = 0;
    bool keyed = false;
    COLORREF key = 0;
    pictures::Frame pixels;
  };
  mutable ScaledFrame scaled_;  // a cache, emptied by set()
};

}  // namespace win32
