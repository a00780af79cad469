// The right-button filter on a browser view's windows.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

namespace win32 {

// How the filter walks windows and puts itself on one: the system's windows
// for the program, a made-up tree in the tests.
class WindowTree {
 public:
  virtual ~WindowTree() = default;
  // The direct child of parent after `after` (null: the first); null when no more.
  virtual HWND nextChild(HWND parent, HWND after) = 0;
  // Puts the filter procedure on the window; returns the previous procedure.
  virtual WNDPROC installFilter(HWND window) = 0;
};

// A window the filter was put on.
struct FilteredWindow {
  HWND window = nullptr;
  WNDPROC previous = nullptr;  // null when replacing failed: the default procedure stands in
};

// The windows filtered, in the order they were. Records are never removed
// while the program runs, so a window never gets the filter twice (even a
// new window that reuses a destroyed one's handle is skipped).
class FilterRecords {
 public:
  // A copy of the window's record.
  std::optional<FilteredWindow> find(HWND window) const;
  void append(const FilteredWindow& record) { records_.push_back(record); }
  std::size_t size() const { return records_.size(); }
  const FilteredWindow& operator[](std::size_t i) const { return records_[i]; }

 private:
  std::vector<FilteredWindow> records_;
};

// Puts the filter on the window and every window below it that exists now,
// depth first, each looked up before it is changed. A null root: nothing.
void filterWindowTree(FilterRecords& records, WindowTree& tree, HWND root);

// Puts the filter procedure on windows through the pointer-sized
// window-procedure slot of 64-bit Windows, walking them with FindWindowExW,
// and keeps their records for as long as it lives. The backend owns one for
// the whole run. Each filtered window finds its filter through a window
// property, so the procedure needs no global of its own.
class RightButtonFilter : private WindowTree {
 public:
  RightButtonFilter() = default;
  // A window still filtered afterwards goes on swallowing right presses and
  // gives everything else to the default procedure (the program's windows
  // are all gone by then).
  ~RightButtonFilter() override;
  RightButtonFilter(const RightButtonFilter&) = delete;
  RightButtonFilter& operator=(const RightButtonFilter&) = delete;

  // The window and every window below it that exists now; a window already
  // in the records is skipped.
  void filterTree(HWND root) { filterWindowTree(records_, *this, root); }
  const FilterRecords& records() const { return records_; }

 private:
  HWND nextChild(HWND parent, HWND after) override;
  WNDPROC installFilter(HWND window) override;

  FilterRecords records_;
};

// The replacement window procedure: swallows right-button presses and
// releases, passes every other message to the window's previous procedure.
LRESULT CALLBACK rightButtonFilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32
