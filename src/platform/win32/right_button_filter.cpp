// ===========================================================================
//  PLATFORM SEAM (Win32)
// ===========================================================================
#include "platform/win32/right_button_filter.h"

namespace win32 {

namespace {
// A window procedure has no context of its own: the filter finds its records
// in the one table of the program.
const net::SubclassTable* g_table = nullptr;
}  // namespace

void setFilterTable(const net::SubclassTable* table) { g_table = table; }

std::uintptr_t Win32WindowTree::nextChild(std::uintptr_t parent, std::uintptr_t after) {
  return reinterpret_cast<std::uintptr_t>(
      FindWindowExA(reinterpret_cast<HWND>(parent), reinterpret_cast<HWND>(after), nullptr, nullptr));
}

std::uintptr_t Win32WindowTree::installFilter(std::uintptr_t window) {
  return static_cast<std::uintptr_t>(SetWindowLongPtrA(reinterpret_cast<HWND>(window), GWLP_WNDPROC,
                                                       reinterpret_cast<LONG_PTR>(&rightButtonFilterProc)));
}

LRESULT CALLBACK rightButtonFilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::optional<net::SubclassRecord> record;
  if (g_table) record = g_table->find(reinterpret_cast<std::uintptr_t>(window));
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) return 0;
  if (!record || record->previousProcedure == 0) return DefWindowProcA(window, message, wParam, lParam);
  return CallWindowProcA(reinterpret_cast<WNDPROC>(record->previousProcedure), window, message, wParam, lParam);
}

}  // namespace win32
