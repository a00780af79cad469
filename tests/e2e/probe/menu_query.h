// The query through which the probe reads another program's popup menu with
// the hook DLL (menu.cpp asks, menu_hook.cpp answers).
#pragma once

#include <windows.h>

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
