#pragma once
namespace app {
class Program;

// "刷新视听台": puts the station page back into the main window's view,
// whatever page it shows now.
void refreshStationPage(Program& program);

}  // namespace app
