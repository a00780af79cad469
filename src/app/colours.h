#pragma once
#include "ui/window_definition.h"

namespace app {
class Program;

// Gives a newly created window's colour targets the user's background colour
// when the user has chosen one.
void applyUserColourAtCreation(Program& program, ui::WindowId window);

}  // namespace app
