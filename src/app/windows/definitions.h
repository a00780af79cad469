#pragma once
// The program's window definitions, one function per window.
#include "ui/window_definition.h"

namespace ui {

WindowDef mainWindowDefinition();
WindowDef exitConfirmationDefinition();
WindowDef advertWindowDefinition();
WindowDef remoteControlDefinition();
WindowDef settingsWindowDefinition();
WindowDef interactionWindowDefinition();

// The definitions of the program's six windows, built once on first use.
const WindowDef& definitionOf(WindowId id);

}  // namespace ui
