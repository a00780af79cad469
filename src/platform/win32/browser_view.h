// The embedded web-browser view: a child window that hosts the Windows
// WebBrowser control in place through IWebBrowser2, with a hand-written OLE
// container (client site, in-place site and frame in one object).
//
// Threading and COM: a view belongs to the thread that creates it, and all its
// calls, its destruction included, happen on that thread, which must pump
// messages (the control loads pages asynchronously through posted messages).
// The view takes its own OleInitialize reference on that thread at creation
// and gives it back on destruction, so the caller may or may not have
// initialized OLE itself. If OLE cannot be initialized there (the thread is
// in the multithreaded apartment), or the control cannot be created, the view
// is a plain white child window and every later call is a harmless no-op.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/win32/bound_window.h"
#include "platform/win32/owners.h"

struct IOleObject;
struct IOleInPlaceObject;
struct IWebBrowser2;

namespace win32 {

class BrowserView : public BoundWindow {
 public:
  // Creates the view as a child of `parent` at the rectangle (client
  // coordinates of the parent): the view's own window, then the control with
  // offline off, silent on and medium page text, then, if `address` (GBK
  // bytes) is not empty, a navigation to it. Returns nullptr only if the child
  // window cannot be created (for instance when `parent` is not a window).
  static std::unique_ptr<BrowserView> create(HWND parent, int left, int top, int width, int height,
                                             const std::string& address);

  BrowserView(const BrowserView&) = delete;
  BrowserView& operator=(const BrowserView&) = delete;

  // Deactivates and releases the control and destroys the view's window (if
  // the parent's destruction has not already taken it).
  ~BrowserView() override;

  // Starts loading `address` (GBK bytes) and returns at once.
  void navigate(const std::string& address);

  // Moves the view to the rectangle (client coordinates of the parent); the
  // browser fills it.
  void move(int left, int top, int width, int height);

  // The view's own window; the browser's windows lie beneath it. nullptr once
  // the window is gone (the parent was destroyed before the view).
  HWND window() const { return hwnd(); }

  // Gives a key message to the hosted page first (its links, its own Tab
  // order): true when the page used it up.
  bool translateAccelerator(const MSG& message);

  // Sees the view window's messages before the view does: true when it
  // answered one, with the result.
  std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)> messageHook;

 private:
  class Site;

  BrowserView() = default;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  void embedControl();
  void fitControl(int width, int height);
  void focusPage();
  void releaseControl();

  std::optional<OleSession> ole_;  // before the control's pointers: ends after them
  ComPtr<Site> site_;
  ComPtr<IOleObject> oleObject_;
  ComPtr<IOleInPlaceObject> inPlaceObject_;
  ComPtr<IWebBrowser2> browser_;
};

}  // namespace win32
