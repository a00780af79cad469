// The backend's routing: each of the model's calls goes to the native window of its id.
#include "platform/win32/backend.h"

#include <commctrl.h>

#include "platform/win32/dpi.h"

namespace win32 {

Win32Backend::Win32Backend(HINSTANCE instance)
    : screenScale_(systemDpi()), context_(instance), wakeEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&common);
  HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  if (!icon) icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  ready_ = wakeEvent_ && context_.hiddenOwner() && NativeWindow::registerClass(instance, icon) &&
           NativeControl::registerClass(instance);
}

Win32Backend::~Win32Backend() {
  // The program's windows before the hidden window that owns them.
  for (auto& w : windows_) w.reset();
}

NativeWindow* Win32Backend::find(ui::WindowId id) const { return windows_[static_cast<int>(id)].get(); }

HWND Win32Backend::nativeWindow(ui::WindowId window) const {
  NativeWindow* w = find(window);
  return w ? w->hwnd() : nullptr;
}

HWND Win32Backend::nativeControl(ui::WindowId window, std::string_view control) const {
  NativeWindow* w = find(window);
  ui::WindowState* state = w ? w->state() : nullptr;
  const ui::ControlState* c = state ? state->control(control) : nullptr;
  const NativeControl* native = c ? w->control(state->indexOf(*c)) : nullptr;
  return native ? native->handle() : nullptr;
}

bool Win32Backend::createWindow(ui::WindowManager& manager, ui::WindowState& state) {
  if (!ready_) return false;
  auto native = std::make_unique<NativeWindow>(context_, manager, state.id(), screenScale_);
  if (!native->create(state)) return false;
  NativeWindow& made = *native;
  // Found by its id from here on, while its controls are made too.
  windows_[static_cast<int>(state.id())] = std::move(native);
  made.createControls();
  return true;
}

void Win32Backend::reveal(ui::WindowState& state) {
  if (NativeWindow* w = find(state.id())) w->reveal();
}

void Win32Backend::destroyWindow(ui::WindowState& state) {
  // The native window goes with its object (controls first, then the window).
  windows_[static_cast<int>(state.id())].reset();
}

void Win32Backend::windowChanged(ui::WindowState& state, ui::WindowProperty property) {
  NativeWindow* w = find(state.id());
  if (!w || !w->hwnd()) return;
  w->apply(property);
  if (property == ui::WindowProperty::Enabled && state.enabled) giveBackActivation(w->hwnd());
}

void Win32Backend::controlChanged(ui::WindowState& state, ui::ControlState& control, ui::ControlProperty property) {
  if (NativeWindow* w = find(state.id())) w->apply(control, property);
}

void Win32Backend::activate(ui::WindowState& state) {
  if (NativeWindow* w = find(state.id())) w->activate();
}

void Win32Backend::setFocus(ui::WindowState& state, ui::ControlState* control) {
  if (NativeWindow* w = find(state.id())) w->focus(control);
}

void Win32Backend::dropFocus(ui::WindowState& state, ui::ControlState& control) {
  if (NativeWindow* w = find(state.id())) w->dropFocus(control);
}

void Win32Backend::pickColour(ui::WindowState& state, ui::ControlState& picker) {
  NativeWindow* w = find(state.id());
  const NativeControl* native = w ? w->control(state.indexOf(picker)) : nullptr;
  if (!native || !native->hwnd()) return;
  // The colour chosen in the palette is the user's choice, reported as such.
  ui::WindowManager* manager = &w->manager();
  ui::WindowId window = state.id();
  std::string name = picker.name();
  palettes_.open(native->hwnd(), picker.currentColour,
                 [manager, window, name](ui::Colour colour) { manager->colourChosen(window, name, colour); });
}

// The control's own window (a browser view's) and what lies below it.
void Win32Backend::filterRightButton(ui::WindowState& window, ui::ControlState& control) {
  rightButtonFilter_.filterTree(nativeControl(window.id(), control.name()));
}

}  // namespace win32
