// station_probe's shared parts: its JSON output and the facts of windows
// (common.cpp); each feature's commands are in a file of their own, and
// main.cpp reads the command line.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace probe {

std::string utf8(const std::wstring& w);
std::string jstr8(const std::string& in);
std::string jstr(const std::wstring& w);
std::string jnum(long long v);
std::string jbool(bool v);
std::string jhwnd(HWND h);
std::string jrect(const RECT& r);
void emit(const std::string& json);
int fail(const std::string& why, int code = 1);
std::wstring window_text(HWND h);
std::wstring class_name(HWND h);
std::vector<HWND> top_level_windows();
std::vector<HWND> direct_children(HWND parent);
std::string child_json(HWND h, HWND parent);
std::string window_json(HWND h);
bool parse_int(const wchar_t* s, long long& v);
// In input.cpp: where the pointer is, as JSON; a moment for input to land.
std::string pointer_json();
void settle();

// Which windows a command is about.
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

// The commands; each prints one JSON value and returns the exit status.
int cmd_menu(int argc, wchar_t** argv);
int cmd_mouse(const std::wstring& verb, int argc, wchar_t** argv);
int cmd_move(int argc, wchar_t** argv);
int cmd_key(int argc, wchar_t** argv);
int cmd_activate(int argc, wchar_t** argv);
int cmd_alive(int argc, wchar_t** argv);
int cmd_cursor();
int cmd_at(int argc, wchar_t** argv);
int cmd_pixel(int argc, wchar_t** argv);
int cmd_region(int argc, wchar_t** argv);
int cmd_place(int argc, wchar_t** argv);
int cmd_taskbar(int argc, wchar_t** argv);
int cmd_windows(int argc, wchar_t** argv);
int cmd_wait(bool gone, int argc, wchar_t** argv);
int cmd_track(int argc, wchar_t** argv);
int cmd_screen();
int cmd_accessible(int argc, wchar_t** argv);
int cmd_file_info(int argc, wchar_t** argv);
int cmd_trust_root(int argc, wchar_t** argv);
int cmd_hold(int argc, wchar_t** argv);

}  // namespace probe
