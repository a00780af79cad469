// A fresh directory under the system's temporary folder for one test,
// removed with everything in it when the test ends. Paths are ANSI (GBK).
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string base(GetTempPathA(0, nullptr), '\0');
    const DWORD length = GetTempPathA(static_cast<DWORD>(base.size()), base.data());
    base.resize(length < base.size() ? length : 0);
    if (!base.empty() && base.back() == '\\') base.pop_back();
    static int serial = 0;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::string candidate = base + "\\station_test_" + std::to_string(GetCurrentProcessId()) + "_" +
                                    std::to_string(GetTickCount64()) + "_" + std::to_string(++serial);
      if (CreateDirectoryA(candidate.c_str(), nullptr)) path_ = candidate;
    }
  }
  ~ScratchDirectory() {
    if (!path_.empty()) removeTree(path_);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  bool ready() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  // The scratch directory followed by a name that begins with a backslash.
  std::string operator+(const std::string& name) const { return path_ + name; }

 private:
  static void removeTree(const std::string& directory) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = directory + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          removeTree(path);
        } else {
          SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileA(path.c_str());
        }
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(directory.c_str());
  }

  std::string path_;
};

}  // namespace testing_support
