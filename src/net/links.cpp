#include "net/links.h"

#include "app/program.h"
#include "station_config.h"

namespace net {

namespace {
constexpr std::intptr_t kShellOpenWorked = 32;  // results above this mean it worked
// The registered command (at most 260 bytes), a blank and the address must
// fit the command buffer of the fallback.
constexpr std::size_t kCommandLineLimit = 520;
}  // namespace

void openInBrowser(Shell& shell, const std::string& address) {
  std::uintptr_t owner = shell.findTopLevelWindow("Microsoft Internet Explorer");
  // The result is not examined: a link that cannot be opened leaves the user where they were.
  shell.open(owner, address, ShowCommand::Normal);
}

std::optional<std::string> fallbackCommandLine(const std::string& registeredCommand, const std::string& address) {
  std::string command = registeredCommand;
  std::size_t cut = command.find("\"%1\"");
  if (cut == std::string::npos) cut = command.find("%1");
  if (cut != std::string::npos) command.resize(cut);
  command += ' ';
  command += address;
  if (command.size() >= kCommandLineLimit) return std::nullopt;
  return command;
}

bool openLinkAddress(Shell& shell, const std::string& address) {
  if (address.empty()) return false;
  if (shell.open(0, address, ShowCommand::Show) > kShellOpenWorked) return true;
  std::optional<std::string> pageClass = shell.classesRootDefault(".htm");
  if (!pageClass) return false;
  std::optional<std::string> command = shell.classesRootDefault(*pageClass + "\\shell\\open\\command");
  if (!command) return false;
  std::optional<std::string> commandLine = fallbackCommandLine(*command, address);
  if (!commandLine) return false;
  return shell.run(*commandLine, ShowCommand::Show) > static_cast<std::uintptr_t>(kShellOpenWorked);
}

// Opening a site leaves the main window's always-on-top state alone.
void openOfficialSite(app::Program& program) {
  openInBrowser(program.services().shell, station::config::kOfficialSiteAddress);
}
void openPortalSite(app::Program& program) {
  openInBrowser(program.services().shell, station::config::kPortalSiteAddress);
}
void openSisterSite(app::Program& program) {
  openInBrowser(program.services().shell, station::config::kSisterSiteAddress);
}
void openCityEncyclopedia(app::Program& program) {
  openInBrowser(program.services().shell, station::config::kCityEncyclopediaAddress);
}
void openRegionEncyclopedia(app::Program& program) {
  openInBrowser(program.services().shell, station::config::kRegionEncyclopediaAddress);
}
void openMicroblog(app::Program& program) {
  openInBrowser(program.services().shell, station::config::kMicroblogAddress);
}

}  // namespace net
