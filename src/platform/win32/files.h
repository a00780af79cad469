// The run directory's files, by wide path.
#pragma once

#include <string>

#include "app/file_system.h"

namespace win32 {

class Win32FileSystem : public app::FileSystem {
 public:
  // The files under the folder (a wide path without a trailing backslash).
  explicit Win32FileSystem(std::wstring folder) : folder_(std::move(folder)) {}

  bool exists(const std::string& name) override;
  bool removeFile(const std::string& name) override;
  bool createDirectory(const std::string& name) override;
  std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& name) override;
  bool writeWholeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) override;

  // The folder joined with the GBK name; empty for an empty name.
  std::wstring pathOf(const std::string& name) const;

 private:
  std::wstring folder_;
};

// The folder of the program's executable, from its wide module path, without
// a trailing backslash; empty when the system does not say.
std::wstring runDirectory();

}  // namespace win32
