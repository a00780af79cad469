// Painting of the program's control kinds with GDI. Every control is a child
// window of our own class; the window backend calls these functions from its
// WM_PAINT handling with a DC in the control's client coordinates (the
// control's top-left corner at 0,0, its size that of control.rect).
//
// Text: captions are GBK bytes; they are converted with code page 936 and
// drawn with the wide-character API, so they read right on any system locale.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/owners.h"
#include "ui/dpi_scale.h"
#include "ui/window_state.h"

namespace win32 {

// How the user is interacting with a control right now.
struct ControlLook {
  bool hot = false;      // the pointer is over it
  bool pressed = false;  // the left button is held down on it
  bool focused = false;  // it has the keyboard focus
};

// The fonts of the window definitions, created on first use and kept until the
// cache goes. Every font uses the GB2312 character set; the height is the
// character height in logical pixels, rasterized at the scale's size (never
// stretched). An empty face means the system's GUI font.
class FontCache {
 public:
  FontCache();
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  // Never null: a font that cannot be created falls back to the GUI font.
  HFONT get(const ui::Font& font, ui::DpiScale scale = {});

 private:
  // By face, height, weight and DPI; empty where the font could not be made.
  std::map<std::tuple<std::string, int, int, int>, GdiObject<HFONT>> fonts_;
  int systemDpi_;  // the DPI the system made its GUI font for; fixed for the process
};

// A colour of the model as GDI wants it. Both are 0x00BBGGRR; the model's
// "system default" becomes the given system colour (COLOR_BTNFACE for
// backgrounds, COLOR_BTNTEXT for text).
COLORREF toColorRef(ui::Colour colour, int systemColourIndex);

// A solid rectangle (nothing for an empty one), and a one-pixel frame along
// the inside of a rectangle: top and left in one colour, bottom and right in
// the other, `width` pixels wide.
void fill(HDC hdc, const RECT& rect, COLORREF colour);
void frame(HDC hdc, const RECT& r, COLORREF topLeft, COLORREF bottomRight, int width = 1);

// The picture code (decoding, animation) lives elsewhere; the painter is
// given a function that draws the current picture of a PicBox or PicBtn into
// the control's client rectangle. It is called after a PicBox has filled its
// background, and for a PicBtn on top of its backdrop. Without one, a PicBox
// shows only its background and a PicBtn nothing.
using PictureDrawer =
    std::function<void(HDC hdc, const ui::WindowState& window, const ui::ControlState& control, const ControlLook& look)>;

// Every painting function draws in physical pixels at the given scale of the
// window's screen: the control's size, its fonts, lines and offsets are the
// model's logical ones scaled (ui/dpi_scale.h).
//
// Paints one control into hdc. TransLabel and PicBtn paint only their text or
// picture and leave every other pixel as it is: what lies beneath must be in
// hdc already (see paintBackdrop). HtmlViewer and Timer paint nothing. Drawing
// is clipped to the control's rectangle.
void paintControl(HDC hdc, const ui::WindowState& window, const ui::ControlState& control, const ControlLook& look,
                  FontCache& fonts, const PictureDrawer& pictures = {}, ui::DpiScale scale = {});

// Paints, in the control's client coordinates, what lies beneath the control
// according to the model: the window's background colour, then the shown
// controls under it in stacking order, each clipped to its own rectangle.
// Stacking order is ui::stackingOrder, the one the backend gives the child
// windows: later controls on top, a tab page's controls right on their tab
// box (their rectangles relative to it). An HtmlViewer beneath
// cannot be reproduced (the browser draws itself) and is left out; no
// transparent control of the program lies over one.
void paintBackdrop(HDC hdc, const ui::WindowState& window, const ui::ControlState& control, FontCache& fonts,
                   const PictureDrawer& pictures = {}, ui::DpiScale scale = {});

// What the backend's WM_PAINT of a control calls: paints the control (and, for
// the transparent kinds, its backdrop first) into an off-screen bitmap and
// copies that to hdc in one go, so nothing flickers and a transparent control
// does not depend on the order in which the system repaints overlapping
// windows. The control's window therefore needs no WS_EX_TRANSPARENT, and its
// WM_ERASEBKGND should do nothing (return 1). When the window's background or
// a control beneath a transparent one changes, the transparent one must be
// invalidated too (RedrawWindow of the parent with RDW_ALLCHILDREN does it).
void paintControlBuffered(HDC hdc, const ui::WindowState& window, const ui::ControlState& control,
                          const ControlLook& look, FontCache& fonts, const PictureDrawer& pictures = {},
                          ui::DpiScale scale = {});

// A control's rectangle in its window's client area (ui::rectInWindow: a
// control on a tab page lies on its tab box) on the screen: the control's
// native window has this rectangle.
ui::Rect physicalControlRect(const ui::WindowState& window, const ui::ControlState& control, ui::DpiScale scale);

// --- Pictures -------------------------------------------------------------
// Copies top-down 32-bit pixels (0xAARRGGBB in memory order B, G, R, A; alpha
// ignored) to hdc with their top-left corner at (x, y). For the picture code.
void drawPixels(HDC hdc, int x, int y, int width, int height, const std::uint32_t* pixels);

// --- Tab box (PageControl) --------------------------------------------------
struct TabStripLayout {
  std::vector<RECT> tabs;  // one per tab caption, in order
  RECT page{};             // the area behind the pages
};

// Where the tabs and the page area of a PageControl lie, in its client
// coordinates. Measures the captions with the tab font.
TabStripLayout tabStripLayout(HDC hdc, const ui::ControlState& control, FontCache& fonts, ui::DpiScale scale = {});

// The index of the tab under the point (control client coordinates), or -1.
int tabAt(HDC hdc, const ui::ControlState& control, FontCache& fonts, POINT point, ui::DpiScale scale = {});

}  // namespace win32
