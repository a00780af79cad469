// station_probe: its JSON output and the facts of windows it reports.
#include "probe.h"

namespace probe {

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

int fail(const std::string& why, int code) {
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



bool parse_int(const wchar_t* s, long long& v) {
  if (!s || !*s) return false;
  wchar_t* end = nullptr;
  v = wcstoll(s, &end, 0);
  return end && *end == 0;
}

}  // namespace probe
