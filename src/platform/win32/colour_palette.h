// The colour picker's palette: a small borderless popup below the picker
// button with the 32 named colours as swatches, in their order, eight to a
// row, and the entry "其它颜色..." beneath them, which opens the system's
// colour dialog with the current colour preselected. There is no transparent
// entry.
//
// Each swatch and the last entry are child windows whose window text is the
// colour's name (or the entry's caption), so accessibility tools and tests
// outside the process can find them; the palette itself handles the pointer
// and the keys:
//  - a left button released over an entry chooses it;
//  - a button pressed outside the palette, Esc, or the palette losing the
//    activation (another window or program comes to the front) closes it
//    without a choice;
//  - the arrow keys move the highlight, Enter or Space chooses the
//    highlighted entry. The highlight starts on the current colour.
// Choosing closes the palette first, gives the focus back to the picker and
// then reports the colour.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "ui/colour.h"

namespace win32 {

// What the palette reports: the colour the user chose.
using ColourChosen = std::function<void(ui::Colour colour)>;

// The "其它颜色..." dialog: owned by `owner`, with `current` preselected;
// the colour chosen, or nothing when cancelled.
using OtherColourDialog = std::function<std::optional<ui::Colour>(HWND owner, ui::Colour current)>;

// The palette's window class, for finding it from outside.
extern const wchar_t kColourPaletteClass[];

// The colour pickers' palettes, at most one open at a time, and what they
// keep for the rest of the run (the user's custom colours of the system's
// colour dialog). The backend owns one.
class ColourPalettes {
 public:
  ColourPalettes();
  // Closes the open palette, if any, without a choice.
  ~ColourPalettes();
  ColourPalettes(const ColourPalettes&) = delete;
  ColourPalettes& operator=(const ColourPalettes&) = delete;

  // Opens the palette for the picker button `picker` (a child window): below
  // it, left edges aligned, or above it where the screen ends below; owned
  // by the picker's top-level window. Closes any palette already open,
  // without a choice. Returns the palette's window, or null when it could
  // not be made.
  HWND open(HWND picker, ui::Colour current, ColourChosen chosen);
  // Closes the open palette, if any, without a choice.
  void close();
  // The open palette's window, or null.
  HWND window() const;

  // Replaces the "其它颜色..." dialog (for tests); empty puts the system's
  // colour dialog back.
  void setOtherColourDialog(OtherColourDialog dialog) { otherColourDialog_ = std::move(dialog); }

 private:
  class Palette;

  std::optional<ui::Colour> askOtherColour(HWND owner, ui::Colour current);
  std::optional<ui::Colour> systemColourDialog(HWND owner, ui::Colour current);

  Palette* open_ = nullptr;
  OtherColourDialog otherColourDialog_;
  COLORREF customColours_[16];
};

}  // namespace win32
