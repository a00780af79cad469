#pragma once
// Windows are defined once, as data: the window's own settings, its controls
// in definition order (later ones lie on top), its menu tree and the bindings
// of events to handlers. The program's definitions (app/windows/) read like
// tables.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/colour.h"
#include "ui/geometry.h"

namespace app {
class Program;
}

namespace ui {

// A handler is a plain procedure; it reaches everything through the program.
// app::Program is the one name of the layer above that the model knows.
using Handler = void (*)(app::Program&);

// The program's windows; the count follows the last of them.
enum class WindowId { Main, ExitConfirm, Advert, Remote, Settings, Interaction };
inline constexpr int kWindowCount = static_cast<int>(WindowId::Interaction) + 1;

// A control of one of the program's windows, declared once in its window's
// header (app/windows/*.h) and used by the definition's rows and bindings, the
// handlers and the tests: window and name travel together, and a misspelt
// name does not compile. It converts to nothing, so it is never paired with
// another window's id by accident.
struct ControlName {
  WindowId window;
  std::string_view name;
};

// The name of a definition row: a declared control name, or, in the tests'
// own small windows, a name written in place.
// Implicit on purpose: the rows read as tables.
struct RowName {
  // cppcheck-suppress noExplicitConstructor
  RowName(const ControlName& declared) : text(declared.name) {}
  // cppcheck-suppress noExplicitConstructor
  RowName(const char* name) : text(name) {}
  std::string text;
};

enum class ControlKind {
  Label,        // 标签
  TransLabel,   // 透明标签
  SuperBtn,     // 超级按钮
  HyperLinker,  // 超级链接框
  PicBox,       // 图片框
  HtmlViewer,   // 超文本浏览框
  PicBtn,       // 图形按钮
  ColorPicker,  // 颜色选择器
  PageControl,  // 高级选择夹
  Timer,        // 时钟
};

enum class HAlign { Left = 0, Centre = 1, Right = 2 };
enum class VAlign { Top = 0, Centre = 1, Bottom = 2 };
enum class TextEffect { Plain = 0, Engraved = 1, Raised = 2, Shadow = 3 };
enum class Cursor { Default, Hand };

// Face, character height in pixels and weight; every font of the program uses
// the GB2312 character set. An empty face means the system's GUI font.
struct Font {
  std::string face;
  int height = 0;
  int weight = 400;
};
inline Font bold(std::string face, int height) { return Font{std::move(face), height, 700}; }
inline Font normal(std::string face, int height) { return Font{std::move(face), height, 400}; }

struct TextStyle {
  HAlign hAlign = HAlign::Left;
  VAlign vAlign = VAlign::Top;
  bool wordWrap = false;
  TextEffect effect = TextEffect::Plain;
};

struct Look {
  Colour text = kWhite;
  Colour back = kSystemDefault;
};

// The three looks of a flat button: normal, hot (pointer over it or held
// down) and focused (keyboard focus, not hot).
struct ButtonLooks {
  Look normal;
  Look hot;
  Look focused;
};

struct LinkColours {
  Colour text = kBlack;
  Colour hover = kBlack;
  Colour visited = kBlack;
  Colour back = kSystemDefault;
};

// One control row. Fields a kind does not use keep their defaults.
struct ControlDef {
  std::string name;
  ControlKind kind = ControlKind::Label;
  Rect rect;
  bool shown = true;
  bool enabled = true;
  std::string caption;
  std::string tooltip;
  Font font;
  TextStyle style;
  Colour textColour = kBlack;
  Colour backColour = kSystemDefault;
  ButtonLooks looks;              // SuperBtn
  bool edgeWhileHot = false;      // SuperBtn: 3-D edge while hot
  bool pin = false;               // SuperBtn: switches its window's always-on-top (pressed while it is on)
  LinkColours link;               // HyperLinker
  std::string address;            // HyperLinker, HtmlViewer
  Cursor cursor = Cursor::Default;
  int timerPeriod = 0;            // Timer: milliseconds, 0 = stopped
  Colour transparentColour = 0;   // PicBtn
  std::vector<std::string> tabs;  // PageControl: tab captions
  std::string page;               // on a tab page of the window's PageControl: the tab's caption
};

// One item of the menu tree: level 0 items are the (hidden) top-level items
// that serve as popup menus, level 1 items are their entries. "-" separates.
struct MenuItemDef {
  std::string caption;
  int level = 1;
  Handler chosen = nullptr;
};

enum class Event {
  Created,
  AboutToBeDestroyed,
  Moved,
  Resized,
  Clicked,
  LeftPressed,
  RightPressed,
  Timer,
  ColourChosen,
};

// An event of the window itself (kWindowItself) or of one of its controls,
// which must be a control of the window whose table holds the binding.
inline constexpr std::nullopt_t kWindowItself = std::nullopt;
struct Binding {
  std::optional<ControlName> source;
  Event event;
  Handler handler;
  std::string_view sourceName() const { return source ? source->name : std::string_view(); }
};

enum class Border { None = 0 };
enum class Shape { Rectangle = 0, RoundedRectangle = 2, DoubleArrow = 24 };
enum class OpeningPosition { AtDefinedPlace = 0, Centred = 1, Minimized = 2, Maximized = 3 };

struct WindowDef {
  WindowId id = WindowId::Main;
  std::string title;
  Rect rect;  // defined left and top (used only at position 0), width, height
  OpeningPosition position = OpeningPosition::Centred;
  Border border = Border::None;
  Shape shape = Shape::Rectangle;
  Colour background = kSystemDefault;
  bool movable = true;
  bool showInTaskbar = true;
  bool dragAnywhere = false;
  bool escCloses = false;
  bool alwaysOnTop = false;
  std::vector<ControlDef> controls;
  std::vector<MenuItemDef> menu;
  std::vector<Binding> bindings;

  const ControlDef* control(std::string_view name) const;
  Handler handlerFor(std::string_view source, Event event) const;
};

// Rows of the definition tables, one helper per control kind.
ControlDef label(RowName name, Rect rect, std::string caption, Font font, Colour text, Colour back,
                 TextStyle style);
ControlDef transLabel(RowName name, Rect rect, std::string caption, Font font, Colour text, TextStyle style);
ControlDef superBtn(RowName name, Rect rect, std::string caption, std::string tooltip, Font font,
                    ButtonLooks looks);
ControlDef hyperLinker(RowName name, Rect rect, std::string caption, Font font, LinkColours colours,
                       std::string address = {});
ControlDef picBox(RowName name, Rect rect, Colour back, Cursor cursor = Cursor::Default);
ControlDef htmlViewer(RowName name, Rect rect, std::string address);
ControlDef picBtn(RowName name, Rect rect, Colour transparent);
ControlDef colorPicker(RowName name, Rect rect, Colour current);
ControlDef pageControl(RowName name, Rect rect, std::vector<std::string> tabs, Font tabFont, Colour back);
ControlDef timer(RowName name, int periodMs);

// Row modifiers.
ControlDef hidden(ControlDef def);
ControlDef onPage(std::string tab, ControlDef def);
ControlDef withEdgeWhileHot(ControlDef def);
ControlDef asPin(ControlDef def);

}  // namespace ui
