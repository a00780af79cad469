#include "net/station_page.h"

#include "app/program.h"
#include "net/addresses.h"

namespace net {

void refreshStationPage(app::Program& program) {
  program.control(ui::WindowId::Main, "超文本浏览框1").setAddress(stationPageAddress());
}

}  // namespace net
