#include "platform/win32/control_painter.h"

#include <algorithm>

#include "platform/win32/dpi.h"
#include "platform/win32/gbk_text.h"
#include "platform/win32/owners.h"
#include "ui/control_kinds.h"

namespace win32 {

void fill(HDC hdc, const RECT& rect, COLORREF colour) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
  if (brush) FillRect(hdc, &rect, brush.get());
}

namespace {

// The frame of the colour chooser.
constexpr COLORREF kDarkFrame = RGB(64, 64, 64);
constexpr COLORREF kWhiteRef = RGB(255, 255, 255);
constexpr COLORREF kBlackRef = RGB(0, 0, 0);

HFONT guiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// A one-pixel line along one side, drawn as a filled strip so that it covers
// exactly the pixels named (no pen end-point rules).
void fillStrip(HDC hdc, int left, int top, int right, int bottom, COLORREF colour) {
  fill(hdc, RECT{left, top, right, bottom}, colour);
}

}  // namespace

void frame(HDC hdc, const RECT& r, COLORREF topLeft, COLORREF bottomRight, int width) {
  fillStrip(hdc, r.left, r.top, r.right, r.top + width, topLeft);
  fillStrip(hdc, r.left, r.top, r.left + width, r.bottom, topLeft);
  fillStrip(hdc, r.left, r.bottom - width, r.right, r.bottom, bottomRight);
  fillStrip(hdc, r.right - width, r.top, r.right, r.bottom, bottomRight);
}

namespace {

// What one paint needs besides the control: the fonts, the pictures and the
// scale of the window's screen. Everything is drawn in physical pixels.
struct Painting {
  FontCache& fonts;
  const PictureDrawer& pictures;
  ui::DpiScale scale;
  // A line, an offset or a margin of the drawing given in logical pixels.
  int px(int logical) const { return scale.thickness(logical); }
};

RECT clientRect(const ui::WindowState& window, const ui::ControlState& control, ui::DpiScale scale) {
  const ui::Rect r = physicalControlRect(window, control, scale);
  return RECT{0, 0, r.width, r.height};
}

// A caption ready to draw: the rectangle DrawTextW formats in and its flags.
struct TextLayout {
  RECT rect{};
  UINT format = 0;
};

// Lays a caption out in the client rectangle. One line: DrawText aligns it
// both ways itself. Word wrap: DrawText breaks it and aligns it horizontally;
// vertical alignment of several lines is ours, from the measured height.
// No prefix processing anywhere: an ampersand is shown as such.
TextLayout layoutText(HDC hdc, const std::wstring& text, const RECT& client, const ui::TextStyle& style) {
  TextLayout layout;
  layout.rect = client;
  UINT horizontal = DT_LEFT;
  if (style.hAlign == ui::HAlign::Centre) horizontal = DT_CENTER;
  if (style.hAlign == ui::HAlign::Right) horizontal = DT_RIGHT;

  if (!style.wordWrap) {
    UINT vertical = DT_TOP;
    if (style.vAlign == ui::VAlign::Centre) vertical = DT_VCENTER;
    if (style.vAlign == ui::VAlign::Bottom) vertical = DT_BOTTOM;
    layout.format = DT_NOPREFIX | DT_SINGLELINE | horizontal | vertical;
    return layout;
  }

  layout.format = DT_NOPREFIX | DT_WORDBREAK | horizontal;
  RECT measured = client;
  DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &measured, layout.format | DT_CALCRECT);
  const int textHeight = measured.bottom - measured.top;
  const int height = client.bottom - client.top;
  int top = client.top;
  if (style.vAlign == ui::VAlign::Centre) top += (height - textHeight) / 2;
  if (style.vAlign == ui::VAlign::Bottom) top += height - textHeight;
  layout.rect.top = top;
  layout.rect.bottom = top + textHeight;
  return layout;
}

void drawLayout(HDC hdc, const std::wstring& text, const TextLayout& layout, COLORREF colour, int dx, int dy) {
  RECT rect = layout.rect;
  OffsetRect(&rect, dx, dy);
  SetTextColor(hdc, colour);
  DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &rect, layout.format);
}

// Draws a caption transparently with its effect. The DC's font is selected.
void drawCaption(HDC hdc, const Painting& p, const std::string& caption, const RECT& client,
                 const ui::TextStyle& style, COLORREF colour, int dx = 0, int dy = 0) {
  const std::wstring text = wideFromGbk(caption);
  if (text.empty()) return;
  const TextLayout layout = layoutText(hdc, text, client, style);
  switch (style.effect) {
    case ui::TextEffect::Engraved:  // white one pixel right and down, the text at its place
      drawLayout(hdc, text, layout, kWhiteRef, dx + p.px(1), dy + p.px(1));
      drawLayout(hdc, text, layout, colour, dx, dy);
      break;
    case ui::TextEffect::Raised:  // white at its place, the text one pixel right and down
      drawLayout(hdc, text, layout, kWhiteRef, dx, dy);
      drawLayout(hdc, text, layout, colour, dx + p.px(1), dy + p.px(1));
      break;
    case ui::TextEffect::Shadow:  // black two pixels right and down, the text at its place
      drawLayout(hdc, text, layout, kBlackRef, dx + p.px(2), dy + p.px(2));
      drawLayout(hdc, text, layout, colour, dx, dy);
      break;
    case ui::TextEffect::Plain:
      drawLayout(hdc, text, layout, colour, dx, dy);
      break;
  }
}

void selectFont(HDC hdc, const ui::ControlState& control, const Painting& p) {
  SelectObject(hdc, p.fonts.get(control.def->font, p.scale));
}

void paintLabel(HDC hdc, const RECT& client, const ui::ControlState& control, const Painting& p, bool filled) {
  if (filled) fill(hdc, client, toColorRef(control.backColour, COLOR_BTNFACE));
  selectFont(hdc, control, p);
  drawCaption(hdc, p, control.caption, client, control.def->style, toColorRef(control.textColour, COLOR_BTNTEXT));
}

void paintSuperBtn(HDC hdc, const RECT& client, const ui::ControlState& control, const ControlLook& look,
                   const Painting& p) {
  const ui::ControlDef& def = *control.def;
  // The normal look is the control's current colours (set from the definition).
  ui::Look colours{control.textColour, control.backColour};
  if (look.hot || look.pressed) {
    colours = def.looks.hot;
  } else if (look.focused) {
    colours = def.looks.focused;
  }
  fill(hdc, client, toColorRef(colours.back, COLOR_BTNFACE));

  selectFont(hdc, control, p);
  const ui::TextStyle centred{ui::HAlign::Centre, ui::VAlign::Centre, true, ui::TextEffect::Plain};
  const int shift = look.pressed ? p.px(1) : 0;
  drawCaption(hdc, p, control.caption, client, centred, toColorRef(colours.text, COLOR_BTNTEXT), shift, shift);

  if (def.edgeWhileHot && (look.hot || look.pressed)) {
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    if (look.pressed) {
      frame(hdc, client, shadow, highlight, p.px(1));  // sunken
    } else {
      frame(hdc, client, highlight, shadow, p.px(1));  // raised
    }
  }
}

void paintHyperLinker(HDC hdc, const RECT& client, const ui::ControlState& control, const ControlLook& look,
                      const Painting& p) {
  fill(hdc, client, toColorRef(control.backColour, COLOR_BTNFACE));
  // The normal colour is the control's current text colour; visited replaces
  // it once the link has been opened, hover wins while the pointer is over it.
  ui::Colour text = control.textColour;
  if (control.visited) text = control.def->link.visited;
  if (look.hot) text = control.def->link.hover;
  // No underline: the link shows in the font its definition gives.
  selectFont(hdc, control, p);
  const ui::TextStyle style{ui::HAlign::Left, ui::VAlign::Centre, false, ui::TextEffect::Plain};
  drawCaption(hdc, p, control.caption, client, style, toColorRef(text, COLOR_BTNTEXT));
}

void paintPicture(HDC hdc, const ui::WindowState& window, const ui::ControlState& control, const ControlLook& look,
                  const Painting& p) {
  if (p.pictures) p.pictures(hdc, window, control, look);
}

void paintColorPicker(HDC hdc, const RECT& client, const ui::ControlState& control, const Painting& p) {
  fill(hdc, client, toColorRef(control.currentColour, COLOR_BTNFACE));
  frame(hdc, client, kDarkFrame, kDarkFrame, p.px(1));
}

// Text on the selected tab: white on a dark page colour, black on a light one.
COLORREF contrastingText(COLORREF back) {
  const int luminance = (299 * GetRValue(back) + 587 * GetGValue(back) + 114 * GetBValue(back)) / 1000;
  return luminance < 128 ? kWhiteRef : kBlackRef;
}

void paintPageControl(HDC hdc, const RECT& client, const ui::WindowState& window, const ui::ControlState& control,
                      const Painting& p) {
  const TabStripLayout layout = tabStripLayout(hdc, control, p.fonts, p.scale);
  const int line = p.px(1);
  const COLORREF pageColour = toColorRef(control.backColour, COLOR_BTNFACE);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);

  // Beside the tabs the window shows through.
  fill(hdc, RECT{client.left, client.top, client.right, layout.page.top}, toColorRef(window.background, COLOR_BTNFACE));
  fill(hdc, layout.page, pageColour);
  frame(hdc, layout.page, shadow, shadow, line);

  selectFont(hdc, control, p);
  const ui::TextStyle centred{ui::HAlign::Centre, ui::VAlign::Centre, false, ui::TextEffect::Plain};
  const int selected = control.selectedTab;
  for (int i = 0; i < static_cast<int>(layout.tabs.size()); ++i) {
    if (i == selected) continue;  // drawn last, over its neighbours
    const RECT& tab = layout.tabs[i];
    fill(hdc, tab, face);
    fillStrip(hdc, tab.left, tab.top, tab.right, tab.top + line, shadow);
    fillStrip(hdc, tab.left, tab.top, tab.left + line, tab.bottom, shadow);
    fillStrip(hdc, tab.right - line, tab.top, tab.right, tab.bottom, shadow);
    drawCaption(hdc, p, control.def->tabs[i], tab, centred, GetSysColor(COLOR_BTNTEXT));
  }
  if (selected >= 0 && selected < static_cast<int>(layout.tabs.size())) {
    const RECT& tab = layout.tabs[selected];
    // The selected tab opens into its page: it also covers the page's top line.
    fill(hdc, RECT{tab.left, tab.top, tab.right, tab.bottom + line}, pageColour);
    fillStrip(hdc, tab.left, tab.top, tab.right, tab.top + line, shadow);
    fillStrip(hdc, tab.left, tab.top, tab.left + line, tab.bottom + line, shadow);
    fillStrip(hdc, tab.right - line, tab.top, tab.right, tab.bottom + line, shadow);
    drawCaption(hdc, p, control.def->tabs[selected], tab, centred, contrastingText(pageColour));
  }
}

// Whether two rectangles share any pixel.
bool overlaps(const RECT& a, const RECT& b) {
  RECT common;
  return IntersectRect(&common, &a, &b) != 0;
}

RECT toRECT(const ui::Rect& r) { return RECT{r.left, r.top, r.right(), r.bottom()}; }

// Paints one control beneath `target` into hdc, which is in the target's
// client coordinates (targetRect = the target's physical rectangle in the window).
void paintBeneath(HDC hdc, const ui::WindowState& window, const ui::ControlState& beneath, const RECT& targetRect,
                  const Painting& p) {
  if (!beneath.def || !ui::effectivelyShown(window, beneath)) return;
  if (ui::traitsOf(beneath.def->kind).selfDrawn || !ui::traitsOf(beneath.def->kind).hasWindow) return;
  const RECT rect = toRECT(physicalControlRect(window, beneath, p.scale));
  if (!overlaps(rect, targetRect)) return;
  const int saved = SaveDC(hdc);
  OffsetViewportOrgEx(hdc, rect.left - targetRect.left, rect.top - targetRect.top, nullptr);
  paintControl(hdc, window, beneath, ControlLook{beneath.hot, beneath.pressed, false}, p.fonts, p.pictures, p.scale);
  RestoreDC(hdc, saved);
}

}  // namespace

FontCache::FontCache() : systemDpi_(systemDpi()) {}

HFONT FontCache::get(const ui::Font& font, ui::DpiScale scale) {
  // The system's GUI font is made for the system's DPI: as it is there, and
  // rasterized anew at the height another DPI gives it.
  if (font.face.empty() && scale.dpi() == systemDpi_) return guiFont();
  auto key = std::make_tuple(font.face, font.height, font.weight, scale.dpi());
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second ? found->second.get() : guiFont();

  LOGFONTW lf{};
  if (font.face.empty()) {
    if (GetObjectW(guiFont(), sizeof lf, &lf) != sizeof lf) return guiFont();
    lf.lfHeight = MulDiv(lf.lfHeight, scale.dpi(), systemDpi_);
  } else {
    lf.lfHeight = -scale.toPhysical(font.height);  // negative: character height, without internal leading
    lf.lfWeight = font.weight;
    lf.lfCharSet = GB2312_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = wideFromGbk(font.face);
    // The face name field holds LF_FACESIZE characters with its terminator.
    const size_t length = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::copy_n(face.begin(), length, lf.lfFaceName);
    lf.lfFaceName[length] = L'\0';
  }

  // A face the system lacks is no failure (the system picks one for the
  // character set); only a font that cannot be created at all falls back.
  const GdiObject<HFONT>& made = fonts_.emplace(std::move(key), CreateFontIndirectW(&lf)).first->second;
  return made ? made.get() : guiFont();
}

COLORREF toColorRef(ui::Colour colour, int systemColourIndex) {
  if (colour == ui::kSystemDefault) return GetSysColor(systemColourIndex);
  return static_cast<COLORREF>(colour) & 0x00FFFFFFu;
}

void paintControl(HDC hdc, const ui::WindowState& window, const ui::ControlState& control, const ControlLook& look,
                  FontCache& fonts, const PictureDrawer& pictures, ui::DpiScale scale) {
  if (!control.def || control.rect.width <= 0 || control.rect.height <= 0) return;
  const Painting p{fonts, pictures, scale};
  const RECT client = clientRect(window, control, scale);
  const int saved = SaveDC(hdc);
  IntersectClipRect(hdc, client.left, client.top, client.right, client.bottom);
  SetBkMode(hdc, TRANSPARENT);
  switch (control.def->kind) {
    case ui::ControlKind::Label:
      paintLabel(hdc, client, control, p, true);
      break;
    case ui::ControlKind::TransLabel:
      paintLabel(hdc, client, control, p, false);
      break;
    case ui::ControlKind::SuperBtn:
      paintSuperBtn(hdc, client, control, look, p);
      break;
    case ui::ControlKind::HyperLinker:
      paintHyperLinker(hdc, client, control, look, p);
      break;
    case ui::ControlKind::PicBox:
      fill(hdc, client, toColorRef(control.backColour, COLOR_BTNFACE));
      paintPicture(hdc, window, control, look, p);
      break;
    case ui::ControlKind::PicBtn:
      paintPicture(hdc, window, control, look, p);
      break;
    case ui::ControlKind::ColorPicker:
      paintColorPicker(hdc, client, control, p);
      break;
    case ui::ControlKind::PageControl:
      paintPageControl(hdc, client, window, control, p);
      break;
    case ui::ControlKind::HtmlViewer:  // the browser draws itself
    case ui::ControlKind::Timer:       // has no window
      break;
  }
  RestoreDC(hdc, saved);
}

ui::Rect physicalControlRect(const ui::WindowState& window, const ui::ControlState& control, ui::DpiScale scale) {
  return scale.edgesToPhysical(ui::rectInWindow(window, control));
}

void paintBackdrop(HDC hdc, const ui::WindowState& window, const ui::ControlState& control, FontCache& fonts,
                   const PictureDrawer& pictures, ui::DpiScale scale) {
  if (!control.def) return;
  const Painting p{fonts, pictures, scale};
  const RECT client = clientRect(window, control, scale);
  const int saved = SaveDC(hdc);
  IntersectClipRect(hdc, client.left, client.top, client.right, client.bottom);
  fill(hdc, client, toColorRef(window.background, COLOR_BTNFACE));
  const RECT target = toRECT(physicalControlRect(window, control, scale));
  for (int index : ui::stackingOrder(window)) {
    const ui::ControlState& beneath = window.controls[index];
    if (&beneath == &control) break;
    paintBeneath(hdc, window, beneath, target, p);
  }
  RestoreDC(hdc, saved);
}

void paintControlBuffered(HDC hdc, const ui::WindowState& window, const ui::ControlState& control,
                          const ControlLook& look, FontCache& fonts, const PictureDrawer& pictures,
                          ui::DpiScale scale) {
  if (!control.def) return;
  const RECT client = clientRect(window, control, scale);
  const int width = client.right;
  const int height = client.bottom;
  if (width <= 0 || height <= 0) return;
  const ui::ControlKind kind = control.def->kind;
  if (ui::traitsOf(kind).selfDrawn || !ui::traitsOf(kind).hasWindow) return;
  const bool backdrop = ui::traitsOf(kind).showsBackdrop;

  // Drawn off screen and copied in one go; out of GDI resources, straight
  // into the window, flicker and all.
  MemoryDc memory(CreateCompatibleDC(hdc));
  GdiObject<HBITMAP> bitmap(memory ? CreateCompatibleBitmap(hdc, width, height) : nullptr);
  const HDC target = bitmap ? memory.get() : hdc;
  Selection selected(memory.get(), bitmap.get());
  if (backdrop) paintBackdrop(target, window, control, fonts, pictures, scale);
  paintControl(target, window, control, look, fonts, pictures, scale);
  if (bitmap) BitBlt(hdc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

void drawPixels(HDC hdc, int x, int y, int width, int height, const std::uint32_t* pixels) {
  if (!pixels || width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(hdc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                    static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS);
}

TabStripLayout tabStripLayout(HDC hdc, const ui::ControlState& control, FontCache& fonts, ui::DpiScale scale) {
  TabStripLayout layout;
  // A tab box lies in its window, never on a page.
  const ui::Rect physical = scale.edgesToPhysical(control.rect);
  const int width = physical.width;
  const int height = physical.height;
  const int saved = SaveDC(hdc);
  SelectObject(hdc, fonts.get(control.def->font, scale));
  TEXTMETRICW metrics{};
  GetTextMetricsW(hdc, &metrics);
  const int stripHeight = std::min(height, static_cast<int>(metrics.tmHeight) + scale.thickness(8));

  const int margin = scale.thickness(2);
  int x = margin;
  for (const std::string& caption : control.def->tabs) {
    const std::wstring text = wideFromGbk(caption);
    SIZE extent{};
    if (!text.empty()) GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int tabWidth = static_cast<int>(extent.cx) + scale.thickness(16);
    layout.tabs.push_back(RECT{x, margin, x + tabWidth, stripHeight});
    x += tabWidth;
  }
  RestoreDC(hdc, saved);

  const int selected = control.selectedTab;
  if (selected >= 0 && selected < static_cast<int>(layout.tabs.size())) {
    // The selected tab stands out: two pixels wider each side and taller.
    RECT& tab = layout.tabs[selected];
    tab.left = std::max(0L, tab.left - margin);
    tab.right += margin;
    tab.top = 0;
  }
  layout.page = RECT{0, stripHeight, width, height};
  return layout;
}

int tabAt(HDC hdc, const ui::ControlState& control, FontCache& fonts, POINT point, ui::DpiScale scale) {
  const TabStripLayout layout = tabStripLayout(hdc, control, fonts, scale);
  const int count = static_cast<int>(layout.tabs.size());
  // The selected tab overlaps its neighbours and is on top.
  const int selected = control.selectedTab;
  if (selected >= 0 && selected < count && PtInRect(&layout.tabs[selected], point)) return selected;
  for (int i = 0; i < count; ++i) {
    if (PtInRect(&layout.tabs[i], point)) return i;
  }
  return -1;
}

}  // namespace win32
