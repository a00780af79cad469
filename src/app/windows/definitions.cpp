#include "app/windows/definitions.h"

#include <array>
#include <iterator>

namespace app {

using namespace ui;  // the definitions are written in the window model's terms

namespace {
// One builder per window, in the order of WindowId.
constexpr WindowDef (*kBuilders[])() = {
    mainWindowDefinition,     exitConfirmationDefinition, advertWindowDefinition,
    remoteControlDefinition,  settingsWindowDefinition,   interactionWindowDefinition,
};
static_assert(std::size(kBuilders) == kWindowCount, "every window has its definition, and only they");
}  // namespace

const WindowDef& definitionOf(WindowId id) {
  // Built once, on first use; handlers and backends keep pointers into them.
  static const std::array<WindowDef, kWindowCount> definitions = [] {
    std::array<WindowDef, kWindowCount> built;
    for (int i = 0; i < kWindowCount; ++i) built[i] = kBuilders[i]();
    return built;
  }();
  return definitions[static_cast<int>(id)];
}

}  // namespace app
