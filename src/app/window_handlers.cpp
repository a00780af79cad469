#include "app/window_handlers.h"

#include "app/colours.h"
#include "app/placement.h"
#include "app/program.h"
#include "app/window_forms.h"
#include "app/windows/advert_window.h"
#include "app/windows/settings_window.h"

namespace app {

using ui::WindowId;

void openExitConfirmation(Program& program) { program.ui().open(WindowId::ExitConfirm, /*modal=*/true); }

void confirmExit(Program& program) {
  program.ui().close(WindowId::Main);
  program.ui().close(WindowId::Remote);
  program.ui().close(WindowId::ExitConfirm);
}

void cancelExit(Program& program) { program.ui().close(WindowId::ExitConfirm); }

void openAdvertWindow(Program& program) { program.ui().open(WindowId::Advert); }

void closeAdvertWindow(Program& program) { program.ui().close(WindowId::Advert); }

void advertWindowCreated(Program& program) {
  applyUserColourAtCreation(program, WindowId::Advert);
  startAdvertSlideIn(program);
  program.window(WindowId::Advert).focus();
}

void showRemoteControl(Program& program) {
  program.ui().open(WindowId::Remote);
  program.window(WindowId::Remote).setShown(true);
}

void hideRemoteControl(Program& program) { program.window(WindowId::Remote).setShown(false); }

void remoteControlCreated(Program& program) { applyUserColourAtCreation(program, WindowId::Remote); }

void openSettingsWindow(Program& program) {
  releaseTopmost(program);
  program.ui().open(WindowId::Settings, /*modal=*/true);
}

void closeSettingsWindow(Program& program) { program.ui().close(WindowId::Settings); }

void settingsWindowCreated(Program& program) {
  applyUserColourAtCreation(program, WindowId::Settings);
  // The microblog button's pictures ship beside the program; a missing file
  // leaves that picture empty, and the button still takes clicks.
  Services& services = program.services();
  auto picture = [&](const char* name) {
    return services.files.readWholeFile(name).value_or(ui::Bytes{});
  };
  ui::ControlRef microblog = program.control(app::settings_window::kMicroblogButton);
  microblog.setPicture(picture("\\img\\sinaweibo1.gif"));
  microblog.setHotPicture(picture("\\img\\sinaweibo2.gif"));
}

void openInteractionWindow(Program& program) {
  program.ui().open(WindowId::Interaction);
  program.window(WindowId::Interaction).setShown(true);
}

void closeInteractionWindow(Program& program) { program.ui().close(WindowId::Interaction); }

void interactionWindowCreated(Program& program) {
  placeInteractionBelowRemote(program);
  applyUserColourAtCreation(program, WindowId::Interaction);
}

void popUpAdvertMenu(Program& program) {
  ui::Point at = program.ui().menuPoint();
  program.ui().popupMenu(ui::WindowId::Advert, app::advert_window::kAdvertMenu, at);
}

}  // namespace app
