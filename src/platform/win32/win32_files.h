// ===========================================================================
//  PLATFORM SEAM (Win32): files on paths in the ANSI code page (GBK).
// ===========================================================================
#pragma once

#include <string>

#include "app/file_system.h"

namespace win32 {

class Win32FileSystem : public app::FileSystem {
 public:
  bool exists(const std::string& path) override;
  bool removeFile(const std::string& path) override;
  bool createDirectory(const std::string& path) override;
  std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) override;
  bool writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override;

  // The directory of the program's executable, without a trailing backslash.
  std::string runDirectory();
};

// The path up to its last backslash (exclusive); empty when it has none.
// Reads the ANSI code page's double-byte characters whole, so a trail byte
// that happens to equal "\" does not cut a name in two.
std::string parentDirectory(const std::string& path);

}  // namespace win32
