// The DPI of the screens
//
// The program is per-monitor DPI aware (its manifest says so): Win32 hands it
// physical pixels, and the backend scales the model's logical ones with
// ui::DpiScale. The per-monitor functions arrived in Windows 10; on older
// systems, or when one fails, the screen DC's DPI stands in.
#pragma once

#include <windows.h>

namespace win32 {

// The DPI of the primary screen, for which the system made its stock fonts.
int systemDpi();
// The DPI of the screen the window is on.
int windowDpi(HWND hwnd);

}  // namespace win32
