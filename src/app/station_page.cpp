#include "app/station_page.h"

#include "app/program.h"
#include "app/windows/main_window.h"
#include "net/addresses.h"

namespace app {

void refreshStationPage(Program& program) {
  program.control(app::main_window::kStationView).setAddress(net::stationPageAddress());
}

}  // namespace app
