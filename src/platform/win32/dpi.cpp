#include "platform/win32/dpi.h"

#include "platform/win32/owners.h"

namespace win32 {

namespace {

template <typename Function>
Function user32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int screenDcDpi() {
  const WindowDc screen(nullptr);
  if (!screen) return USER_DEFAULT_SCREEN_DPI;
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

int systemDpi() {
  using GetDpiForSystemFunction = UINT(WINAPI*)();
  static const auto getDpiForSystem = user32Function<GetDpiForSystemFunction>("GetDpiForSystem");
  const int dpi = getDpiForSystem ? static_cast<int>(getDpiForSystem()) : 0;
  return dpi > 0 ? dpi : screenDcDpi();
}

int windowDpi(HWND hwnd) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  const int dpi = getDpiForWindow && hwnd ? static_cast<int>(getDpiForWindow(hwnd)) : 0;
  return dpi > 0 ? dpi : systemDpi();
}

}  // namespace win32
