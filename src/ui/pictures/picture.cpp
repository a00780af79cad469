#include <cstring>

#include "ui/pictures/picture.h"

namespace pictures {

Picture decodePicture(const std::uint8_t* data, std::size_t size) {
  if (!data) return {};
  auto startsWith = [&](const char* signature, std::size_t length) {
    return size >= length && std::memcmp(data, signature, length) == 0;
  };
  if (startsWith("BM", 2)) return decodeBmp(data, size);
  if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6)) return decodeGif(data, size);
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return decodeJpeg(data, size);
  return {};
}

}  // namespace pictures
