#pragma once
// What the program asks of the desktop shell: open an address in the
// program registered for it, find a window by title, read a file class's
// registered command and run a command line.
#include <cstdint>
#include <optional>
#include <string>

namespace net {

enum class ShowCommand { Normal, Show };

class Shell {
 public:
  virtual ~Shell() = default;
  // The first top-level window with exactly this title; 0 when there is none.
  virtual std::uintptr_t findTopLevelWindow(const std::string& title) = 0;
  // The shell's "open" verb on the address; the platform's result code
  // (greater than 32 means it worked).
  virtual std::intptr_t open(std::uintptr_t owner, const std::string& address, ShowCommand show) = 0;
  // The default value of a key under the classes root (at most 260 bytes).
  virtual std::optional<std::string> classesRootDefault(const std::string& key) = 0;
  // Runs a command line; the platform's result code (greater than 32: it ran).
  virtual std::uintptr_t run(const std::string& commandLine, ShowCommand show) = 0;
};

}  // namespace net
