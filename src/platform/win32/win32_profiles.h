// ===========================================================================
//  PLATFORM SEAM (Win32): INI files through the system's profile functions.
// ===========================================================================
#pragma once

#include "app/profile_store.h"

namespace win32 {

class Win32ProfileStore : public app::ProfileStore {
 public:
  std::string read(const std::string& file, const std::string& section, const std::string& key) override;
  bool write(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) override;
};

}  // namespace win32
