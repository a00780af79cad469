// station_probe: the pointer and the keyboard, as a user works them.
#include "probe.h"

namespace probe {

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

}  // namespace probe
