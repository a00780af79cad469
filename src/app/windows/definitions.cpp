#include "app/windows/definitions.h"

#include <array>

namespace ui {

const WindowDef& definitionOf(WindowId id) {
  // Built once, on first use; handlers and backends keep pointers into them.
  static const std::array<WindowDef, kWindowCount> definitions = {
      mainWindowDefinition(),     exitConfirmationDefinition(), advertWindowDefinition(),
      remoteControlDefinition(),  settingsWindowDefinition(),   interactionWindowDefinition(),
  };
  return definitions[static_cast<int>(id)];
}

}  // namespace ui
