#include "net/notices.h"

#include "app/program.h"
#include "net/addresses.h"

namespace net {

// The refresh, the picture link and the release need the HTTP fetch and the
// manifest reader; until they are in, they do nothing and the controls keep
// the captions of their definitions.
void refreshNotices(app::Program&) {}
void openPictureAdvert(app::Program&) {}
void releaseNotices(app::Program&) {}

namespace {
void showAdvertPage(app::Program& program, int page) {
  program.control(ui::WindowId::Advert, "超文本浏览框1").setAddress(advertPageAddress(page));
}
}  // namespace

void showFirstAdvert(app::Program& program) { showAdvertPage(program, 1); }
void showSecondAdvert(app::Program& program) { showAdvertPage(program, 2); }
void showThirdAdvert(app::Program& program) { showAdvertPage(program, 3); }

}  // namespace net
