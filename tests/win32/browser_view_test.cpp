// The embedded browser view against a loopback HTTP listener: the view's
// navigations must reach the server (the control loads pages even where it
// cannot render them), its window must sit where it is put, and every order of
// tearing down the view and its parent must be clean.
#include "platform/win32/browser_view.h"
#include "platform/win32/owners.h"

#include "loopback_http_server.h"

#include <winsock2.h>
#include <windows.h>
#include <objbase.h>
#include <ole2.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

// Each answer names only what it changes; the other members keep their
// defaults, which is what GCC's warning about omitted members objects to.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// Milliseconds. (<chrono> is not usable here: its "µs" suffix has no GBK
// encoding, and this program is compiled with a GBK execution charset.)
using Millis = ULONGLONG;
Millis now() { return GetTickCount64(); }

using testing_support::LoopbackHttpServer;

// The page every request gets, at once or after a delay that keeps a load in
// flight.
LoopbackHttpServer::Answer page(DWORD delayMs = 0) {
  return {.contentType = "text/html",
          .body = "<html><head><title>t</title></head><body>page</body></html>",
          .extraHeaders = {"Cache-Control: no-store"},
          .delayMs = delayMs};
}

// A server that answers every request with the page.
class Listener : public LoopbackHttpServer {
 public:
  Listener() { answerAll(page()); }
  std::size_t requestCount() const { return requests().size(); }
};

// Runs the thread's messages until `done` holds or `limit` passes.
bool pumpUntil(const std::function<bool()>& done, Millis limit) {
  const Millis until = now() + limit;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    if (now() >= until) return false;
    Sleep(10);
  }
}

void pumpFor(Millis span) {
  pumpUntil([] { return false; }, span);
}

HWND createParent() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = L"BrowserViewTestParent";
    return RegisterClassExW(&windowClass) != 0;
  }();
  if (!registered) return nullptr;
  return CreateWindowExW(0, L"BrowserViewTestParent", L"browser view test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                         20, 20, 900, 640, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// The window's rectangle in the client coordinates of its parent.
RECT rectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

::testing::AssertionResult rectIs(const RECT& rect, int left, int top, int width, int height) {
  if (rect.left == left && rect.top == top && rect.right - rect.left == width && rect.bottom - rect.top == height) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "rectangle is (" << rect.left << ", " << rect.top << ") "
                                       << rect.right - rect.left << "x" << rect.bottom - rect.top << ", expected ("
                                       << left << ", " << top << ") " << width << "x" << height;
}

constexpr Millis kLoadLimit = 20000;

class BrowserViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(listener_.running()) << "loopback listener did not start";
    ole_.emplace();
    ASSERT_TRUE(ole_->ready());
    parent_ = createParent();
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    if (parent_ != nullptr && IsWindow(parent_)) DestroyWindow(parent_);
    pumpFor(50);
    ole_.reset();
  }

  bool waitForRequest(const std::string& prefix, Millis limit = kLoadLimit) {
    return pumpUntil([&] { return listener_.sawRequestStarting(prefix); }, limit);
  }

  Listener listener_;
  std::optional<win32::OleSession> ole_;
  HWND parent_ = nullptr;
};

TEST_F(BrowserViewTest, CreateLoadsTheAddressIntoAChildWindowAtTheRectangle) {
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, listener_.url("/bofang/"));
  ASSERT_NE(view, nullptr);
  ASSERT_NE(view->window(), nullptr);
  EXPECT_TRUE(IsWindow(view->window()));
  EXPECT_EQ(GetParent(view->window()), parent_);
  EXPECT_TRUE(GetWindowLongPtrW(view->window(), GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(IsWindowVisible(view->window()));
  EXPECT_TRUE(rectIs(rectInParent(view->window()), 8, 72, 800, 528));
  // The browser's own windows lie beneath the view's window.
  EXPECT_NE(GetWindow(view->window(), GW_CHILD), nullptr);

  EXPECT_TRUE(waitForRequest("GET /bofang/ ")) << "requests seen: " << listener_.requestCount();
}

TEST_F(BrowserViewTest, NavigateLoadsTheNewAddress) {
  auto view = win32::BrowserView::create(parent_, 0, 32, 392, 272, listener_.url("/bofang/"));
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(waitForRequest("GET /bofang/ "));

  view->navigate(listener_.url("/bofang/ad/ad2.php"));
  EXPECT_TRUE(waitForRequest("GET /bofang/ad/ad2.php "));

  view->navigate(listener_.url("/bofang/ad/ad3.php?x=1"));
  EXPECT_TRUE(waitForRequest("GET /bofang/ad/ad3.php?x=1 "));
}

TEST_F(BrowserViewTest, NavigateReturnsAtOnceEvenWhileTheServerIsSlow) {
  listener_.answerPath("/slow/a", page(3000));
  auto view = win32::BrowserView::create(parent_, 0, 0, 300, 200, "");
  ASSERT_NE(view, nullptr);
  const Millis before = now();
  view->navigate(listener_.url("/slow/a"));
  EXPECT_LT(now() - before, 1000u);
  EXPECT_TRUE(waitForRequest("GET /slow/a "));
}

TEST_F(BrowserViewTest, MoveRepositionsTheViewAndTheBrowserFillsIt) {
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, listener_.url("/bofang/"));
  ASSERT_NE(view, nullptr);
  HWND browser = GetWindow(view->window(), GW_CHILD);
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(rectIs(rectInParent(browser), 0, 0, 800, 528));

  view->move(0, 32, 392, 272);
  EXPECT_TRUE(rectIs(rectInParent(view->window()), 0, 32, 392, 272));
  pumpFor(100);
  EXPECT_TRUE(rectIs(rectInParent(browser), 0, 0, 392, 272));

  view->move(4, 48, 732, 416);
  EXPECT_TRUE(rectIs(rectInParent(view->window()), 4, 48, 732, 416));
  pumpFor(100);
  EXPECT_TRUE(rectIs(rectInParent(browser), 0, 0, 732, 416));

  // Only the position changes: the size stays, and so does the browser's.
  view->move(10, 10, 732, 416);
  EXPECT_TRUE(rectIs(rectInParent(view->window()), 10, 10, 732, 416));
  EXPECT_TRUE(rectIs(rectInParent(browser), 0, 0, 732, 416));

  // A negative size is taken as empty rather than passed on.
  view->move(10, 10, -5, -5);
  EXPECT_TRUE(rectIs(rectInParent(view->window()), 10, 10, 0, 0));

  // The view still loads after moving.
  EXPECT_TRUE(waitForRequest("GET /bofang/ "));
}

TEST_F(BrowserViewTest, EmptyAddressLoadsNothing) {
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, "");
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(IsWindow(view->window()));
  pumpFor(1000);
  EXPECT_EQ(listener_.requestCount(), 0u) << "first request: " << listener_.requests().front().requestLine;
}

TEST_F(BrowserViewTest, DestroyingTheViewThenTheParentIsClean) {
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, listener_.url("/bofang/"));
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(waitForRequest("GET /bofang/ "));
  HWND window = view->window();
  HWND browser = GetWindow(window, GW_CHILD);

  view.reset();
  EXPECT_FALSE(IsWindow(window));
  if (browser != nullptr) {
    EXPECT_FALSE(IsWindow(browser));
  }
  EXPECT_TRUE(IsWindow(parent_));
  EXPECT_EQ(GetWindow(parent_, GW_CHILD), nullptr);
  pumpFor(300);

  EXPECT_TRUE(DestroyWindow(parent_));
  parent_ = nullptr;
  pumpFor(300);
}

TEST_F(BrowserViewTest, DestroyingTheParentFirstLeavesAViewThatIsSafeToUseAndDestroy) {
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, listener_.url("/bofang/"));
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(waitForRequest("GET /bofang/ "));
  HWND window = view->window();

  EXPECT_TRUE(DestroyWindow(parent_));
  parent_ = nullptr;
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(view->window(), nullptr);
  pumpFor(300);

  // Everything is a no-op now.
  const size_t requestsBefore = listener_.requestCount();
  view->navigate(listener_.url("/bofang/ad/ad.php"));
  view->move(0, 0, 100, 100);
  pumpFor(500);
  EXPECT_EQ(listener_.requestCount(), requestsBefore);

  view.reset();
  pumpFor(300);
}

TEST_F(BrowserViewTest, DestroyingTheViewWhileAPageIsLoadingIsClean) {
  listener_.answerPath("/slow/page", page(3000));
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, listener_.url("/slow/page"));
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(waitForRequest("GET /slow/page "));

  const Millis before = now();
  view.reset();
  EXPECT_LT(now() - before, 2000u);
  // The answer arrives after the view is gone; nothing may call back into it.
  pumpFor(4000);
  EXPECT_TRUE(IsWindow(parent_));
}

TEST_F(BrowserViewTest, SeveralViewsLoadIndependently) {
  auto main = win32::BrowserView::create(parent_, 8, 72, 400, 300, listener_.url("/bofang/"));
  auto advert = win32::BrowserView::create(parent_, 420, 72, 392, 272, listener_.url("/bofang/ad/ad.php"));
  ASSERT_NE(main, nullptr);
  ASSERT_NE(advert, nullptr);
  EXPECT_NE(main->window(), advert->window());
  EXPECT_TRUE(waitForRequest("GET /bofang/ "));
  EXPECT_TRUE(waitForRequest("GET /bofang/ad/ad.php "));

  advert.reset();
  main->navigate(listener_.url("/bofang/cchat.swf"));
  EXPECT_TRUE(waitForRequest("GET /bofang/cchat.swf "));
}

TEST_F(BrowserViewTest, NoParentMeansNoView) {
  EXPECT_EQ(win32::BrowserView::create(nullptr, 0, 0, 100, 100, listener_.url("/bofang/")), nullptr);
  HWND gone = createParent();
  ASSERT_NE(gone, nullptr);
  DestroyWindow(gone);
  EXPECT_EQ(win32::BrowserView::create(gone, 0, 0, 100, 100, listener_.url("/bofang/")), nullptr);
  pumpFor(300);
  EXPECT_EQ(listener_.requestCount(), 0u);
}

// A thread that never initialized OLE itself: the view does it for the time
// it lives, and gives it back, so the thread can enter the multithreaded
// apartment afterwards.
TEST(BrowserViewThreads, InitializesOleForItselfWhenTheCallerDidNot) {
  Listener listener;
  ASSERT_TRUE(listener.running());
  bool created = false;
  bool loaded = false;
  HRESULT afterwards = E_FAIL;
  std::thread([&] {
    HWND parent = createParent();
    if (parent == nullptr) return;
    {
      auto view = win32::BrowserView::create(parent, 0, 0, 400, 300, listener.url("/bofang/"));
      created = view != nullptr;
      loaded = pumpUntil([&] { return listener.sawRequestStarting("GET /bofang/ "); }, kLoadLimit);
    }
    DestroyWindow(parent);
    pumpFor(100);
    afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterwards)) CoUninitialize();
  }).join();
  EXPECT_TRUE(created);
  EXPECT_TRUE(loaded);
  EXPECT_EQ(afterwards, S_OK) << "the view left OLE initialized on the thread";
}

// In the multithreaded apartment the control cannot be hosted in place: the
// view is a plain window and its calls do nothing.
TEST(BrowserViewThreads, InTheMultithreadedApartmentTheViewIsAPlainWindow) {
  Listener listener;
  ASSERT_TRUE(listener.running());
  bool created = false;
  bool child = false;
  bool hasBrowserWindows = true;
  bool moved = false;
  std::thread([&] {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return;
    HWND parent = createParent();
    if (parent != nullptr) {
      auto view = win32::BrowserView::create(parent, 8, 72, 400, 300, listener.url("/bofang/"));
      created = view != nullptr;
      if (view != nullptr) {
        child = GetParent(view->window()) == parent;
        hasBrowserWindows = GetWindow(view->window(), GW_CHILD) != nullptr;
        view->navigate(listener.url("/bofang/ad/ad.php"));
        view->move(0, 0, 200, 100);
        moved = rectIs(rectInParent(view->window()), 0, 0, 200, 100);
        pumpFor(1000);
      }
      view.reset();
      DestroyWindow(parent);
    }
    CoUninitialize();
  }).join();
  EXPECT_TRUE(created);
  EXPECT_TRUE(child);
  EXPECT_FALSE(hasBrowserWindows);
  EXPECT_TRUE(moved);
  EXPECT_TRUE(listener.requests().empty());
}

}  // namespace
