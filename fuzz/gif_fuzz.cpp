// Fuzz target of the GIF decoder. Besides the promises of every picture
// (picture_checks.h): an animated picture waits at least 20 ms a frame; the
// sniffing entry point gives the same picture (and anything without the GIF
// signature gives none here); and a file cut short keeps exactly the frames
// that were complete: the frames of any prefix are the first frames of the
// whole.
#include <cstddef>
#include <cstdint>

#include "picture_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using picture_checks::checkPicture;
  const pictures::Picture picture = pictures::decodeGif(data, size);
  checkPicture(picture);
  for (const pictures::Frame& frame : picture.frames) PICTURE_CHECK(frame.delayMs >= 20);
  if (picture_checks::looksLikeGif(data, size)) {
    PICTURE_CHECK(picture_checks::samePictures(picture, pictures::decodePicture(data, size)));
  } else {
    PICTURE_CHECK(picture.empty());
  }

  const pictures::Picture prefix = pictures::decodeGif(data, size / 2);
  checkPicture(prefix);
  PICTURE_CHECK(prefix.frames.size() <= picture.frames.size());
  for (std::size_t i = 0; i < prefix.frames.size(); ++i) {
    PICTURE_CHECK(prefix.frames[i].pixels == picture.frames[i].pixels);
  }
  return 0;
}
