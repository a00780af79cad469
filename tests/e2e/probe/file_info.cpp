// station_probe: an executable's version information, manifest and icons.
#include "probe.h"

namespace probe {

// file-info: what the system reads from an executable's resources: the fixed
// version numbers, the version strings of its first translation, its
// application manifest (resource 1) and the sizes in its first icon group.
int cmd_file_info(int argc, wchar_t** argv) {
  if (argc != 3) return fail("usage: probe file-info PATH", 2);
  const wchar_t* path = argv[2];
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  std::string out = "{\"path\": " + jstr(path);
  if (size > 0) {
    std::vector<unsigned char> info(size);
    if (GetFileVersionInfoW(path, 0, size, info.data())) {
      auto quad = [](DWORD ms, DWORD ls) {
        return jnum(HIWORD(ms)) + "." + jnum(LOWORD(ms)) + "." + jnum(HIWORD(ls)) + "." + jnum(LOWORD(ls));
      };
      VS_FIXEDFILEINFO* fixed = nullptr;
      UINT length = 0;
      if (VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        out += ", \"file_version\": " + jstr8(quad(fixed->dwFileVersionMS, fixed->dwFileVersionLS)) +
               ", \"product_version\": " + jstr8(quad(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
      }
      WORD* translation = nullptr;
      if (VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                         &length) && translation && length >= 4) {
        wchar_t block[64];
        wsprintfW(block, L"%04x%04x", translation[0], translation[1]);
        out += ", \"translation\": " + jstr(block) + ", \"strings\": {";
        const wchar_t* keys[] = {L"ProductName", L"ProductVersion", L"FileDescription", L"FileVersion",
                                 L"InternalName", L"OriginalFilename", L"CompanyName", L"LegalCopyright"};
        bool first = true;
        for (const wchar_t* key : keys) {
          std::wstring query = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + key;
          wchar_t* value = nullptr;
          if (VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value) {
            out += (first ? "" : ", ") + jstr(key) + ": " + jstr(value);
            first = false;
          }
        }
        out += "}";
      }
    }
  }
  HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return fail("cannot open " + utf8(path));
  if (HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {  // RT_MANIFEST
    const char* text = static_cast<const char*>(LockResource(LoadResource(module, res)));
    if (text) out += ", \"manifest\": " + jstr8(std::string(text, SizeofResource(module, res)));
  }
  // The first icon group: a GRPICONDIR (three WORDs) and 14-byte entries
  // whose first byte is the width (0 for 256).
  HRSRC group = nullptr;
  EnumResourceNamesW(module, MAKEINTRESOURCEW(14), [](HMODULE m, LPCWSTR type, LPWSTR name, LONG_PTR p) -> BOOL {
    *reinterpret_cast<HRSRC*>(p) = FindResourceW(m, name, type);
    return FALSE;
  }, reinterpret_cast<LONG_PTR>(&group));  // RT_GROUP_ICON
  out += ", \"icon_sizes\": [";
  if (group) {
    const unsigned char* dir = static_cast<const unsigned char*>(LockResource(LoadResource(module, group)));
    DWORD bytes = SizeofResource(module, group);
    if (dir && bytes >= 6) {
      int count = dir[4] | (dir[5] << 8);
      for (int i = 0; i < count && 6u + 14u * (i + 1) <= bytes; ++i) {
        int width = dir[6 + 14 * i];
        out += (i ? ", " : "") + jnum(width ? width : 256);
      }
    }
  }
  out += "]}";
  FreeLibrary(module);
  emit(out);
  return 0;
}

}  // namespace probe
