// Fuzz target of the JPEG decoder (libjpeg behind our error manager): one
// opaque frame or none, within the limits (picture_checks.h), and the same
// through the sniffing entry point (nothing without the FF D8 FF signature).
// libjpeg's fatal errors must come back as an empty picture: its default
// handler would call exit(), which the fuzzer reports.
#include <cstddef>
#include <cstdint>

#include "picture_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using picture_checks::checkPicture;
  const pictures::Picture picture = pictures::decodeJpeg(data, size);
  checkPicture(picture);
  PICTURE_CHECK(picture.frames.size() <= 1);
  for (const pictures::Frame& frame : picture.frames) {
    for (std::uint32_t pixel : frame.pixels) PICTURE_CHECK((pixel >> 24) == 0xFF);
  }
  if (picture_checks::looksLikeJpeg(data, size)) {
    PICTURE_CHECK(picture_checks::samePictures(picture, pictures::decodePicture(data, size)));
  } else {
    PICTURE_CHECK(picture.empty());
  }
  return 0;
}
