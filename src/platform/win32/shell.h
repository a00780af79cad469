// Shell open, the registry's page command, WinExec and the information box.
#pragma once

#include "net/shell.h"

namespace win32 {

class Win32Shell : public net::Shell {
 public:
  std::uintptr_t findTopLevelWindow(const std::string& title) override;
  std::intptr_t open(std::uintptr_t owner, const std::string& address, net::ShowCommand show) override;
  std::optional<std::string> classesRootDefault(const std::string& key) override;
  std::uintptr_t run(const std::string& commandLine, net::ShowCommand show) override;
};

}  // namespace win32
