#include "net/about_box.h"

#include "app/program.h"

namespace net {

// Needs the message-box service; until it is in, the item does nothing.
void showAboutBox(app::Program&) {}

}  // namespace net
