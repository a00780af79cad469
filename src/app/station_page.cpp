#include "app/station_page.h"

#include "app/program.h"
#include "net/addresses.h"

namespace app {

void refreshStationPage(Program& program) {
  program.control(ui::WindowId::Main, "超文本浏览框1").setAddress(net::stationPageAddress());
}

}  // namespace app
