#pragma once
#include "ui/window_definition.h"

namespace app {
class Program;

// Gives a newly created window's colour targets the user's background colour
// when the user has chosen one. Each target reads the file anew.
void applyUserColourAtCreation(Program& program, ui::WindowId window);
// The settings window's colour picker: the chosen colour goes to every
// target, the advert window opening if closed, and is remembered.
void applyChosenColour(Program& program);
// The settings window's "默认": forget the user's colour and show the
// defaults for this run.
void applyDefaultColours(Program& program);

}  // namespace app
