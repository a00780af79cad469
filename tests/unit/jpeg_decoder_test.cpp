// The JPEG decoder (through libjpeg) against ImageMagick's pictures.
#include "picture_testing.h"

namespace {

using namespace picture_testing;

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

}  // namespace
