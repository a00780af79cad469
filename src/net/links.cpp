#include "net/links.h"

#include "net/fetcher.h"

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

bool isWebAddress(std::string_view address) {
  if (address.size() > kMaxWebAddressLength) return false;
  std::size_t hostAt = hasScheme(address, "http://") ? 7 : hasScheme(address, "https://") ? 8 : 0;
  if (hostAt == 0 || hostAt == address.size() || address[hostAt] == '/') return false;
  for (char c : address) {
    auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F || c == '"' || c == '\'') return false;
  }
  return true;
}

void openManifestAddress(Shell& shell, const std::string& address) {
  if (isWebAddress(address)) openInBrowser(shell, address);
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
  if (!isWebAddress(address)) return false;
  if (shell.open(0, address, ShowCommand::Show) > kShellOpenWorked) return true;
  std::optional<std::string> pageClass = shell.classesRootDefault(".htm");
  if (!pageClass) return false;
  std::optional<std::string> command = shell.classesRootDefault(*pageClass + "\\shell\\open\\command");
  if (!command) return false;
  std::optional<std::string> commandLine = fallbackCommandLine(*command, address);
  if (!commandLine) return false;
  return shell.run(*commandLine, ShowCommand::Show) > static_cast<std::uintptr_t>(kShellOpenWorked);
}

}  // namespace net
