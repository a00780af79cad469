// The floor of the start-up benchmark: what any program costs under the same
// Wine to put one window of the main window's size on the screen. An empty
// borderless 815 x 631 window, centred like the main window, shown, painted
// once, and the program ends: no OLE, no browser view, no files, no network.
#include <windows.h>

namespace {

constexpr int kWidth = 815;
constexpr int kHeight = 631;
const wchar_t kClass[] = L"StationBenchFloor";

LRESULT CALLBACK floorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(hwnd, &paint);
    EndPaint(hwnd, &paint);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = instance;
  wc.lpfnWndProc = floorProc;
  wc.lpszClassName = kClass;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  if (!RegisterClassExW(&wc)) return 3;  // 1 is what Wine ends a process with that failed to start
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  HWND hwnd = CreateWindowExW(0, kClass, L"floor", WS_POPUP, left, top, kWidth, kHeight, nullptr, nullptr,
                              instance, nullptr);
  if (!hwnd) return 2;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);  // painted: the window is on the screen
  DestroyWindow(hwnd);
  return 0;
}
