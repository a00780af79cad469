#pragma once
// The program's window definitions, one function per window.
#include "ui/window_definition.h"

namespace app {

ui::WindowDef mainWindowDefinition();
ui::WindowDef exitConfirmationDefinition();
ui::WindowDef advertWindowDefinition();
ui::WindowDef remoteControlDefinition();
ui::WindowDef settingsWindowDefinition();
ui::WindowDef interactionWindowDefinition();

// The definitions of the program's six windows, built once on first use.
const ui::WindowDef& definitionOf(ui::WindowId id);

}  // namespace app
