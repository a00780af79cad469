#pragma once
// The window layer the handlers use: open, close, modal, settings of windows
// and controls by name, popup menus, pointer and screen. It keeps the model
// true and tells the backend what to realise; the backend reports input here.
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/backend.h"
#include "ui/window_state.h"

namespace ui {

class WindowManager;

// Where a window is put by writing its position setting.
enum class WindowPosition { Normal = 0, Centred = 1, Minimized = 2, Maximized = 3 };

// A control addressed by window and name. Reads of a control that does not
// exist (window closed, unknown name) give empty values; writes do nothing.
class ControlRef {
 public:
  ControlRef(WindowManager& manager, WindowId window, std::string_view name)
      : manager_(&manager), window_(window), name_(name) {}

  bool exists() const { return state() != nullptr; }
  bool shown() const;
  void setShown(bool shown);
  Rect rect() const;
  int left() const { return rect().left; }
  int top() const { return rect().top; }
  int width() const { return rect().width; }
  int height() const { return rect().height; }
  void setLeft(int left);
  void setTop(int top);
  void setWidth(int width);
  void setHeight(int height);
  void move(std::optional<int> left, std::optional<int> top, std::optional<int> width = {},
            std::optional<int> height = {});
  std::string caption() const;
  void setCaption(std::string caption);
  Colour textColour() const;
  void setTextColour(Colour colour);
  Colour backColour() const;
  void setBackColour(Colour colour);
  std::string address() const;
  void setAddress(std::string address);
  bool visited() const;
  std::shared_ptr<const Bytes> picture() const;
  void setPicture(Bytes bytes);
  std::shared_ptr<const Bytes> hotPicture() const;
  void setHotPicture(Bytes bytes);
  Colour currentColour() const;
  void setCurrentColour(Colour colour);
  int timerPeriod() const;
  // Setting the period (again) makes a sleeping timer tick.
  void setTimerPeriod(int periodMs);
  // The timer keeps its period but stops ticking until its window moves or is
  // resized, or the screen changes: its program found that no tick can act
  // before that. Nothing wakes the processor for it meanwhile.
  void sleepUntilMoved();
  int selectedTab() const;
  void selectTab(int index);
  void focus();
  // Puts the right-button filter on the control's window and every window
  // below it that exists now (see Backend::filterRightButton).
  void filterRightButton();

 private:
  ControlState* state() const;
  void changed(ControlProperty property);
  // A field of the control's state, or the fallback when the control is not there.
  template <typename Field>
  Field read(Field ControlState::*field, Field fallback = {}) const {
    const ControlState* c = state();
    return c ? c->*field : fallback;
  }
  // Sets a field of the control's state and tells the backend which property changed.
  template <typename Field>
  void write(Field ControlState::*field, Field value, ControlProperty property) {
    ControlState* c = state();
    if (!c) return;
    c->*field = std::move(value);
    changed(property);
  }
  WindowManager* manager_;
  WindowId window_;
  std::string name_;
};

// A window addressed by its id. Reads of a window that is not open give
// zeros; writes do nothing.
class WindowRef {
 public:
  WindowRef(WindowManager& manager, WindowId window) : manager_(&manager), window_(window) {}

  bool isOpen() const;
  Rect rect() const;
  int left() const { return rect().left; }
  int top() const { return rect().top; }
  int width() const { return rect().width; }
  int height() const { return rect().height; }
  void setLeft(int left);
  void setTop(int top);
  void setWidth(int width);
  void setHeight(int height);
  void move(std::optional<int> left, std::optional<int> top, std::optional<int> width = {},
            std::optional<int> height = {});
  bool shown() const;
  void setShown(bool shown);
  bool alwaysOnTop() const;
  void setAlwaysOnTop(bool on);
  bool dragAnywhere() const;
  void setDragAnywhere(bool on);
  bool minimized() const;
  Colour background() const;
  void setBackground(Colour colour);
  void setPosition(WindowPosition position);
  void focus();
  ControlRef control(std::string_view name) const { return ControlRef(*manager_, window_, name); }

 private:
  WindowState* state() const;
  // A field of the window's state, or the fallback when the window is not open.
  template <typename Field>
  Field read(Field WindowState::*field, Field fallback = {}) const {
    const WindowState* w = state();
    return w ? w->*field : fallback;
  }
  WindowManager* manager_;
  WindowId window_;
};

class WindowManager {
 public:
  WindowManager(Backend& backend, app::Program& program);
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  // Opens a window from its definition, or brings an open one to the front.
  // A window loaded by a handler comes on screen when the outermost handler
  // returns, or earlier when a modal loop or message box begins: by then its
  // handlers have put it where it rests. Modal: the other windows are
  // disabled and the call returns only when the window has closed again.
  // True when the window is open (or was, if modal); false when it could not
  // be made.
  bool open(WindowId id, bool modal = false);
  // Destroys the window: at once outside any handler, else once the running
  // handler has returned. A window that is not open is left alone.
  void close(WindowId id);
  // Destroys every window still open, the main window first.
  void closeAll();
  bool isOpen(WindowId id) const { return state(id) != nullptr; }
  // Puts the windows loaded so far on screen: a modal loop, a message box or
  // a wait for the network is about to begin.
  void revealPending();
  // The running handler waits for work of another thread (its fetch) until
  // `finished` holds or `timeoutMs` pass. The windows loaded so far come on
  // screen, and they paint and answer the system meanwhile; no other handler
  // runs. What the windows hear meanwhile (a close, a move, a screen
  // reader's click) is held and handled once the outermost handler has
  // ended, as if it had come then.
  void waitWhileBusy(const std::function<bool()>& finished, std::uint32_t timeoutMs);
  // From any thread: the running wait asks `finished` again.
  void wakeWait() { backend_.wakeWait(); }

  WindowRef window(WindowId id) { return WindowRef(*this, id); }
  ControlRef control(WindowId id, std::string_view name) { return ControlRef(*this, id, name); }

  // An information box (Backend::informationBox). It waits for the user:
  // the windows loaded so far show first.
  void informationBox(const std::string& text, const std::string& caption) {
    revealPending();
    backend_.informationBox(text, caption);
  }

  // Pops up the children of a hidden top-level menu item of the window's
  // menu at a screen point (default: 3 pixels right of and below the
  // pointer) and runs the chosen item's handler.
  void popupMenu(WindowId id, std::string_view topItem, std::optional<Point> at = {});
  Point pointer() { return backend_.pointer(); }
  // Where a popup menu that the input being handled opens goes: the
  // pointer, or for a key, the middle of the focused control (of the
  // window itself when none has the focus).
  Point menuPoint();
  Size screen() { return backend_.screen(); }

  WindowState* state(WindowId id) const { return windows_[static_cast<int>(id)].get(); }

  // What the hyperlink control does to open its address (the shell open and
  // its fallback); true when it worked. Without one every open fails.
  std::function<bool(const std::string& address)> openLink;
  // Told after a window has been destroyed.
  std::function<void(WindowId)> windowDestroyed;
  // Where window definitions come from (the program gives its own).
  std::function<const WindowDef&(WindowId)> definitions;

  // ---- Input, reported by a backend. Control names are empty for the
  // window itself. Input to a disabled window, or to a control that is
  // hidden or disabled, is ignored. The backend must not keep references
  // into the model across these calls: a handler may destroy the window.
  // A left press; true means the backend should drag the window instead.
  // A press on a button-like control holds it down (see leftReleased).
  bool leftPressed(WindowId id, std::string_view control);
  // The left button went up after a press on a button-like control; over
  // the control it is a click.
  void leftReleased(WindowId id, std::string_view control, bool overControl);
  // The pointer came over a control or left it (while held down: left its rectangle).
  void pointerOver(WindowId id, std::string_view control, bool over);
  // A press ended without a release (capture taken away).
  void pressCancelled(WindowId id, std::string_view control);
  // A whole click: press and release over the control.
  void clicked(WindowId id, std::string_view control);
  // Space or Enter on the focused control clicks it (a link: opens it); a
  // screen reader's default action does the same on any control.
  void keyClicked(WindowId id, std::string_view control);
  // Tab (Shift+Tab: backwards) moves the focus to the next control that
  // takes input and is a tab stop, in definition order, wrapping round.
  void tabPressed(WindowId id, bool backwards);
  // The context-menu key (or Shift+F10): the window hears a right press of
  // its own, its menus going to the focused control (see menuPoint).
  void menuKeyPressed(WindowId id);
  void rightPressed(WindowId id, std::string_view control);
  void timerElapsed(WindowId id, std::string_view control);
  void escapePressed(WindowId id);
  // The system asks the window to close (WM_CLOSE).
  void closeRequested(WindowId id);
  // The keyboard focus moved to the control (empty: the window itself).
  void focusMoved(WindowId id, std::string_view control);
  void colourChosen(WindowId id, std::string_view control, Colour colour);
  void tabSelected(WindowId id, std::string_view control, int index);
  // The user moved, resized, minimized or restored the window.
  void userMoved(WindowId id, Point topLeft);
  void userResized(WindowId id, Size size);
  void userMinimized(WindowId id, bool minimized);
  // The screen's size or arrangement changed.
  void screenChanged();

 private:
  friend class WindowRef;
  friend class ControlRef;

  // Handlers and loading run inside frames; what they defer (closes,
  // reveals) happens when the outermost frame ends. A modal loop is outside
  // every frame until it returns.
  class Frame;
  class KeyMenuPoint;
  void dispatch(WindowId id, std::string_view source, Event event);
  // While a handler waits, keeps what would run a handler or open
  // something for when the outermost handler has ended; true when it was
  // kept.
  bool heldWhileWaiting(std::function<void()> later);
  void runHeld();
  void runHandler(Handler handler);
  void frameEnded();
  void destroyPending();
  void destroyNow(WindowId id);
  void runModal(WindowId id);
  void setWindowRect(WindowId id, Rect rect);
  void setControlRect(WindowState& window, ControlState& control, Rect rect);
  void setControlShown(WindowState& window, ControlState& control, bool shown);
  void setLook(WindowState& window, ControlState& control, bool hot, bool pressed);
  void applyPageVisibility(WindowState& window);
  // A move, a resize or a change of the screen can make a sleeping timer's
  // tick act again: the window's sleeping timers tick again.
  void wakeTimers(WindowState& window);
  void moveFocusOffHidden(WindowState& window);
  void followLink(WindowId id, const ControlState& link);
  void pickColour(WindowState& window, ControlState& picker);
  // The control input is for, when it takes input; null for the window
  // itself or a control that passes its input through.
  ControlState* inputTarget(WindowState& window, std::string_view control);
  std::unique_ptr<WindowState> build(const WindowDef& def);

  Backend& backend_;
  app::Program& program_;
  std::array<std::unique_ptr<WindowState>, kWindowCount> windows_;
  std::vector<WindowId> pendingCloses_;
  std::vector<WindowId> pendingReveals_;
  std::optional<Point> keyMenuPoint_;  // set while a key's handler runs
  std::vector<std::function<void()>> held_;
  // The windows each running modal loop disabled, innermost last; windows
  // opened meanwhile join the outermost list.
  std::vector<std::vector<WindowId>*> modalDisabled_;
  int frameDepth_ = 0;
  int waiting_ = 0;
  bool destroying_ = false;
  bool runningHeld_ = false;
};

}  // namespace ui
