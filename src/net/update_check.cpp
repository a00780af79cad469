#include "net/update_check.h"

#include "app/program.h"

namespace net {

// Needs the HTTP fetch and the manifest reader; until they are in, the two
// menu items do nothing.
void checkForUpdate(app::Program&) {}

}  // namespace net
