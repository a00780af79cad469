#pragma once
namespace app {
class Program;
}

namespace net {

// "检测更新" and "检测是否有更新": asks the update server whether a newer
// version exists and tells the user.
void checkForUpdate(app::Program& program);

}  // namespace net
