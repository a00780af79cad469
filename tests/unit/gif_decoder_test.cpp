// The GIF decoder against ImageMagick's pictures and our own writer's.
#include "picture_testing.h"

namespace {

using namespace picture_testing;

// ============================================================ GIF

TEST(Gif, ManyColoursFromImageMagickMatchTheSource) {
  REQUIRE_CONVERT();
  Scratch dir;
  // 256 colours scattered over 300 x 200: the LZW table fills many times.
  const auto source = scatteredPixels(300, 200, 256, 13);
  writePnm(dir.path("s.ppm"), 300, 200, source);
  const Bytes bytes = convert(dir.path("s.ppm") + " GIF:" + dir.path("o.gif"), dir.path("o.gif"));
  ASSERT_GT(bytes.size(), 13u);
  expectPixels(decode(bytes), 300, 200, source);
}

TEST(Gif, InterlacedFromImageMagickMatchesImageMagicksOwnReading) {
  REQUIRE_CONVERT();
  Scratch dir;
  // ImageMagick's reading of its own file is the reference: for some
  // heights (3, for one) its writer puts a row in the wrong pass, so the
  // file does not hold the source picture.
  for (int height = 1; height <= 20; ++height) {
    SCOPED_TRACE(height);
    const auto source = scatteredPixels(11, height, 20, 14 + height);
    writePnm(dir.path("s.ppm"), 11, height, source);
    const Bytes bytes =
        convert(dir.path("s.ppm") + " -interlace GIF GIF:" + dir.path("o.gif"), dir.path("o.gif"));
    // The image descriptor says interlaced.
    bool interlaced = false;
    for (std::size_t i = 13; i + 9 < bytes.size(); ++i) {
      if (bytes[i] == 0x2C && bytes[i + 5] == 11 && bytes[i + 6] == 0) {
        interlaced = (bytes[i + 9] & 0x40) != 0;
        break;
      }
    }
    EXPECT_TRUE(interlaced);
    const auto reference = readPpm(convert(dir.path("o.gif") + " PPM:" + dir.path("r.ppm"), dir.path("r.ppm")));
    ASSERT_EQ(reference.size(), source.size());
    expectPixels(decode(bytes), 11, height, reference);
  }
}

TEST(Gif, InterlacedFromOurWriter) {
  const auto palette = distinctColours(16);
  GifImage image;
  image.width = 5;
  image.height = 13;
  image.interlaced = true;
  for (int i = 0; i < 65; ++i) image.indices.push_back(static_cast<std::uint8_t>((i * 7 + i / 5) % 16));
  GifBuilder gif(5, 13, palette);
  gif.add(image);
  std::vector<std::uint32_t> expected;
  for (auto index : image.indices) expected.push_back(palette[index]);
  expectPixels(decode(gif.bytes()), 5, 13, expected);
}

TEST(Gif, EveryMinimumCodeSizeAndAFullTableWithoutClear) {
  for (int bits = 1; bits <= 8; ++bits) {
    for (bool clearWhenFull : {true, false}) {
      SCOPED_TRACE(std::to_string(bits) + (clearWhenFull ? " clear" : " no clear"));
      const auto palette = distinctColours(1 << bits);
      ASSERT_EQ(palette.size(), std::size_t{1} << bits);
      // Noise fills the table; a long single-colour run hits the case of a
      // code that is being defined (KwKwK).
      std::mt19937 random(static_cast<unsigned>(bits));
      GifImage image;
      image.width = 160;
      image.height = 120;
      image.clearWhenFull = clearWhenFull;
      for (int i = 0; i < 160 * 120; ++i) {
        image.indices.push_back(i > 160 * 100 ? 0 : static_cast<std::uint8_t>(random() % palette.size()));
      }
      GifBuilder gif(160, 120, palette);
      gif.add(image);
      std::vector<std::uint32_t> expected;
      for (auto index : image.indices) expected.push_back(palette[index]);
      expectPixels(decode(gif.bytes()), 160, 120, expected);
    }
  }
}

// Three images on an 8 x 8 canvas: red all over, then lime 4 x 4 at 2,2 with
// the disposal under test, then blue 2 x 2 at 0,0. What does the third frame
// show?
void expectThirdFrameAfterDisposal(const Picture& picture, int disposal) {
  ASSERT_EQ(picture.frames.size(), 3u);
  ASSERT_EQ(picture.width, 8);
  ASSERT_EQ(picture.height, 8);
  const Frame& second = picture.frames[1];
  const Frame& third = picture.frames[2];
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool inLime = x >= 2 && x < 6 && y >= 2 && y < 6;
      const bool inBlue = x < 2 && y < 2;
      EXPECT_EQ(at(picture.frames[0], x, y), kRed);
      EXPECT_EQ(at(second, x, y), inLime ? kLime : kRed) << x << "," << y;
      std::uint32_t expected = kRed;
      if (inLime) expected = disposal == 2 ? kTransparent : disposal == 3 ? kRed : kLime;
      if (inBlue) expected = kBlue;
      EXPECT_EQ(at(third, x, y), expected) << "disposal " << disposal << " at " << x << "," << y;
    }
  }
}

TEST(Gif, DisposalMethodsFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  writePnm(dir.path("r.ppm"), 8, 8, std::vector<std::uint32_t>(64, kRed));
  writePnm(dir.path("g.ppm"), 4, 4, std::vector<std::uint32_t>(16, kLime));
  writePnm(dir.path("b.ppm"), 2, 2, std::vector<std::uint32_t>(4, kBlue));
  const char* names[] = {"Undefined", "None", "Background", "Previous"};
  for (int disposal = 0; disposal < 4; ++disposal) {
    SCOPED_TRACE(names[disposal]);
    const std::string out = dir.path(std::string(names[disposal]) + ".gif");
    const Bytes bytes = convert("-dispose None -page 8x8+0+0 " + dir.path("r.ppm") + " -dispose " + names[disposal] +
                                    " -page 8x8+2+2 " + dir.path("g.ppm") + " -dispose None -page 8x8+0+0 " +
                                    dir.path("b.ppm") + " GIF:" + out,
                                out);
    ASSERT_GT(bytes.size(), 13u);
    expectThirdFrameAfterDisposal(decode(bytes), disposal);
  }
}

TEST(Gif, DisposalMethodsFromOurWriterIncludingTheUndefinedOnes) {
  for (int disposal = 0; disposal < 8; ++disposal) {
    SCOPED_TRACE(disposal);
    GifBuilder gif(8, 8, {kRed, kLime, kBlue, kWhite});
    GifImage first = solid(0, 0, 8, 8, 0);
    first.disposal = 1;
    GifImage second = solid(2, 2, 4, 4, 1);
    second.disposal = disposal;
    gif.add(first).add(second).add(solid(0, 0, 2, 2, 2));
    expectThirdFrameAfterDisposal(decode(gif.bytes()), disposal >= 4 ? 1 : disposal);
  }
}

TEST(Gif, RestoreToPreviousGoesBackPastSeveralFrames) {
  // Frame 2 (disposal 3) is replaced by what was there before it, even
  // though frame 1 had cleared its own area (disposal 2).
  GifBuilder gif(4, 1, {kRed, kLime, kBlue, kWhite});
  GifImage a = solid(0, 0, 4, 1, 0);
  a.disposal = 2;
  GifImage b = solid(0, 0, 2, 1, 1);
  b.disposal = 3;
  GifImage c = solid(3, 0, 1, 1, 2);
  gif.add(a).add(b).add(c);
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 3u);
  EXPECT_EQ(p.frames[1].pixels, (std::vector<std::uint32_t>{kLime, kLime, kTransparent, kTransparent}));
  EXPECT_EQ(p.frames[2].pixels, (std::vector<std::uint32_t>{kTransparent, kTransparent, kTransparent, kBlue}));

  // Disposal 3 on the very first image goes back to the empty canvas.
  GifBuilder first(2, 1, {kRed, kLime});
  GifImage x = solid(0, 0, 2, 1, 0);
  x.disposal = 3;
  first.add(x).add(solid(1, 0, 1, 1, 1));
  const Picture q = decode(first.bytes());
  ASSERT_EQ(q.frames.size(), 2u);
  EXPECT_EQ(q.frames[1].pixels, (std::vector<std::uint32_t>{kTransparent, kLime}));
}

TEST(Gif, TransparentIndexShowsWhatIsBeneath) {
  GifBuilder gif(4, 2, {kRed, kLime, kBlue, kWhite});
  GifImage first = solid(0, 0, 4, 2, 0);
  first.transparent = 0;  // the first frame is all transparent where 0
  first.indices = {0, 1, 0, 1, 2, 2, 0, 0};
  first.disposal = 1;
  GifImage second = solid(0, 0, 4, 2, 3);
  second.indices = {3, 3, 2, 2, 3, 3, 3, 3};
  second.transparent = 3;
  gif.add(first).add(second);
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 2u);
  EXPECT_EQ(p.frames[0].pixels,
            (std::vector<std::uint32_t>{kTransparent, kLime, kTransparent, kLime, kBlue, kBlue, kTransparent,
                                        kTransparent}));
  EXPECT_EQ(p.frames[1].pixels,
            (std::vector<std::uint32_t>{kTransparent, kLime, kBlue, kBlue, kBlue, kBlue, kTransparent, kTransparent}));
}

TEST(Gif, TransparencyFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  std::vector<std::uint32_t> source(6 * 4, 0xFF2040C0);
  for (int i : {0, 5, 7, 14, 23}) source[i] = 0x00000000;
  source[9] = 0xFFF0E010;
  writePnm(dir.path("s.pam"), 6, 4, source, true);
  const Bytes bytes = convert(dir.path("s.pam") + " GIF:" + dir.path("o.gif"), dir.path("o.gif"));
  const Picture p = decode(bytes);
  ASSERT_EQ(p.frames.size(), 1u);
  for (int i = 0; i < 24; ++i) {
    if (source[i] == 0) {
      EXPECT_EQ(p.frames[0].pixels[i] >> 24, 0u) << i;
    } else {
      EXPECT_EQ(p.frames[0].pixels[i], source[i]) << i;
    }
  }
}

TEST(Gif, LocalPalettesReplaceTheGlobalOneForTheirImageOnly) {
  GifBuilder gif(2, 2, {kRed, kLime});
  GifImage a = solid(0, 0, 2, 1, 1);
  GifImage b = solid(0, 1, 2, 1, 1);
  b.localPalette = {kBlue, rgb(1, 2, 3), rgb(4, 5, 6), rgb(7, 8, 9)};
  GifImage c = solid(0, 0, 1, 1, 0);
  gif.add(a).add(b).add(c);
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 3u);
  EXPECT_EQ(p.frames[1].pixels, (std::vector<std::uint32_t>{kLime, kLime, rgb(1, 2, 3), rgb(1, 2, 3)}));
  EXPECT_EQ(p.frames[2].pixels, (std::vector<std::uint32_t>{kRed, kLime, rgb(1, 2, 3), rgb(1, 2, 3)}));

  // Without any colour table the image still counts as a frame.
  GifBuilder none(2, 1);
  none.add(solid(0, 0, 2, 1, 0));
  const Picture q = decode(none.bytes());
  ASSERT_EQ(q.frames.size(), 1u);
}

TEST(Gif, LocalPalettesFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  const auto one = scatteredPixels(6, 6, 30, 20);
  std::vector<std::uint32_t> two(36);
  for (int i = 0; i < 36; ++i) two[i] = rgb(255 - i, i * 7, 100);
  writePnm(dir.path("a.ppm"), 6, 6, one);
  writePnm(dir.path("b.ppm"), 6, 6, two);
  const Bytes bytes =
      convert(dir.path("a.ppm") + " " + dir.path("b.ppm") + " GIF:" + dir.path("o.gif"), dir.path("o.gif"));
  const Picture p = decode(bytes);
  ASSERT_EQ(p.frames.size(), 2u);
  EXPECT_EQ(p.frames[0].pixels, one);
  EXPECT_EQ(p.frames[1].pixels, two);
}

TEST(Gif, DelaysAndLoopCountFromImageMagick) {
  REQUIRE_CONVERT();
  Scratch dir;
  for (const char* c : {"red", "lime", "blue", "white", "black"}) {
    ASSERT_EQ(std::system(("convert -size 3x3 xc:" + std::string(c) + " " + dir.path(std::string(c) + ".ppm")).c_str()),
              0);
  }
  auto p = [&](const char* c) { return dir.path(std::string(c) + ".ppm"); };
  const Bytes bytes = convert("-delay 0 " + p("red") + " -delay 50 " + p("lime") + " -delay 1 " + p("blue") +
                                  " -delay 2 " + p("white") + " -delay 7 " + p("black") + " -loop 3 GIF:" +
                                  dir.path("o.gif"),
                              dir.path("o.gif"));
  const Picture picture = decode(bytes);
  ASSERT_EQ(picture.frames.size(), 5u);
  std::vector<int> delays;
  for (const Frame& f : picture.frames) delays.push_back(f.delayMs);
  EXPECT_EQ(delays, (std::vector<int>{100, 500, 100, 20, 70}));
  // ImageMagick's "-loop 3" means three plays; it writes 2 into the block.
  EXPECT_EQ(picture.loopCount, 3);
  EXPECT_EQ(at(picture.frames[2], 1, 1), kBlue);

  const Bytes forever = convert("-delay 10 " + p("red") + " " + p("lime") + " -loop 0 GIF:" + dir.path("f.gif"),
                                dir.path("f.gif"));
  EXPECT_EQ(decode(forever).loopCount, 0);
}

TEST(Gif, LoopCountFromOurWriter) {
  auto make = [](int loop) {
    GifBuilder gif(1, 1, {kRed, kLime});
    if (loop >= 0) gif.loop(loop);
    gif.add(solid(0, 0, 1, 1, 0)).add(solid(0, 0, 1, 1, 1));
    return decode(gif.bytes());
  };
  EXPECT_EQ(make(-1).loopCount, 1);  // no NETSCAPE2.0 block: plays once
  EXPECT_EQ(make(0).loopCount, 0);
  EXPECT_EQ(make(1).loopCount, 2);
  EXPECT_EQ(make(65535).loopCount, 65536);
}

TEST(Gif, ImagesPartlyOrWhollyOutsideTheCanvasAreClipped) {
  GifBuilder gif(8, 8, {kRed, kLime, kBlue, kWhite});
  gif.add(solid(0, 0, 8, 8, 0));
  GifImage corner = solid(6, 6, 4, 4, 1);
  gif.add(corner);
  gif.add(solid(100, 3, 5, 5, 2));    // right of the canvas
  gif.add(solid(3, 60000, 5, 5, 2));  // below it
  GifImage tall = solid(7, 0, 3, 20, 3);
  tall.interlaced = true;
  gif.add(tall);
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 5u);
  expectWellFormed(p);
  EXPECT_EQ(p.frames[2].pixels, p.frames[1].pixels);
  EXPECT_EQ(p.frames[3].pixels, p.frames[1].pixels);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(at(p.frames[1], x, y), x >= 6 && y >= 6 ? kLime : kRed);
      EXPECT_EQ(at(p.frames[4], x, y), x == 7 ? kWhite : (x >= 6 && y >= 6 ? kLime : kRed));
    }
  }
}

TEST(Gif, AScreenOfNoSizeTakesTheFirstImageSize) {
  GifBuilder gif(0, 0, {kRed, kLime});
  gif.add(solid(1, 2, 3, 4, 1));
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 1u);
  EXPECT_EQ(p.width, 4);
  EXPECT_EQ(p.height, 6);
  EXPECT_EQ(at(p.frames[0], 0, 0), kTransparent);
  EXPECT_EQ(at(p.frames[0], 3, 5), kLime);
}

TEST(Gif, ABrokenCodeStreamKeepsThePixelsBeforeIt) {
  // Minimum code size 2, 3-bit codes: clear (4), 1, then 7, which is past
  // the next free code (6): the image stops after one pixel.
  const Bytes data{0xCC, 0x01};
  GifBuilder gif(3, 1, {kRed, kLime, kBlue, kWhite});
  gif.add(solid(0, 0, 3, 1, 2));
  gif.addRaw(3, 1, 2, data);
  gif.add(solid(2, 0, 1, 1, 0));
  const Picture p = decode(gif.bytes());
  ASSERT_EQ(p.frames.size(), 3u);
  EXPECT_EQ(p.frames[1].pixels, (std::vector<std::uint32_t>{kLime, kBlue, kBlue}));
  EXPECT_EQ(p.frames[2].pixels, (std::vector<std::uint32_t>{kLime, kBlue, kRed}));

  // A first code after a clear that is not a single pixel: nothing drawn.
  GifBuilder second(2, 1, {kRed, kLime, kBlue, kWhite});
  second.addRaw(2, 1, 2, Bytes{0x34});  // clear (4), then 6 (width 3: 100 110)
  const Picture q = decode(second.bytes());
  ASSERT_EQ(q.frames.size(), 1u);
  EXPECT_EQ(q.frames[0].pixels, (std::vector<std::uint32_t>{kTransparent, kTransparent}));
}

TEST(Gif, AnImpossibleMinimumCodeSizeEndsTheFile) {
  for (int size : {0, 1, 9, 12, 255}) {
    GifBuilder gif(2, 1, {kRed, kLime});
    gif.add(solid(0, 0, 2, 1, 1));
    gif.addRaw(2, 1, size, Bytes{0x00, 0x00});
    gif.add(solid(0, 0, 2, 1, 0));
    const Picture p = decode(gif.bytes());
    ASSERT_EQ(p.frames.size(), 1u) << size;
    EXPECT_EQ(at(p.frames[0], 0, 0), kLime);
  }
}

TEST(Gif, UnknownBlocksAndExtensionsAreHandledAsBrowsersDo) {
  GifBuilder gif(2, 1, {kRed, kLime});
  gif.add(solid(0, 0, 2, 1, 1));
  Bytes bytes = gif.bytes();
  bytes.pop_back();  // the trailer
  // A comment extension is skipped; a stray byte ends the file.
  const Bytes comment{0x21, 0xFE, 3, 'a', 'b', 'c', 0};
  bytes.insert(bytes.end(), comment.begin(), comment.end());
  GifBuilder more(2, 1, {kRed, kLime});
  more.add(solid(0, 0, 1, 1, 0));
  const Bytes moreBytes = more.bytes();
  const std::size_t imageStart = 13 + 6;  // after header and the 2-colour table
  bytes.insert(bytes.end(), moreBytes.begin() + imageStart, moreBytes.end() - 1);
  bytes.push_back(0x99);
  bytes.insert(bytes.end(), moreBytes.begin() + imageStart, moreBytes.end());
  const Picture p = decode(bytes);
  ASSERT_EQ(p.frames.size(), 2u);
  EXPECT_EQ(p.frames[1].pixels, (std::vector<std::uint32_t>{kRed, kLime}));
}

TEST(Gif, ATruncatedFileKeepsItsCompleteFrames) {
  std::mt19937 random(21);
  const auto palette = distinctColours(8);
  GifBuilder gif(12, 9, palette);
  gif.loop(0);
  for (int i = 0; i < 4; ++i) {
    GifImage image;
    image.left = i;
    image.top = i;
    image.width = 12 - 2 * i;
    image.height = 9 - 2 * i;
    image.interlaced = i == 2;
    image.disposal = i % 4;
    image.transparent = i == 1 ? 3 : -1;
    for (int k = 0; k < image.width * image.height; ++k) image.indices.push_back(static_cast<std::uint8_t>(random() % 8));
    gif.add(image);
  }
  const Bytes full = gif.bytes();
  const Picture whole = decode(full);
  ASSERT_EQ(whole.frames.size(), 4u);
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    const Picture p = decode(part);
    std::size_t complete = 0;
    for (std::size_t end : gif.frameEnds()) complete += end <= n ? 1 : 0;
    ASSERT_EQ(p.frames.size(), complete) << "prefix " << n;
    for (std::size_t i = 0; i < complete; ++i) {
      ASSERT_EQ(p.frames[i].pixels, whole.frames[i].pixels) << "prefix " << n << " frame " << i;
    }
  }
}

TEST(Gif, EveryPrefixOfAnImageMagickAnimationDecodesSafely) {
  REQUIRE_CONVERT();
  Scratch dir;
  writePnm(dir.path("a.ppm"), 20, 10, scatteredPixels(20, 10, 100, 22));
  writePnm(dir.path("b.ppm"), 20, 10, scatteredPixels(20, 10, 50, 23));
  const Bytes full = convert("-delay 5 " + dir.path("a.ppm") + " -interlace GIF " + dir.path("b.ppm") + " GIF:" +
                                 dir.path("o.gif"),
                             dir.path("o.gif"));
  const Picture whole = decode(full);
  ASSERT_EQ(whole.frames.size(), 2u);
  std::size_t previous = 0;
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const Picture p = decode(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)));
    expectWellFormed(p);
    ASSERT_GE(p.frames.size(), previous) << n;
    previous = p.frames.size();
    for (std::size_t i = 0; i < p.frames.size(); ++i) ASSERT_EQ(p.frames[i].pixels, whole.frames[i].pixels);
  }
  EXPECT_EQ(previous, 2u);
}

TEST(Gif, AbsurdCanvasSizesGiveAnEmptyPictureQuickly) {
  const std::clock_t start = std::clock();
  for (auto [w, h] : {std::pair{65535, 65535}, std::pair{4097, 1}, std::pair{1, 4097}}) {
    GifBuilder gif(w, h, {kRed, kLime});
    gif.add(solid(0, 0, 1, 1, 1));
    EXPECT_TRUE(decode(gif.bytes()).empty()) << w << "x" << h;
  }
  // No screen size and a huge first image: the same.
  GifBuilder gif(0, 0, {kRed, kLime});
  gif.add(solid(65000, 65000, 1, 1, 1));
  EXPECT_TRUE(decode(gif.bytes()).empty());
  EXPECT_LT(secondsSince(start), 2.0);
}

TEST(Gif, FramesStopAtThePixelBudgetAndTheFrameLimit) {
  // 4096 x 4096 is 16 Mpx a frame: the budget of 64 Mpx holds four.
  GifBuilder big(4096, 4096, {kRed, kLime});
  for (int i = 0; i < 6; ++i) big.add(solid(i, 0, 1, 1, 1));
  const Picture p = decode(big.bytes());
  ASSERT_EQ(p.frames.size(), pictures::kMaxTotalPixels / (4096u * 4096u));
  EXPECT_EQ(at(p.frames[3], 3, 0), kLime);
  EXPECT_EQ(at(p.frames[3], 4, 0), kTransparent);

  GifBuilder many(1, 1, {kRed, kLime});
  for (std::size_t i = 0; i < pictures::kMaxFrames + 20; ++i) many.add(solid(0, 0, 1, 1, i % 2));
  const Picture q = decode(many.bytes());
  ASSERT_EQ(q.frames.size(), pictures::kMaxFrames);
  EXPECT_EQ(q.frames.back().pixels[0], kLime);
}


TEST(Gif, CorruptInputsDecodeSafely) {
  const auto palette = distinctColours(64);
  GifBuilder gif(30, 20, palette);
  gif.loop(2);
  std::mt19937 random(24);
  for (int i = 0; i < 3; ++i) {
    GifImage image;
    image.left = i * 3;
    image.width = 30 - i * 3;
    image.height = 20;
    image.interlaced = i == 1;
    image.disposal = i + 1;
    image.transparent = 5;
    if (i == 2) image.localPalette = distinctColours(4);
    for (int k = 0; k < image.width * image.height; ++k) {
      image.indices.push_back(static_cast<std::uint8_t>(random() % (i == 2 ? 4 : 64)));
    }
    gif.add(image);
  }
  fuzzAround(gif.bytes(), 25, 3000);
}

}  // namespace
