// ===========================================================================
//  PLATFORM SEAM (Win32)
// ===========================================================================
#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/text_win32.h"

namespace win32 {

namespace {
int showCommand(net::ShowCommand show) { return show == net::ShowCommand::Normal ? SW_SHOWNORMAL : SW_SHOW; }
}  // namespace

std::uintptr_t Win32Shell::findTopLevelWindow(const std::string& title) {
  return reinterpret_cast<std::uintptr_t>(FindWindowExA(nullptr, nullptr, nullptr, title.c_str()));
}

std::intptr_t Win32Shell::open(std::uintptr_t owner, const std::string& address, net::ShowCommand show) {
  HINSTANCE result = ShellExecuteA(reinterpret_cast<HWND>(owner), "open", address.c_str(), nullptr, nullptr,
                                   showCommand(show));
  return reinterpret_cast<std::intptr_t>(result);
}

std::optional<std::string> Win32Shell::classesRootDefault(const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::nullopt;
  // The default value, at most 260 bytes with its terminator.
  char value[260] = {};
  LONG size = sizeof value;
  LONG status = RegQueryValueA(opened, nullptr, value, &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return std::string(value, strnlen(value, sizeof value));
}

std::uintptr_t Win32Shell::run(const std::string& commandLine, net::ShowCommand show) {
  return WinExec(commandLine.c_str(), static_cast<UINT>(showCommand(show)));
}

void Win32Shell::informationBox(const std::string& text, const std::string& caption) {
  // Drawn from UTF-16 so the text reads right on any system locale.
  MessageBoxW(nullptr, wideFromGbk(text).c_str(), wideFromGbk(caption).c_str(), MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

}  // namespace win32
