// What screen readers are told about the program's windows and controls.
//
// A control answers the system's accessibility query (WM_GETOBJECT) with the
// system's standard object for its window, wrapped so that the role, name,
// value, state and default action come from the model (ui/accessibility.h):
// the standard object would call every control an unnamed custom window and
// drop a "&" from its text as a mnemonic. A window is named by its title.
// Changes the model makes are announced with NotifyWinEvent.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "ui/accessibility.h"
#include "ui/window_state.h"

namespace win32 {

// IAccessible. MinGW-w64's IID_IAccessible symbol resolves to another GUID,
// so the interface's identity is declared here.
inline constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Posted to a control when a screen reader asks for its default action: the
// click then runs from the message loop, not inside the reader's call.
inline constexpr UINT kDefaultActionMessage = WM_APP + 0x41;

// The facts as the model holds them when asked; empty once the control or
// window is gone (the standard object answers then).
using AccessibleSource = std::function<std::optional<ui::AccessibleFacts>()>;

// The answer to WM_GETOBJECT: a wrapped standard object for the client and
// window objects, 0 (the system's own answer) for any other. A control's
// facts set everything; a top-level window's only its name.
LRESULT answerAccessibleObject(HWND hwnd, WPARAM wParam, LPARAM lParam, bool control, AccessibleSource source);

// Tells screen readers what a change of the model did to the control.
void announceChange(HWND hwnd, ui::ControlProperty property, bool shown);
// The control's state changed (its window's always-on-top, for a pin).
void announceStateChange(HWND hwnd);
// The control took the keyboard focus.
void announceFocus(HWND hwnd);

}  // namespace win32
