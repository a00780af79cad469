#pragma once
#include <string>
#include <string_view>

namespace app {
class Program;

// The version number of the update manifest: GBK full-width ASCII forms and
// the ideographic space folded to ASCII, then read as a decimal number
// (leading white space, the longest decimal prefix; none gives 0).
double parseManifestVersion(std::string_view text);

// The message announcing a newer version.
std::string newVersionMessage(const std::string& versionText, const std::string& notes);

// "检测更新" and "检测是否有更新": asks the update server whether a newer
// version exists and tells the user; a newer one's download address opens in
// the default browser.
void checkForUpdate(Program& program);

}  // namespace app
