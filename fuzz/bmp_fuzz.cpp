// Fuzz target of the BMP decoder: one frame or none, within the limits
// (picture_checks.h), the same through the sniffing entry point (nothing
// without the "BM" signature); and the file cut short by a byte decodes
// within the limits too.
#include <cstddef>
#include <cstdint>

#include "picture_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using picture_checks::checkPicture;
  const pictures::Picture picture = pictures::decodeBmp(data, size);
  checkPicture(picture);
  PICTURE_CHECK(picture.frames.size() <= 1);
  if (picture_checks::looksLikeBmp(data, size)) {
    PICTURE_CHECK(picture_checks::samePictures(picture, pictures::decodePicture(data, size)));
  } else {
    PICTURE_CHECK(picture.empty());
  }
  if (size > 0) checkPicture(pictures::decodeBmp(data, size - 1));
  return 0;
}
