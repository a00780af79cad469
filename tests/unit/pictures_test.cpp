// The picture decoders: what the kind of a picture comes from, and inputs of no kind.
#include "picture_testing.h"

namespace {

using namespace picture_testing;

// ============================================================ signatures

TEST(Pictures, UnknownNullEmptyAndTooShortInputsGiveAnEmptyPicture) {
  EXPECT_TRUE(decodePicture(nullptr, 10).empty());
  const std::uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
  EXPECT_TRUE(decodePicture(png, sizeof png).empty());
  EXPECT_TRUE(decodePicture(png, 0).empty());
  const std::uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a'};
  EXPECT_TRUE(decodePicture(gif, sizeof gif).empty());
  const std::uint8_t gif88[] = {'G', 'I', 'F', '8', '8', 'a', 1, 0, 1, 0, 0, 0, 0, 0x2C};
  EXPECT_TRUE(decodePicture(gif88, sizeof gif88).empty());
  const std::uint8_t bm[] = {'B', 'M'};
  EXPECT_TRUE(decodePicture(bm, sizeof bm).empty());
  const std::uint8_t jpeg[] = {0xFF, 0xD8, 0xFF};
  EXPECT_TRUE(decodePicture(jpeg, sizeof jpeg).empty());
}

TEST(Pictures, TheKindComesFromTheSignatureNotFromElsewhere) {
  // The same GIF bytes decode through decodePicture and decodeGif alike, and
  // the BMP decoder refuses them.
  const std::vector<std::uint32_t> palette{kRed, kLime};
  GifBuilder gif(2, 1, palette);
  gif.add(solid(0, 0, 2, 1, 1));
  const Bytes bytes = gif.bytes();
  const Picture picture = decode(bytes);
  ASSERT_EQ(picture.frames.size(), 1u);
  EXPECT_EQ(at(picture.frames[0], 1, 0), kLime);
  EXPECT_TRUE(pictures::decodeBmp(bytes.data(), bytes.size()).empty());
  EXPECT_TRUE(pictures::decodeJpeg(bytes.data(), bytes.size()).empty());
}

}  // namespace
