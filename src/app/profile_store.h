#pragma once
// INI files of the run directory read and written by section and key, as
// the system's profile functions do it (see profile_text.h). Names and
// values are GBK bytes; a file that begins with the UTF-16LE byte-order mark
// is read and written as UTF-16, as the system does. Every call reads the
// file anew.
#include <string>

#include "app/file_system.h"
#include "app/text_codec.h"

namespace app {

class ProfileStore {
 public:
  ProfileStore(FileSystem& files, const TextCodec& codec) : files_(files), codec_(codec) {}

  // The value, cut to 10239 bytes; empty when the file, section or key is missing.
  std::string read(const std::string& file, const std::string& section, const std::string& key);
  // Creates the file, section or key when missing and replaces the old value;
  // every other byte of the file is left as it was. False when it could not
  // be written, or when a file that exists could not be read.
  bool write(const std::string& file, const std::string& section, const std::string& key, const std::string& value);

 private:
  FileSystem& files_;
  const TextCodec& codec_;
};

}  // namespace app
