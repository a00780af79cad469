#pragma once
// The file operations the program needs, on paths formed as the run
// directory followed by a name that begins with a backslash.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when something of that name exists: a file or a directory.
  virtual bool exists(const std::string& path) = 0;
  // Deletes a file; false when it could not (absent, in use, read-only).
  virtual bool removeFile(const std::string& path) = 0;
  // Creates one directory; false when it exists already or cannot be made.
  virtual bool createDirectory(const std::string& path) = 0;
  // The whole file, or nothing when it cannot be read.
  virtual std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) = 0;
  // Opens with exclusive access, creating or truncating, and writes the
  // bytes. Never creates directories. False when the file cannot be opened
  // or written.
  virtual bool writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) = 0;
};

}  // namespace app
