#include "platform/win32/right_button_filter.h"

namespace win32 {

namespace {
// The window property through which a filtered window finds its filter.
constexpr wchar_t kFilterProperty[] = L"StationRightButtonFilter";
}  // namespace

std::optional<FilteredWindow> FilterRecords::find(HWND window) const {
  for (const FilteredWindow& record : records_) {
    if (record.window == window) return record;
  }
  return std::nullopt;
}

void filterWindowTree(FilterRecords& records, WindowTree& tree, HWND root) {
  const auto filterOnce = [&](HWND window) {
    if (records.find(window)) return;
    // A failed replacement still gets its record; it is never used.
    records.append(FilteredWindow{window, tree.installFilter(window)});
  };
  if (root == nullptr) return;
  filterOnce(root);
  // The descent uses a stack of its own: the depth of a window tree is the
  // browser's business, and must not be able to exhaust the program's stack.
  struct Level {
    HWND parent;
    HWND child;  // the child being done; null before the first
  };
  std::vector<Level> stack{{root, nullptr}};
  while (!stack.empty()) {
    Level& level = stack.back();
    // The next sibling is asked for once the previous child's tree is done.
    HWND next = tree.nextChild(level.parent, level.child);
    if (next == nullptr) {
      stack.pop_back();
      continue;
    }
    level.child = next;
    filterOnce(next);
    stack.push_back({next, nullptr});
  }
}

RightButtonFilter::~RightButtonFilter() {
  for (std::size_t i = 0; i < records_.size(); ++i) {
    HWND window = records_[i].window;
    if (IsWindow(window) && GetPropW(window, kFilterProperty) == this) RemovePropW(window, kFilterProperty);
  }
}

HWND RightButtonFilter::nextChild(HWND parent, HWND after) { return FindWindowExW(parent, after, nullptr, nullptr); }

WNDPROC RightButtonFilter::installFilter(HWND window) {
  // The property first: the new procedure may run as soon as it is in place.
  // Wide forms throughout: a Unicode window replaced or called through the
  // ANSI ones gets its text messages narrowed to the system's code page.
  SetPropW(window, kFilterProperty, this);
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&rightButtonFilterProc)));
}

LRESULT CALLBACK rightButtonFilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* filter = static_cast<const RightButtonFilter*>(GetPropW(window, kFilterProperty));
  std::optional<FilteredWindow> record;
  if (filter) record = filter->records().find(window);
  if (message == WM_NCDESTROY) RemovePropW(window, kFilterProperty);
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) return 0;
  if (!record || record->previous == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(record->previous, window, message, wParam, lParam);
}

}  // namespace win32
