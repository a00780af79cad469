#include "app/program.h"

namespace app {

Program::Program(ui::Backend& backend) : backend_(backend), ui_(backend, *this) {
  // The main window's end is the program's end, by whatever path it goes.
  ui_.windowDestroyed = [this](ui::WindowId id) {
    if (id == ui::WindowId::Main) backend_.quit();
  };
}

Program::~Program() { exitCleanup(); }

void Program::start() { ui_.open(ui::WindowId::Main); }

void Program::finish() {
  ui_.closeAll();
  exitCleanup();
}

void Program::exitCleanup() {
  if (cleanedUp_) return;
  cleanedUp_ = true;
  subclassTable_.clear();
}

}  // namespace app
