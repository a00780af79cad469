#pragma once
// INI-format files read and written by section and key, as the system's
// profile functions do it. Names and values are GBK bytes.
#include <string>

namespace app {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The value, cut to 10239 bytes; empty when the file, section or key is missing.
  virtual std::string read(const std::string& file, const std::string& section, const std::string& key) = 0;
  // Creates the file, section or key when missing and replaces the old value;
  // the rest of the file is left as it was. False when it could not be written.
  virtual bool write(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) = 0;
};

}  // namespace app
