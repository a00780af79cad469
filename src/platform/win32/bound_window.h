// Native windows bound to C++ objects. A class registered here has one
// window procedure for all its windows: it binds the object passed at
// creation to the window (WM_NCCREATE) and forwards every message to it,
// until the object unbinds itself.
#pragma once

#include <windows.h>

namespace win32 {

class BoundWindow {
 public:
  virtual ~BoundWindow() = default;
  BoundWindow() = default;
  BoundWindow(const BoundWindow&) = delete;
  BoundWindow& operator=(const BoundWindow&) = delete;

  // Registers a class whose windows are bound with createBound. A class
  // registered before (by an earlier call) counts as registered; false when
  // the system refuses it.
  static bool registerClass(HINSTANCE instance, const wchar_t* className, UINT style, HCURSOR cursor, HICON icon,
                            HBRUSH background = nullptr);

  HWND hwnd() const { return hwnd_; }

 protected:
  // Every message of the bound window; the default is DefWindowProcW.
  virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT defaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
  // Creates a window of a class registered with registerClass, bound
  // to this object. Null when the system refuses it.
  HWND createBound(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                   int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance);
  // Messages from now on (a window being destroyed late) go to DefWindowProcW.
  void unbind();
  // The window has gone (its last message): hwnd() is null from here on. An
  // object that lives only as long as its window may delete itself here.
  virtual void windowGone() {}

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

// Registers a class whose windows need no object of their own, as
// BoundWindow::registerClass does.
bool registerPlainClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure = DefWindowProcW,
                        HCURSOR cursor = nullptr);

}  // namespace win32
