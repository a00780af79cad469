// The colour picker's palette on real windows: where it opens, what it
// offers, and what choosing, Esc and a press outside do.
#include "platform/win32/colour_palette.h"
#include "platform/win32/owners.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/gbk_text.h"
#include "ui/named_colours.h"

namespace {

using ui::rgb;

constexpr int kPickerLeft = 50, kPickerTop = 40, kPickerWidth = 82, kPickerHeight = 24;
constexpr int kOther = ui::kNamedColourCount;
// The dialog's edit boxes of red, green and blue (the system's template ids).
constexpr int kRedEdit = 706, kGreenEdit = 707, kBlueEdit = 708;

void pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

LPARAM at(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

class ColourPaletteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool registered = false;
    if (!registered) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"PaletteTestOwner";
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      RegisterClassExW(&wc);
      registered = true;
    }
    owner = CreateWindowExW(0, L"PaletteTestOwner", L"owner", WS_POPUP | WS_VISIBLE, 200, 150, 300, 200, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    picker = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, kPickerLeft, kPickerTop, kPickerWidth,
                             kPickerHeight, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(picker, nullptr);
    SetForegroundWindow(owner);
    SetFocus(picker);
    pump();
  }

  void TearDown() override {
    palettes.close();
    if (IsWindow(owner)) DestroyWindow(owner);
    pump();
  }

  HWND open(ui::Colour current = rgb(0x0088FF)) {
    HWND palette = palettes.open(picker, current, [this](ui::Colour colour) { chosen.push_back(colour); });
    pump();
    return palette;
  }

  // The centre of an entry in the palette's client coordinates.
  static POINT centreOf(HWND palette, int index) {
    HWND entry = GetDlgItem(palette, index + 1);
    RECT r{};
    GetWindowRect(entry, &r);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(palette, &p);
    return p;
  }

  static void key(HWND palette, UINT vk) {
    SendMessageW(palette, WM_KEYDOWN, vk, 0);
    pump();
  }

  static void release(HWND palette, POINT p) {
    SendMessageW(palette, WM_LBUTTONUP, 0, at(p));
    pump();
  }

  win32::ColourPalettes palettes;
  HWND owner = nullptr;
  HWND picker = nullptr;
  std::vector<ui::Colour> chosen;
};

std::wstring textOf(HWND h) {
  wchar_t buf[128] = {};
  GetWindowTextW(h, buf, 128);
  return buf;
}

TEST_F(ColourPaletteTest, OpensBelowThePickerOwnedByItsWindow) {
  HWND palette = open();
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palettes.window(), palette);
  EXPECT_TRUE(IsWindowVisible(palette));
  wchar_t cls[64] = {};
  GetClassNameW(palette, cls, 64);
  EXPECT_STREQ(cls, win32::kColourPaletteClass);
  EXPECT_EQ(GetWindow(palette, GW_OWNER), owner);
  LONG style = GetWindowLongW(palette, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0) << "borderless";
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  RECT button{}, r{};
  GetWindowRect(picker, &button);
  GetWindowRect(palette, &r);
  EXPECT_EQ(r.left, button.left);
  EXPECT_EQ(r.top, button.bottom);
  EXPECT_GT(r.right - r.left, 0);
  EXPECT_EQ(GetCapture(), palette) << "presses elsewhere must reach the palette";
  EXPECT_TRUE(chosen.empty());
}

TEST_F(ColourPaletteTest, OffersTheThirtyTwoNamedColoursInOrderThenOtherColours) {
  HWND palette = open();
  ASSERT_NE(palette, nullptr);
  std::vector<HWND> children;
  for (HWND c = GetWindow(palette, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  ASSERT_EQ(children.size(), 33u);
  const auto& colours = ui::namedColours();
  RECT client{};
  GetClientRect(palette, &client);
  for (int i = 0; i <= kOther; ++i) {
    HWND entry = GetDlgItem(palette, i + 1);
    ASSERT_NE(entry, nullptr) << i;
    std::wstring expected = i == kOther ? L"其它颜色..." : win32::wideFromGbk(colours[i].name);
    EXPECT_EQ(textOf(entry), expected) << "entry " << i;
    EXPECT_TRUE(IsWindowVisible(entry)) << i;
    // Inside the palette and apart from every other entry.
    RECT r{};
    GetWindowRect(entry, &r);
    MapWindowPoints(HWND_DESKTOP, palette, reinterpret_cast<POINT*>(&r), 2);
    RECT inside{};
    IntersectRect(&inside, &r, &client);
    EXPECT_TRUE(EqualRect(&inside, &r)) << "entry " << i << " sticks out";
    for (int j = 0; j < i; ++j) {
      RECT other{}, common{};
      GetWindowRect(GetDlgItem(palette, j + 1), &other);
      MapWindowPoints(HWND_DESKTOP, palette, reinterpret_cast<POINT*>(&other), 2);
      EXPECT_FALSE(IntersectRect(&common, &r, &other)) << "entries " << j << " and " << i << " overlap";
    }
  }
  // Read across the rows: each swatch lies right of or below the one before.
  for (int i = 1; i < kOther; ++i) {
    RECT a{}, b{};
    GetWindowRect(GetDlgItem(palette, i), &a);
    GetWindowRect(GetDlgItem(palette, i + 1), &b);
    EXPECT_TRUE(b.left > a.left || b.top > a.top) << i;
  }
  RECT last{}, lastSwatch{};
  GetWindowRect(GetDlgItem(palette, kOther + 1), &last);
  GetWindowRect(GetDlgItem(palette, kOther), &lastSwatch);
  EXPECT_GE(last.top, lastSwatch.bottom) << "the other-colours entry comes after the swatches";
}

TEST_F(ColourPaletteTest, EachSwatchShowsItsColour) {
  HWND palette = open(rgb(0x000000));
  ASSERT_NE(palette, nullptr);
  UpdateWindow(palette);
  RedrawWindow(palette, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  pump();
  const auto& colours = ui::namedColours();
  for (int i = 0; i < kOther; ++i) {
    HWND entry = GetDlgItem(palette, i + 1);
    RECT r{};
    GetClientRect(entry, &r);
    const COLORREF middle = GetPixel(win32::WindowDc(entry).get(), r.right / 2, r.bottom / 2);
    EXPECT_EQ(middle, static_cast<COLORREF>(colours[i].colour)) << "swatch " << i;
  }
}

TEST_F(ColourPaletteTest, ReleasingOverASwatchChoosesItsColourAndCloses) {
  HWND palette = open();
  ASSERT_NE(palette, nullptr);
  release(palette, centreOf(palette, 19));  // 青绿
  EXPECT_EQ(chosen, std::vector<ui::Colour>{rgb(0x00E080)});
  EXPECT_FALSE(IsWindow(palette));
  EXPECT_EQ(palettes.window(), nullptr);
  EXPECT_NE(GetCapture(), palette);
}

TEST_F(ColourPaletteTest, EveryCornerOfASwatchCounts) {
  const auto& colours = ui::namedColours();
  for (int i : {0, 7, 8, 31}) {
    HWND palette = open();
    ASSERT_NE(palette, nullptr);
    RECT r{};
    GetWindowRect(GetDlgItem(palette, i + 1), &r);
    MapWindowPoints(HWND_DESKTOP, palette, reinterpret_cast<POINT*>(&r), 2);
    release(palette, POINT{r.right - 1, r.bottom - 1});
    ASSERT_EQ(chosen.size(), 1u) << i;
    EXPECT_EQ(chosen[0], colours[i].colour) << i;
    chosen.clear();
  }
}

TEST_F(ColourPaletteTest, EscClosesWithoutAChoice) {
  HWND palette = open();
  ASSERT_NE(palette, nullptr);
  key(palette, VK_ESCAPE);
  EXPECT_FALSE(IsWindow(palette));
  EXPECT_TRUE(chosen.empty());
  EXPECT_TRUE(IsWindow(owner)) << "Esc closes only the palette";
}

TEST_F(ColourPaletteTest, APressOutsideClosesWithoutAChoice) {
  for (POINT outside : {POINT{-10, -10}, POINT{400, 5}, POINT{5, 300}}) {
    HWND palette = open();
    ASSERT_NE(palette, nullptr);
    SendMessageW(palette, WM_LBUTTONDOWN, MK_LBUTTON, at(outside));
    pump();
    EXPECT_FALSE(IsWindow(palette)) << outside.x << "," << outside.y;
    // The release that follows the press reaches nothing.
    EXPECT_TRUE(chosen.empty());
  }
  HWND palette = open();
  SendMessageW(palette, WM_RBUTTONDOWN, MK_RBUTTON, at(POINT{-3, 50}));
  pump();
  EXPECT_FALSE(IsWindow(palette)) << "right button";
  EXPECT_TRUE(chosen.empty());
}

TEST_F(ColourPaletteTest, PressAndReleaseBesideTheEntriesDoNothing) {
  HWND palette = open();
  ASSERT_NE(palette, nullptr);
  // The palette's own margin: inside it, but on no entry.
  SendMessageW(palette, WM_LBUTTONDOWN, MK_LBUTTON, at(POINT{1, 1}));
  release(palette, POINT{1, 1});
  EXPECT_TRUE(IsWindow(palette));
  EXPECT_TRUE(chosen.empty());
  // Released outside after a press inside: no choice either.
  release(palette, POINT{-20, -20});
  EXPECT_TRUE(chosen.empty());
}

TEST_F(ColourPaletteTest, KeysStartOnTheCurrentColourAndMoveAcrossRows) {
  HWND palette = open(rgb(0x0088FF));  // 天蓝, the 26th
  key(palette, VK_RETURN);
  EXPECT_EQ(chosen, std::vector<ui::Colour>{rgb(0x0088FF)});
  EXPECT_FALSE(IsWindow(palette));

  chosen.clear();
  palette = open(rgb(0x0088FF));
  key(palette, VK_RIGHT);
  key(palette, VK_SPACE);
  EXPECT_EQ(chosen, std::vector<ui::Colour>{rgb(0x80A080)}) << "灰绿 follows 天蓝";

  chosen.clear();
  palette = open(rgb(0x0088FF));
  key(palette, VK_UP);
  key(palette, VK_RETURN);
  EXPECT_EQ(chosen, std::vector<ui::Colour>{rgb(0x5830E0)}) << "eight to a row: one row up from 天蓝 is 藏蓝";

  // A colour not in the palette: the first arrow starts at the first swatch.
  chosen.clear();
  palette = open(rgb(0x123456));
  key(palette, VK_RETURN);
  EXPECT_TRUE(IsWindow(palette)) << "nothing highlighted, nothing chosen";
  EXPECT_TRUE(chosen.empty());
  key(palette, VK_DOWN);
  key(palette, VK_RETURN);
  EXPECT_EQ(chosen, std::vector<ui::Colour>{rgb(0x000000)});
}

TEST_F(ColourPaletteTest, ThePointerMovesTheHighlight) {
  HWND palette = open(rgb(0x000000));
  SendMessageW(palette, WM_MOUSEMOVE, 0, at(centreOf(palette, 12)));  // 红色
  key(palette, VK_RETURN);
  EXPECT_EQ(chosen, std::vector<ui::Colour>{rgb(0xFF0000)});
}

TEST_F(ColourPaletteTest, OtherColoursClosesThePaletteThenAsksTheDialog) {
  std::vector<std::pair<HWND, ui::Colour>> calls;
  bool openDuringDialog = false;
  std::optional<ui::Colour> answer = rgb(0x123456);
  palettes.setOtherColourDialog([&](HWND dialogOwner, ui::Colour current) {
    calls.emplace_back(dialogOwner, current);
    openDuringDialog = palettes.window() != nullptr;
    return answer;
  });
  HWND palette = open(rgb(0x5830E0));
  release(palette, centreOf(palette, kOther));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, owner);
  EXPECT_EQ(calls[0].second, rgb(0x5830E0)) << "the current colour is preselected";
  EXPECT_FALSE(openDuringDialog);
  EXPECT_FALSE(IsWindow(palette));
  EXPECT_EQ(chosen, std::vector<ui::Colour>{rgb(0x123456)});

  // Cancelled: nothing chosen.
  chosen.clear();
  answer.reset();
  palette = open();
  release(palette, centreOf(palette, kOther));
  EXPECT_EQ(calls.size(), 2u);
  EXPECT_TRUE(chosen.empty());
}

// Answers the system's colour dialog from inside its own modal loop: reads
// the red, green and blue it shows, then presses a button.
struct DialogDriver {
  int button = IDOK;
  int ticks = 0;
  bool seen = false;
  int red = -1, green = -1, blue = -1;
};
DialogDriver* g_driver = nullptr;

BOOL CALLBACK findDialog(HWND h, LPARAM out) {
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  if (IsWindowVisible(h) && lstrcmpW(cls, L"#32770") == 0) {
    *reinterpret_cast<HWND*>(out) = h;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK driveDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!g_driver) return;
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog) {
    g_driver->seen = true;
    BOOL ok = FALSE;
    g_driver->red = static_cast<int>(GetDlgItemInt(dialog, kRedEdit, &ok, FALSE));
    g_driver->green = static_cast<int>(GetDlgItemInt(dialog, kGreenEdit, &ok, FALSE));
    g_driver->blue = static_cast<int>(GetDlgItemInt(dialog, kBlueEdit, &ok, FALSE));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(g_driver->button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, g_driver->button)));
    KillTimer(nullptr, timer);
  } else if (++g_driver->ticks > 100) {
    KillTimer(nullptr, timer);  // no dialog after 10 s: give up
  }
}

TEST_F(ColourPaletteTest, TheSystemDialogShowsTheCurrentColourAndReturnsIt) {
  DialogDriver driver;
  g_driver = &driver;
  HWND palette = open(rgb(0x5830E0));  // 藏蓝: red 0x58, green 0x30, blue 0xE0
  SetTimer(nullptr, 0, 100, driveDialog);
  release(palette, centreOf(palette, kOther));
  g_driver = nullptr;
  ASSERT_TRUE(driver.seen) << "no colour dialog appeared";
  EXPECT_EQ(driver.red, 0x58);
  EXPECT_EQ(driver.green, 0x30);
  EXPECT_EQ(driver.blue, 0xE0);
  EXPECT_EQ(chosen, std::vector<ui::Colour>{rgb(0x5830E0)});

  DialogDriver cancel;
  cancel.button = IDCANCEL;
  g_driver = &cancel;
  chosen.clear();
  palette = open(rgb(0x5830E0));
  SetTimer(nullptr, 0, 100, driveDialog);
  release(palette, centreOf(palette, kOther));
  g_driver = nullptr;
  EXPECT_TRUE(cancel.seen);
  EXPECT_TRUE(chosen.empty()) << "cancelled";
}

TEST_F(ColourPaletteTest, OpeningAgainClosesTheFirstWithoutAChoice) {
  HWND first = open();
  HWND second = open(rgb(0xFF0000));
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(second));
  EXPECT_EQ(palettes.window(), second);
  EXPECT_TRUE(chosen.empty());
  key(second, VK_RETURN);
  EXPECT_EQ(chosen, std::vector<ui::Colour>{rgb(0xFF0000)});
}

TEST_F(ColourPaletteTest, ClosingThePickersWindowClosesThePaletteSilently) {
  HWND palette = open();
  ASSERT_NE(palette, nullptr);
  DestroyWindow(owner);
  pump();
  EXPECT_FALSE(IsWindow(palette));
  EXPECT_EQ(palettes.window(), nullptr);
  EXPECT_TRUE(chosen.empty());
}

TEST_F(ColourPaletteTest, NoPaletteForAMissingPicker) {
  EXPECT_EQ(palettes.open(nullptr, 0, [](ui::Colour) {}), nullptr);
  EXPECT_EQ(palettes.window(), nullptr);
}

TEST_F(ColourPaletteTest, NearTheScreensBottomRightItOpensAboveAndStaysOnScreen) {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  SetWindowPos(owner, nullptr, screenWidth - 100, screenHeight - 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  pump();
  HWND palette = open();
  ASSERT_NE(palette, nullptr);
  RECT button{}, r{};
  GetWindowRect(picker, &button);
  GetWindowRect(palette, &r);
  EXPECT_EQ(r.bottom, button.top) << "above the picker";
  EXPECT_EQ(r.right, screenWidth) << "pushed back onto the screen";
}

TEST_F(ColourPaletteTest, FocusGoesBackToThePickerAfterEsc) {
  HWND palette = open();
  ASSERT_NE(palette, nullptr);
  if (GetActiveWindow() != palette) GTEST_SKIP() << "the test program is not in front";
  EXPECT_EQ(GetFocus(), palette);
  key(palette, VK_ESCAPE);
  EXPECT_EQ(GetFocus(), picker);
  EXPECT_EQ(GetActiveWindow(), owner);
}

}  // namespace
