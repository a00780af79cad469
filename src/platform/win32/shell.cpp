#include "platform/win32/shell.h"

#include <windows.h>
#include <shellapi.h>

#include <iterator>

#include "platform/win32/gbk_text.h"
#include "platform/win32/owners.h"

namespace win32 {

namespace {
// WinExec says a command ran with a result above 31.
constexpr std::uintptr_t kCommandRan = 33;

int showCommand(net::ShowCommand show) { return show == net::ShowCommand::Normal ? SW_SHOWNORMAL : SW_SHOW; }
}  // namespace

// Every text goes to the system in UTF-16, converted from GBK, so an address
// or a title holding Chinese reaches it whole on any system code page.

std::uintptr_t Win32Shell::findTopLevelWindow(const std::string& title) {
  return reinterpret_cast<std::uintptr_t>(FindWindowExW(nullptr, nullptr, nullptr, wideFromGbk(title).c_str()));
}

std::intptr_t Win32Shell::open(std::uintptr_t owner, const std::string& address, net::ShowCommand show) {
  HINSTANCE result = ShellExecuteW(reinterpret_cast<HWND>(owner), L"open", wideFromGbk(address).c_str(), nullptr,
                                   nullptr, showCommand(show));
  return reinterpret_cast<std::intptr_t>(result);
}

std::optional<std::string> Win32Shell::classesRootDefault(const std::string& key) {
  RegistryKey opened;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, wideFromGbk(key).c_str(), 0, KEY_QUERY_VALUE, opened.put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The default value, at most 260 characters with its terminator.
  wchar_t value[260] = {};
  LONG size = sizeof value;
  if (RegQueryValueW(opened.get(), nullptr, value, &size) != ERROR_SUCCESS) return std::nullopt;
  return gbkFromWide(std::wstring_view(value, wcsnlen(value, std::size(value))));
}

std::uintptr_t Win32Shell::run(const std::string& commandLine, net::ShowCommand show) {
  // As WinExec runs a command line, but from UTF-16: the address in it may
  // hold characters the system's code page has not.
  std::wstring line = wideFromGbk(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand(show));
  PROCESS_INFORMATION process{};
  if (line.empty() ||
      !CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    // WinExec's codes: the system's error where it is one of them (file or
    // path not found, bad format), else 0.
    const DWORD error = GetLastError();
    return error < 32 ? error : 0;
  }
  // The program runs on by itself: its handles are let go here.
  const KernelHandle thread(process.hThread), started(process.hProcess);
  return kCommandRan;
}

}  // namespace win32
