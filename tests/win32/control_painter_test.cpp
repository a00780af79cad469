// Paints controls into a 32-bit memory bitmap and reads the pixels back.
#include "platform/win32/control_painter.h"

#include <gtest/gtest.h>

#include "canvas.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ui::rgb;

const char* const kFace = "WenQuanYi Micro Hei";

using station_test::Canvas;

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kPrefill = RGB(0x12, 0x34, 0x56);  // a canvas before a control is painted into it

bool nearWhite(COLORREF c) { return GetRValue(c) >= 0xF0 && GetGValue(c) >= 0xF0 && GetBValue(c) >= 0xF0; }
bool nearBlack(COLORREF c) { return GetRValue(c) <= 0x10 && GetGValue(c) <= 0x10 && GetBValue(c) <= 0x10; }

// Holds definitions at stable addresses, builds the model of one window and
// keeps the fonts its controls are painted with.
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
  win32::FontCache fonts;

 private:
  std::deque<ui::ControlDef> defs_;
};

ui::TextStyle style(ui::HAlign h, ui::VAlign v, bool wrap = false, ui::TextEffect effect = ui::TextEffect::Plain) {
  return ui::TextStyle{h, v, wrap, effect};
}

// A label in the bold face, black on white unless told otherwise.
ui::ControlDef boldLabel(ui::Rect rect, std::string caption, int size, ui::TextStyle textStyle,
                         ui::Colour text = rgb(0x000000), ui::Colour back = rgb(0xFFFFFF)) {
  return ui::label("l", rect, std::move(caption), ui::bold(kFace, size), text, back, textStyle);
}

// The settings window's tab box: three tabs on a green page.
ui::ControlDef tabBox(ui::Rect rect) {
  return ui::pageControl("box", rect, {"皮肤", "小工具", "其他"}, ui::normal(kFace, 12), rgb(0x80E000));
}

// Three distinct looks: text and background differ between all of them.
const ui::ButtonLooks kLooks{
    {rgb(0xFFFFFF), rgb(0xBCAD27)}, {rgb(0x202020), rgb(0xE4DB81)}, {rgb(0xDCE6EF), rgb(0x5FC4FA)}};

ui::ControlState& addButton(Scene& scene, std::string caption, ui::Rect rect = {0, 0, 120, 48}) {
  return scene.add(ui::superBtn("btn", rect, std::move(caption), "", ui::bold(kFace, 24), kLooks));
}

// Paints one control of a scene into a fresh canvas of its size, pre-filled.
void paintInto(Canvas& canvas, Scene& scene, const ui::ControlState& control, const win32::ControlLook& look = {},
               COLORREF prefill = kPrefill) {
  canvas.fillWith(prefill);
  win32::paintControl(canvas.dc(), scene.window, control, look, scene.fonts);
}

// Paints each control of the scene, in the normal look, into a canvas of its own.
std::deque<Canvas> paintEach(Scene& scene, int width, int height) {
  std::deque<Canvas> canvases;
  for (const ui::ControlState& control : scene.window.controls)
    paintInto(canvases.emplace_back(width, height), scene, control);
  return canvases;
}

// The same, giving for each control the bounding box of what is not background.
std::vector<Canvas::Box> paintedBoxes(Scene& scene, int width, int height, COLORREF background) {
  std::vector<Canvas::Box> boxes;
  for (const Canvas& canvas : paintEach(scene, width, height)) boxes.push_back(canvas.boxOfAllBut(background));
  return boxes;
}

// Whether each of the points has the colour; a failure names the points that do not.
testing::AssertionResult pixelsAre(const Canvas& canvas, COLORREF colour, std::initializer_list<POINT> points) {
  std::ostringstream wrong;
  wrong << std::hex << "not " << colour << ':';
  bool all = true;
  for (const POINT& p : points)
    if (const COLORREF found = canvas.at(p.x, p.y); found != colour) {
      all = false;
      wrong << std::dec << " (" << p.x << ", " << p.y << ") is " << std::hex << found;
    }
  return all ? testing::AssertionSuccess() : testing::AssertionFailure() << wrong.str();
}

// A box's left, top, right and bottom edge, to compare at once; and those of
// a box moved, or grown, right and down by some pixels.
using Edges = std::array<int, 4>;
Edges edges(const Canvas::Box& b) { return {b.left, b.top, b.right, b.bottom}; }
Edges movedBy(const Canvas::Box& b, int by) { return {b.left + by, b.top + by, b.right + by, b.bottom + by}; }
Edges grownBy(const Canvas::Box& b, int by) { return {b.left, b.top, b.right + by, b.bottom + by}; }

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
  auto& label = scene.add(boldLabel({0, 0, 160, 60}, "汀蔚", 20, style(ui::HAlign::Centre, ui::VAlign::Centre),
                                    rgb(0xF89145), rgb(0x0088FF)));
  Canvas canvas(160, 60);
  paintInto(canvas, scene, label);
  EXPECT_TRUE(pixelsAre(canvas, RGB(0x00, 0x88, 0xFF), {{0, 0}, {159, 0}, {0, 59}, {159, 59}}));
  EXPECT_EQ(canvas.count(kPrefill), 0);
}

TEST(PaintLabel, SystemDefaultColoursAreButtonFaceAndButtonText) {
  Scene scene;
  auto& label = scene.add(boldLabel({0, 0, 120, 60}, "AB", 40, style(ui::HAlign::Centre, ui::VAlign::Centre),
                                    ui::kSystemDefault, ui::kSystemDefault));
  Canvas canvas(120, 60);
  paintInto(canvas, scene, label);
  EXPECT_TRUE(pixelsAre(canvas, GetSysColor(COLOR_BTNFACE), {{0, 0}, {119, 59}}));
  EXPECT_GT(canvas.count(GetSysColor(COLOR_BTNTEXT)), 20);
}

TEST(PaintLabel, ChineseCaptionIsDrawnInTheTextColour) {
  Scene scene;
  auto& label = scene.add(boldLabel({0, 0, 200, 80}, "汀蔚", 56, style(ui::HAlign::Centre, ui::VAlign::Centre),
                                    rgb(0xF89145), rgb(0x0088FF)));
  Canvas canvas(200, 80);
  paintInto(canvas, scene, label);
  EXPECT_GT(canvas.count(RGB(0xF8, 0x91, 0x45)), 100);
}

TEST(PaintLabel, CaptionBytesAreReadAsGbkWhateverTheLocale) {
  // What DrawTextW shows for the two characters, against the label's drawing
  // of their GBK bytes: the same pixels.
  Scene scene;
  auto& label = scene.add(boldLabel({0, 0, 200, 80}, "汀蔚", 56, style(ui::HAlign::Left, ui::VAlign::Top)));
  Canvas painted(200, 80);
  paintInto(painted, scene, label);

  Canvas expected(200, 80);
  expected.fillWith(kWhite);
  HGDIOBJ old = SelectObject(expected.dc(), scene.fonts.get(ui::bold(kFace, 56)));
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
  for (const char* caption : {"A&B", "AB", "&"})
    scene.add(boldLabel({0, 0, 200, 60}, caption, 32, style(ui::HAlign::Left, ui::VAlign::Top)));
  const auto boxes = paintedBoxes(scene, 200, 60, kWhite);
  const auto &with = boxes[0], &without = boxes[1], &alone = boxes[2];
  EXPECT_GT(alone.count, 20) << "a lone ampersand is drawn";
  EXPECT_NE(with.count, without.count);
  EXPECT_GT(with.width(), without.width() + alone.width() / 2);
}

TEST(PaintLabel, HorizontalAlignmentOnOneLine) {
  Scene scene;
  for (ui::HAlign h : {ui::HAlign::Left, ui::HAlign::Centre, ui::HAlign::Right})
    scene.add(boldLabel({0, 0, 240, 50}, "ABC", 30, style(h, ui::VAlign::Centre)));
  const auto boxes = paintedBoxes(scene, 240, 50, kWhite);
  const auto &l = boxes[0], &c = boxes[1], &r = boxes[2];
  ASSERT_GT(l.count, 0);
  EXPECT_LT(l.left, 5);
  EXPECT_GT(r.right, 240 - 5);
  EXPECT_NEAR(c.left, 240 - c.right, 3);
  EXPECT_EQ(l.width(), c.width());
  EXPECT_EQ(l.width(), r.width());
}

TEST(PaintLabel, VerticalAlignmentOnOneLine) {
  Scene scene;
  for (ui::VAlign v : {ui::VAlign::Top, ui::VAlign::Centre, ui::VAlign::Bottom})
    scene.add(boldLabel({0, 0, 120, 100}, "ABC", 30, style(ui::HAlign::Left, v)));
  const auto boxes = paintedBoxes(scene, 120, 100, kWhite);
  const auto &t = boxes[0], &c = boxes[1], &b = boxes[2];
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
  scene.add(boldLabel({0, 0, 80, 120}, "AAAA BBBB CCCC", 24, style(ui::HAlign::Left, ui::VAlign::Top)));
  const auto box = paintedBoxes(scene, 80, 120, kWhite)[0];
  EXPECT_LT(box.height(), 30);
  EXPECT_GT(box.right, 75) << "the line runs on to the edge and is cut there";
}

TEST(PaintLabel, WordWrapBreaksAtWordsAndAlignsTheBlockVertically) {
  Scene scene;
  for (ui::VAlign v : {ui::VAlign::Top, ui::VAlign::Centre, ui::VAlign::Bottom})
    scene.add(boldLabel({0, 0, 90, 200}, "AAAA BBBB CCCC", 24, style(ui::HAlign::Centre, v, true)));
  const auto boxes = paintedBoxes(scene, 90, 200, kWhite);
  const auto &t = boxes[0], &c = boxes[1], &b = boxes[2];
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
  auto& label = scene.add(boldLabel({0, 0, 50, 30}, "AAAAAAAA", 40,
                                   style(ui::HAlign::Left, ui::VAlign::Top, false, ui::TextEffect::Shadow)));
  Canvas canvas(120, 80);
  paintInto(canvas, scene, label, {}, RGB(1, 2, 3));
  EXPECT_EQ(edges(canvas.boxOfAllBut(RGB(1, 2, 3))), (Edges{0, 0, 50, 30}));
}

TEST(PaintLabel, TextEffectsAddTheirColourOffsetRightAndDown) {
  Scene scene;
  for (ui::TextEffect e :
       {ui::TextEffect::Plain, ui::TextEffect::Engraved, ui::TextEffect::Raised, ui::TextEffect::Shadow})
    scene.add(ui::label("l", {0, 0, 200, 80}, "汀蔚", ui::bold(kFace, 47), rgb(0x604020), rgb(0x0088FF),
                        style(ui::HAlign::Centre, ui::VAlign::Centre, false, e)));
  const auto canvases = paintEach(scene, 200, 80);
  const Canvas &plain = canvases[0], &engraved = canvases[1], &raised = canvases[2], &shadow = canvases[3];

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

  const COLORREF blue = RGB(0x00, 0x88, 0xFF);
  const auto p = plain.boxOfAllBut(blue);
  // Engraved: white one pixel right and down of the text at its place.
  EXPECT_EQ(edges(engraved.boxOfAllBut(blue)), grownBy(p, 1));
  // Raised: white at the place, the text one pixel right and down.
  EXPECT_EQ(edges(raised.boxOfAllBut(blue)), grownBy(p, 1));
  // Shadow: black two pixels right and down.
  EXPECT_EQ(edges(shadow.boxOfAllBut(blue)), grownBy(p, 2));
}

TEST(PaintLabel, EngravedAndRaisedDifferInWhichCopyIsOnTop) {
  Scene scene;
  for (ui::TextEffect e : {ui::TextEffect::Engraved, ui::TextEffect::Raised, ui::TextEffect::Plain})
    scene.add(ui::label("l", {0, 0, 200, 80}, "汀蔚", ui::bold(kFace, 47), rgb(0x604020), rgb(0x0088FF),
                        style(ui::HAlign::Left, ui::VAlign::Top, false, e)));
  const auto canvases = paintEach(scene, 200, 80);
  const Canvas &engraved = canvases[0], &raised = canvases[1], &plain = canvases[2];
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
  Canvas canvas(200, 80);
  const COLORREF beneath = kPrefill;
  paintInto(canvas, scene, label, {}, beneath);
  EXPECT_TRUE(pixelsAre(canvas, beneath, {{0, 0}, {199, 79}}));
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
  Canvas canvas(176, 56);
  canvas.fillWith(RGB(255, 0, 0));  // stale pixels of the window
  win32::paintControlBuffered(canvas.dc(), scene.window, label, {}, scene.fonts);
  EXPECT_EQ(canvas.count(RGB(255, 0, 0)), 0);
  EXPECT_TRUE(pixelsAre(canvas, RGB(0x2D, 0xC1, 0x56), {{0, 0}, {175, 55}}));
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
  Canvas canvas(100, 50);
  win32::paintControlBuffered(canvas.dc(), scene.window, scene[1], {}, scene.fonts);
  EXPECT_TRUE(pixelsAre(canvas, RGB(0xE4, 0xC9, 0xB1), {{0, 0}, {49, 39}}));
  EXPECT_TRUE(pixelsAre(canvas, RGB(0x00, 0x88, 0xFF), {{50, 0}, {0, 40}}));
  EXPECT_EQ(canvas.count(RGB(0xFF, 0x00, 0x00)), 0);
}

TEST(PaintTransLabel, OnATabPageTheTabBoxShowsBeneath) {
  Scene scene;
  scene.window.background = rgb(0x0088FF);
  scene.add(ui::onPage("皮肤", ui::transLabel("t", {24, 48, 90, 24}, "背景颜色:", ui::bold(kFace, 16),
                                               rgb(0x0060C0), style(ui::HAlign::Left, ui::VAlign::Centre))));
  scene.add(tabBox({6, 54, 338, 202}));
  Canvas canvas(90, 24);
  win32::paintControlBuffered(canvas.dc(), scene.window, scene[0], {}, scene.fonts);
  EXPECT_TRUE(pixelsAre(canvas, RGB(0x80, 0xE0, 0x00), {{89, 0}, {89, 23}}));
  EXPECT_GT(canvas.count(RGB(0x00, 0x60, 0xC0)), 20);

  const ui::Rect inWindow = ui::rectInWindow(scene.window, scene[0]);
  EXPECT_EQ((Edges{inWindow.left, inWindow.top, inWindow.right(), inWindow.bottom()}), (Edges{30, 102, 120, 126}));
}

TEST(PaintPicBtn, PaintsNothingOfItsOwnAndShowsWhatIsBeneath) {
  Scene scene;
  scene.window.background = rgb(0x5830E0);
  auto& button = scene.add(ui::picBtn("p", {10, 10, 48, 48}, rgb(0x80E000)));
  Canvas canvas(48, 48);
  paintInto(canvas, scene, button);
  EXPECT_EQ(canvas.count(kPrefill), 48 * 48);
  win32::paintControlBuffered(canvas.dc(), scene.window, button, {}, scene.fonts);
  EXPECT_EQ(canvas.count(RGB(0x58, 0x30, 0xE0)), 48 * 48);
}

// --- SuperBtn ------------------------------------------------------------------------

TEST(PaintSuperBtn, BackgroundFollowsTheLook) {
  Scene scene;
  auto& button = addButton(scene, "关");
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
    paintInto(canvas, scene, button, c.look);
    SCOPED_TRACE(testing::Message() << c.look.hot << c.look.pressed << c.look.focused);
    EXPECT_TRUE(pixelsAre(canvas, c.back, {{0, 0}, {119, 47}}));
    EXPECT_EQ(canvas.at(60, 0), c.back) << "no edge";
    EXPECT_GT(canvas.count(c.text), 20);
  }
}

TEST(PaintSuperBtn, NormalLookFollowsTheControlsCurrentColours) {
  Scene scene;
  auto& button = addButton(scene, "关");
  button.backColour = rgb(0x112233);
  button.textColour = rgb(0xFEDCBA);
  Canvas canvas(120, 48);
  paintInto(canvas, scene, button);
  EXPECT_EQ(canvas.at(0, 0), RGB(0x11, 0x22, 0x33));
  EXPECT_GT(canvas.count(RGB(0xFE, 0xDC, 0xBA)), 20);
}

TEST(PaintSuperBtn, CaptionIsCentredAndMovesOnePixelWhileHeldDown) {
  Scene scene;
  auto& button = addButton(scene, "消-顶", {0, 0, 120, 48});
  Canvas hot(120, 48), pressed(120, 48);
  paintInto(hot, scene, button, {true, false, false});
  paintInto(pressed, scene, button, {true, true, false});
  const COLORREF back = RGB(0xE4, 0xDB, 0x81);
  const auto h = hot.boxOfAllBut(back);
  const auto p = pressed.boxOfAllBut(back);
  ASSERT_GT(h.count, 20);
  EXPECT_NEAR(h.left, 120 - h.right, 2);
  EXPECT_NEAR(h.top, 48 - h.bottom, 6);
  EXPECT_EQ(edges(p), movedBy(h, 1));
  EXPECT_EQ(p.count, h.count);
}

TEST(PaintSuperBtn, AtTwiceTheDpiItFillsTwiceItsSizeWithTextTwiceAsTallThatShiftsTwoPixels) {
  Scene scene;
  auto& button = addButton(scene, "消-顶", {0, 0, 120, 48});
  const ui::DpiScale twice(192);
  Canvas normal(120, 48), hot(240, 96), pressed(240, 96);
  paintInto(normal, scene, button, {true, false, false});
  for (Canvas* c : {&hot, &pressed}) c->fillWith(kPrefill);
  win32::paintControl(hot.dc(), scene.window, button, {true, false, false}, scene.fonts, {}, twice);
  win32::paintControl(pressed.dc(), scene.window, button, {true, true, false}, scene.fonts, {}, twice);
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
  Canvas canvas(80, 100);
  paintInto(canvas, scene, button);
  const auto box = canvas.boxOfAllBut(RGB(0xBC, 0xAD, 0x27));
  EXPECT_GT(box.height(), 35) << "two lines";
  EXPECT_LT(box.width(), 80);
  EXPECT_GT(box.top, 10);
  EXPECT_LT(box.bottom, 90);
  EXPECT_NEAR(box.top, 100 - box.bottom, 8);
}

TEST(PaintSuperBtn, AmpersandIsShown) {
  Scene scene;
  for (const char* caption : {"A&B", "AB"}) addButton(scene, caption, {0, 0, 160, 48});
  const auto boxes = paintedBoxes(scene, 160, 48, RGB(0xBC, 0xAD, 0x27));
  const auto &with = boxes[0], &without = boxes[1];
  EXPECT_NE(with.count, without.count);
  EXPECT_GT(with.width(), without.width() + 5);
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
  Canvas canvas(88, 152);

  paintInto(canvas, scene, button, {true, false, false});
  EXPECT_TRUE(pixelsAre(canvas, highlight, {{44, 0}, {0, 76}}));
  EXPECT_TRUE(pixelsAre(canvas, shadow, {{44, 151}, {87, 76}}));
  EXPECT_TRUE(pixelsAre(canvas, hotBack, {{44, 1}, {1, 76}})) << "one pixel wide";

  paintInto(canvas, scene, button, {true, true, false});
  EXPECT_TRUE(pixelsAre(canvas, shadow, {{44, 0}, {0, 76}}));
  EXPECT_TRUE(pixelsAre(canvas, highlight, {{44, 151}, {87, 76}}));

  for (win32::ControlLook look : {win32::ControlLook{}, win32::ControlLook{false, false, true}}) {
    paintInto(canvas, scene, button, look);
    EXPECT_TRUE(pixelsAre(canvas, RGB(0xCF, 0xA4, 0x87), {{44, 0}, {0, 76}, {87, 151}}));
  }
}

TEST(PaintSuperBtn, NoEdgeWhenNotSetEvenWhileHotOrHeldDown) {
  Scene scene;
  auto& button = addButton(scene, "关");
  Canvas canvas(120, 48);
  for (win32::ControlLook look : {win32::ControlLook{true, false, false}, win32::ControlLook{true, true, false}}) {
    paintInto(canvas, scene, button, look);
    EXPECT_TRUE(pixelsAre(canvas, RGB(0xE4, 0xDB, 0x81), {{60, 0}, {0, 24}, {60, 47}, {119, 24}}));
  }
}

// --- HyperLinker -----------------------------------------------------------------------

TEST(PaintHyperLinker, ColourIsNormalHoverOrVisited) {
  Scene scene;
  auto& link = scene.add(ui::hyperLinker("link", {0, 0, 192, 32}, "广告", ui::bold(kFace, 24),
                                         {rgb(0xDCE1FE), rgb(0x80E000), rgb(0xC06000), rgb(0x0088FF)}));
  const COLORREF normal = RGB(0xDC, 0xE1, 0xFE), hover = RGB(0x80, 0xE0, 0x00), visited = RGB(0xC0, 0x60, 0x00);
  Canvas canvas(192, 32);
  paintInto(canvas, scene, link);
  EXPECT_EQ(canvas.at(191, 0), RGB(0x00, 0x88, 0xFF));
  // Rows: visited or not, the pointer over it or not; the colour shown and one not shown.
  const struct {
    bool visited, hot;
    COLORREF shown, notShown;
  } cases[] = {{false, false, normal, hover}, {false, true, hover, normal}, {true, false, visited, normal},
               {true, true, hover, visited}};
  for (const auto& c : cases) {
    link.visited = c.visited;
    paintInto(canvas, scene, link, {c.hot, false, false});
    SCOPED_TRACE(testing::Message() << "visited " << c.visited << ", hot " << c.hot);
    EXPECT_GT(canvas.count(c.shown), 20);
    EXPECT_EQ(canvas.count(c.notShown), 0);
  }
}

TEST(PaintHyperLinker, OneLineLeftAlignedVerticallyCentredOnItsBackground) {
  Scene scene;
  auto& link = scene.add(ui::hyperLinker("link", {0, 0, 192, 40}, "AB CD", ui::bold(kFace, 16),
                                         {rgb(0x000000), rgb(0x000000), rgb(0x000000), rgb(0xFFFFFF)}));
  link.backColour = rgb(0x2B9AFF);  // the colour scheme repaints the link's background
  Canvas canvas(192, 40);
  paintInto(canvas, scene, link);
  const auto box = canvas.boxOfAllBut(RGB(0x2B, 0x9A, 0xFF));
  EXPECT_LT(box.left, 4);
  EXPECT_NEAR(box.top, 40 - box.bottom, 6);
  EXPECT_LT(box.height(), 20);
  EXPECT_EQ(canvas.count(RGB(0xFF, 0xFF, 0xFF)), 0);
}

TEST(PaintHyperLinker, AmpersandIsShown) {
  Scene scene;
  const ui::LinkColours colours{rgb(0x000000), rgb(0x000000), rgb(0x000000), rgb(0xFFFFFF)};
  for (const char* caption : {"A&B", "AB"})
    scene.add(ui::hyperLinker("a", {0, 0, 160, 32}, caption, ui::bold(kFace, 20), colours));
  const auto boxes = paintedBoxes(scene, 160, 32, kWhite);
  EXPECT_GT(boxes[0].width(), boxes[1].width() + 5) << "A&B against AB";
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
  Canvas canvas(64, 32);
  paintInto(canvas, scene, box);
  EXPECT_EQ(canvas.count(RGB(0x00, 0x88, 0xFF)), 64 * 32);

  canvas.fillWith(kPrefill);
  win32::paintControl(canvas.dc(), scene.window, box, {}, scene.fonts, drawRedCorner);
  EXPECT_TRUE(pixelsAre(canvas, RGB(0xFF, 0x00, 0x00), {{0, 0}, {1, 1}}));
  EXPECT_EQ(canvas.at(2, 2), RGB(0x00, 0x88, 0xFF));
  EXPECT_EQ(canvas.count(RGB(0xFF, 0x00, 0x00)), 4);
}

TEST(PaintColorPicker, ShowsTheCurrentColourInADarkFrame) {
  Scene scene;
  auto& picker = scene.add(ui::colorPicker("c", {0, 0, 82, 24}, rgb(0x0088FF)));
  picker.currentColour = rgb(0xFF5080);
  Canvas canvas(82, 24);
  paintInto(canvas, scene, picker);
  EXPECT_TRUE(pixelsAre(canvas, RGB(0xFF, 0x50, 0x80), {{41, 12}, {1, 1}}));
  const COLORREF frame = canvas.at(0, 0);
  EXPECT_TRUE(pixelsAre(canvas, frame, {{81, 23}, {41, 0}}));
  EXPECT_LT(GetRValue(frame) + GetGValue(frame) + GetBValue(frame), 3 * 100) << "dark";
}

TEST(PaintPageControl, DrawsTabsAndFillsThePageArea) {
  Scene scene;
  scene.window.background = rgb(0x0088FF);
  auto& box = scene.add(tabBox({0, 0, 338, 202}));
  Canvas canvas(338, 202);
  paintInto(canvas, scene, box);
  const win32::TabStripLayout layout = win32::tabStripLayout(canvas.dc(), box, scene.fonts);
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
  paintInto(canvas, scene, box);
  const win32::TabStripLayout second = win32::tabStripLayout(canvas.dc(), box, scene.fonts);
  EXPECT_NE(inside(second.tabs[0]), page);
  EXPECT_EQ(inside(second.tabs[2]), page);
}

TEST(PaintPageControl, TabAtFindsTheTabUnderAPoint) {
  Scene scene;
  auto& box = scene.add(tabBox({0, 0, 338, 202}));
  Canvas canvas(4, 4);
  auto tabAt = [&](POINT point) { return win32::tabAt(canvas.dc(), box, scene.fonts, point); };
  const win32::TabStripLayout layout = win32::tabStripLayout(canvas.dc(), box, scene.fonts);
  for (int i = 0; i < 3; ++i) {
    const RECT& r = layout.tabs[i];
    EXPECT_EQ(tabAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}), i);
  }
  EXPECT_EQ(tabAt({169, 150}), -1);
  EXPECT_EQ(tabAt({330, 5}), -1);
  // The selected tab reaches over its neighbours' edges and wins there.
  box.selectedTab = 1;
  const win32::TabStripLayout second = win32::tabStripLayout(canvas.dc(), box, scene.fonts);
  EXPECT_LT(second.tabs[1].left, second.tabs[0].right);
  EXPECT_EQ(tabAt({second.tabs[1].left, 10}), 1);
  EXPECT_EQ(tabAt({second.tabs[1].right - 1, 10}), 1);
}

TEST(PaintPageControl, NoTabsIsJustThePage) {
  Scene scene;
  auto& box = scene.add(ui::pageControl("box", {0, 0, 100, 80}, {}, ui::normal(kFace, 12), rgb(0x80E000)));
  box.selectedTab = 0;
  Canvas canvas(100, 80);
  paintInto(canvas, scene, box);
  EXPECT_EQ(canvas.at(50, 60), RGB(0x80, 0xE0, 0x00));
  EXPECT_EQ(win32::tabAt(canvas.dc(), box, scene.fonts, POINT{5, 5}), -1);
}

TEST(PaintNothingToPaint, HtmlViewerAndTimerLeaveTheCanvasAlone) {
  Scene scene;
  auto& view = scene.add(ui::htmlViewer("web", {0, 0, 40, 30}, "http://127.0.0.1/"));
  auto& clock = scene.add(ui::timer("clock", 100));
  Canvas canvas(40, 30);
  paintInto(canvas, scene, view);
  EXPECT_EQ(canvas.count(kPrefill), 40 * 30);
  win32::paintControlBuffered(canvas.dc(), scene.window, view, {}, scene.fonts);
  EXPECT_EQ(canvas.count(kPrefill), 40 * 30);
  paintInto(canvas, scene, clock);
  EXPECT_EQ(canvas.count(kPrefill), 40 * 30);
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
  Canvas canvas(40, 20);
  paintInto(canvas, scene, empty);
  EXPECT_EQ(canvas.count(RGB(0x00, 0xFF, 0x00)), 40 * 20);
  paintInto(canvas, scene, zero);
  EXPECT_EQ(canvas.count(kPrefill), 40 * 20);
  paintInto(canvas, scene, negative);
  win32::paintControlBuffered(canvas.dc(), scene.window, negative, {}, scene.fonts);
  EXPECT_EQ(canvas.count(kPrefill), 40 * 20);
  paintInto(canvas, scene, broken);
  EXPECT_EQ(canvas.at(39, 19), RGB(0x00, 0xFF, 0x00));
  paintInto(canvas, scene, noFont);
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
