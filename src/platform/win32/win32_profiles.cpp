// ===========================================================================
//  PLATFORM SEAM (Win32)
// ===========================================================================
#include "platform/win32/win32_profiles.h"

#include <windows.h>

#include <vector>

namespace win32 {

// Reads go through a buffer of 10240 bytes: a longer value is cut.
constexpr DWORD kProfileBufferSize = 10240;

std::string Win32ProfileStore::read(const std::string& file, const std::string& section, const std::string& key) {
  std::vector<char> buffer(kProfileBufferSize, '\0');
  DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(), kProfileBufferSize,
                                          file.c_str());
  return std::string(buffer.data(), length);
}

bool Win32ProfileStore::write(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

}  // namespace win32
