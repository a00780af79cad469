#include "app/notices.h"

#include "app/download.h"
#include "app/program.h"
#include "app/windows/advert_window.h"
#include "app/windows/main_window.h"
#include "net/addresses.h"
#include "net/links.h"

namespace app {

namespace {
const char kManifestName[] = "\\ad.tingweiini";
const char kPictureDirectoryName[] = "\\ad";
const char kPictureName[] = "\\ad\\tingweiad.gif";
}  // namespace

void refreshNotices(Program& program) {
  Services& services = program.services();
  downloadToFile(program.fetcher(), services.files, kManifestName, net::noticeManifestAddress());
  // An existing directory, or one that cannot be made, is no matter here:
  // the picture then simply is not stored.
  services.files.createDirectory(kPictureDirectoryName);
  downloadToFile(program.fetcher(), services.files, kPictureName, net::advertPictureAddress());

  net::XmlDocument& manifest = program.notificationDocument();
  loadFromFile(manifest, services.files, kManifestName);
  // Empty text is written all the same: nothing keeps a stale caption or address.
  program.control(app::main_window::kNotificationLine).setCaption(manifest.readAttribute("yun/ad", "neirong"));
  program.control(app::main_window::kAdvertLink).setCaption(manifest.readAttribute("yun/ad1", "neirong"));
  program.control(app::main_window::kAdvertLink).setAddress(manifest.readAttribute("yun/ad1", "url"));
  program.control(app::main_window::kPictureAdvert)
      .setPicture(services.files.readWholeFile(kPictureName).value_or(ui::Bytes{}));
}

void openPictureAdvert(Program& program) {
  net::openManifestAddress(program.services().shell, program.notificationDocument().readAttribute("yun/ad2", "url"));
}

void releaseNotices(Program& program) { program.notificationDocument().release(); }

namespace {

void showAdvertPage(Program& program, int page) {
  ui::ControlRef view = program.control(app::advert_window::kAdvertView);
  view.setAddress(net::advertPageAddress(page));
  // No right click inside the advert page: the view and every window the
  // browser has made under it so far get the right-button filter.
  view.filterRightButton();
}

}  // namespace

void showFirstAdvert(Program& program) { showAdvertPage(program, 1); }
void showSecondAdvert(Program& program) { showAdvertPage(program, 2); }
void showThirdAdvert(Program& program) { showAdvertPage(program, 3); }

}  // namespace app
