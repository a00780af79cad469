#pragma once
#include <cstdint>

namespace ui {

// A colour as the settings files and the colour picker hold it: a signed
// 32-bit 0x00BBGGRR, red in the low byte (a stored -1 is white). Held wider,
// so that the "system default" marker below is no colour any file can hold.
using Colour = std::int64_t;

// The window definitions write colours as #RRGGBB; rgb(0x0088FF) turns such a
// literal into a Colour.
constexpr Colour rgb(std::uint32_t rrggbb) {
  return static_cast<Colour>(((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16));
}

constexpr Colour kWhite = rgb(0xFFFFFF);
constexpr Colour kBlack = rgb(0x000000);
// Stands for the system's button-face colour where a definition gives none;
// outside the 32-bit range, so never mistaken for a stored colour.
constexpr Colour kSystemDefault = -(Colour{1} << 40);

constexpr int redOf(Colour c) { return c & 0xFF; }
constexpr int greenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr int blueOf(Colour c) { return (c >> 16) & 0xFF; }

}  // namespace ui
