// The BMP decoder against ImageMagick's pictures and our own writer's.
#include "picture_testing.h"

namespace {

using namespace picture_testing;

// ============================================================ BMP

TEST(Bmp, TwentyFourBitPicturesOfEachHeaderFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  struct Case {
    const char* format;
    int width, height, colours;
    unsigned seed;
    std::size_t headers;       // file and picture headers together
    std::size_t field, value;  // a header byte that tells the case apart
  };
  for (const Case c : {Case{"BMP3", 5, 3, 15, 1, 54, 28, 24},   // 24 bits a pixel; rows padded from 15 to 16 bytes
                       Case{"BMP", 7, 4, 28, 2, 138, 14, 124},  // version 5 header
                       Case{"BMP2", 6, 3, 18, 3, 26, 14, 12}}) {  // core header
    SCOPED_TRACE(c.format);
    const auto source = scatteredPixels(c.width, c.height, c.colours, c.seed);
    writePnm(dir.path("s.ppm"), c.width, c.height, source);
    const Bytes bytes =
        convert(dir.path("s.ppm") + " -type TrueColor " + c.format + ":" + dir.path("o.bmp"), dir.path("o.bmp"));
    ASSERT_GT(bytes.size(), c.headers);
    ASSERT_EQ(bytes[c.field], c.value);
    expectPixels(decode(bytes), c.width, c.height, source);
  }
}

TEST(Bmp, PalettesOfOneFourAndEightBitsFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  struct Case {
    int width, height, colours, bits;
  };
  for (const Case c : {Case{9, 5, 2, 1}, Case{5, 3, 15, 4}, Case{11, 7, 60, 8}}) {
    SCOPED_TRACE(c.bits);
    std::vector<std::uint32_t> source = scatteredPixels(c.width, c.height, c.colours, 4);
    if (c.colours == 2) {
      for (auto& p : source) p = (p == source[0]) ? kBlack : kWhite;
    }
    writePnm(dir.path("s.ppm"), c.width, c.height, source);
    const Bytes bytes =
        convert(dir.path("s.ppm") + " -type Palette BMP3:" + dir.path("o.bmp"), dir.path("o.bmp"));
    ASSERT_GT(bytes.size(), 54u);
    ASSERT_EQ(bytes[28], c.bits);
    expectPixels(decode(bytes), c.width, c.height, source);
  }
}

TEST(Bmp, Rle8FromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  // Runs and single pixels, so both encoded and literal runs appear.
  std::vector<std::uint32_t> source = scatteredPixels(13, 6, 40, 5);
  for (int x = 0; x < 13; ++x) source[2 * 13 + x] = kRed;
  writePnm(dir.path("s.ppm"), 13, 6, source);
  const Bytes bytes = convert(dir.path("s.ppm") + " -type Palette -compress RLE BMP3:" + dir.path("o.bmp"),
                              dir.path("o.bmp"));
  ASSERT_GT(bytes.size(), 54u);
  ASSERT_EQ(bytes[30], 1);  // BI_RLE8
  expectPixels(decode(bytes), 13, 6, source);
}

TEST(Bmp, SixteenBitBitFieldsFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  const auto source = scatteredPixels(6, 4, 24, 6);
  writePnm(dir.path("s.ppm"), 6, 4, source);
  for (const char* subtype : {"RGB565", "RGB555"}) {
    SCOPED_TRACE(subtype);
    const std::string out = dir.path(std::string(subtype) + ".bmp");
    const Bytes bytes = convert(dir.path("s.ppm") + " -define bmp:subtype=" + subtype + " BMP:" + out, out);
    ASSERT_GT(bytes.size(), 138u);
    ASSERT_EQ(bytes[28], 16);
    expectPixels(decode(bytes), 6, 4, source, 8);
  }
}

TEST(Bmp, SixteenBitWithoutFieldsIsFiveFiveFive) {
  REQUIRE_CONVERT();
  Scratch dir;
  const auto source = scatteredPixels(6, 4, 24, 7);
  writePnm(dir.path("s.ppm"), 6, 4, source);
  const std::string out = dir.path("o.bmp");
  Bytes bytes = convert(dir.path("s.ppm") + " -define bmp:subtype=RGB555 BMP:" + out, out);
  ASSERT_GT(bytes.size(), 138u);
  const Picture withFields = decode(bytes);
  set32(bytes, 30, 0);  // BI_RGB: the masks in the header no longer count
  const Picture plain = decode(bytes);
  ASSERT_FALSE(plain.empty());
  EXPECT_EQ(plain.frames[0].pixels, withFields.frames[0].pixels);
  // And from our own writer, with the short header.
  expectPixels(decode(makeBmp(6, 4, source, BmpForm::Rgb555)), 6, 4, source, 8);
}

TEST(Bmp, ThirtyTwoBitWithAlphaFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  const std::vector<std::uint32_t> source{0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFFFFFFFF,
                                          0xFF0A141E, 0xC8283C50, 0xFF46505A, 0x01646E78};
  writePnm(dir.path("s.pam"), 4, 2, source, true);
  const Bytes bytes = convert(dir.path("s.pam") + " BMP:" + dir.path("o.bmp"), dir.path("o.bmp"));
  ASSERT_GT(bytes.size(), 138u);
  ASSERT_EQ(bytes[28], 32);
  const Picture picture = decode(bytes);
  ASSERT_FALSE(picture.empty());
  for (int i = 0; i < 8; ++i) {
    const std::uint32_t got = picture.frames[0].pixels[i];
    EXPECT_EQ(got >> 24, source[i] >> 24) << i;
    if (source[i] >> 24) {
      EXPECT_EQ(got & 0xFFFFFF, source[i] & 0xFFFFFF) << i;
    }
  }
}

TEST(Bmp, ThirtyTwoBitPlainIgnoresTheFourthByte) {
  const auto source = scatteredPixels(3, 2, 6, 8);
  for (std::uint8_t fourth : {0x00, 0x7F}) {
    expectPixels(decode(makeBmp(3, 2, source, BmpForm::Rgb32, false, fourth)), 3, 2, source);
  }
}

TEST(Bmp, TopDownRowsWhenTheHeightIsNegative) {
  const auto source = scatteredPixels(5, 4, 20, 9);
  const Picture bottomUp = decode(makeBmp(5, 4, source, BmpForm::Rgb24, false));
  const Picture topDown = decode(makeBmp(5, 4, source, BmpForm::Rgb24, true));
  expectPixels(bottomUp, 5, 4, source);
  expectPixels(topDown, 5, 4, source);
  expectPixels(decode(makeBmp(5, 4, source, BmpForm::Rgb32, true)), 5, 4, source);
}

TEST(Bmp, CoreHeaderAndFieldsAfterTheShortHeaderFromOurWriter) {
  const auto source = scatteredPixels(5, 3, 15, 10);
  expectPixels(decode(makeBmp(5, 3, source, BmpForm::Core24)), 5, 3, source);
  expectPixels(decode(makeBmp(5, 3, source, BmpForm::Fields565)), 5, 3, source, 8);
}

TEST(Bmp, Rle4WithLiteralRunsEndOfLineAndDelta) {
  // 6 x 3, palette of 16; rows from the bottom.
  Bytes b{'B', 'M'};
  put32(b, 0);
  put32(b, 0);
  put32(b, 0);
  put32(b, 40);
  put32(b, 6);
  put32(b, 3);
  put16(b, 1);
  put16(b, 4);
  put32(b, 2);  // BI_RLE4
  for (int i = 0; i < 5; ++i) put32(b, 0);
  const std::uint32_t colours[16] = {kBlack, kRed, kLime, kBlue};
  for (std::uint32_t c : colours) put32(b, c & 0xFFFFFF);
  set32(b, 10, static_cast<std::uint32_t>(b.size()));
  b.insert(b.end(), {
                        6, 0x12,           // bottom row: 1 2 1 2 1 2
                        0, 0,              // end of line
                        0, 3, 0x31, 0x20,  // literal 3 1 2 (padded to 2 bytes)
                        0, 2, 2, 1,        // delta: right 2, up 1 (skips x 3..4 of row 1, lands on row 2 x 5)
                        1, 0x30,           // one pixel: 3 at row 2 x 5
                        0, 1,              // end of bitmap
                    });
  const Picture picture = decode(b);
  ASSERT_FALSE(picture.empty());
  const Frame& f = picture.frames[0];
  // Bottom row (y = 2).
  for (int x = 0; x < 6; ++x) EXPECT_EQ(at(f, x, 2), x % 2 ? kLime : kRed) << x;
  // Middle row (y = 1): 3 1 2, then nothing.
  EXPECT_EQ(at(f, 0, 1), kBlue);
  EXPECT_EQ(at(f, 1, 1), kRed);
  EXPECT_EQ(at(f, 2, 1), kLime);
  for (int x = 3; x < 6; ++x) EXPECT_EQ(at(f, x, 1), kTransparent) << x;
  // Top row (y = 0): only x 5.
  for (int x = 0; x < 5; ++x) EXPECT_EQ(at(f, x, 0), kTransparent) << x;
  EXPECT_EQ(at(f, 5, 0), kBlue);

  // Without its end-of-bitmap mark the stream is incomplete.
  Bytes cut(b.begin(), b.end() - 2);
  EXPECT_TRUE(decode(cut).empty());
}

TEST(Bmp, UnsupportedFormsGiveAnEmptyPicture) {
  const auto source = scatteredPixels(4, 4, 16, 11);
  const Bytes good = makeBmp(4, 4, source, BmpForm::Rgb24);
  ASSERT_FALSE(decode(good).empty());
  auto with = [&](std::size_t offset, std::uint32_t value, int bytes) {
    Bytes b = good;
    for (int i = 0; i < bytes; ++i) b[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return decode(b);
  };
  EXPECT_TRUE(with(28, 7, 2).empty());             // 7 bits per pixel
  EXPECT_TRUE(with(28, 0, 2).empty());             // 0 bits per pixel
  EXPECT_TRUE(with(30, 4, 4).empty());             // embedded JPEG
  EXPECT_TRUE(with(30, 5, 4).empty());             // embedded PNG
  EXPECT_TRUE(with(30, 1, 4).empty());             // RLE8 with 24 bits
  EXPECT_TRUE(with(22, 0, 4).empty());             // height 0
  EXPECT_TRUE(with(18, 0xFFFFFFFC, 4).empty());    // width -4
  EXPECT_TRUE(with(22, 0x80000000u, 4).empty());   // the most negative height
  EXPECT_TRUE(with(14, 39, 4).empty());            // unknown header size
  EXPECT_TRUE(with(14, 0xFFFFFFF0u, 4).empty());   // header larger than the file
  EXPECT_TRUE(with(10, 0xFFFFFFF0u, 4).empty());   // pixels past the end
  EXPECT_TRUE(with(10, 20, 4).empty());            // pixels inside the header
}

TEST(Bmp, EveryTruncationGivesAnEmptyPicture) {
  const auto source = scatteredPixels(7, 5, 30, 12);
  for (BmpForm form : {BmpForm::Rgb24, BmpForm::Rgb555, BmpForm::Core24}) {
    const Bytes full = makeBmp(7, 5, source, form);
    ASSERT_FALSE(decode(full).empty());
    for (std::size_t n = 0; n < full.size(); ++n) {
      const Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
      ASSERT_TRUE(decode(part).empty()) << n;
    }
  }
}
// ============================================================ BMP, more

TEST(Bmp, AbsurdSizesGiveAnEmptyPictureQuickly) {
  const std::clock_t start = std::clock();
  Bytes b = makeBmp(2, 2, std::vector<std::uint32_t>(4, kRed), BmpForm::Rgb24);
  for (auto [w, h] : {std::pair{65535, 65535}, std::pair{4097, 1}, std::pair{1, -4097}, std::pair{0x7FFFFFFF, 1}}) {
    Bytes c = b;
    set32(c, 18, static_cast<std::uint32_t>(w));
    set32(c, 22, static_cast<std::uint32_t>(h));
    EXPECT_TRUE(decode(c).empty()) << w << "x" << h;
  }
  // At the limit the size is fine but the file is far too short.
  set32(b, 18, 4096);
  set32(b, 22, 4096);
  EXPECT_TRUE(decode(b).empty());
  EXPECT_LT(secondsSince(start), 2.0);
}

TEST(Bmp, CorruptInputsDecodeSafely) {
  const auto source = scatteredPixels(9, 7, 50, 28);
  fuzzAround(makeBmp(9, 7, source, BmpForm::Rgb24), 29, 1500);
  fuzzAround(makeBmp(9, 7, source, BmpForm::Fields565, true), 30, 1500);
  fuzzAround(makeBmp(9, 7, source, BmpForm::Core24), 31, 1500);
}

}  // namespace
