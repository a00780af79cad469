#pragma once
namespace app {
class Program;
}

namespace net {

// "关于": the owner-less information box with the program's version and sites.
void showAboutBox(app::Program& program);

}  // namespace net
