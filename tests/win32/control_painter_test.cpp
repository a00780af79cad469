// Paints controls into a 32-bit memory bitmap and reads the pixels back.
#include "platform/win32/control_painter.h"

#include <gtest/gtest.h>

#include "canvas.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

using ui::rgb;

const char* const kFace = "WenQuanYi Micro Hei";

using station_test::Canvas;

bool nearWhite(COLORREF c) { return GetRValue(c) >= 0xF0 && GetGValue(c) >= 0xF0 && GetBValue(c) >= 0xF0; }
bool nearBlack(COLORREF c) { return GetRValue(c) <= 0x10 && GetGValue(c) <= 0x10 && GetBValue(c) <= 0x10; }

// Holds definitions at stable addresses and builds the model of one window.
class Scene {
 public:
  Scene() {
    window.def = &windowDef;
    window.background = rgb(0x0088FF);
    window.controls.reserve(32);  // references handed out stay valid
  }

  ui::ControlState& add(ui::ControlDef def) {
    defs_.push_back(std::move(def));
    window.controls.push_back(ui::initialState(defs_.back()));
    return window.controls.back();
  }
  ui::ControlState& operator[](size_t i) { return window.controls[i]; }

  ui::WindowDef windowDef;
  ui::WindowState window;

 private:
  std::deque<ui::ControlDef> defs_;
};

ui::TextStyle style(ui::HAlign h, ui::VAlign v, bool wrap = false, ui::TextEffect effect = ui::TextEffect::Plain) {
  return ui::TextStyle{h, v, wrap, effect};
}

// Three distinct looks: text and background differ between all of them.
const ui::ButtonLooks kLooks{
    {rgb(0xFFFFFF), rgb(0xBCAD27)}, {rgb(0x202020), rgb(0xE4DB81)}, {rgb(0xDCE6EF), rgb(0x5FC4FA)}};

ui::ControlState& addButton(Scene& scene, std::string caption, ui::Rect rect = {0, 0, 120, 48}) {
  return scene.add(ui::superBtn("btn", rect, std::move(caption), "", ui::bold(kFace, 24), kLooks));
}

// Paints one control of a scene into a fresh canvas of its size, pre-filled.
void paintInto(Canvas& canvas, Scene& scene, const ui::ControlState& control, win32::ControlLook look,
               win32::FontCache& fonts, COLORREF prefill = RGB(0x12, 0x34, 0x56)) {
  canvas.fillWith(prefill);
  win32::paintControl(canvas.dc(), scene.window, control, look, fonts);
}

}  // namespace

// --- Colours and fonts ---------------------------------------------------------

TEST(PaintToColorRef, ModelColoursAreColorRefsAndSystemDefaultIsTheSystemColour) {
  EXPECT_EQ(win32::toColorRef(rgb(0x0088FF), COLOR_BTNFACE), RGB(0x00, 0x88, 0xFF));
  EXPECT_EQ(win32::toColorRef(rgb(0xFA1F56), COLOR_BTNFACE), RGB(0xFA, 0x1F, 0x56));
  EXPECT_EQ(win32::toColorRef(ui::kBlack, COLOR_BTNFACE), RGB(0, 0, 0));
  EXPECT_EQ(win32::toColorRef(ui::kSystemDefault, COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(win32::toColorRef(ui::kSystemDefault, COLOR_BTNTEXT), GetSysColor(COLOR_BTNTEXT));
  // A stored -1 is 0xFFFFFFFF: white, whatever the system's colours are.
  EXPECT_EQ(win32::toColorRef(-1, COLOR_BTNFACE), RGB(255, 255, 255));
}

TEST(PaintFontCache, ReusesOneFontPerFaceHeightAndWeight) {
  win32::FontCache fonts;
  HFONT a = fonts.get(ui::bold(kFace, 16));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(fonts.get(ui::bold(kFace, 16)), a);
  EXPECT_NE(fonts.get(ui::bold(kFace, 17)), a);
  EXPECT_NE(fonts.get(ui::normal(kFace, 16)), a);
  EXPECT_NE(fonts.get(ui::bold("黑体", 16)), a);
}

TEST(PaintFontCache, EmptyFaceIsTheGuiFont) {
  win32::FontCache fonts;
  EXPECT_EQ(fonts.get(ui::Font{}), static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST(PaintFontCache, CreatesTheCharacterHeightWeightCharsetAndChineseFace) {
  win32::FontCache fonts;
  Canvas canvas(4, 4);
  ASSERT_TRUE(canvas.ok());
  for (int height : {12, 16, 47}) {
    HFONT font = fonts.get(ui::bold(kFace, height));
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -height);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
    HGDIOBJ old = SelectObject(canvas.dc(), font);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &tm));
    SelectObject(canvas.dc(), old);
    // A character height: the cell height less the internal leading.
    EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, height, 1) << height;
  }
  // The face name arrives as UTF-16, not as the GBK bytes.
  LOGFONTW lf{};
  GetObjectW(fonts.get(ui::bold("微软雅黑", 14)), sizeof lf, &lf);
  EXPECT_EQ(std::wstring(lf.lfFaceName), L"微软雅黑");
}

TEST(PaintFontCache, OverlongFaceNameIsCutNotOverrun) {
  win32::FontCache fonts;
  HFONT font = fonts.get(ui::normal(std::string(100, 'x'), 12));
  LOGFONTW lf{};
  ASSERT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(std::wstring(lf.lfFaceName), std::wstring(LF_FACESIZE - 1, L'x'));
}

// --- Label -----------------------------------------------------------------------

TEST(PaintLabel, FillsItsRectangleWithItsBackground) {
  Scene scene;
  auto& label = scene.add(ui::label("l", {0, 0, 160, 60}, "汀蔚", ui::bold(kFace, 20), rgb(0xF89145),
                                    rgb(0x0088FF), style(ui::HAlign::Centre, ui::VAlign::Centre)));
  win32::FontCache fonts;
  Canvas canvas(160, 60);
  paintInto(canvas, scene, label, {}, fonts);
  const COLORREF back = RGB(0x00, 0x88, 0xFF);
  EXPECT_EQ(canvas.at(0, 0), back);
  EXPECT_EQ(canvas.at(159, 0), back);
  EXPECT_EQ(canvas.at(0, 59), back);
  EXPECT_EQ(canvas.at(159, 59), back);
  EXPECT_EQ(canvas.count(RGB(0x12, 0x34, 0x56)), 0);
}

TEST(PaintLabel, SystemDefaultColoursAreButtonFaceAndButtonText) {
  Scene scene;
  auto& label = scene.add(ui::label("l", {0, 0, 120, 60}, "AB", ui::bold(kFace, 40), ui::kSystemDefault,
                                    ui::kSystemDefault, style(ui::HAlign::Centre, ui::VAlign::Centre)));
  win32::FontCache fonts;
  Canvas canvas(120, 60);
  paintInto(canvas, scene, label, {}, fonts);
  EXPECT_EQ(canvas.at(0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.at(119, 59), GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(canvas.count(GetSysColor(COLOR_BTNTEXT)), 20);
}

TEST(PaintLabel, ChineseCaptionIsDrawnInTheTextColour) {
  Scene scene;
  auto& label = scene.add(ui::label("l", {0, 0, 200, 80}, "汀蔚", ui::bold(kFace, 56), rgb(0xF89145),
                                    rgb(0x0088FF), style(ui::HAlign::Centre, ui::VAlign::Centre)));
  win32::FontCache fonts;
  Canvas canvas(200, 80);
  paintInto(canvas, scene, label, {}, fonts);
  EXPECT_GT(canvas.count(RGB(0xF8, 0x91, 0x45)), 100);
}

TEST(PaintLabel, CaptionBytesAreReadAsGbkWhateverTheLocale) {
  // What DrawTextW shows for the two characters, against the label's drawing
  // of their GBK bytes: the same pixels.
  Scene scene;
  auto& label = scene.add(ui::label("l", {0, 0, 200, 80}, "汀蔚", ui::bold(kFace, 56), rgb(0x000000),
                                    rgb(0xFFFFFF), style(ui::HAlign::Left, ui::VAlign::Top)));
  win32::FontCache fonts;
  Canvas painted(200, 80);
  paintInto(painted, scene, label, {}, fonts);

  Canvas expected(200, 80);
  expected.fillWith(RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(expected.dc(), fonts.get(ui::bold(kFace, 56)));
  SetBkMode(expected.dc(), TRANSPARENT);
  SetTextColor(expected.dc(), RGB(0, 0, 0));
  RECT rect{0, 0, 200, 80};
  DrawTextW(expected.dc(), L"汀蔚", -1, &rect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(expected.dc(), old);

  EXPECT_GT(expected.count(RGB(0, 0, 0)), 100);
  EXPECT_TRUE(painted.samePixels(expected));
}

TEST(PaintLabel, AmpersandIsShownNotTakenAsPrefix) {
  // With prefix processing "A&B" would be as wide as "AB" (B underlined).
  Scene scene;
  auto& with = scene.add(ui::label("a", {0, 0, 200, 60}, "A&B", ui::bold(kFace, 32), rgb(0x000000),
                                   rgb(0xFFFFFF), style(ui::HAlign::Left, ui::VAlign::Top)));
  auto& without = scene.add(ui::label("b", {0, 0, 200, 60}, "AB", ui::bold(kFace, 32), rgb(0x000000),
                                      rgb(0xFFFFFF), style(ui::HAlign::Left, ui::VAlign::Top)));
  auto& alone = scene.add(ui::label("c", {0, 0, 200, 60}, "&", ui::bold(kFace, 32), rgb(0x000000),
                                    rgb(0xFFFFFF), style(ui::HAlign::Left, ui::VAlign::Top)));
  win32::FontCache fonts;
  Canvas a(200, 60), b(200, 60), c(200, 60);
  paintInto(a, scene, with, {}, fonts);
  paintInto(b, scene, without, {}, fonts);
  paintInto(c, scene, alone, {}, fonts);
  const COLORREF white = RGB(255, 255, 255);
  const auto boxA = a.boxOfAllBut(white);
  const auto boxB = b.boxOfAllBut(white);
  const auto boxC = c.boxOfAllBut(white);
  EXPECT_GT(boxC.count, 20) << "a lone ampersand is drawn";
  EXPECT_NE(boxA.count, boxB.count);
  EXPECT_GT(boxA.width(), boxB.width() + boxC.width() / 2);
}

TEST(PaintLabel, HorizontalAlignmentOnOneLine) {
  Scene scene;
  const ui::HAlign aligns[] = {ui::HAlign::Left, ui::HAlign::Centre, ui::HAlign::Right};
  for (ui::HAlign h : aligns)
    scene.add(ui::label("l", {0, 0, 240, 50}, "ABC", ui::bold(kFace, 30), rgb(0x000000), rgb(0xFFFFFF),
                        style(h, ui::VAlign::Centre)));
  win32::FontCache fonts;
  const COLORREF white = RGB(255, 255, 255);
  Canvas left(240, 50), centre(240, 50), right(240, 50);
  paintInto(left, scene, scene[0], {}, fonts);
  paintInto(centre, scene, scene[1], {}, fonts);
  paintInto(right, scene, scene[2], {}, fonts);
  const auto l = left.boxOfAllBut(white), c = centre.boxOfAllBut(white), r = right.boxOfAllBut(white);
  ASSERT_GT(l.count, 0);
  EXPECT_LT(l.left, 5);
  EXPECT_GT(r.right, 240 - 5);
  EXPECT_NEAR(c.left, 240 - c.right, 3);
  EXPECT_EQ(l.width(), c.width());
  EXPECT_EQ(l.width(), r.width());
}

TEST(PaintLabel, VerticalAlignmentOnOneLine) {
  Scene scene;
  const ui::VAlign aligns[] = {ui::VAlign::Top, ui::VAlign::Centre, ui::VAlign::Bottom};
  for (ui::VAlign v : aligns)
    scene.add(ui::label("l", {0, 0, 120, 100}, "ABC", ui::bold(kFace, 30), rgb(0x000000), rgb(0xFFFFFF),
                        style(ui::HAlign::Left, v)));
  win32::FontCache fonts;
  const COLORREF white = RGB(255, 255, 255);
  Canvas top(120, 100), centre(120, 100), bottom(120, 100);
  paintInto(top, scene, scene[0], {}, fonts);
  paintInto(centre, scene, scene[1], {}, fonts);
  paintInto(bottom, scene, scene[2], {}, fonts);
  const auto t = top.boxOfAllBut(white), c = centre.boxOfAllBut(white), b = bottom.boxOfAllBut(white);
  EXPECT_LT(t.top, 15);
  EXPECT_GT(b.bottom, 100 - 15);
  EXPECT_GT(c.top, t.top + 20);
  EXPECT_LT(c.bottom, b.bottom - 20);
  // The same line box moves: the glyphs keep their shape.
  EXPECT_EQ(t.height(), c.height());
  EXPECT_EQ(t.height(), b.height());
}

TEST(PaintLabel, WithoutWordWrapStaysOnOneLine) {
  Scene scene;
  auto& label = scene.add(ui::label("l", {0, 0, 80, 120}, "AAAA BBBB CCCC", ui::bold(kFace, 24), rgb(0x000000),
                                    rgb(0xFFFFFF), style(ui::HAlign::Left, ui::VAlign::Top)));
  win32::FontCache fonts;
  Canvas canvas(80, 120);
  paintInto(canvas, scene, label, {}, fonts);
  const auto box = canvas.boxOfAllBut(RGB(255, 255, 255));
  EXPECT_LT(box.height(), 30);
  EXPECT_GT(box.right, 75) << "the line runs on to the edge and is cut there";
}

TEST(PaintLabel, WordWrapBreaksAtWordsAndAlignsTheBlockVertically) {
  Scene scene;
  const ui::VAlign aligns[] = {ui::VAlign::Top, ui::VAlign::Centre, ui::VAlign::Bottom};
  for (ui::VAlign v : aligns)
    scene.add(ui::label("l", {0, 0, 90, 200}, "AAAA BBBB CCCC", ui::bold(kFace, 24), rgb(0x000000),
                        rgb(0xFFFFFF), style(ui::HAlign::Centre, v, true)));
  win32::FontCache fonts;
  const COLORREF white = RGB(255, 255, 255);
  Canvas top(90, 200), centre(90, 200), bottom(90, 200);
  paintInto(top, scene, scene[0], {}, fonts);
  paintInto(centre, scene, scene[1], {}, fonts);
  paintInto(bottom, scene, scene[2], {}, fonts);
  const auto t = top.boxOfAllBut(white), c = centre.boxOfAllBut(white), b = bottom.boxOfAllBut(white);
  EXPECT_GT(t.height(), 60) << "three lines";
  EXPECT_LT(t.top, 10);
  EXPECT_GT(b.bottom, 200 - 15);
  EXPECT_NEAR(c.top, 200 - c.bottom, 10);
  EXPECT_EQ(t.height(), c.height());
  EXPECT_EQ(t.height(), b.height());
  EXPECT_NEAR(t.left, 90 - t.right, 4) << "each line centred";
}

TEST(PaintLabel, DrawingStaysInsideTheControl) {
  // The canvas is bigger than the label: nothing may land outside its rectangle.
  Scene scene;
  auto& label = scene.add(ui::label("l", {0, 0, 50, 30}, "AAAAAAAA", ui::bold(kFace, 40), rgb(0x000000),
                                    rgb(0xFFFFFF), style(ui::HAlign::Left, ui::VAlign::Top, false,
                                                         ui::TextEffect::Shadow)));
  win32::FontCache fonts;
  Canvas canvas(120, 80);
  paintInto(canvas, scene, label, {}, fonts, RGB(1, 2, 3));
  const auto box = canvas.boxOfAllBut(RGB(1, 2, 3));
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 50);
  EXPECT_EQ(box.bottom, 30);
}

TEST(PaintLabel, TextEffectsAddTheirColourOffsetRightAndDown) {
  Scene scene;
  const COLORREF blue = RGB(0x00, 0x88, 0xFF);
  const ui::TextEffect effects[] = {ui::TextEffect::Plain, ui::TextEffect::Engraved, ui::TextEffect::Raised,
                                    ui::TextEffect::Shadow};
  for (ui::TextEffect e : effects)
    scene.add(ui::label("l", {0, 0, 200, 80}, "汀蔚", ui::bold(kFace, 47), rgb(0x604020), rgb(0x0088FF),
                        style(ui::HAlign::Centre, ui::VAlign::Centre, false, e)));
  win32::FontCache fonts;
  Canvas plain(200, 80), engraved(200, 80), raised(200, 80), shadow(200, 80);
  paintInto(plain, scene, scene[0], {}, fonts);
  paintInto(engraved, scene, scene[1], {}, fonts);
  paintInto(raised, scene, scene[2], {}, fonts);
  paintInto(shadow, scene, scene[3], {}, fonts);

  EXPECT_EQ(plain.countIf(nearWhite), 0);
  EXPECT_EQ(plain.countIf(nearBlack), 0);
  EXPECT_GT(engraved.countIf(nearWhite), 30);
  EXPECT_GT(raised.countIf(nearWhite), 30);
  EXPECT_GT(shadow.countIf(nearBlack), 30);
  EXPECT_EQ(shadow.countIf(nearWhite), 0);
  const COLORREF text = RGB(0x60, 0x40, 0x20);
  EXPECT_GT(engraved.count(text), 100);
  EXPECT_GT(raised.count(text), 100);
  EXPECT_GT(shadow.count(text), 100);

  const auto p = plain.boxOfAllBut(blue);
  const auto e = engraved.boxOfAllBut(blue);
  const auto r = raised.boxOfAllBut(blue);
  const auto s = shadow.boxOfAllBut(blue);
  // Engraved: white one pixel right and down of the text at its place.
  EXPECT_EQ(e.left, p.left);
  EXPECT_EQ(e.top, p.top);
  EXPECT_EQ(e.right, p.right + 1);
  EXPECT_EQ(e.bottom, p.bottom + 1);
  // Raised: white at the place, the text one pixel right and down.
  EXPECT_EQ(r.left, p.left);
  EXPECT_EQ(r.top, p.top);
  EXPECT_EQ(r.right, p.right + 1);
  EXPECT_EQ(r.bottom, p.bottom + 1);
  // Shadow: black two pixels right and down.
  EXPECT_EQ(s.left, p.left);
  EXPECT_EQ(s.top, p.top);
  EXPECT_EQ(s.right, p.right + 2);
  EXPECT_EQ(s.bottom, p.bottom + 2);
}

TEST(PaintLabel, EngravedAndRaisedDifferInWhichCopyIsOnTop) {
  Scene scene;
  scene.add(ui::label("l", {0, 0, 200, 80}, "汀蔚", ui::bold(kFace, 47), rgb(0x604020), rgb(0x0088FF),
                      style(ui::HAlign::Left, ui::VAlign::Top, false, ui::TextEffect::Engraved)));
  scene.add(ui::label("l", {0, 0, 200, 80}, "汀蔚", ui::bold(kFace, 47), rgb(0x604020), rgb(0x0088FF),
                      style(ui::HAlign::Left, ui::VAlign::Top, false, ui::TextEffect::Raised)));
  scene.add(ui::label("l", {0, 0, 200, 80}, "汀蔚", ui::bold(kFace, 47), rgb(0x604020), rgb(0x0088FF),
                      style(ui::HAlign::Left, ui::VAlign::Top)));
  win32::FontCache fonts;
  Canvas engraved(200, 80), raised(200, 80), plain(200, 80);
  paintInto(engraved, scene, scene[0], {}, fonts);
  paintInto(raised, scene, scene[1], {}, fonts);
  paintInto(plain, scene, scene[2], {}, fonts);
  // Every pixel of the plain text is in the text colour when engraved (the
  // text is on top at its place) ...
  const COLORREF text = RGB(0x60, 0x40, 0x20);
  int plainText = 0, engravedSame = 0, raisedShifted = 0;
  for (int y = 0; y < 79; ++y)
    for (int x = 0; x < 199; ++x) {
      if (plain.at(x, y) != text) continue;
      ++plainText;
      if (engraved.at(x, y) == text) ++engravedSame;
      if (raised.at(x + 1, y + 1) == text) ++raisedShifted;
    }
  ASSERT_GT(plainText, 100);
  EXPECT_EQ(engravedSame, plainText);
  // ... and one pixel right and down when raised.
  EXPECT_EQ(raisedShifted, plainText);
}

// --- TransLabel --------------------------------------------------------------------

TEST(PaintTransLabel, LeavesWhatIsBeneathWhereThereIsNoText) {
  Scene scene;
  auto& label = scene.add(ui::transLabel("t", {0, 0, 200, 80}, "汀蔚", ui::bold(kFace, 48), rgb(0xC4E1FD),
                                         style(ui::HAlign::Centre, ui::VAlign::Centre)));
  win32::FontCache fonts;
  Canvas canvas(200, 80);
  const COLORREF beneath = RGB(0x12, 0x34, 0x56);
  paintInto(canvas, scene, label, {}, fonts, beneath);
  EXPECT_EQ(canvas.at(0, 0), beneath);
  EXPECT_EQ(canvas.at(199, 79), beneath);
  EXPECT_GT(canvas.count(RGB(0xC4, 0xE1, 0xFD)), 100);
  const int untouched = canvas.count(beneath);
  EXPECT_GT(untouched, 200 * 80 / 2);
  EXPECT_LT(untouched, 200 * 80);
}

TEST(PaintTransLabel, BufferedPaintShowsTheWindowBackgroundBeneath) {
  Scene scene;
  scene.window.background = rgb(0x2DC156);
  auto& label = scene.add(ui::transLabel("t", {-5, 24, 176, 56}, "遥控器", ui::normal(kFace, 40), rgb(0xC4E1FD),
                                         style(ui::HAlign::Centre, ui::VAlign::Centre)));
  win32::FontCache fonts;
  Canvas canvas(176, 56);
  canvas.fillWith(RGB(255, 0, 0));  // stale pixels of the window
  win32::paintControlBuffered(canvas.dc(), scene.window, label, {}, fonts);
  EXPECT_EQ(canvas.count(RGB(255, 0, 0)), 0);
  EXPECT_EQ(canvas.at(0, 0), RGB(0x2D, 0xC1, 0x56));
  EXPECT_EQ(canvas.at(175, 55), RGB(0x2D, 0xC1, 0x56));
  EXPECT_GT(canvas.count(RGB(0xC4, 0xE1, 0xFD)), 100);
}

TEST(PaintTransLabel, BufferedPaintShowsAnEarlierControlBeneath) {
  Scene scene;
  scene.window.background = rgb(0x0088FF);
  // A label, then a transparent label lying half over it.
  scene.add(ui::label("under", {0, 0, 100, 50}, "", ui::bold(kFace, 16), rgb(0x000000), rgb(0xE4C9B1),
                      style(ui::HAlign::Left, ui::VAlign::Top)));
  scene.add(ui::transLabel("t", {50, 10, 100, 50}, "", ui::bold(kFace, 16), rgb(0xFFFFFF),
                           style(ui::HAlign::Left, ui::VAlign::Top)));
  // A label defined later lies on top and is not beneath.
  scene.add(ui::label("over", {0, 0, 200, 100}, "", ui::bold(kFace, 16), rgb(0x000000), rgb(0xFF0000),
                      style(ui::HAlign::Left, ui::VAlign::Top)));
  win32::FontCache fonts;
  Canvas canvas(100, 50);
  win32::paintControlBuffered(canvas.dc(), scene.window, scene[1], {}, fonts);
  EXPECT_EQ(canvas.at(0, 0), RGB(0xE4, 0xC9, 0xB1));
  EXPECT_EQ(canvas.at(49, 39), RGB(0xE4, 0xC9, 0xB1));
  EXPECT_EQ(canvas.at(50, 0), RGB(0x00, 0x88, 0xFF));
  EXPECT_EQ(canvas.at(0, 40), RGB(0x00, 0x88, 0xFF));
  EXPECT_EQ(canvas.count(RGB(0xFF, 0x00, 0x00)), 0);
}

TEST(PaintTransLabel, OnATabPageTheTabBoxShowsBeneath) {
  Scene scene;
  scene.window.background = rgb(0x0088FF);
  scene.add(ui::onPage("皮肤", ui::transLabel("t", {24, 48, 90, 24}, "背景颜色:", ui::bold(kFace, 16),
                                               rgb(0x0060C0), style(ui::HAlign::Left, ui::VAlign::Centre))));
  scene.add(ui::pageControl("box", {6, 54, 338, 202}, {"皮肤", "小工具", "其他"}, ui::normal(kFace, 12),
                            rgb(0x80E000)));
  win32::FontCache fonts;
  Canvas canvas(90, 24);
  win32::paintControlBuffered(canvas.dc(), scene.window, scene[0], {}, fonts);
  EXPECT_EQ(canvas.at(89, 0), RGB(0x80, 0xE0, 0x00));
  EXPECT_EQ(canvas.at(89, 23), RGB(0x80, 0xE0, 0x00));
  EXPECT_GT(canvas.count(RGB(0x00, 0x60, 0xC0)), 20);

  const ui::Rect inWindow = ui::rectInWindow(scene.window, scene[0]);
  EXPECT_EQ(inWindow.left, 30);
  EXPECT_EQ(inWindow.top, 102);
  EXPECT_EQ(inWindow.right(), 120);
  EXPECT_EQ(inWindow.bottom(), 126);
}

TEST(PaintPicBtn, PaintsNothingOfItsOwnAndShowsWhatIsBeneath) {
  Scene scene;
  scene.window.background = rgb(0x5830E0);
  auto& button = scene.add(ui::picBtn("p", {10, 10, 48, 48}, rgb(0x80E000)));
  win32::FontCache fonts;
  Canvas canvas(48, 48);
  paintInto(canvas, scene, button, {}, fonts);
  EXPECT_EQ(canvas.count(RGB(0x12, 0x34, 0x56)), 48 * 48);
  win32::paintControlBuffered(canvas.dc(), scene.window, button, {}, fonts);
  EXPECT_EQ(canvas.count(RGB(0x58, 0x30, 0xE0)), 48 * 48);
}

// --- SuperBtn ------------------------------------------------------------------------

TEST(PaintSuperBtn, BackgroundFollowsTheLook) {
  Scene scene;
  auto& button = addButton(scene, "关");
  win32::FontCache fonts;
  Canvas canvas(120, 48);
  struct Case {
    win32::ControlLook look;
    COLORREF back;
    COLORREF text;
  } cases[] = {
      {{false, false, false}, RGB(0xBC, 0xAD, 0x27), RGB(0xFF, 0xFF, 0xFF)},
      {{true, false, false}, RGB(0xE4, 0xDB, 0x81), RGB(0x20, 0x20, 0x20)},
      {{false, false, true}, RGB(0x5F, 0xC4, 0xFA), RGB(0xDC, 0xE6, 0xEF)},
      {{true, false, true}, RGB(0xE4, 0xDB, 0x81), RGB(0x20, 0x20, 0x20)},  // hot wins over focused
      {{false, true, false}, RGB(0xE4, 0xDB, 0x81), RGB(0x20, 0x20, 0x20)},  // held down counts as hot
      {{true, true, true}, RGB(0xE4, 0xDB, 0x81), RGB(0x20, 0x20, 0x20)},
  };
  for (const Case& c : cases) {
    paintInto(canvas, scene, button, c.look, fonts);
    SCOPED_TRACE(testing::Message() << c.look.hot << c.look.pressed << c.look.focused);
    EXPECT_EQ(canvas.at(0, 0), c.back);
    EXPECT_EQ(canvas.at(119, 47), c.back);
    EXPECT_EQ(canvas.at(60, 0), c.back) << "no edge";
    EXPECT_GT(canvas.count(c.text), 20);
  }
}

TEST(PaintSuperBtn, NormalLookFollowsTheControlsCurrentColours) {
  Scene scene;
  auto& button = addButton(scene, "关");
  button.backColour = rgb(0x112233);
  button.textColour = rgb(0xFEDCBA);
  win32::FontCache fonts;
  Canvas canvas(120, 48);
  paintInto(canvas, scene, button, {}, fonts);
  EXPECT_EQ(canvas.at(0, 0), RGB(0x11, 0x22, 0x33));
  EXPECT_GT(canvas.count(RGB(0xFE, 0xDC, 0xBA)), 20);
}

TEST(PaintSuperBtn, CaptionIsCentredAndMovesOnePixelWhileHeldDown) {
  Scene scene;
  auto& button = addButton(scene, "消-顶", {0, 0, 120, 48});
  win32::FontCache fonts;
  Canvas hot(120, 48), pressed(120, 48);
  paintInto(hot, scene, button, {true, false, false}, fonts);
  paintInto(pressed, scene, button, {true, true, false}, fonts);
  const COLORREF back = RGB(0xE4, 0xDB, 0x81);
  const auto h = hot.boxOfAllBut(back);
  const auto p = pressed.boxOfAllBut(back);
  ASSERT_GT(h.count, 20);
  EXPECT_NEAR(h.left, 120 - h.right, 2);
  EXPECT_NEAR(h.top, 48 - h.bottom, 6);
  EXPECT_EQ(p.left, h.left + 1);
  EXPECT_EQ(p.top, h.top + 1);
  EXPECT_EQ(p.right, h.right + 1);
  EXPECT_EQ(p.bottom, h.bottom + 1);
  EXPECT_EQ(p.count, h.count);
}

TEST(PaintSuperBtn, AtTwiceTheDpiItFillsTwiceItsSizeWithTextTwiceAsTallThatShiftsTwoPixels) {
  Scene scene;
  auto& button = addButton(scene, "消-顶", {0, 0, 120, 48});
  win32::FontCache fonts;
  const ui::DpiScale twice(192);
  Canvas normal(120, 48), hot(240, 96), pressed(240, 96);
  paintInto(normal, scene, button, {true, false, false}, fonts);
  for (Canvas* c : {&hot, &pressed}) c->fillWith(RGB(0x12, 0x34, 0x56));
  win32::paintControl(hot.dc(), scene.window, button, {true, false, false}, fonts, {}, twice);
  win32::paintControl(pressed.dc(), scene.window, button, {true, true, false}, fonts, {}, twice);
  const COLORREF back = RGB(0xE4, 0xDB, 0x81);
  EXPECT_EQ(hot.at(239, 95), back);
  const auto n = normal.boxOfAllBut(back);
  const auto h = hot.boxOfAllBut(back);
  const auto p = pressed.boxOfAllBut(back);
  EXPECT_NEAR(h.height(), 2 * n.height(), 3);
  EXPECT_NEAR(h.width(), 2 * n.width(), 3);
  EXPECT_EQ(p.left, h.left + 2);
  EXPECT_EQ(p.top, h.top + 2);
}

TEST(PaintSuperBtn, LongCaptionBreaksAtWordsAndStaysCentred) {
  Scene scene;
  auto& button = addButton(scene, "AAAA BBBB", {0, 0, 80, 100});
  win32::FontCache fonts;
  Canvas canvas(80, 100);
  paintInto(canvas, scene, button, {}, fonts);
  const auto box = canvas.boxOfAllBut(RGB(0xBC, 0xAD, 0x27));
  EXPECT_GT(box.height(), 35) << "two lines";
  EXPECT_LT(box.width(), 80);
  EXPECT_GT(box.top, 10);
  EXPECT_LT(box.bottom, 90);
  EXPECT_NEAR(box.top, 100 - box.bottom, 8);
}

TEST(PaintSuperBtn, AmpersandIsShown) {
  Scene scene;
  auto& with = addButton(scene, "A&B", {0, 0, 160, 48});
  auto& without = addButton(scene, "AB", {0, 0, 160, 48});
  win32::FontCache fonts;
  Canvas a(160, 48), b(160, 48);
  paintInto(a, scene, with, {}, fonts);
  paintInto(b, scene, without, {}, fonts);
  const COLORREF back = RGB(0xBC, 0xAD, 0x27);
  EXPECT_NE(a.boxOfAllBut(back).count, b.boxOfAllBut(back).count);
  EXPECT_GT(a.boxOfAllBut(back).width(), b.boxOfAllBut(back).width() + 5);
}

TEST(PaintSuperBtn, EdgeWhileHotIsRaisedWhenHotAndSunkenWhenHeldDown) {
  Scene scene;
  auto& button = scene.add(ui::withEdgeWhileHot(
      ui::superBtn("返回", {0, 0, 88, 152}, "返回", "", ui::bold(kFace, 20),
                   {{rgb(0xD23602), rgb(0xCFA487)}, {rgb(0xCC2704), rgb(0xE0C5B1)}, {rgb(0xD93904), rgb(0xCFA487)}})));
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF hotBack = RGB(0xE0, 0xC5, 0xB1);
  ASSERT_NE(highlight, shadow);
  win32::FontCache fonts;
  Canvas canvas(88, 152);

  paintInto(canvas, scene, button, {true, false, false}, fonts);
  EXPECT_EQ(canvas.at(44, 0), highlight);
  EXPECT_EQ(canvas.at(0, 76), highlight);
  EXPECT_EQ(canvas.at(44, 151), shadow);
  EXPECT_EQ(canvas.at(87, 76), shadow);
  EXPECT_EQ(canvas.at(44, 1), hotBack) << "one pixel wide";
  EXPECT_EQ(canvas.at(1, 76), hotBack);

  paintInto(canvas, scene, button, {true, true, false}, fonts);
  EXPECT_EQ(canvas.at(44, 0), shadow);
  EXPECT_EQ(canvas.at(0, 76), shadow);
  EXPECT_EQ(canvas.at(44, 151), highlight);
  EXPECT_EQ(canvas.at(87, 76), highlight);

  for (win32::ControlLook look : {win32::ControlLook{}, win32::ControlLook{false, false, true}}) {
    paintInto(canvas, scene, button, look, fonts);
    EXPECT_EQ(canvas.at(44, 0), RGB(0xCF, 0xA4, 0x87));
    EXPECT_EQ(canvas.at(0, 76), RGB(0xCF, 0xA4, 0x87));
    EXPECT_EQ(canvas.at(87, 151), RGB(0xCF, 0xA4, 0x87));
  }
}

TEST(PaintSuperBtn, NoEdgeWhenNotSetEvenWhileHotOrHeldDown) {
  Scene scene;
  auto& button = addButton(scene, "关");
  win32::FontCache fonts;
  Canvas canvas(120, 48);
  for (win32::ControlLook look : {win32::ControlLook{true, false, false}, win32::ControlLook{true, true, false}}) {
    paintInto(canvas, scene, button, look, fonts);
    EXPECT_EQ(canvas.at(60, 0), RGB(0xE4, 0xDB, 0x81));
    EXPECT_EQ(canvas.at(0, 24), RGB(0xE4, 0xDB, 0x81));
    EXPECT_EQ(canvas.at(60, 47), RGB(0xE4, 0xDB, 0x81));
    EXPECT_EQ(canvas.at(119, 24), RGB(0xE4, 0xDB, 0x81));
  }
}

// --- HyperLinker -----------------------------------------------------------------------

TEST(PaintHyperLinker, ColourIsNormalHoverOrVisited) {
  Scene scene;
  auto& link = scene.add(ui::hyperLinker("link", {0, 0, 192, 32}, "广告", ui::bold(kFace, 24),
                                         {rgb(0xDCE1FE), rgb(0x80E000), rgb(0xC06000), rgb(0x0088FF)}));
  const COLORREF normal = RGB(0xDC, 0xE1, 0xFE), hover = RGB(0x80, 0xE0, 0x00), visited = RGB(0xC0, 0x60, 0x00);
  win32::FontCache fonts;
  Canvas canvas(192, 32);

  paintInto(canvas, scene, link, {}, fonts);
  EXPECT_EQ(canvas.at(191, 0), RGB(0x00, 0x88, 0xFF));
  EXPECT_GT(canvas.count(normal), 20);
  EXPECT_EQ(canvas.count(hover), 0);

  paintInto(canvas, scene, link, {true, false, false}, fonts);
  EXPECT_GT(canvas.count(hover), 20);
  EXPECT_EQ(canvas.count(normal), 0);

  link.visited = true;
  paintInto(canvas, scene, link, {}, fonts);
  EXPECT_GT(canvas.count(visited), 20);
  EXPECT_EQ(canvas.count(normal), 0);

  paintInto(canvas, scene, link, {true, false, false}, fonts);
  EXPECT_GT(canvas.count(hover), 20);
  EXPECT_EQ(canvas.count(visited), 0);
}

TEST(PaintHyperLinker, OneLineLeftAlignedVerticallyCentredOnItsBackground) {
  Scene scene;
  auto& link = scene.add(ui::hyperLinker("link", {0, 0, 192, 40}, "AB CD", ui::bold(kFace, 16),
                                         {rgb(0x000000), rgb(0x000000), rgb(0x000000), rgb(0xFFFFFF)}));
  link.backColour = rgb(0x2B9AFF);  // the colour scheme repaints the link's background
  win32::FontCache fonts;
  Canvas canvas(192, 40);
  paintInto(canvas, scene, link, {}, fonts);
  const auto box = canvas.boxOfAllBut(RGB(0x2B, 0x9A, 0xFF));
  EXPECT_LT(box.left, 4);
  EXPECT_NEAR(box.top, 40 - box.bottom, 6);
  EXPECT_LT(box.height(), 20);
  EXPECT_EQ(canvas.count(RGB(0xFF, 0xFF, 0xFF)), 0);
}

TEST(PaintHyperLinker, AmpersandIsShown) {
  Scene scene;
  const ui::LinkColours colours{rgb(0x000000), rgb(0x000000), rgb(0x000000), rgb(0xFFFFFF)};
  auto& with = scene.add(ui::hyperLinker("a", {0, 0, 160, 32}, "A&B", ui::bold(kFace, 20), colours));
  auto& without = scene.add(ui::hyperLinker("b", {0, 0, 160, 32}, "AB", ui::bold(kFace, 20), colours));
  win32::FontCache fonts;
  Canvas a(160, 32), b(160, 32);
  paintInto(a, scene, with, {}, fonts);
  paintInto(b, scene, without, {}, fonts);
  const COLORREF white = RGB(255, 255, 255);
  EXPECT_GT(a.boxOfAllBut(white).width(), b.boxOfAllBut(white).width() + 5);
}

// --- PicBox, ColorPicker, PageControl, HtmlViewer, Timer ----------------------------------

namespace {
// Stands in for the picture code: a 2 by 2 red square at the top left.
void drawRedCorner(HDC hdc, const ui::WindowState&, const ui::ControlState&, const win32::ControlLook&) {
  const std::uint32_t red[4] = {0x00FF0000, 0x00FF0000, 0x00FF0000, 0x00FF0000};
  win32::drawPixels(hdc, 0, 0, 2, 2, red);
}
}  // namespace

TEST(PaintPicBox, FillsItsBackgroundAndLeavesThePictureToThePictureCode) {
  Scene scene;
  auto& box = scene.add(ui::picBox("pic", {0, 0, 64, 32}, rgb(0x0088FF), ui::Cursor::Hand));
  box.picture = std::make_shared<const ui::Bytes>(ui::Bytes{'G', 'I', 'F'});
  win32::FontCache fonts;
  Canvas canvas(64, 32);
  paintInto(canvas, scene, box, {}, fonts);
  EXPECT_EQ(canvas.count(RGB(0x00, 0x88, 0xFF)), 64 * 32);

  canvas.fillWith(RGB(0x12, 0x34, 0x56));
  win32::paintControl(canvas.dc(), scene.window, box, {}, fonts, drawRedCorner);
  EXPECT_EQ(canvas.at(0, 0), RGB(0xFF, 0x00, 0x00));
  EXPECT_EQ(canvas.at(1, 1), RGB(0xFF, 0x00, 0x00));
  EXPECT_EQ(canvas.at(2, 2), RGB(0x00, 0x88, 0xFF));
  EXPECT_EQ(canvas.count(RGB(0xFF, 0x00, 0x00)), 4);
}

TEST(PaintColorPicker, ShowsTheCurrentColourInADarkFrame) {
  Scene scene;
  auto& picker = scene.add(ui::colorPicker("c", {0, 0, 82, 24}, rgb(0x0088FF)));
  picker.currentColour = rgb(0xFF5080);
  win32::FontCache fonts;
  Canvas canvas(82, 24);
  paintInto(canvas, scene, picker, {}, fonts);
  EXPECT_EQ(canvas.at(41, 12), RGB(0xFF, 0x50, 0x80));
  EXPECT_EQ(canvas.at(1, 1), RGB(0xFF, 0x50, 0x80));
  const COLORREF frame = canvas.at(0, 0);
  EXPECT_EQ(canvas.at(81, 23), frame);
  EXPECT_EQ(canvas.at(41, 0), frame);
  EXPECT_LT(GetRValue(frame) + GetGValue(frame) + GetBValue(frame), 3 * 100) << "dark";
}

TEST(PaintPageControl, DrawsTabsAndFillsThePageArea) {
  Scene scene;
  scene.window.background = rgb(0x0088FF);
  auto& box = scene.add(ui::pageControl("box", {0, 0, 338, 202}, {"皮肤", "小工具", "其他"},
                                        ui::normal(kFace, 12), rgb(0x80E000)));
  win32::FontCache fonts;
  Canvas canvas(338, 202);
  paintInto(canvas, scene, box, {}, fonts);
  const win32::TabStripLayout layout = win32::tabStripLayout(canvas.dc(), box, fonts);
  ASSERT_EQ(layout.tabs.size(), 3u);
  EXPECT_GT(layout.page.top, 12);
  EXPECT_LT(layout.page.top, 40);
  EXPECT_EQ(layout.page.bottom, 202);
  const COLORREF page = RGB(0x80, 0xE0, 0x00);
  EXPECT_EQ(canvas.at(169, 150), page);
  EXPECT_EQ(canvas.at(330, 2), RGB(0x00, 0x88, 0xFF)) << "the window beside the tabs";
  // Tabs in order, each wider than its caption needs to be empty.
  EXPECT_LT(layout.tabs[0].left, layout.tabs[1].left);
  EXPECT_LT(layout.tabs[1].left, layout.tabs[2].left);
  EXPECT_GT(layout.tabs[1].right - layout.tabs[1].left, layout.tabs[0].right - layout.tabs[0].left - 4)
      << "three characters against two";

  auto inside = [&](const RECT& r) { return canvas.at(r.left + 3, r.top + 3); };
  EXPECT_EQ(inside(layout.tabs[0]), page) << "the selected tab is highlighted";
  EXPECT_NE(inside(layout.tabs[1]), page);
  EXPECT_NE(inside(layout.tabs[2]), page);
  // Each caption is drawn inside its tab.
  for (const RECT& r : layout.tabs) {
    int marks = 0;
    const COLORREF tabBack = inside(r);
    for (int y = r.top + 2; y < r.bottom - 1; ++y)
      for (int x = r.left + 2; x < r.right - 2; ++x)
        if (canvas.at(x, y) != tabBack) ++marks;
    EXPECT_GT(marks, 10);
  }

  box.selectedTab = 2;
  paintInto(canvas, scene, box, {}, fonts);
  const win32::TabStripLayout second = win32::tabStripLayout(canvas.dc(), box, fonts);
  EXPECT_NE(inside(second.tabs[0]), page);
  EXPECT_EQ(inside(second.tabs[2]), page);
}

TEST(PaintPageControl, TabAtFindsTheTabUnderAPoint) {
  Scene scene;
  auto& box = scene.add(ui::pageControl("box", {0, 0, 338, 202}, {"皮肤", "小工具", "其他"},
                                        ui::normal(kFace, 12), rgb(0x80E000)));
  win32::FontCache fonts;
  Canvas canvas(4, 4);
  const win32::TabStripLayout layout = win32::tabStripLayout(canvas.dc(), box, fonts);
  for (int i = 0; i < 3; ++i) {
    const RECT& r = layout.tabs[i];
    EXPECT_EQ(win32::tabAt(canvas.dc(), box, fonts, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}), i);
  }
  EXPECT_EQ(win32::tabAt(canvas.dc(), box, fonts, POINT{169, 150}), -1);
  EXPECT_EQ(win32::tabAt(canvas.dc(), box, fonts, POINT{330, 5}), -1);
  // The selected tab reaches over its neighbours' edges and wins there.
  box.selectedTab = 1;
  const win32::TabStripLayout second = win32::tabStripLayout(canvas.dc(), box, fonts);
  EXPECT_LT(second.tabs[1].left, second.tabs[0].right);
  EXPECT_EQ(win32::tabAt(canvas.dc(), box, fonts, POINT{second.tabs[1].left, 10}), 1);
  EXPECT_EQ(win32::tabAt(canvas.dc(), box, fonts, POINT{second.tabs[1].right - 1, 10}), 1);
}

TEST(PaintPageControl, NoTabsIsJustThePage) {
  Scene scene;
  auto& box = scene.add(ui::pageControl("box", {0, 0, 100, 80}, {}, ui::normal(kFace, 12), rgb(0x80E000)));
  box.selectedTab = 0;
  win32::FontCache fonts;
  Canvas canvas(100, 80);
  paintInto(canvas, scene, box, {}, fonts);
  EXPECT_EQ(canvas.at(50, 60), RGB(0x80, 0xE0, 0x00));
  EXPECT_EQ(win32::tabAt(canvas.dc(), box, fonts, POINT{5, 5}), -1);
}

TEST(PaintNothingToPaint, HtmlViewerAndTimerLeaveTheCanvasAlone) {
  Scene scene;
  auto& view = scene.add(ui::htmlViewer("web", {0, 0, 40, 30}, "http://127.0.0.1/"));
  auto& clock = scene.add(ui::timer("clock", 100));
  win32::FontCache fonts;
  Canvas canvas(40, 30);
  paintInto(canvas, scene, view, {}, fonts);
  EXPECT_EQ(canvas.count(RGB(0x12, 0x34, 0x56)), 40 * 30);
  win32::paintControlBuffered(canvas.dc(), scene.window, view, {}, fonts);
  EXPECT_EQ(canvas.count(RGB(0x12, 0x34, 0x56)), 40 * 30);
  paintInto(canvas, scene, clock, {}, fonts);
  EXPECT_EQ(canvas.count(RGB(0x12, 0x34, 0x56)), 40 * 30);
}

// --- Bad input -------------------------------------------------------------------------------

TEST(PaintBadInput, EmptyZeroSizedAndBrokenCaptionsDoNotHarm) {
  Scene scene;
  auto& empty = scene.add(ui::label("e", {0, 0, 40, 20}, "", ui::bold(kFace, 16), rgb(0x000000), rgb(0x00FF00),
                                    style(ui::HAlign::Left, ui::VAlign::Top, true, ui::TextEffect::Shadow)));
  auto& zero = scene.add(ui::label("z", {0, 0, 0, 0}, "abc", ui::bold(kFace, 16), rgb(0x000000), rgb(0x00FF00),
                                   style(ui::HAlign::Left, ui::VAlign::Top)));
  auto& negative = scene.add(ui::superBtn("n", {0, 0, -5, 10}, "abc", "", ui::bold(kFace, 16), kLooks));
  // A lone lead byte and a truncated two-byte character: not valid GBK.
  auto& broken = scene.add(ui::label("b", {0, 0, 40, 20}, std::string("\x81", 1) + "A\xB0", ui::bold(kFace, 16),
                                     rgb(0x000000), rgb(0x00FF00), style(ui::HAlign::Left, ui::VAlign::Top)));
  auto& noFont = scene.add(ui::label("f", {0, 0, 40, 20}, "abc", ui::Font{}, rgb(0x000000), rgb(0x00FF00),
                                     style(ui::HAlign::Left, ui::VAlign::Top)));
  win32::FontCache fonts;
  Canvas canvas(40, 20);
  paintInto(canvas, scene, empty, {}, fonts);
  EXPECT_EQ(canvas.count(RGB(0x00, 0xFF, 0x00)), 40 * 20);
  paintInto(canvas, scene, zero, {}, fonts);
  EXPECT_EQ(canvas.count(RGB(0x12, 0x34, 0x56)), 40 * 20);
  paintInto(canvas, scene, negative, {}, fonts);
  win32::paintControlBuffered(canvas.dc(), scene.window, negative, {}, fonts);
  EXPECT_EQ(canvas.count(RGB(0x12, 0x34, 0x56)), 40 * 20);
  paintInto(canvas, scene, broken, {}, fonts);
  EXPECT_EQ(canvas.at(39, 19), RGB(0x00, 0xFF, 0x00));
  paintInto(canvas, scene, noFont, {}, fonts);
  EXPECT_GT(canvas.boxOfAllBut(RGB(0x00, 0xFF, 0x00)).count, 5) << "the GUI font draws";
}

TEST(PaintBadInput, DrawPixelsIgnoresNothingToDraw) {
  Canvas canvas(4, 4);
  canvas.fillWith(RGB(1, 2, 3));
  win32::drawPixels(canvas.dc(), 0, 0, 0, 4, nullptr);
  win32::drawPixels(canvas.dc(), 0, 0, 2, 2, nullptr);
  EXPECT_EQ(canvas.count(RGB(1, 2, 3)), 16);
  const std::uint32_t pixels[2] = {0x00112233, 0x00445566};
  win32::drawPixels(canvas.dc(), 1, 2, 2, 1, pixels);
  EXPECT_EQ(canvas.at(1, 2), RGB(0x11, 0x22, 0x33));
  EXPECT_EQ(canvas.at(2, 2), RGB(0x44, 0x55, 0x66));
  EXPECT_EQ(canvas.count(RGB(1, 2, 3)), 14);
}
