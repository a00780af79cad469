// ===========================================================================
//  PLATFORM SEAM (Win32)
// ===========================================================================
//
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
// then reports the colour. Only one palette is open at a time.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "ui/colour.h"

namespace win32 {

// What the palette reports: the colour the user chose.
using ColourChosen = std::function<void(ui::Colour colour)>;

// Opens the palette for the picker button `picker` (a child window): below
// it, left edges aligned, or above it where the screen ends below; owned by
// the picker's top-level window. Closes any palette already open, without a
// choice. Returns the palette's window, or null when it could not be made.
HWND openColourPalette(HWND picker, ui::Colour current, ColourChosen chosen);

// Closes the open palette, if any, without a choice.
void closeColourPalette();

// The open palette's window, or null.
HWND colourPaletteWindow();

// The palette's window class, for finding it from outside.
extern const wchar_t kColourPaletteClass[];

// The "其它颜色..." dialog: the system's colour dialog owned by `owner` with
// `current` preselected; the colour chosen, or nothing when cancelled.
// Replaceable for tests; nullptr puts the system's dialog back.
using OtherColourDialog = std::optional<ui::Colour> (*)(HWND owner, ui::Colour current);
void setOtherColourDialog(OtherColourDialog dialog);

}  // namespace win32
