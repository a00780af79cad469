#pragma once
// The main window's normal, small and maximized forms, minimizing, and the
// always-on-top switches.
namespace app {
class Program;

void showNormalForm(Program& program);
void showSmallForm(Program& program);
void showMaximizedForm(Program& program);
void restoreFromMaximized(Program& program);
void minimizeMainWindow(Program& program);

void mainAlwaysOnTopOn(Program& program);
void mainAlwaysOnTopOff(Program& program);
void toggleMainAlwaysOnTop(Program& program);
// Before a message box or dialog: the main window stops being on top, so it
// cannot hide them. Not undone afterwards.
void releaseTopmost(Program& program);

void toggleRemoteAlwaysOnTop(Program& program);
void minimizeInteractionWindow(Program& program);

}  // namespace app
