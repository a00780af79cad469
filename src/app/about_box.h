#pragma once
#include <string>

namespace app {
class Program;

// The four lines of the about box, joined by CR LF, nothing after the last.
std::string aboutText();
// "关于": the owner-less information box with the program's version and sites.
void showAboutBox(Program& program);
// The program's information box, caption "信息：".
void showInfoMessage(Program& program, const std::string& text);

}  // namespace app
