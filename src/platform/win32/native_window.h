// The native side of an open window: a borderless top-level window of our own
// class with a child window per control. It places, sizes and shapes itself
// at the scale of the screen it is on, runs the model's timers, makes its
// tooltips, tells screen readers about itself, and reports its input to the
// window manager that made it, which decides what the input means.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/win32/accessible_control.h"
#include "platform/win32/bound_window.h"
#include "platform/win32/control_painter.h"
#include "platform/win32/native_context.h"
#include "platform/win32/native_control.h"
#include "platform/win32/owners.h"
#include "ui/dpi_scale.h"
#include "ui/window_manager.h"

namespace win32 {

inline constexpr wchar_t kWindowClass[] = L"StationWindow";

// Moves the top-level window as if its title bar were dragged.
void dragByTitle(HWND topLevel);

class NativeWindow : public BoundWindow {
 public:
  // Registers the window class of the program's windows; false when the system refuses it.
  static bool registerClass(HINSTANCE instance, HICON icon);

  // Made at the scale of the primary screen; create() corrects it when the
  // window lands on another.
  NativeWindow(NativeContext& context, ui::WindowManager& manager, ui::WindowId id, ui::DpiScale scale);
  // Its tooltips and controls go first, then the native window.
  ~NativeWindow() override;

  // The native window as the model has it, hidden until reveal(); false
  // when the system refuses it. Then its controls: one the system refuses
  // is left out, and the window works without it.
  bool create(const ui::WindowState& state);
  void createControls();
  void reveal();
  // The model changed a property: the native window follows.
  void apply(ui::WindowProperty property);
  void apply(const ui::ControlState& control, ui::ControlProperty property);
  void activate();
  // The keyboard focus to the control, or to the window itself.
  void focus(const ui::ControlState* control);
  // Only where the focus still is on the control.
  void dropFocus(const ui::ControlState& control);

  // The model's state of the window; null once the model has let it go.
  ui::WindowState* state() const { return manager_.state(id_); }
  ui::WindowId id() const { return id_; }
  ui::WindowManager& manager() const { return manager_; }
  NativeContext& context() const { return context_; }
  ui::DpiScale scale() const { return scale_; }
  // Active when this window was made: a modal window gives it the keys back
  // as it closes (its owner is the hidden one, which the system would pick).
  HWND activeBefore() const { return activeBefore_; }
  // Null for a timer and for a control the system refused.
  NativeControl* control(int index) const;
  // The control whose window is `hwnd` or holds it (a page's window in a
  // browser view); null when none does.
  NativeControl* controlHolding(HWND hwnd) const;

  // Made the first time they are needed; null when the system refuses them.
  HWND tooltips();
  bool hasTooltips() const { return static_cast<bool>(tooltip_); }
  // What a screen reader is told about the window (index -1) or one of its
  // controls while that is the native window `hwnd`.
  AccessibleSource accessibleSource(int index, HWND hwnd) const;
  // Draws the picture of any of its controls, for the painter.
  PictureDrawer pictureDrawer() const;

 protected:
  // One call per message; as for the controls, nothing of the window may be
  // touched after a report to the manager.
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void createControl(const ui::ControlState& control, int index);
  void stackControls();
  void place();
  void applyShape();
  void rescale(int dpi, const RECT& suggested);
  void applyTooltipFont();
  void applyTimer(int index);
  void redrawTransparentControls();
  void announcePins();

  LRESULT eraseBackground(HDC hdc);
  LRESULT leftDown();
  LRESULT timer(WPARAM timer, LPARAM lParam);
  LRESULT moved();
  LRESULT sized(WPARAM how);
  LRESULT contextMenu(WPARAM wParam, LPARAM lParam);

  NativeContext& context_;
  ui::WindowManager& manager_;  // made it, and hears its input
  ui::WindowId id_;
  ui::DpiScale scale_;  // of the screen the window is on
  HWND activeBefore_ = nullptr;
  OwnedWindow tooltip_;
  std::vector<std::unique_ptr<NativeControl>> controls_;  // one per model control, null for timers
  ui::Size shapedFor_{};                                  // the physical size its region was made for
  // Expires with the window: what may outlive it (a screen reader's object)
  // holds it weakly.
  std::shared_ptr<const NativeWindow> self_{this, [](const NativeWindow*) {}};
};

}  // namespace win32
