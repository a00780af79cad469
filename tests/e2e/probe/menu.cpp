// station_probe: the open popup menu of another program, read through the hook DLL.
#include "probe.h"
#include "menu_query.h"

namespace probe {

struct MenuItem {
  bool separator = false;
  std::wstring text;
  UINT state = 0, id = 0;
};

// Reads a popup menu's items from inside this process (works where the menu is
// ours or where the system shares menus between processes).
bool read_menu_direct(HMENU menu, std::vector<MenuItem>& items) {
  int count = GetMenuItemCount(menu);
  if (count < 0) return false;
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi)) return false;
    MenuItem it;
    it.separator = (mi.fType & MFT_SEPARATOR) != 0;
    it.state = mi.fState;
    it.id = mi.wID;
    if (!it.separator) {
      std::vector<wchar_t> buf(mi.cch + 1);
      mi.fMask = MIIM_STRING;
      mi.dwTypeData = buf.data();
      mi.cch = static_cast<UINT>(buf.size());
      if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi)) it.text.assign(buf.data(), mi.cch);
    }
    items.push_back(it);
  }
  return true;
}

// The directory of this program, with a trailing backslash.
std::wstring own_directory() {
  std::vector<wchar_t> buf(256);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      std::wstring path(buf.data(), n);
      size_t slash = path.find_last_of(L"\\/");
      return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    }
    buf.resize(buf.size() * 2);
  }
}

bool read_menu_by_hook(HWND menu_window, std::vector<MenuItem>& items, std::string& how) {
  DWORD pid = GetCurrentProcessId();
  wchar_t name[64];
  wsprintfW(name, L"Local\\StationProbeMenu-%lu", static_cast<unsigned long>(pid));
  HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSectionBytes, name);
  if (!section) {
    how = "no shared section";
    return false;
  }
  auto* base = static_cast<wchar_t*>(MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!base) {
    CloseHandle(section);
    how = "cannot map the shared section";
    return false;
  }
  base[0] = 0;
  DWORD tid = GetWindowThreadProcessId(menu_window, nullptr);
  HMODULE dll = LoadLibraryW((own_directory() + kHookDll).c_str());
  auto proc = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "StationProbeHook"))) : nullptr;
  HHOOK hook = proc ? SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, tid) : nullptr;
  bool ok = false;
  if (!proc) {
    how = "cannot load " + utf8(kHookDll) + " beside the probe";
  } else if (!hook) {
    how = "SetWindowsHookEx failed: " + std::to_string(GetLastError());
  } else {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(menu_window, RegisterWindowMessageW(kQueryMessage), pid, 0, SMTO_ABORTIFHUNG, 5000, &result);
    UnhookWindowsHookEx(hook);
    std::wstring text(base);
    size_t at = 0;
    while (at < text.size()) {
      size_t nl = text.find(L'\n', at);
      if (nl == std::wstring::npos) break;
      std::wstring line = text.substr(at, nl - at);
      at = nl + 1;
      if (line == L"E") {
        ok = true;
        break;
      }
      if (line == L"X") break;
      MenuItem it;
      if (line == L"S") {
        it.separator = true;
      } else if (!line.empty() && line[0] == L'I') {
        size_t t1 = line.find(L'\t'), t2 = line.find(L'\t', t1 + 1);
        if (t1 == std::wstring::npos || t2 == std::wstring::npos) break;
        it.state = static_cast<UINT>(wcstoul(line.substr(1, t1 - 1).c_str(), nullptr, 10));
        it.id = static_cast<UINT>(wcstoul(line.substr(t1 + 1, t2 - t1 - 1).c_str(), nullptr, 10));
        it.text = line.substr(t2 + 1);
      }
      items.push_back(it);
    }
    if (!ok) how = text.empty() ? "the menu's thread did not answer" : "the menu could not be read";
  }
  UnmapViewOfFile(base);
  CloseHandle(section);
  if (dll) FreeLibrary(dll);
  return ok;
}

int cmd_menu(int argc, wchar_t** argv) {
  long long only_pid = 0;
  if (argc == 4 && std::wstring(argv[2]) == L"--pid") {
    if (!parse_int(argv[3], only_pid)) return fail("usage: probe menu [--pid N]", 2);
  } else if (argc != 2) {
    return fail("usage: probe menu [--pid N]", 2);
  }
  std::string out = "[";
  bool first = true;
  for (HWND h : top_level_windows()) {
    if (class_name(h) != L"#32768" || !IsWindowVisible(h)) continue;
    if (only_pid) {
      DWORD p = 0;
      GetWindowThreadProcessId(h, &p);
      if (p != static_cast<DWORD>(only_pid)) continue;
    }
    DWORD_PTR hm = 0;
    SendMessageTimeoutW(h, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 5000, &hm);
    HMENU menu = reinterpret_cast<HMENU>(hm);
    std::vector<MenuItem> items;
    std::string how = "direct", why;
    if (!menu || !read_menu_direct(menu, items)) {
      items.clear();
      how = "hook";
      if (!read_menu_by_hook(h, items, why)) how = "unreadable";
    }
    RECT r{};
    GetWindowRect(h, &r);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    std::string s = "{\"hwnd\": " + jhwnd(h) + ", \"hmenu\": " + jnum(static_cast<long long>(hm)) +
                    ", \"pid\": " + jnum(pid) + ", \"owner\": " + jhwnd(GetWindow(h, GW_OWNER)) +
                    ", \"rect\": " + jrect(r) + ", \"read\": \"" + how + "\"";
    if (!why.empty()) s += ", \"why\": " + jstr8(why);
    s += ", \"items\": [";
    bool f2 = true;
    for (const auto& it : items) {
      s += f2 ? "" : ", ";
      f2 = false;
      if (it.separator) {
        s += "{\"separator\": true}";
      } else {
        s += "{\"separator\": false, \"text\": " + jstr(it.text) + ", \"id\": " + jnum(it.id) +
             ", \"grayed\": " + jbool(it.state & (MFS_GRAYED | MFS_DISABLED)) +
             ", \"checked\": " + jbool(it.state & MFS_CHECKED) + "}";
      }
    }
    out += (first ? "" : ", ") + s + "]}";
    first = false;
  }
  emit(out + "]");
  return 0;
}

}  // namespace probe
