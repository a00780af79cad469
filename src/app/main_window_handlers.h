#pragma once
namespace app {
class Program;

// Start-up work of the main window: colours, version text, notices, and the
// advert and remote control windows.
void mainWindowCreated(Program& program);
// The main window is about to be destroyed.
void mainWindowClosing(Program& program);
// The right-click menu, exactly at the pointer.
void popUpTrayMenu(Program& program);
// The drop-down of "设", 3 pixels right of and below the pointer.
void popUpDropDownMenu(Program& program);

}  // namespace app
