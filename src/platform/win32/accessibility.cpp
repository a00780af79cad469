// ===========================================================================
//  PLATFORM SEAM (Win32): the backend's side of the accessible objects
//  (accessible_control.h): where their facts come from.
// ===========================================================================
#include "platform/win32/native_windows.h"
#include "ui/accessibility.h"

namespace win32 {

// The source looks the window up again at each question: a screen reader may
// keep an object long after the window or control behind it has gone. The
// backend outlives every question: they come through its message loop.
AccessibleSource Win32Backend::accessibleSource(ui::WindowId id, int index, HWND hwnd) const {
  return [this, id, index, hwnd]() -> std::optional<ui::AccessibleFacts> {
    NativeWindow* w = find(id);
    const ui::WindowState* state = w ? w->state() : nullptr;
    if (!state) return std::nullopt;
    if (index < 0) {
      if (w->hwnd() != hwnd) return std::nullopt;
      ui::AccessibleFacts facts;
      facts.name = state->def->title;
      return facts;
    }
    if (index >= static_cast<int>(w->controls.size()) || !w->controls[index] || w->controls[index]->handle() != hwnd) {
      return std::nullopt;
    }
    return ui::accessibleFacts(*state, state->controls[index]);
  };
}

void Win32Backend::hookBrowserView(const NativeControl& control) {
  if (!control.browser) return;
  HWND view = control.handle();
  AccessibleSource source = accessibleSource(control.window, control.index, view);
  control.browser->messageHook = [view, source](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer) {
    if (message == WM_SETFOCUS) announceFocus(view);
    if (message != WM_GETOBJECT) return false;
    answer = answerAccessibleObject(view, wParam, lParam, true, source);
    return answer != 0;
  };
}

void Win32Backend::announcePins(const NativeWindow& w, const ui::WindowState& state) const {
  for (std::size_t i = 0; i < w.controls.size() && i < state.controls.size(); ++i) {
    if (w.controls[i] && state.controls[i].def->pin) announceStateChange(w.controls[i]->handle());
  }
}

}  // namespace win32
