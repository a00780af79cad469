#pragma once
// The file operations the program needs, on the files of its run directory
// (the executable's folder). A file is named by its GBK name relative to
// that folder, beginning with a backslash ("\\userini.user", "\\ad\\tingweiad.gif");
// the platform joins it to the folder's own path, whatever characters that holds.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when something of that name exists: a file or a directory.
  virtual bool exists(const std::string& name) = 0;
  // Deletes a file; false when it could not (absent, in use, read-only).
  virtual bool removeFile(const std::string& name) = 0;
  // Creates one directory; false when it exists already or cannot be made.
  virtual bool createDirectory(const std::string& name) = 0;
  // The whole file, or nothing when it cannot be read.
  virtual std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& name) = 0;
  // Replaces the file's bytes, creating it when missing; others may keep it
  // open meanwhile, as the system's profile functions allow. Never creates
  // directories. False when the file cannot be opened or written; a write
  // that cannot be made leaves the old bytes.
  virtual bool writeWholeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) = 0;
};

}  // namespace app
