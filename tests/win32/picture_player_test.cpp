// Draws decoded pictures into a 32-bit memory bitmap and reads the pixels
// back: frames in turn, transparency, the picture button's key colour, the
// clip region and the loop count.
#include "platform/win32/picture_player.h"

#include <gtest/gtest.h>

#include "canvas.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

using station_test::Canvas;

// ------------------------------------------------------------ a GIF writer
// Four colours, 3-bit codes; a clear code after every two pixels keeps the
// code width from growing, which makes the writer trivial and still valid.
void put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

Bytes codes(const std::vector<std::uint8_t>& indices) {
  Bytes out;
  std::uint32_t buffer = 0;
  int count = 0;
  auto emit = [&](unsigned code) {
    buffer |= code << count;
    count += 3;
    while (count >= 8) {
      out.push_back(static_cast<std::uint8_t>(buffer));
      buffer >>= 8;
      count -= 8;
    }
  };
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % 2 == 0) emit(4);  // clear
    emit(indices[i]);
  }
  emit(5);  // end
  if (count) out.push_back(static_cast<std::uint8_t>(buffer));
  return out;
}

struct Image {
  std::vector<std::uint8_t> indices;  // width 4, height 2
  int disposal;
  int delayCs;
  int transparent;  // -1: none
};

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kKey = RGB(0x80, 0xE0, 0x00);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGrey = RGB(0x40, 0x40, 0x40);

// A 4 x 2 GIF; palette 0 red, 1 #80E000, 2 blue, 3 white.
std::shared_ptr<const Bytes> makeGif(const std::vector<Image>& images, int loop) {
  Bytes b{'G', 'I', 'F', '8', '9', 'a'};
  put16(b, 4);
  put16(b, 2);
  b.insert(b.end(), {0x81, 0, 0, 255, 0, 0, 0x80, 0xE0, 0x00, 0, 0, 255, 255, 255, 255});
  if (loop >= 0) {
    const char id[] = "NETSCAPE2.0";
    b.insert(b.end(), {0x21, 0xFF, 11});
    b.insert(b.end(), id, id + 11);
    b.insert(b.end(), {3, 1});
    put16(b, static_cast<unsigned>(loop));
    b.push_back(0);
  }
  for (const Image& image : images) {
    b.insert(b.end(), {0x21, 0xF9, 4});
    b.push_back(static_cast<std::uint8_t>((image.disposal << 2) | (image.transparent >= 0 ? 1 : 0)));
    put16(b, static_cast<unsigned>(image.delayCs));
    b.push_back(static_cast<std::uint8_t>(image.transparent >= 0 ? image.transparent : 0));
    b.push_back(0);
    b.push_back(0x2C);
    put16(b, 0);
    put16(b, 0);
    put16(b, 4);
    put16(b, 2);
    b.push_back(0);
    b.push_back(2);  // minimum code size
    const Bytes data = codes(image.indices);
    b.push_back(static_cast<std::uint8_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    b.push_back(0);
  }
  b.push_back(0x3B);
  return std::make_shared<const Bytes>(std::move(b));
}

// Frame 1: red key blue - / - red red -   (3 transparent), then cleared;
// frame 2: blue blue - - / - - key red.
std::shared_ptr<const Bytes> twoFrames(int loop = 0) {
  return makeGif({{{0, 1, 2, 3, 3, 0, 0, 3}, 2, 50, 3}, {{2, 2, 3, 3, 3, 3, 1, 0}, 1, 7, 3}}, loop);
}

// What the 8 x 6 canvas shows at the picture's place (drawn at 1,1).
std::vector<COLORREF> picturePixels(const Canvas& canvas) {
  std::vector<COLORREF> out;
  for (int y = 1; y <= 2; ++y) {
    for (int x = 1; x <= 4; ++x) out.push_back(canvas.at(x, y));
  }
  return out;
}

void expectBorderUntouched(const Canvas& canvas, COLORREF colour) {
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) {
      if (x >= 1 && x <= 4 && y >= 1 && y <= 2) continue;
      EXPECT_EQ(canvas.at(x, y), colour) << x << "," << y;
    }
  }
}

TEST(PicturePlayer, DrawsTheFramesInTurnLeavingTransparentPixels) {
  win32::PicturePlayer player;
  player.set(twoFrames());
  ASSERT_FALSE(player.empty());
  EXPECT_EQ(player.width(), 4);
  EXPECT_EQ(player.height(), 2);

  Canvas canvas(8, 6);
  ASSERT_TRUE(canvas.ok());
  canvas.fillWith(kGrey);
  player.draw(canvas.dc(), 1, 1);
  EXPECT_EQ(picturePixels(canvas), (std::vector<COLORREF>{kRed, kKey, kBlue, kGrey, kGrey, kRed, kRed, kGrey}));
  expectBorderUntouched(canvas, kGrey);
  EXPECT_EQ(player.currentDelayMs(), 500);

  ASSERT_TRUE(player.advance());
  EXPECT_EQ(player.currentFrame(), 1u);
  EXPECT_EQ(player.currentDelayMs(), 70);
  canvas.fillWith(kGrey);
  player.draw(canvas.dc(), 1, 1);
  // The first frame asked to be cleared: its pixels do not show through.
  EXPECT_EQ(picturePixels(canvas), (std::vector<COLORREF>{kBlue, kBlue, kGrey, kGrey, kGrey, kGrey, kKey, kRed}));
  expectBorderUntouched(canvas, kGrey);

  ASSERT_TRUE(player.advance());  // loops forever
  EXPECT_EQ(player.currentFrame(), 0u);
}

TEST(PicturePlayer, KeyedDrawingLeavesTheButtonsTransparentColourOut) {
  win32::PicturePlayer player;
  player.set(twoFrames());
  Canvas canvas(8, 6);
  ASSERT_TRUE(canvas.ok());
  canvas.fillWith(kGrey);
  player.drawKeyed(canvas.dc(), 1, 1, {}, kKey);
  EXPECT_EQ(picturePixels(canvas), (std::vector<COLORREF>{kRed, kGrey, kBlue, kGrey, kGrey, kRed, kRed, kGrey}));
  player.advance();
  canvas.fillWith(kGrey);
  player.drawKeyed(canvas.dc(), 1, 1, {}, kKey);
  EXPECT_EQ(picturePixels(canvas), (std::vector<COLORREF>{kBlue, kBlue, kGrey, kGrey, kGrey, kGrey, kGrey, kRed}));
  expectBorderUntouched(canvas, kGrey);
}

TEST(PicturePlayer, DrawingHonoursTheClipRegion) {
  win32::PicturePlayer player;
  player.set(twoFrames());
  Canvas canvas(8, 6);
  ASSERT_TRUE(canvas.ok());
  canvas.fillWith(kGrey);
  IntersectClipRect(canvas.dc(), 0, 0, 3, 6);  // only x 0..2
  player.draw(canvas.dc(), 1, 1);
  EXPECT_EQ(picturePixels(canvas), (std::vector<COLORREF>{kRed, kKey, kGrey, kGrey, kGrey, kRed, kGrey, kGrey}));
  SelectClipRgn(canvas.dc(), nullptr);

  // Drawn partly outside the bitmap: no harm, the rest in place.
  canvas.fillWith(kGrey);
  player.draw(canvas.dc(), -2, 5);
  EXPECT_EQ(canvas.at(0, 5), kBlue);
  EXPECT_EQ(canvas.at(1, 5), kGrey);
  EXPECT_EQ(canvas.at(0, 4), kGrey);
}

TEST(PicturePlayer, TheLoopCountEndsTheAnimationOnItsLastFrame) {
  win32::PicturePlayer twice;
  twice.set(twoFrames(1));  // one repeat: two plays
  EXPECT_TRUE(twice.advance());
  EXPECT_TRUE(twice.advance());
  EXPECT_TRUE(twice.advance());
  EXPECT_EQ(twice.currentFrame(), 1u);
  EXPECT_FALSE(twice.advance());
  EXPECT_EQ(twice.currentFrame(), 1u);
  EXPECT_EQ(twice.currentDelayMs(), 0);
  EXPECT_FALSE(twice.advance());

  win32::PicturePlayer once;
  once.set(twoFrames(-1));  // no loop block: one play
  EXPECT_TRUE(once.advance());
  EXPECT_FALSE(once.advance());
  EXPECT_EQ(once.currentFrame(), 1u);

  // Setting new bytes starts over; the same buffer again changes nothing.
  auto bytes = twoFrames(-1);
  once.set(bytes);
  EXPECT_EQ(once.currentFrame(), 0u);
  EXPECT_TRUE(once.advance());
  once.set(bytes);
  EXPECT_EQ(once.currentFrame(), 1u);
}

TEST(PicturePlayer, NoPictureDrawsNothingAndDoesNotAnimate) {
  Canvas canvas(8, 6);
  ASSERT_TRUE(canvas.ok());
  canvas.fillWith(kGrey);
  win32::PicturePlayer player;
  EXPECT_TRUE(player.empty());
  player.draw(canvas.dc(), 0, 0);
  player.set(twoFrames());
  player.set(nullptr);
  EXPECT_TRUE(player.empty());
  player.set(std::make_shared<const Bytes>(Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 2, 3}));
  EXPECT_TRUE(player.empty());
  player.set(std::make_shared<const Bytes>());
  EXPECT_TRUE(player.empty());
  player.draw(canvas.dc(), 0, 0);
  player.drawKeyed(canvas.dc(), 0, 0, {}, kKey);
  EXPECT_EQ(player.currentDelayMs(), 0);
  EXPECT_FALSE(player.advance());
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(canvas.at(x, y), kGrey);
  }
  // A still picture has no delay either.
  player.set(makeGif({{{0, 0, 0, 0, 0, 0, 0, 0}, 0, 50, -1}}, 0));
  ASSERT_FALSE(player.empty());
  EXPECT_EQ(player.currentDelayMs(), 0);
  EXPECT_FALSE(player.advance());
}

// A 2 x 1 32-bit bitmap with alpha (version 4 header with an alpha mask).
std::shared_ptr<const Bytes> alphaBmp(std::uint32_t left, std::uint32_t right) {
  Bytes b{'B', 'M'};
  auto put32 = [&](std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
  };
  put32(14 + 108 + 8);
  put32(0);
  put32(14 + 108);
  put32(108);
  put32(2);
  put32(1);
  put16(b, 1);
  put16(b, 32);
  put32(3);  // bit fields
  for (int i = 0; i < 5; ++i) put32(0);
  put32(0x00FF0000);
  put32(0x0000FF00);
  put32(0x000000FF);
  put32(0xFF000000);
  put32(0x73524742);  // "sRGB"
  for (int i = 0; i < 12; ++i) put32(0);
  put32(left);
  put32(right);
  return std::make_shared<const Bytes>(std::move(b));
}

TEST(PicturePlayer, PartlyTransparentPixelsAreBlendedAndOpaqueOnesCopied) {
  Canvas canvas(4, 1);
  ASSERT_TRUE(canvas.ok());
  canvas.fillWith(kBlue);
  win32::PicturePlayer player;
  player.set(alphaBmp(0x80FF0000, 0xFF00FF00));
  ASSERT_FALSE(player.empty());
  player.draw(canvas.dc(), 1, 0);
  const COLORREF blended = canvas.at(1, 0);
  EXPECT_NEAR(GetRValue(blended), 128, 2);
  EXPECT_EQ(GetGValue(blended), 0);
  EXPECT_NEAR(GetBValue(blended), 127, 2);
  EXPECT_EQ(canvas.at(2, 0), RGB(0, 255, 0));
  EXPECT_EQ(canvas.at(0, 0), kBlue);
  EXPECT_EQ(canvas.at(3, 0), kBlue);

  // Fully opaque: the straight copy.
  canvas.fillWith(kBlue);
  player.set(alphaBmp(0xFFFF0000, 0xFF00FF00));
  player.draw(canvas.dc(), 2, 0);
  EXPECT_EQ(canvas.at(1, 0), kBlue);
  EXPECT_EQ(canvas.at(2, 0), kRed);
  EXPECT_EQ(canvas.at(3, 0), RGB(0, 255, 0));
}

}  // namespace
