// station_probe_hook.dll: answers the probe's menu query inside the program
// whose menu it is (see menu_query.h).
#include "menu_query.h"

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
