#pragma once
namespace app {
class Program;
}

namespace net {

// "刷新视听台": puts the station page back into the main window's view,
// whatever page it shows now.
void refreshStationPage(app::Program& program);

}  // namespace net
