// A fresh directory under the system's temporary folder for one test,
// removed with everything in it when the test ends. Its path is wide; the
// temporary folder's path is ASCII here, so path() gives it narrow too.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::wstring base(GetTempPathW(0, nullptr), L'\0');
    const DWORD length = GetTempPathW(static_cast<DWORD>(base.size()), base.data());
    base.resize(length < base.size() ? length : 0);
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    static int serial = 0;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::wstring candidate = base + L"\\station_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                     std::to_wstring(GetTickCount64()) + L"_" + std::to_wstring(++serial);
      if (CreateDirectoryW(candidate.c_str(), nullptr)) path_ = candidate;
    }
  }
  ~ScratchDirectory() {
    if (!path_.empty()) removeTree(path_);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  bool ready() const { return !path_.empty(); }
  const std::wstring& widePath() const { return path_; }
  std::string path() const { return std::string(path_.begin(), path_.end()); }
  // The scratch directory followed by a name that begins with a backslash.
  std::string operator+(const std::string& name) const { return path() + name; }

 private:
  static void removeTree(const std::wstring& directory) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = directory + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          removeTree(path);
        } else {
          SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(path.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(directory.c_str());
  }

  std::wstring path_;
};

}  // namespace testing_support
