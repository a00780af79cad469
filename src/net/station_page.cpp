#include "net/station_page.h"

#include "app/program.h"
#include "net/addresses.h"
#include "ui/windows/main_window.h"

namespace net {

void refreshStationPage(app::Program& program) {
  program.control(ui::main_window::kStationView).setAddress(stationPageAddress());
}

}  // namespace net
