#include "platform/win32/files.h"

#include <windows.h>

#include "platform/win32/gbk_text.h"
#include "platform/win32/owners.h"

namespace win32 {

std::wstring Win32FileSystem::pathOf(const std::string& name) const {
  // A name holds only GBK characters, so the one conversion here keeps every
  // character, and the folder's own characters were never narrowed at all.
  return name.empty() ? std::wstring() : folder_ + wideFromGbk(name);
}

bool Win32FileSystem::exists(const std::string& name) {
  return GetFileAttributesW(pathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::removeFile(const std::string& name) { return DeleteFileW(pathOf(name).c_str()) != FALSE; }

bool Win32FileSystem::createDirectory(const std::string& name) {
  return CreateDirectoryW(pathOf(name).c_str(), nullptr) != FALSE;
}

// Files are opened as the system's profile functions open them: others may
// go on reading, writing or deleting them meanwhile, so that only a holder
// that shares nothing keeps the program out.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::optional<std::vector<std::uint8_t>> Win32FileSystem::readWholeFile(const std::string& name) {
  FileHandle file(CreateFileW(pathOf(name).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 31)) {
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  }
  // Read to the end rather than trust the size: the file may change meanwhile.
  std::uint8_t block[65536];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), block, sizeof block, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    bytes.insert(bytes.end(), block, block + read);
  }
  return bytes;
}

bool Win32FileSystem::writeWholeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  // Created when missing, rewritten in place otherwise. A missing directory
  // makes the open fail: directories are never created here.
  FileHandle file(
      CreateFileW(pathOf(name).c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER oldSize{};
  if (!GetFileSizeEx(file.get(), &oldSize)) return false;
  LARGE_INTEGER newSize{};
  newSize.QuadPart = static_cast<LONGLONG>(bytes.size());
  // Room for the new bytes first: a full disk fails here, with the old bytes
  // still whole, rather than half-way through them.
  if (newSize.QuadPart > oldSize.QuadPart &&
      (!SetFilePointerEx(file.get(), newSize, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()))) {
    return false;
  }
  if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t rest = bytes.size() - done;
    const DWORD piece = rest > 0x40000000u ? 0x40000000u : static_cast<DWORD>(rest);
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + done, piece, &written, nullptr) || written == 0) return false;
    done += written;
  }
  // A longer old file loses its tail.
  if (!SetEndOfFile(file.get())) return false;
  return closeFile(file);
}

std::wstring runDirectory() {
  // The module's path may be longer than MAX_PATH: grow until it fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return std::wstring();  // beyond any path the system allows
    path.resize(path.size() * 2);
  }
  const std::size_t lastSlash = path.rfind(L'\\');
  return lastSlash == std::wstring::npos ? std::wstring() : path.substr(0, lastSlash);
}

}  // namespace win32
