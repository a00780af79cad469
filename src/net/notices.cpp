#include "net/notices.h"

#include "app/program.h"
#include "net/addresses.h"
#include "net/download.h"
#include "net/links.h"
#include "net/subclass_table.h"
#include "ui/windows/advert_window.h"
#include "ui/windows/main_window.h"

namespace net {

namespace {
const char kManifestName[] = "\\ad.tingweiini";
const char kPictureDirectoryName[] = "\\ad";
const char kPictureName[] = "\\ad\\tingweiad.gif";
}  // namespace

void refreshNotices(app::Program& program) {
  app::Services& services = program.services();
  const std::string& run = services.runDirectory;
  downloadToFile(services.fetcher, services.files, run + kManifestName, noticeManifestAddress());
  // An existing directory, or one that cannot be made, is no matter here:
  // the picture then simply is not stored.
  services.files.createDirectory(run + kPictureDirectoryName);
  downloadToFile(services.fetcher, services.files, run + kPictureName, advertPictureAddress());

  XmlDocument& manifest = program.notificationDocument();
  manifest.loadFromFile(services.files, run + kManifestName);
  // Empty text is written all the same: nothing keeps a stale caption or address.
  program.control(ui::main_window::kNotificationLine).setCaption(manifest.readAttribute("yun/ad", "neirong"));
  program.control(ui::main_window::kAdvertLink).setCaption(manifest.readAttribute("yun/ad1", "neirong"));
  program.control(ui::main_window::kAdvertLink).setAddress(manifest.readAttribute("yun/ad1", "url"));
  program.control(ui::main_window::kPictureAdvert)
      .setPicture(services.files.readWholeFile(run + kPictureName).value_or(ui::Bytes{}));
}

void openPictureAdvert(app::Program& program) {
  openManifestAddress(program.services().shell, program.notificationDocument().readAttribute("yun/ad2", "url"));
}

void releaseNotices(app::Program& program) { program.notificationDocument().release(); }

namespace {

void showAdvertPage(app::Program& program, int page) {
  ui::ControlRef view = program.control(ui::advert_window::kAdvertView);
  view.setAddress(advertPageAddress(page));
  // No right click inside the advert page: the view and every window the
  // browser has made under it so far get the right-button filter.
  subclassWindowTree(program.subclassTable(), program.services().windowTree, view.nativeHandle());
}

}  // namespace

void showFirstAdvert(app::Program& program) { showAdvertPage(program, 1); }
void showSecondAdvert(app::Program& program) { showAdvertPage(program, 2); }
void showThirdAdvert(app::Program& program) { showAdvertPage(program, 3); }

}  // namespace net
