#include "app/program.h"

#include "app/windows/definitions.h"
#include "net/links.h"

namespace app {

Program::Program(ui::Backend& backend, Services& services)
    : backend_(backend),
      services_(services),
      settings_(services.files, services.text),
      ui_(backend, *this) {
  ui_.definitions = app::definitionOf;
  // A hyperlink control opens its address through the shell.
  ui_.openLink = [this](const std::string& address) { return net::openLinkAddress(services_.shell, address); };
  // The main window's end is the program's end, by whatever path it goes.
  ui_.windowDestroyed = [this](ui::WindowId id) {
    if (id == ui::WindowId::Main) backend_.quit();
  };
}

Program::~Program() { exitCleanup(); }

bool Program::start() { return ui_.open(ui::WindowId::Main); }

void Program::finish() {
  ui_.closeAll();
  exitCleanup();
}

void Program::exitCleanup() {
  if (cleanedUp_) return;
  cleanedUp_ = true;
  notificationDocument_.release();
}

}  // namespace app
