// station_probe: looks at and drives the windows of other Windows programs
// running in the same Wine prefix (and on the same display), for the
// end-to-end tests. Every command prints one JSON value (UTF-8) on stdout.
//
//   probe windows [--class NAME] [--title TEXT] [--pid N]
//   probe menu [--pid N]
//   probe click X Y [left|right]      probe press X Y [left|right]
//   probe release X Y [left|right]    probe move X Y
//   probe key NAME                    (esc, enter, tab, space, f1..f12,
//                                      a..z, 0..9, combos like alt+f4)
//   probe activate HWND
//   probe wait --title TEXT [--class C] [--timeout S]
//   probe wait-gone --title TEXT [--class C] [--timeout S]
//   probe screen                      (screen size, pointer, foreground)
//
// Window handles and process ids are decimal numbers; rectangles are screen
// coordinates ("client_rect" of a child: relative to its parent's client area).
//
// Input goes through SendInput after SetCursorPos puts the pointer exactly on
// the point: Wine turns both into hardware messages in the wineserver, which
// routes them to the window under the pointer (clicks) or to the focus of the
// foreground window (keys), the same way a real mouse and keyboard would; a
// click on an inactive window activates it through the usual WM_MOUSEACTIVATE
// path. xdotool on the Xvfb display works as well under Wine 8 without a
// window manager, but its events take the X server's way (X stacking, X focus
// of the override-redirect windows Wine makes), which other X clients on the
// same display can disturb; SendInput stays inside the program's wineserver
// and lands exactly where Windows would put it.
//
// Exit status: 0 success, 1 the thing waited for or asked about is not there
// (the JSON says why), 2 bad command line.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

// ------------------------------------------------------------------- menus ---

// Wine keeps a menu's items inside the process that made it, so another
// process cannot list them by handle (GetMenuItemCount fails with an invalid
// handle). The probe therefore asks the menu's own thread: it hooks that
// thread's window-procedure calls with station_probe_hook.dll (this same
// file built as a DLL, found beside the probe; Wine maps it into the program
// on first use), sends the menu window a registered query message, and the
// hook writes the items into a named shared section the probe created.
constexpr const wchar_t kQueryMessage[] = L"StationProbeMenuQuery";
constexpr const wchar_t kHookDll[] = L"station_probe_hook.dll";
constexpr DWORD kSectionBytes = 1 << 20;


#ifdef STATION_PROBE_HOOK_DLL

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

// Runs in the menu owner's thread. Layout written to the section: UTF-16
// lines "S" (separator) or "I<state>\t<id>\t<text>" for each item, then a
// line "E"; a line "X" if the menu could not be read.
extern "C" __declspec(dllexport) LRESULT CALLBACK StationProbeHook(int code, WPARAM wp, LPARAM lp) {
  const UINT query = RegisterWindowMessageW(kQueryMessage);
  const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code != HC_ACTION || !cwp || cwp->message != query) return CallNextHookEx(nullptr, code, wp, lp);
  wchar_t name[64];
  wsprintfW(name, L"Local\\StationProbeMenu-%lu", static_cast<unsigned long>(cwp->wParam));
  HANDLE section = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
  auto* base = section ? static_cast<wchar_t*>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
  if (base) {
    const DWORD cap = kSectionBytes / sizeof(wchar_t) - 4;
    DWORD pos = 0;
    auto put = [&](const wchar_t* text) {
      while (*text && pos < cap) base[pos++] = *text++;
    };
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(cwp->hwnd, MN_GETHMENU, 0, 0));
    int count = menu ? GetMenuItemCount(menu) : -1;
    if (count < 0) put(L"X\n");
    for (int i = 0; i < count && pos + 64 < cap; ++i) {
      MENUITEMINFOW mi{};
      mi.cbSize = sizeof mi;
      mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
      if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi)) {
        put(L"X\n");
        break;
      }
      if (mi.fType & MFT_SEPARATOR) {
        put(L"S\n");
        continue;
      }
      pos += static_cast<DWORD>(wsprintfW(base + pos, L"I%u\t%u\t", mi.fState, mi.wID));
      mi.fMask = MIIM_STRING;
      mi.dwTypeData = base + pos;
      mi.cch = cap - pos - 4;
      if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi)) pos += mi.cch;
      put(L"\n");
    }
    put(L"E\n");
    base[pos] = 0;
    UnmapViewOfFile(base);
  }
  if (section) CloseHandle(section);
  return CallNextHookEx(nullptr, code, wp, lp);
}

#else  // the probe program

namespace {

// ---------------------------------------------------------------- output ---

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// A JSON string from UTF-8 text.
std::string jstr8(const std::string& in) {
  std::string out = "\"";
  for (unsigned char c : in) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          wsprintfA(buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string jstr(const std::wstring& w) { return jstr8(utf8(w)); }

std::string jnum(long long v) { return std::to_string(v); }
std::string jbool(bool v) { return v ? "true" : "false"; }
std::string jhwnd(HWND h) { return std::to_string(reinterpret_cast<uintptr_t>(h)); }

std::string jrect(const RECT& r) {
  return "{\"left\": " + jnum(r.left) + ", \"top\": " + jnum(r.top) + ", \"right\": " + jnum(r.right) +
         ", \"bottom\": " + jnum(r.bottom) + ", \"width\": " + jnum(r.right - r.left) +
         ", \"height\": " + jnum(r.bottom - r.top) + "}";
}

void emit(const std::string& json) {
  std::string s = json + "\n";
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  const char* p = s.data();
  size_t left = s.size();
  while (left > 0 && WriteFile(out, p, static_cast<DWORD>(left), &written, nullptr) && written > 0) {
    p += written;
    left -= written;
  }
}

int fail(const std::string& why, int code = 1) {
  emit("{\"error\": " + jstr8(why) + "}");
  return code;
}

// ----------------------------------------------------------- window facts ---

// Window text without sending a message: for another process's window Wine
// (like Windows) answers from the text it keeps for the window, so a busy or
// hung program does not block the probe.
std::wstring window_text(HWND h) {
  std::vector<wchar_t> buf(256);
  for (;;) {
    int n = InternalGetWindowText(h, buf.data(), static_cast<int>(buf.size()));
    if (n < static_cast<int>(buf.size()) - 1) return std::wstring(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
    buf.resize(buf.size() * 2);
  }
}

std::wstring class_name(HWND h) {
  std::vector<wchar_t> buf(64);
  for (;;) {
    int n = GetClassNameW(h, buf.data(), static_cast<int>(buf.size()));
    if (n < static_cast<int>(buf.size()) - 1) return std::wstring(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
    buf.resize(buf.size() * 2);
  }
}

std::vector<HWND> top_level_windows() {
  std::vector<HWND> all;
  EnumWindows([](HWND h, LPARAM p) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<HWND> direct_children(HWND parent) {
  std::vector<HWND> kids;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) kids.push_back(c);
  return kids;
}

std::string child_json(HWND h, HWND parent) {
  RECT r{};
  GetWindowRect(h, &r);
  RECT rc = r;
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
  LONG style = GetWindowLongW(h, GWL_STYLE);
  std::string s = "{\"hwnd\": " + jhwnd(h) + ", \"class\": " + jstr(class_name(h)) + ", \"text\": " +
                  jstr(window_text(h)) + ", \"rect\": " + jrect(r) + ", \"client_rect\": " + jrect(rc) +
                  ", \"visible\": " + jbool(IsWindowVisible(h)) + ", \"visible_style\": " +
                  jbool(style & WS_VISIBLE) + ", \"enabled\": " + jbool(IsWindowEnabled(h)) +
                  ", \"id\": " + jnum(GetDlgCtrlID(h)) + ", \"style\": " + jnum(static_cast<DWORD>(style)) +
                  ", \"children\": [";
  bool first = true;
  for (HWND c : direct_children(h)) {
    s += (first ? "" : ", ") + child_json(c, h);
    first = false;
  }
  return s + "]}";
}

std::string window_json(HWND h) {
  RECT r{}, client{};
  GetWindowRect(h, &r);
  GetClientRect(h, &client);
  DWORD pid = 0, tid = GetWindowThreadProcessId(h, &pid);
  LONG style = GetWindowLongW(h, GWL_STYLE), ex = GetWindowLongW(h, GWL_EXSTYLE);
  std::string s = "{\"hwnd\": " + jhwnd(h) + ", \"pid\": " + jnum(pid) + ", \"tid\": " + jnum(tid) +
                  ", \"class\": " + jstr(class_name(h)) + ", \"title\": " + jstr(window_text(h)) +
                  ", \"rect\": " + jrect(r) + ", \"client_size\": {\"width\": " + jnum(client.right) +
                  ", \"height\": " + jnum(client.bottom) + "}, \"visible\": " + jbool(IsWindowVisible(h)) +
                  ", \"enabled\": " + jbool(IsWindowEnabled(h)) + ", \"iconic\": " + jbool(IsIconic(h)) +
                  ", \"style\": " + jnum(static_cast<DWORD>(style)) + ", \"exstyle\": " +
                  jnum(static_cast<DWORD>(ex)) + ", \"owner\": " + jhwnd(GetWindow(h, GW_OWNER)) +
                  ", \"topmost\": " + jbool(ex & WS_EX_TOPMOST) + ", \"foreground\": " +
                  jbool(GetForegroundWindow() == h) + ", \"children\": [";
  bool first = true;
  for (HWND c : direct_children(h)) {
    s += (first ? "" : ", ") + child_json(c, h);
    first = false;
  }
  return s + "]}";
}

struct Filter {
  std::wstring cls, title;
  bool has_cls = false, has_title = false;
  DWORD pid = 0;
  bool matches(HWND h) const {
    if (has_cls && class_name(h) != cls) return false;
    if (has_title && window_text(h) != title) return false;
    if (pid) {
      DWORD p = 0;
      GetWindowThreadProcessId(h, &p);
      if (p != pid) return false;
    }
    return true;
  }
};


bool parse_int(const wchar_t* s, long long& v) {
  if (!s || !*s) return false;
  wchar_t* end = nullptr;
  v = wcstoll(s, &end, 0);
  return end && *end == 0;
}

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

// ------------------------------------------------------------------- input ---

bool send(INPUT* in, UINT n) { return SendInput(n, in, sizeof(INPUT)) == n; }

std::string pointer_json() {
  POINT p{};
  GetCursorPos(&p);
  return "{\"x\": " + jnum(p.x) + ", \"y\": " + jnum(p.y) + "}";
}

// Puts the pointer exactly on (x, y) and reports it as a movement, so the
// window below sees WM_MOUSEMOVE (hover, capture) as with a real mouse.
bool move_to(int x, int y) {
  if (!SetCursorPos(x, y)) return false;
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65536 + w / 2) / w);
  in.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65536 + h / 2) / h);
  send(&in, 1);
  // Whatever rounding the absolute scale had, end exactly on the point.
  POINT p{};
  GetCursorPos(&p);
  if (p.x != x || p.y != y) SetCursorPos(x, y);
  return true;
}

bool button(const std::wstring& which, bool down, bool& known) {
  DWORD flag = 0;
  known = true;
  if (which == L"left") flag = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  else if (which == L"right") flag = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
  else if (which == L"middle") flag = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
  else {
    known = false;
    return false;
  }
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flag;
  return send(&in, 1);
}

// Gives the target's input queue a moment to take the input in before the
// probe exits (the wineserver queues it at once; this only spaces events).
void settle() { Sleep(50); }

int cmd_mouse(const std::wstring& verb, int argc, wchar_t** argv) {
  long long x = 0, y = 0;
  if (argc < 4 || !parse_int(argv[2], x) || !parse_int(argv[3], y)) return fail("usage: probe " + utf8(verb) + " X Y [left|right]", 2);
  std::wstring which = argc > 4 ? argv[4] : L"left";
  if (which != L"left" && which != L"right" && which != L"middle") return fail("unknown button " + utf8(which), 2);
  if (!move_to(static_cast<int>(x), static_cast<int>(y))) return fail("SetCursorPos failed");
  settle();
  HWND under = WindowFromPoint(POINT{static_cast<LONG>(x), static_cast<LONG>(y)});
  bool known = true, ok = true;
  if (verb == L"press" || verb == L"click") {
    ok = button(which, true, known) && ok;
    settle();
  }
  if (known && (verb == L"release" || verb == L"click")) {
    ok = button(which, false, known) && ok;
    settle();
  }
  if (!known) return fail("unknown button " + utf8(which), 2);
  emit("{\"ok\": " + jbool(ok) + ", \"pointer\": " + pointer_json() + ", \"under\": " + jhwnd(under) +
       ", \"under_class\": " + jstr(under ? class_name(under) : L"") + ", \"under_text\": " +
       jstr(under ? window_text(under) : L"") + "}");
  return ok ? 0 : 1;
}

int cmd_move(int argc, wchar_t** argv) {
  long long x = 0, y = 0;
  if (argc < 4 || !parse_int(argv[2], x) || !parse_int(argv[3], y)) return fail("usage: probe move X Y", 2);
  bool ok = move_to(static_cast<int>(x), static_cast<int>(y));
  settle();
  emit("{\"ok\": " + jbool(ok) + ", \"pointer\": " + pointer_json() + "}");
  return ok ? 0 : 1;
}

struct KeyName {
  const wchar_t* name;
  WORD vk;
};

constexpr KeyName kKeys[] = {
    {L"esc", VK_ESCAPE},      {L"escape", VK_ESCAPE}, {L"enter", VK_RETURN},  {L"return", VK_RETURN},
    {L"tab", VK_TAB},         {L"space", VK_SPACE},   {L"backspace", VK_BACK}, {L"delete", VK_DELETE},
    {L"up", VK_UP},           {L"down", VK_DOWN},     {L"left", VK_LEFT},     {L"right", VK_RIGHT},
    {L"home", VK_HOME},       {L"end", VK_END},       {L"pageup", VK_PRIOR},  {L"pagedown", VK_NEXT},
    {L"alt", VK_MENU},        {L"ctrl", VK_CONTROL},  {L"control", VK_CONTROL}, {L"shift", VK_SHIFT},
    {L"win", VK_LWIN},        {L"apps", VK_APPS},     {L"menu", VK_APPS},
};

bool key_code(std::wstring name, WORD& vk) {
  for (auto& c : name) c = static_cast<wchar_t>(towlower(c));
  for (const auto& k : kKeys) {
    if (name == k.name) {
      vk = k.vk;
      return true;
    }
  }
  if (name.size() == 1 && ((name[0] >= L'a' && name[0] <= L'z') || (name[0] >= L'0' && name[0] <= L'9'))) {
    vk = static_cast<WORD>(towupper(name[0]));
    return true;
  }
  if (name.size() >= 2 && name[0] == L'f') {
    long long n = 0;
    if (parse_int(name.c_str() + 1, n) && n >= 1 && n <= 24) {
      vk = static_cast<WORD>(VK_F1 + n - 1);
      return true;
    }
  }
  return false;
}

INPUT key_input(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_HOME || vk == VK_END ||
      vk == VK_PRIOR || vk == VK_NEXT || vk == VK_DELETE || vk == VK_LWIN || vk == VK_APPS)
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return in;
}

// "alt+f4": modifiers pressed in order, the last key pressed and released,
// the modifiers released in reverse order.
int cmd_key(int argc, wchar_t** argv) {
  if (argc < 3) return fail("usage: probe key NAME", 2);
  std::wstring keyList = argv[2];
  std::vector<WORD> keys;
  size_t at = 0;
  while (at <= keyList.size()) {
    size_t plus = keyList.find(L'+', at);
    std::wstring part = keyList.substr(at, plus == std::wstring::npos ? std::wstring::npos : plus - at);
    WORD vk = 0;
    if (!key_code(part, vk)) return fail("unknown key " + utf8(part), 2);
    keys.push_back(vk);
    if (plus == std::wstring::npos) break;
    at = plus + 1;
  }
  HWND fg = GetForegroundWindow();
  std::vector<INPUT> seq;
  for (WORD vk : keys) seq.push_back(key_input(vk, false));
  for (size_t i = keys.size(); i-- > 0;) seq.push_back(key_input(keys[i], true));
  bool ok = true;
  for (auto& in : seq) {
    ok = send(&in, 1) && ok;
    Sleep(20);
  }
  settle();
  emit("{\"ok\": " + jbool(ok) + ", \"foreground\": " + jhwnd(fg) + ", \"foreground_title\": " +
       jstr(fg ? window_text(fg) : L"") + "}");
  return ok ? 0 : 1;
}

int cmd_activate(int argc, wchar_t** argv) {
  long long v = 0;
  if (argc < 3 || !parse_int(argv[2], v)) return fail("usage: probe activate HWND", 2);
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  if (!IsWindow(h)) return fail("no such window");
  BOOL ok = SetForegroundWindow(h);
  for (int i = 0; i < 20 && GetForegroundWindow() != h; ++i) Sleep(50);
  HWND fg = GetForegroundWindow();
  emit("{\"ok\": " + jbool(ok && fg == h) + ", \"foreground\": " + jhwnd(fg) + "}");
  return fg == h ? 0 : 1;
}

// ---------------------------------------------------------------- commands ---

bool parse_filter(int argc, wchar_t** argv, int from, Filter& f, double* timeout) {
  for (int i = from; i < argc; ++i) {
    std::wstring a = argv[i];
    if (i + 1 >= argc) return false;
    if (a == L"--class") {
      f.cls = argv[++i];
      f.has_cls = true;
    } else if (a == L"--title") {
      f.title = argv[++i];
      f.has_title = true;
    } else if (a == L"--pid") {
      long long v = 0;
      if (!parse_int(argv[++i], v)) return false;
      f.pid = static_cast<DWORD>(v);
    } else if (a == L"--timeout" && timeout) {
      *timeout = wcstod(argv[++i], nullptr);
    } else {
      return false;
    }
  }
  return true;
}

int cmd_windows(int argc, wchar_t** argv) {
  Filter f;
  if (!parse_filter(argc, argv, 2, f, nullptr)) return fail("usage: probe windows [--class NAME] [--title TEXT] [--pid N]", 2);
  std::string out = "[";
  bool first = true;
  for (HWND h : top_level_windows()) {
    if (!f.matches(h)) continue;
    out += (first ? "" : ",\n ") + window_json(h);
    first = false;
  }
  emit(out + "]");
  return 0;
}

// wait: until a visible matching window exists (prints it);
// wait-gone: until no visible matching window is left (prints []).
int cmd_wait(bool gone, int argc, wchar_t** argv) {
  Filter f;
  double timeout = 30;
  if (!parse_filter(argc, argv, 2, f, &timeout) || (!f.has_title && !f.has_cls))
    return fail("usage: probe wait --title TEXT [--class C] [--timeout S]", 2);
  ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout * 1000);
  for (;;) {
    HWND found = nullptr;
    for (HWND h : top_level_windows()) {
      if (IsWindowVisible(h) && f.matches(h)) {
        found = h;
        break;
      }
    }
    if (!gone && found) {
      emit(window_json(found));
      return 0;
    }
    if (gone && !found) {
      emit("[]");
      return 0;
    }
    if (GetTickCount64() >= deadline) return fail(gone ? "window still there" : "timed out waiting for the window");
    Sleep(100);
  }
}

int cmd_screen() {
  HWND fg = GetForegroundWindow();
  emit("{\"width\": " + jnum(GetSystemMetrics(SM_CXSCREEN)) + ", \"height\": " +
       jnum(GetSystemMetrics(SM_CYSCREEN)) + ", \"pointer\": " + pointer_json() + ", \"foreground\": " + jhwnd(fg) +
       ", \"foreground_title\": " + jstr(fg ? window_text(fg) : L"") + "}");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return fail("usage: probe windows|menu|click|press|release|move|key|activate|wait|wait-gone|screen ...", 2);
  std::wstring cmd = argv[1];
  if (cmd == L"windows") return cmd_windows(argc, argv);
  if (cmd == L"menu") return cmd_menu(argc, argv);
  if (cmd == L"click" || cmd == L"press" || cmd == L"release") return cmd_mouse(cmd, argc, argv);
  if (cmd == L"move") return cmd_move(argc, argv);
  if (cmd == L"key") return cmd_key(argc, argv);
  if (cmd == L"activate") return cmd_activate(argc, argv);
  if (cmd == L"wait") return cmd_wait(false, argc, argv);
  if (cmd == L"wait-gone") return cmd_wait(true, argc, argv);
  if (cmd == L"screen") return cmd_screen();
  return fail("unknown command " + utf8(cmd), 2);
}

#endif  // STATION_PROBE_HOOK_DLL
