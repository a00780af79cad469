#include "app/colours.h"

#include "app/program.h"

namespace app {

// The user's colour lives in the settings file, which the settings service
// reads; until that service is in, every window keeps its defined colours.
void applyUserColourAtCreation(Program&, ui::WindowId) {}

}  // namespace app
