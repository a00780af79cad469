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
//                                     (until such a window is visible and its
//                                      program answers messages again)
//   probe wait-gone --title TEXT [--class C] [--timeout S]
//   probe screen                      (screen size, pointer, foreground)
//   probe file-info PATH              (version information, manifest and icons
//                                      of an executable, read as the system reads them)
//   probe at X Y                      (the window under a point, its top level)
//   probe pixel X Y                   (the colour on the screen there)
//   probe region HWND                 (a window's region: box and rectangles)
//   probe place HWND X Y              (moves a window, size kept)
//   probe taskbar HWND                (what a click on its taskbar button does)
//   probe accessible HWND             (what a screen reader is told about a top-level
//                                      window and each of its child windows)
//   probe track --title TEXT [--class C] [--pid N] [--timeout S] [--settle MS]
//               [--until-at X Y] [--ready FILE]
//                                     (every change of a window's rectangle)
//   probe hold TITLE READY            (keeps the desktop open until killed: a hidden
//                                      window of class StationDesktopHold; creates
//                                      the file READY once the window is there)
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
#include <oleacc.h>

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
  // Rounded up: the system maps back with floor(d * size / 65536), which
  // then lands on the very pixel rather than the one before it.
  in.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65536 + w - 1) / w);
  in.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65536 + h - 1) / h);
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

// alive HWND: whether the window's thread answers what another program
// sends it within a second (the system's "Not Responding" test), and how
// long it took.
int cmd_alive(int argc, wchar_t** argv) {
  long long v = 0;
  if (argc < 3 || !parse_int(argv[2], v)) return fail("usage: probe alive HWND", 2);
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  if (!IsWindow(h)) return fail("no such window");
  DWORD_PTR result = 0;
  const ULONGLONG start = GetTickCount64();
  const bool answered = SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
  emit("{\"answered\": " + jbool(answered) + ", \"ms\": " + jnum(static_cast<long long>(GetTickCount64() - start)) + "}");
  return 0;
}

// cursor: the handle of the pointer's shape now.
int cmd_cursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) return fail("no cursor information");
  emit("{\"cursor\": " + jnum(static_cast<long long>(reinterpret_cast<uintptr_t>(info.hCursor))) + "}");
  return 0;
}

// ------------------------------------------------------ points and regions ---

// at X Y: the window the system finds under a screen point (the one a click
// there would reach: window regions and hidden windows are taken into
// account), with its top-level window.
int cmd_at(int argc, wchar_t** argv) {
  long long x = 0, y = 0;
  if (argc < 4 || !parse_int(argv[2], x) || !parse_int(argv[3], y)) return fail("usage: probe at X Y", 2);
  HWND h = WindowFromPoint(POINT{static_cast<LONG>(x), static_cast<LONG>(y)});
  HWND root = h ? GetAncestor(h, GA_ROOT) : nullptr;
  DWORD pid = 0;
  if (root) GetWindowThreadProcessId(root, &pid);
  emit("{\"hwnd\": " + jhwnd(h) + ", \"class\": " + jstr(h ? class_name(h) : L"") + ", \"text\": " +
       jstr(h ? window_text(h) : L"") + ", \"root\": " + jhwnd(root) + ", \"root_class\": " +
       jstr(root ? class_name(root) : L"") + ", \"root_title\": " + jstr(root ? window_text(root) : L"") +
       ", \"pid\": " + jnum(pid) + "}");
  return 0;
}

// pixel X Y: the colour shown on the screen at a point.
int cmd_pixel(int argc, wchar_t** argv) {
  long long x = 0, y = 0;
  if (argc < 4 || !parse_int(argv[2], x) || !parse_int(argv[3], y)) return fail("usage: probe pixel X Y", 2);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, static_cast<int>(x), static_cast<int>(y));
  ReleaseDC(nullptr, screen);
  if (c == CLR_INVALID) return fail("GetPixel failed");
  emit("{\"r\": " + jnum(GetRValue(c)) + ", \"g\": " + jnum(GetGValue(c)) + ", \"b\": " + jnum(GetBValue(c)) +
       "}");
  return 0;
}

// region HWND: the window's region (window coordinates) as its bounding box
// and the rectangles it is made of; "type" is "none" for a window without one.
int cmd_region(int argc, wchar_t** argv) {
  long long v = 0;
  if (argc < 3 || !parse_int(argv[2], v)) return fail("usage: probe region HWND", 2);
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  if (!IsWindow(h)) return fail("no such window");
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  int type = GetWindowRgn(h, rgn);
  const char* name = type == SIMPLEREGION ? "simple" : type == COMPLEXREGION ? "complex" : type == NULLREGION ? "null" : "none";
  std::string out = "{\"type\": \"" + std::string(name) + "\"";
  if (type == SIMPLEREGION || type == COMPLEXREGION) {
    RECT box{};
    GetRgnBox(rgn, &box);
    out += ", \"box\": " + jrect(box) + ", \"rects\": [";
    DWORD bytes = GetRegionData(rgn, 0, nullptr);
    std::vector<char> data(bytes);
    auto* rd = reinterpret_cast<RGNDATA*>(data.data());
    if (bytes && GetRegionData(rgn, bytes, rd)) {
      const RECT* r = reinterpret_cast<const RECT*>(rd->Buffer);
      for (DWORD i = 0; i < rd->rdh.nCount; ++i) {
        out += (i ? ", [" : "[") + jnum(r[i].left) + ", " + jnum(r[i].top) + ", " + jnum(r[i].right) + ", " +
               jnum(r[i].bottom) + "]";
      }
    }
    out += "]";
  }
  DeleteObject(rgn);
  emit(out + "}");
  return 0;
}

// place HWND X Y: moves a window (size and z-order kept, not activated) the
// way a program or a window manager would; the window is told of the move.
int cmd_place(int argc, wchar_t** argv) {
  long long v = 0, x = 0, y = 0;
  if (argc < 5 || !parse_int(argv[2], v) || !parse_int(argv[3], x) || !parse_int(argv[4], y))
    return fail("usage: probe place HWND X Y", 2);
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  if (!IsWindow(h)) return fail("no such window");
  BOOL ok = SetWindowPos(h, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  settle();
  RECT r{};
  GetWindowRect(h, &r);
  emit("{\"ok\": " + jbool(ok) + ", \"rect\": " + jrect(r) + "}");
  return ok ? 0 : 1;
}

// taskbar HWND: what a click on the window's taskbar button does (there is
// no taskbar on the bare X server): a minimized window is restored through
// its system command and brought to the front; a window in front is
// minimized; any other is brought to the front. Prints the window afterwards.
int cmd_taskbar(int argc, wchar_t** argv) {
  long long v = 0;
  if (argc < 3 || !parse_int(argv[2], v)) return fail("usage: probe taskbar HWND", 2);
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  if (!IsWindow(h)) return fail("no such window");
  if (IsIconic(h)) {
    PostMessageW(h, WM_SYSCOMMAND, SC_RESTORE, 0);
    for (int i = 0; i < 100 && IsIconic(h); ++i) Sleep(50);
    SetForegroundWindow(h);
  } else if (GetForegroundWindow() == h) {
    PostMessageW(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    for (int i = 0; i < 100 && !IsIconic(h); ++i) Sleep(50);
  } else {
    SetForegroundWindow(h);
  }
  settle();
  emit(window_json(h));
  return 0;
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

// wait: until a visible matching window exists and its thread answers
// (prints it); wait-gone: until no visible matching window is left (prints []).
int cmd_wait(bool gone, int argc, wchar_t** argv) {
  Filter f;
  double timeout = 30;
  if (!parse_filter(argc, argv, 2, f, &timeout) || (!f.has_title && !f.has_cls))
    return fail("usage: probe wait --title TEXT [--class C] [--timeout S]", 2);
  const ULONGLONG started = GetTickCount64();
  const ULONGLONG deadline = started + static_cast<ULONGLONG>(timeout * 1000);
  for (;;) {
    HWND found = nullptr;
    const std::vector<HWND> all = top_level_windows();
    for (HWND h : all) {
      if (IsWindowVisible(h) && f.matches(h)) {
        found = h;
        break;
      }
    }
    if (!gone && found) {
      // Shown is not yet done: the program may still be in the handler that
      // showed the window (placing it, opening others). Once its thread
      // answers a message it is back in a message loop, and what the window
      // shows now is what that handler left.
      const ULONGLONG now = GetTickCount64();
      const UINT left = now < deadline ? static_cast<UINT>(deadline - now) : 1;
      DWORD_PTR ignored = 0;
      if (!SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, left, &ignored)) {
        if (!IsWindow(found)) continue;
        return fail("the window's program does not answer");
      }
      if (!IsWindowVisible(found)) continue;
      emit(window_json(found));
      return 0;
    }
    if (gone && !found) {
      emit("[]");
      return 0;
    }
    // A desktop always has explorer's windows. A probe that sees none at all
    // is on a desktop that closed under it, and would wait blind: it says so
    // (exit 3) and the caller runs another.
    if (all.empty() && GetTickCount64() - started >= 2000) return fail("sees no window on the desktop", 3);
    if (GetTickCount64() >= deadline)
      return fail(gone ? "window still there"
                       : "timed out waiting for the window (" + std::to_string(all.size()) + " windows on the desktop)");
    Sleep(100);
  }
}

// track --title TEXT [--class C] [--pid N] [--timeout S] [--settle MS] [--until-at X Y] [--ready FILE]:
// creates FILE (a Windows path) once it is looking, waits for a matching
// window (shown or not), then samples its rectangle and visibility as fast as
// it can and prints every change, with the time in milliseconds since the
// window was found, until the window is gone, time is up, or: with --until-at,
// the window is visible with its top-left corner at (X, Y), the state it
// moves to (however long a busy program pauses on the way); without it, the
// window has kept the same state for `settle` milliseconds (default 1000).
int cmd_track(int argc, wchar_t** argv) {
  std::vector<wchar_t*> rest(argv, argv + 2);
  double settle_ms = 1000;
  const wchar_t* ready = nullptr;
  bool until = false;
  long long until_x = 0, until_y = 0;
  for (int i = 2; i < argc; ++i) {
    if (std::wstring(argv[i]) == L"--settle" && i + 1 < argc) {
      settle_ms = wcstod(argv[++i], nullptr);
    } else if (std::wstring(argv[i]) == L"--until-at" && i + 2 < argc) {
      until = parse_int(argv[i + 1], until_x) && parse_int(argv[i + 2], until_y);
      if (!until) return fail("usage: --until-at X Y", 2);
      i += 2;
    } else if (std::wstring(argv[i]) == L"--ready" && i + 1 < argc) {
      ready = argv[++i];
    } else {
      rest.push_back(argv[i]);
    }
  }
  Filter f;
  double timeout = 30;
  if (!parse_filter(static_cast<int>(rest.size()), rest.data(), 2, f, &timeout) || (!f.has_title && !f.has_cls))
    return fail("usage: probe track --title TEXT [--class C] [--pid N] [--timeout S] [--settle MS] [--until-at X Y] [--ready FILE]", 2);
  // The caller may wait for this file before it makes the window appear.
  if (ready) {
    HANDLE file = CreateFileW(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fail("cannot create the ready file");
    CloseHandle(file);
  }
  ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout * 1000);
  HWND h = nullptr;
  while (!h) {
    for (HWND w : top_level_windows()) {
      if (f.matches(w)) {
        h = w;
        break;
      }
    }
    if (h) break;
    if (GetTickCount64() >= deadline) return fail("timed out waiting for the window");
    Sleep(1);
  }
  LARGE_INTEGER freq, start, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  auto elapsed_ms = [&]() {
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
  };
  std::string out = "{\"hwnd\": " + jhwnd(h) + ", \"states\": [";
  RECT last{};
  bool last_visible = false, first = true, gone = false;
  double changed_at = 0;
  for (;;) {
    if (!IsWindow(h)) {
      gone = true;
      break;
    }
    RECT r{};
    GetWindowRect(h, &r);
    bool visible = IsWindowVisible(h) != FALSE;
    double t = elapsed_ms();
    if (first || !EqualRect(&r, &last) || visible != last_visible) {
      char ms[32];
      wsprintfA(ms, "%d", static_cast<int>(t));
      out += std::string(first ? "" : ", ") + "{\"t\": " + ms + ", \"left\": " + jnum(r.left) + ", \"top\": " +
             jnum(r.top) + ", \"width\": " + jnum(r.right - r.left) + ", \"height\": " + jnum(r.bottom - r.top) +
             ", \"visible\": " + jbool(visible) + "}";
      last = r;
      last_visible = visible;
      first = false;
      changed_at = t;
    }
    const bool arrived = until && visible && r.left == until_x && r.top == until_y;
    if (arrived || (!until && t - changed_at >= settle_ms) || GetTickCount64() >= deadline) break;
    Sleep(0);
  }
  emit(out + "], \"gone\": " + jbool(gone) + "}");
  return 0;
}

int cmd_screen() {
  HWND fg = GetForegroundWindow();
  // The keyboard focus of the foreground window's thread.
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  HWND focus = fg && GetGUIThreadInfo(GetWindowThreadProcessId(fg, nullptr), &thread) ? thread.hwndFocus : nullptr;
  emit("{\"width\": " + jnum(GetSystemMetrics(SM_CXSCREEN)) + ", \"height\": " +
       jnum(GetSystemMetrics(SM_CYSCREEN)) + ", \"pointer\": " + pointer_json() + ", \"foreground\": " + jhwnd(fg) +
       ", \"foreground_title\": " + jstr(fg ? window_text(fg) : L"") + ", \"focus\": " + jhwnd(focus) +
       ", \"focus_text\": " + jstr(focus ? window_text(focus) : L"") + "}");
  return 0;
}

// ----------------------------------------------------------- accessibility ---

// IAccessible; MinGW-w64's IID_IAccessible symbol names another GUID.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string role_name(long role) {
  switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON: return "push button";
    case ROLE_SYSTEM_LINK: return "link";
    case ROLE_SYSTEM_STATICTEXT: return "static text";
    case ROLE_SYSTEM_GRAPHIC: return "graphic";
    case ROLE_SYSTEM_PAGETABLIST: return "page tab list";
    case ROLE_SYSTEM_CLIENT: return "client";
    case ROLE_SYSTEM_WINDOW: return "window";
    default: return "role " + std::to_string(role);
  }
}

std::string state_names(long state) {
  static const std::pair<long, const char*> kNames[] = {
      {STATE_SYSTEM_INVISIBLE, "invisible"}, {STATE_SYSTEM_UNAVAILABLE, "unavailable"},
      {STATE_SYSTEM_PRESSED, "pressed"},     {STATE_SYSTEM_FOCUSABLE, "focusable"},
      {STATE_SYSTEM_FOCUSED, "focused"}};
  std::string out = "[";
  for (const auto& [bit, name] : kNames) {
    if (state & bit) out += std::string(out.size() > 1 ? ", " : "") + "\"" + name + "\"";
  }
  return out + "]";
}

// The accessibility and COM functions, loaded only by the command that needs
// them: every other command starts as quickly as before.
struct AccessibilityApi {
  HRESULT(WINAPI* objectFromWindow)(HWND, DWORD, REFIID, void**) = nullptr;
  void(WINAPI* freeString)(BSTR) = nullptr;
  HRESULT(WINAPI* initialize)(void*, DWORD) = nullptr;
  void(WINAPI* uninitialize)() = nullptr;

  bool load() {
    HMODULE oleacc = LoadLibraryW(L"oleacc.dll"), oleaut = LoadLibraryW(L"oleaut32.dll"),
            ole = LoadLibraryW(L"ole32.dll");
    if (!oleacc || !oleaut || !ole) return false;
    find(objectFromWindow, oleacc, "AccessibleObjectFromWindow");
    find(freeString, oleaut, "SysFreeString");
    find(initialize, ole, "CoInitializeEx");
    find(uninitialize, ole, "CoUninitialize");
    return objectFromWindow && freeString && initialize && uninitialize;
  }

 private:
  template <typename Function>
  static void find(Function& function, HMODULE module, const char* name) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
};

// One object's answers as JSON members, or an "error" member.
std::string accessible_json(const AccessibilityApi& api, HWND h, LONG object) {
  IAccessible* acc = nullptr;
  HRESULT hr = api.objectFromWindow(h, static_cast<DWORD>(object), kIidAccessible, reinterpret_cast<void**>(&acc));
  if (FAILED(hr) || !acc) return "\"error\": \"AccessibleObjectFromWindow failed " + std::to_string(hr) + "\"";
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    BSTR value = nullptr;
    std::wstring out;
    if ((acc->*get)(self, &value) == S_OK && value) out = value;
    if (value) api.freeString(value);
    return jstr(out);
  };
  VARIANT role{}, state{};
  std::string out = "\"name\": " + text(&IAccessible::get_accName) +
                    ", \"value\": " + text(&IAccessible::get_accValue) +
                    ", \"default_action\": " + text(&IAccessible::get_accDefaultAction);
  out += ", \"role\": " + jstr8(acc->get_accRole(self, &role) == S_OK && role.vt == VT_I4 ? role_name(role.lVal) : "");
  const long bits = acc->get_accState(self, &state) == S_OK && state.vt == VT_I4 ? state.lVal : 0;
  out += ", \"state\": " + state_names(bits);
  acc->Release();
  return out;
}

int cmd_accessible(int argc, wchar_t** argv) {
  long long v = 0;
  if (argc < 3 || !parse_int(argv[2], v)) return fail("usage: probe accessible HWND", 2);
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  if (!IsWindow(h)) return fail("no such window");
  AccessibilityApi api;
  if (!api.load()) return fail("no accessibility functions");
  api.initialize(nullptr, COINIT_APARTMENTTHREADED);
  std::vector<HWND> children;
  for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  std::string out = "{\"window\": {" + accessible_json(api, h, OBJID_WINDOW) + "}, \"controls\": [";
  for (size_t i = 0; i < children.size(); ++i) {
    out += std::string(i ? ", " : "") + "{\"hwnd\": " + jhwnd(children[i]) + ", \"class\": " +
           jstr(class_name(children[i])) + ", \"text\": " + jstr(window_text(children[i])) + ", " +
           accessible_json(api, children[i], OBJID_CLIENT) + "}";
  }
  api.uninitialize();
  emit(out + "]}");
  return 0;
}

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

// The probe sees the screen as it is, in physical pixels, at any DPI: the
// program under test is DPI aware, and the tests compare what both see.
void becomeDpiAware() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  using SetContext = BOOL(WINAPI*)(HANDLE);
  auto setContext = user32 ? reinterpret_cast<SetContext>(reinterpret_cast<void*>(
                                 GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                           : nullptr;
  const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  if (!setContext || !setContext(perMonitorV2)) SetProcessDPIAware();
}

// hold TITLE READY: stays a user of the desktop until it is killed. Wine closes a
// desktop one second after its last program leaves it (explorer gets WM_CLOSE);
// a program that opened the desktop just before that, but had not yet made a
// window, is left on a dead desktop where it sees no window at all, and its
// own windows are seen by nobody. Holding the desktop while a test's programs
// come and go closes that gap. The hidden window, titled TITLE, lets the
// caller see that the hold landed on the desktop the other programs use.
int cmd_hold(int argc, wchar_t** argv) {
  if (argc < 4) return fail("usage: probe hold TITLE READY", 2);
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg == WM_CLOSE) return 0;  // only being killed ends the hold
    return DefWindowProcW(h, msg, wp, lp);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"StationDesktopHold";
  if (!RegisterClassW(&wc)) return fail("cannot register the hold window class");
  HWND h = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, argv[2], WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           wc.hInstance, nullptr);
  if (!h) return fail("cannot create the hold window");
  HANDLE ready = CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return fail("cannot create the ready file");
  CloseHandle(ready);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

// Leaves the file STATION_PROBE_STARTED names, before anything else: a run
// that gives no answer may have acted once it is there, and surely did not
// act when it is missing (Wine never got the probe going).
void markStarted() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"STATION_PROBE_STARTED", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  markStarted();
  becomeDpiAware();
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
  if (cmd == L"hold") return cmd_hold(argc, argv);
  if (cmd == L"file-info") return cmd_file_info(argc, argv);
  if (cmd == L"at") return cmd_at(argc, argv);
  if (cmd == L"alive") return cmd_alive(argc, argv);
  if (cmd == L"cursor") return cmd_cursor();
  if (cmd == L"pixel") return cmd_pixel(argc, argv);
  if (cmd == L"region") return cmd_region(argc, argv);
  if (cmd == L"place") return cmd_place(argc, argv);
  if (cmd == L"taskbar") return cmd_taskbar(argc, argv);
  if (cmd == L"track") return cmd_track(argc, argv);
  if (cmd == L"accessible") return cmd_accessible(argc, argv);
  return fail("unknown command " + utf8(cmd), 2);
}

#endif  // STATION_PROBE_HOOK_DLL
