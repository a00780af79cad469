#pragma once
// The named colours the colour picker's palette offers, in the order the
// palette shows them. Portable data: the Win32 palette draws them, the tests
// read them.
#include <array>

#include "ui/colour.h"

namespace ui {

struct NamedColour {
  const char* name;  // GBK, as every program text
  Colour colour;     // 0x00BBGGRR
};

constexpr int kNamedColourCount = 32;

// The 32 colours, first to last. There is no transparent entry: the picker
// does not offer the transparent choice.
const std::array<NamedColour, kNamedColourCount>& namedColours();

// The palette's last entry, after the colours: it opens the system's colour
// dialog for any other colour.
extern const char kOtherColoursCaption[];

// The index of the first named colour equal to colour, or -1.
int namedColourIndex(Colour colour);

}  // namespace ui
