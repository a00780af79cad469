#include "platform/win32/bound_window.h"

namespace win32 {

namespace {

bool registerOnce(WNDCLASSEXW& wc) {
  if (RegisterClassExW(&wc) != 0) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND BoundWindow::createBound(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                              int y, int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance) {
  HWND made = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId, instance, this);
  // A window refused after WM_NCCREATE has been destroyed again already.
  if (!made) hwnd_ = nullptr;
  return made;
}

void BoundWindow::unbind() {
  if (hwnd_ && IsWindow(hwnd_)) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

LRESULT CALLBACK BoundWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* bound = static_cast<BoundWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    bound->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bound));
  }
  auto* bound = reinterpret_cast<BoundWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!bound) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The window is gone after this message; the object may live on, or go.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    bound->hwnd_ = nullptr;
    bound->windowGone();
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return bound->handleMessage(message, wParam, lParam);
}

bool BoundWindow::registerClass(HINSTANCE instance, const wchar_t* className, UINT style, HCURSOR cursor, HICON icon,
                                HBRUSH background) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hIcon = icon;
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return registerOnce(wc);
}

bool registerPlainClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, HCURSOR cursor) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.lpszClassName = className;
  return registerOnce(wc);
}

}  // namespace win32
