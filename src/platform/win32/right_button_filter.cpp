// ===========================================================================
//  PLATFORM SEAM (Win32)
// ===========================================================================
#include "platform/win32/right_button_filter.h"

#include "platform/win32/win32_backend.h"

namespace win32 {

namespace {
// The window property through which a filtered window finds its filter.
constexpr wchar_t kFilterProperty[] = L"StationRightButtonFilter";
}  // namespace

RightButtonFilter::~RightButtonFilter() {
  for (std::size_t i = 0; i < table_.size(); ++i) {
    HWND window = reinterpret_cast<HWND>(table_[i].window);
    if (IsWindow(window) && GetPropW(window, kFilterProperty) == this) RemovePropW(window, kFilterProperty);
  }
}

void RightButtonFilter::filterTree(HWND root) {
  ui::subclassWindowTree(table_, *this, reinterpret_cast<std::uintptr_t>(root));
}

std::uintptr_t RightButtonFilter::nextChild(std::uintptr_t parent, std::uintptr_t after) {
  return reinterpret_cast<std::uintptr_t>(
      FindWindowExW(reinterpret_cast<HWND>(parent), reinterpret_cast<HWND>(after), nullptr, nullptr));
}

std::uintptr_t RightButtonFilter::installFilter(std::uintptr_t window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  // The property first: the new procedure may run as soon as it is in place.
  // Wide forms throughout: a Unicode window replaced or called through the
  // ANSI ones gets its text messages narrowed to the system's code page.
  SetPropW(hwnd, kFilterProperty, this);
  return static_cast<std::uintptr_t>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&rightButtonFilterProc)));
}

LRESULT CALLBACK rightButtonFilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* filter = static_cast<const RightButtonFilter*>(GetPropW(window, kFilterProperty));
  std::optional<ui::SubclassRecord> record;
  if (filter) record = filter->records().find(reinterpret_cast<std::uintptr_t>(window));
  if (message == WM_NCDESTROY) RemovePropW(window, kFilterProperty);
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) return 0;
  if (!record || record->previousProcedure == 0) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(reinterpret_cast<WNDPROC>(record->previousProcedure), window, message, wParam, lParam);
}

// The backend's capability: the control's own window (a browser view's) and
// what lies below it.
void Win32Backend::filterRightButton(ui::WindowState& window, ui::ControlState& control) {
  rightButtonFilter_.filterTree(nativeControl(window.id(), control.name()));
}

}  // namespace win32
