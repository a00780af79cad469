#pragma once
// The two INI files of the run directory: "userini.user", the user's
// background colour, read and written by the program; and "system.dll", the
// default colours, only read. Every read opens the file anew.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/file_system.h"
#include "app/profile_store.h"

namespace app {

// A stored value as a standard decimal string-to-integer conversion reads it:
// leading white space, one optional sign, digits up to the first non-digit;
// no digits give 0. Values beyond 32 bits wrap as the stored colour would.
std::int32_t parseStoredInteger(std::string_view text);

class SettingsFiles {
 public:
  SettingsFiles(FileSystem& files, const TextCodec& codec);

  // True when something named "userini.user" exists (a directory counts too).
  bool userSettingsExist();
  // "皮肤"/"底色" of "userini.user"; 0 when missing.
  std::int32_t readUserBackground();
  // Writes the colour as decimal text; other lines of the file stay as they are.
  void writeUserBackground(std::int32_t colour);
  // Deletes "userini.user"; nothing happens when it is absent.
  void deleteUserSettings();
  // "默认皮肤"/key of "system.dll": "默认底色" or "默认底色2"; 0 when missing.
  std::int32_t readDefaultColour(const std::string& key);

  static const char kUserSettingsName[];
  static const char kDefaultsName[];

 private:
  FileSystem& files_;
  ProfileStore profiles_;
};

}  // namespace app
