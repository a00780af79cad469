#include "platform/win32/colour_palette.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <array>
#include <string>

#include "platform/win32/bound_window.h"
#include "platform/win32/control_painter.h"
#include "platform/win32/dpi.h"
#include "platform/win32/gbk_text.h"
#include "platform/win32/owners.h"
#include "platform/win32/system_function.h"
#include "ui/named_colours.h"

namespace win32 {

const wchar_t kColourPaletteClass[] = L"StationPalette";

namespace {

constexpr wchar_t kEntryClass[] = L"StationPaletteEntry";

// Layout: a margin round everything, eight swatches to a row, then the
// "其它颜色..." entry across the whole width below a small gap.
constexpr int kColumns = 8;
constexpr int kRows = ui::kNamedColourCount / kColumns;
constexpr int kCell = 20;
constexpr int kMargin = 4;
constexpr int kGap = 5;
constexpr int kOtherHeight = 22;
constexpr int kWidth = 2 * kMargin + kColumns * kCell;
constexpr int kHeight = 2 * kMargin + kRows * kCell + kGap + kOtherHeight;
constexpr int kOther = ui::kNamedColourCount;  // index of the last entry
constexpr int kEntryCount = ui::kNamedColourCount + 1;

constexpr COLORREF kSwatchFrame = RGB(128, 128, 128);
constexpr COLORREF kCurrentFrame = RGB(0, 0, 0);

// The layout above is in logical pixels; the palette is drawn at the scale
// of the picker's screen.
RECT entryRect(int index, ui::DpiScale scale) {
  ui::Rect r{};
  if (index == kOther) {
    const int top = kMargin + kRows * kCell + kGap;
    r = ui::Rect{kMargin, top, kWidth - 2 * kMargin, kOtherHeight};
  } else {
    r = ui::Rect{kMargin + (index % kColumns) * kCell, kMargin + (index / kColumns) * kCell, kCell, kCell};
  }
  const ui::Rect p = scale.edgesToPhysical(r);
  return RECT{p.left, p.top, p.right(), p.bottom()};
}

// The entry under a point in the palette's client coordinates, or -1.
int entryAt(POINT p, ui::DpiScale scale) {
  for (int i = 0; i < kEntryCount; ++i) {
    RECT r = entryRect(i, scale);
    if (PtInRect(&r, p)) return i;
  }
  return -1;
}

// A one-pixel frame of one colour along the inside of a rectangle.
void frameRect(HDC hdc, const RECT& r, COLORREF colour, int width) { frame(hdc, r, colour, colour, width); }

}  // namespace

// One open palette; its window owns it and deletes it when it goes.
class ColourPalettes::Palette : public BoundWindow {
 public:
  static HWND open(ColourPalettes& palettes, HWND picker, ui::Colour current, ColourChosen chosen);

  // Closes without a choice. `this` is gone afterwards.
  void close();
  HWND window() const { return hwnd(); }

 private:
  Palette(ColourPalettes& palettes, HWND picker, ui::Colour current, ColourChosen chosen)
      : palettes_(&palettes),
        picker_(picker),
        owner_(GetAncestor(picker, GA_ROOT)),
        scale_(windowDpi(picker)),
        current_(current),
        chosen_(std::move(chosen)) {}

  static bool registerClasses(HINSTANCE instance);
  static LRESULT CALLBACK entryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT eraseBackground(HDC hdc);
  LRESULT pressed(LPARAM lParam);
  LRESULT released(LPARAM lParam);
  LRESULT keyDown(WPARAM key);
  // Closes the palette unless it stays; the message's answer.
  LRESULT closeUnless(bool stays);
  void windowGone() override;
  void build(HINSTANCE instance);
  void paintEntry(HWND entry, HDC hdc, int index);
  void setHot(int index);
  void moveHot(UINT key);
  void choose(int index);

  ColourPalettes* palettes_;
  HWND picker_;
  HWND owner_;
  ui::DpiScale scale_;
  HWND tooltip_ = nullptr;
  ui::Colour current_;
  ColourChosen chosen_;
  std::array<HWND, kEntryCount> entries_{};
  GdiObject<HFONT> font_;
  int hot_ = -1;
  bool closing_ = false;
  bool owned_ = false;  // deleted by its window's last message
};

bool ColourPalettes::Palette::registerClasses(HINSTANCE instance) {
  HCURSOR arrow = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  // A drop shadow where the system draws one.
  static const bool registered =
      BoundWindow::registerClass(instance, kColourPaletteClass, CS_DROPSHADOW, arrow, nullptr) &&
      registerPlainClass(instance, kEntryClass, entryProc, arrow);
  return registered;
}

HWND ColourPalettes::Palette::open(ColourPalettes& palettes, HWND picker, ui::Colour current, ColourChosen chosen) {
  palettes.close();
  if (!picker || !IsWindow(picker)) return nullptr;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registerClasses(instance)) return nullptr;

  // Below the picker, left edges aligned; above it where the screen ends.
  RECT button{};
  GetWindowRect(picker, &button);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  auto* palette = new Palette(palettes, picker, current, std::move(chosen));
  const int width = palette->scale_.toPhysical(kWidth);
  const int height = palette->scale_.toPhysical(kHeight);
  int left = button.left;
  int top = button.bottom;
  if (top + height > screenHeight && button.top - height >= 0) top = button.top - height;
  if (left + width > screenWidth) left = screenWidth - width;
  if (left < 0) left = 0;

  HWND hwnd = palette->createBound(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kColourPaletteClass,
                                   wideFromGbk("颜色").c_str(), WS_POPUP | WS_CLIPCHILDREN, left, top, width, height,
                                   palette->owner_, nullptr, instance);
  if (!hwnd) {
    delete palette;  // never owned by a window
    return nullptr;
  }
  // From here on the window owns the palette and deletes it when it goes.
  palette->owned_ = true;
  palettes.open_ = palette;
  palette->build(instance);
  palette->hot_ = ui::namedColourIndex(current);
  ShowWindow(hwnd, SW_SHOW);
  SetActiveWindow(hwnd);
  SetFocus(hwnd);
  // Every press of the program's windows comes here while the palette is
  // open, so that one outside it closes it (and does nothing else).
  SetCapture(hwnd);
  UpdateWindow(hwnd);
  return hwnd;
}

void ColourPalettes::Palette::build(HINSTANCE instance) {
  LOGFONTW lf{};
  lf.lfHeight = -scale_.toPhysical(12);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = GB2312_CHARSET;
  lstrcpynW(lf.lfFaceName, L"SimSun", LF_FACESIZE);
  font_.reset(CreateFontIndirectW(&lf));

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, instance,
                             nullptr);
  const auto& colours = ui::namedColours();
  for (int i = 0; i < kEntryCount; ++i) {
    std::wstring text = wideFromGbk(i == kOther ? ui::kOtherColoursCaption : colours[i].name);
    RECT r = entryRect(i, scale_);
    entries_[i] = CreateWindowExW(0, kEntryClass, text.c_str(), WS_CHILD | WS_VISIBLE, r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, hwnd(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), instance, nullptr);
    // The colour's name as a tooltip over its swatch.
    if (tooltip_ && i != kOther) {
      TOOLINFOW info{};
      info.cbSize = sizeof info;
      info.uFlags = TTF_SUBCLASS;
      info.hwnd = hwnd();
      info.uId = static_cast<UINT_PTR>(i + 1);
      info.rect = r;
      info.lpszText = text.data();
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
  }
}

void ColourPalettes::Palette::close() {
  if (closing_) return;
  closing_ = true;
  HWND hwnd = this->hwnd();
  if (GetCapture() == hwnd) ReleaseCapture();
  // The focus goes back to the picker (activating its window again).
  if (GetActiveWindow() == hwnd && IsWindow(picker_) && IsWindowVisible(picker_) && IsWindowEnabled(owner_)) {
    SetFocus(picker_);
  }
  DestroyWindow(hwnd);  // deletes this
}

void ColourPalettes::Palette::choose(int index) {
  if (index < 0 || index >= kEntryCount) return;
  ColourChosen chosen = std::move(chosen_);
  ColourPalettes* palettes = palettes_;
  HWND owner = owner_;
  ui::Colour current = current_;
  close();
  // From here on only locals: the palette is gone.
  if (index == kOther) {
    std::optional<ui::Colour> other = palettes->askOtherColour(owner, current);
    if (other && chosen) chosen(*other);
    return;
  }
  if (chosen) chosen(ui::namedColours()[index].colour);
}

void ColourPalettes::Palette::setHot(int index) {
  if (index == hot_) return;
  if (hot_ >= 0) InvalidateRect(entries_[hot_], nullptr, FALSE);
  hot_ = index;
  if (hot_ >= 0) InvalidateRect(entries_[hot_], nullptr, FALSE);
}

void ColourPalettes::Palette::moveHot(UINT key) {
  int at = hot_;
  if (at < 0) {
    setHot(0);
    return;
  }
  const int colours = ui::kNamedColourCount;
  switch (key) {
    case VK_LEFT:
      at = (at + kEntryCount - 1) % kEntryCount;
      break;
    case VK_RIGHT:
      at = (at + 1) % kEntryCount;
      break;
    case VK_UP:
      if (at == kOther) at = colours - kColumns;
      else if (at < kColumns) at = kOther;
      else at -= kColumns;
      break;
    case VK_DOWN:
      if (at == kOther) at = 0;
      else if (at >= colours - kColumns) at = kOther;
      else at += kColumns;
      break;
    default:
      return;
  }
  setHot(at);
}

void ColourPalettes::Palette::paintEntry(HWND entry, HDC hdc, int index) {
  RECT r{};
  GetClientRect(entry, &r);
  const bool hot = index == hot_;
  const COLORREF face = GetSysColor(COLOR_MENU);
  const int line = scale_.thickness(1);
  if (index == kOther) {
    fill(hdc, r, hot ? GetSysColor(COLOR_HIGHLIGHT) : face);
    frameRect(hdc, r, kSwatchFrame, line);
    Selection font(hdc, font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    std::wstring text = wideFromGbk(ui::kOtherColoursCaption);
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return;
  }
  fill(hdc, r, face);
  const ui::Colour colour = ui::namedColours()[index].colour;
  if (hot) {
    frameRect(hdc, r, GetSysColor(COLOR_HIGHLIGHT), 2 * line);
  } else if (colour == current_) {
    RECT mark{r.left + line, r.top + line, r.right - line, r.bottom - line};
    frameRect(hdc, mark, kCurrentFrame, line);
  }
  const int inset = scale_.thickness(3);
  RECT swatch{r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
  fill(hdc, swatch, toColorRef(colour, COLOR_BTNFACE));
  frameRect(hdc, swatch, kSwatchFrame, line);
}

void ColourPalettes::Palette::windowGone() {
  if (palettes_->open_ == this) palettes_->open_ = nullptr;
  if (owned_) delete this;
}

LRESULT CALLBACK ColourPalettes::Palette::entryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      // The palette takes the pointer itself.
      return HTTRANSPARENT;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hwnd, &ps);
      // The palette window is bound to its Palette.
      auto* bound = reinterpret_cast<BoundWindow*>(GetWindowLongPtrW(GetParent(hwnd), GWLP_USERDATA));
      auto* p = static_cast<Palette*>(bound);
      int index = GetDlgCtrlID(hwnd) - 1;
      if (p && index >= 0 && index < kEntryCount) p->paintEntry(hwnd, hdc, index);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// After choose() or close() the palette is gone: each case returns at once.
LRESULT ColourPalettes::Palette::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return eraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_MOUSEMOVE: return setHot(entryAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, scale_)), 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: return pressed(lParam);
    case WM_LBUTTONUP: return released(lParam);
    case WM_KEYDOWN: return keyDown(wParam);
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    // Someone else took the pointer (a system menu, a drag, a dialog).
    case WM_CAPTURECHANGED: return closeUnless(reinterpret_cast<HWND>(lParam) == hwnd());
    case WM_ACTIVATE: return closeUnless(LOWORD(wParam) != WA_INACTIVE);
    case WM_ACTIVATEAPP: return closeUnless(wParam != FALSE);
    case WM_CANCELMODE:
    case WM_CLOSE: return closeUnless(false);
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProcW(hwnd(), message, wParam, lParam);
  }
}

LRESULT ColourPalettes::Palette::eraseBackground(HDC hdc) {
  RECT r;
  GetClientRect(hwnd(), &r);
  fill(hdc, r, GetSysColor(COLOR_MENU));
  frameRect(hdc, r, kSwatchFrame, scale_.thickness(1));
  return 1;
}

// While the palette holds the capture, the coordinates of a press elsewhere
// are still in its client coordinates.
LRESULT ColourPalettes::Palette::pressed(LPARAM lParam) {
  RECT r;
  GetClientRect(hwnd(), &r);
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  return closeUnless(PtInRect(&r, p) != FALSE);
}

LRESULT ColourPalettes::Palette::released(LPARAM lParam) {
  const int index = entryAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, scale_);
  if (index >= 0) choose(index);
  return 0;
}

LRESULT ColourPalettes::Palette::keyDown(WPARAM key) {
  switch (key) {
    case VK_ESCAPE: return closeUnless(false);
    case VK_RETURN:
    case VK_SPACE:
      if (hot_ >= 0) choose(hot_);
      return 0;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return moveHot(static_cast<UINT>(key)), 0;
    default: return 0;
  }
}

LRESULT ColourPalettes::Palette::closeUnless(bool stays) {
  if (!stays) close();
  return 0;
}

ColourPalettes::ColourPalettes() {
  // The user's custom colours start white and stay for the rest of the run,
  // as in any program.
  for (COLORREF& c : customColours_) c = RGB(255, 255, 255);
}

ColourPalettes::~ColourPalettes() { close(); }

HWND ColourPalettes::open(HWND picker, ui::Colour current, ColourChosen chosen) {
  return Palette::open(*this, picker, current, std::move(chosen));
}

void ColourPalettes::close() {
  if (open_) open_->close();
}

HWND ColourPalettes::window() const { return open_ ? open_->window() : nullptr; }

std::optional<ui::Colour> ColourPalettes::askOtherColour(HWND owner, ui::Colour current) {
  return otherColourDialog_ ? otherColourDialog_(owner, current) : systemColourDialog(owner, current);
}

std::optional<ui::Colour> ColourPalettes::systemColourDialog(HWND owner, ui::Colour current) {
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner && IsWindow(owner) ? owner : nullptr;
  cc.rgbResult = toColorRef(current, COLOR_BTNFACE);
  cc.lpCustColors = customColours_;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  // The dialog's DLL, and the printing DLLs it brings, come with the first use.
  static auto* const chooseColour = systemFunction<decltype(ChooseColorW)>(L"comdlg32.dll", "ChooseColorW");
  if (!chooseColour || !chooseColour(&cc)) return std::nullopt;  // cancelled (or no dialog): no choice
  return static_cast<ui::Colour>(cc.rgbResult & 0xFFFFFF);
}

}  // namespace win32
