// The browser view's container side against a stand-in control: a recording
// object registered for the WebBrowser class on the test thread, so the view's
// CoCreateInstance gets it instead of the system's browser. It checks what the
// real control cannot tell us under Wine: the order and arguments of the
// calls, the address conversion from GBK, the client site's interfaces and its
// single reference count, that every reference is given back, and that the
// view degrades to a plain window when the control fails.
#include "platform/win32/browser_view.h"
#include "platform/win32/owners.h"

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <ole2.h>
#include <oleidl.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string narrow(std::wstring_view wide) {
  std::string out;
  for (wchar_t c : wide) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      char hex[16];
      wsprintfA(hex, "\\u%04X", static_cast<unsigned>(c));
      out += hex;
    }
  }
  return out;
}

std::string describe(const VARIANT* value) {
  if (value == nullptr) return "null";
  switch (value->vt) {
    case VT_EMPTY:
      return "empty";
    case VT_I4:
      return "i4:" + std::to_string(value->lVal);
    case VT_ERROR:
      return "error";
    default:
      return "vt" + std::to_string(value->vt);
  }
}

// What the stand-in control can be told to do wrong.
struct Behaviour {
  bool failCreation = false;  // the class factory fails, as with no engine
  bool failDoVerb = false;    // in-place activation fails
};

#define UNUSED_METHOD(name, ...) \
  HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }

class FakeBrowser final : public IOleObject, public IOleInPlaceObject, public IWebBrowser2 {
 public:
  explicit FakeBrowser(const Behaviour& behaviour) : behaviour_(behaviour) {}

  std::vector<std::string> calls;
  std::vector<std::string> problems;  // container misbehaviour seen from the control's side
  HWND ownWindow = nullptr;           // the control's window, beneath the view's
  bool viewWindowAliveAtDeactivate = false;
  IOleClientSite* site = nullptr;
  LONG references = 1;  // the test's

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IOleObject) {
      *object = static_cast<IOleObject*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
      *object = static_cast<IOleInPlaceObject*>(this);
    } else if (iid == IID_IDispatch || iid == IID_IWebBrowser || iid == IID_IWebBrowserApp ||
               iid == IID_IWebBrowser2) {
      *object = static_cast<IWebBrowser2*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }  // owned by the test

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* newSite) override {
    calls.push_back(newSite != nullptr ? "SetClientSite(site)" : "SetClientSite(null)");
    if (newSite != nullptr) newSite->AddRef();
    if (site != nullptr) {
      const ULONG left = site->Release();
      if (newSite == nullptr && left != 1) problems.push_back("site references left: " + std::to_string(left));
    }
    site = newSite;
    if (site != nullptr) checkSite();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** out) override {
    *out = site;
    if (site != nullptr) site->AddRef();
    return S_OK;
  }
  UNUSED_METHOD(SetHostNames, LPCOLESTR, LPCOLESTR)
  HRESULT STDMETHODCALLTYPE Close(DWORD option) override {
    calls.push_back("Close(" + std::to_string(option) + ")");
    return S_OK;
  }
  UNUSED_METHOD(SetMoniker, DWORD, IMoniker*)
  UNUSED_METHOD(GetMoniker, DWORD, DWORD, IMoniker**)
  UNUSED_METHOD(InitFromData, IDataObject*, BOOL, DWORD)
  UNUSED_METHOD(GetClipboardData, DWORD, IDataObject**)
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
                                   LPCRECT rect) override {
    calls.push_back("DoVerb(" + std::to_string(verb) + ")");
    if (behaviour_.failDoVerb) return E_FAIL;
    if (activeSite != site) problems.push_back("DoVerb got another site");
    if (rect == nullptr) {
      problems.push_back("DoVerb without a rectangle");
      return E_INVALIDARG;
    }
    // Activate in place the way a control does: ask the site for its window
    // and context, then make a window beneath it.
    IOleInPlaceSite* inPlace = nullptr;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
      problems.push_back("site is no in-place site");
      return E_FAIL;
    }
    HWND siteWindow = nullptr;
    inPlace->GetWindow(&siteWindow);
    if (siteWindow != parent) problems.push_back("site window differs from DoVerb's parent");
    if (inPlace->CanInPlaceActivate() != S_OK) problems.push_back("CanInPlaceActivate refused");
    inPlace->OnInPlaceActivate();
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    if (FAILED(inPlace->GetWindowContext(&frame, &document, &position, &clip, &info)) || frame == nullptr) {
      problems.push_back("GetWindowContext failed");
    } else {
      HWND frameWindow = nullptr;
      frame->GetWindow(&frameWindow);
      if (frameWindow != parent) problems.push_back("frame window differs");
      if (info.hwndFrame != GetAncestor(parent, GA_ROOT)) problems.push_back("hwndFrame is not the top window");
      RECT client{};
      GetClientRect(parent, &client);
      if (!EqualRect(&position, &client)) problems.push_back("position is not the view's client area");
      frame->SetStatusText(L"x");
      frame->Release();
      if (document != nullptr) document->Release();
    }
    inPlace->Release();
    ownWindow = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, rect->left, rect->top,
                                rect->right - rect->left, rect->bottom - rect->top, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    return S_OK;
  }
  UNUSED_METHOD(EnumVerbs, IEnumOLEVERB**)
  UNUSED_METHOD(Update)
  UNUSED_METHOD(IsUpToDate)
  UNUSED_METHOD(GetUserClassID, CLSID*)
  UNUSED_METHOD(GetUserType, DWORD, LPOLESTR*)
  UNUSED_METHOD(SetExtent, DWORD, SIZEL*)
  UNUSED_METHOD(GetExtent, DWORD, SIZEL*)
  UNUSED_METHOD(Advise, IAdviseSink*, DWORD*)
  UNUSED_METHOD(Unadvise, DWORD)
  UNUSED_METHOD(EnumAdvise, IEnumSTATDATA**)
  UNUSED_METHOD(GetMiscStatus, DWORD, DWORD*)
  UNUSED_METHOD(SetColorScheme, LOGPALETTE*)

  // IOleWindow, IOleInPlaceObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    *window = ownWindow;
    return S_OK;
  }
  UNUSED_METHOD(ContextSensitiveHelp, BOOL)
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
    calls.push_back("InPlaceDeactivate");
    viewWindowAliveAtDeactivate = ownWindow != nullptr && IsWindow(GetParent(ownWindow));
    if (ownWindow != nullptr) DestroyWindow(ownWindow);
    ownWindow = nullptr;
    return S_OK;
  }
  UNUSED_METHOD(UIDeactivate)
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override {
    calls.push_back("SetObjectRects(" + std::to_string(position->left) + "," + std::to_string(position->top) + "," +
                    std::to_string(position->right) + "," + std::to_string(position->bottom) + ")");
    if (!EqualRect(position, clip)) problems.push_back("clip differs from position");
    return S_OK;
  }
  UNUSED_METHOD(ReactivateAndUndo)

  // IDispatch
  UNUSED_METHOD(GetTypeInfoCount, UINT*)
  UNUSED_METHOD(GetTypeInfo, UINT, LCID, ITypeInfo**)
  UNUSED_METHOD(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
  UNUSED_METHOD(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)

  // IWebBrowser
  UNUSED_METHOD(GoBack)
  UNUSED_METHOD(GoForward)
  UNUSED_METHOD(GoHome)
  UNUSED_METHOD(GoSearch)
  HRESULT STDMETHODCALLTYPE Navigate(BSTR url, VARIANT* flags, VARIANT* frame, VARIANT* postData,
                                     VARIANT* headers) override {
    const std::wstring address = url != nullptr ? std::wstring(url, SysStringLen(url)) : L"(null)";
    calls.push_back("Navigate(" + narrow(address) + "," + describe(flags) + "," + describe(frame) + "," +
                    describe(postData) + "," + describe(headers) + ")");
    return S_OK;
  }
  UNUSED_METHOD(Refresh)
  UNUSED_METHOD(Refresh2, VARIANT*)
  UNUSED_METHOD(Stop)
  UNUSED_METHOD(get_Application, IDispatch**)
  UNUSED_METHOD(get_Parent, IDispatch**)
  UNUSED_METHOD(get_Container, IDispatch**)
  UNUSED_METHOD(get_Document, IDispatch**)
  UNUSED_METHOD(get_TopLevelContainer, VARIANT_BOOL*)
  UNUSED_METHOD(get_Type, BSTR*)
  UNUSED_METHOD(get_Left, LONG*)
  UNUSED_METHOD(put_Left, LONG)
  UNUSED_METHOD(get_Top, LONG*)
  UNUSED_METHOD(put_Top, LONG)
  UNUSED_METHOD(get_Width, LONG*)
  UNUSED_METHOD(put_Width, LONG)
  UNUSED_METHOD(get_Height, LONG*)
  UNUSED_METHOD(put_Height, LONG)
  UNUSED_METHOD(get_LocationName, BSTR*)
  UNUSED_METHOD(get_LocationURL, BSTR*)
  UNUSED_METHOD(get_Busy, VARIANT_BOOL*)

  // IWebBrowserApp
  UNUSED_METHOD(Quit)
  UNUSED_METHOD(ClientToWindow, int*, int*)
  UNUSED_METHOD(PutProperty, BSTR, VARIANT)
  UNUSED_METHOD(GetProperty, BSTR, VARIANT*)
  UNUSED_METHOD(get_Name, BSTR*)
  UNUSED_METHOD(get_HWND, SHANDLE_PTR*)
  UNUSED_METHOD(get_FullName, BSTR*)
  UNUSED_METHOD(get_Path, BSTR*)
  UNUSED_METHOD(get_Visible, VARIANT_BOOL*)
  UNUSED_METHOD(put_Visible, VARIANT_BOOL)
  UNUSED_METHOD(get_StatusBar, VARIANT_BOOL*)
  UNUSED_METHOD(put_StatusBar, VARIANT_BOOL)
  UNUSED_METHOD(get_StatusText, BSTR*)
  UNUSED_METHOD(put_StatusText, BSTR)
  UNUSED_METHOD(get_ToolBar, int*)
  UNUSED_METHOD(put_ToolBar, int)
  UNUSED_METHOD(get_MenuBar, VARIANT_BOOL*)
  UNUSED_METHOD(put_MenuBar, VARIANT_BOOL)
  UNUSED_METHOD(get_FullScreen, VARIANT_BOOL*)
  UNUSED_METHOD(put_FullScreen, VARIANT_BOOL)

  // IWebBrowser2
  UNUSED_METHOD(Navigate2, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
  UNUSED_METHOD(QueryStatusWB, OLECMDID, OLECMDF*)
  HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override {
    calls.push_back("ExecWB(" + std::to_string(command) + "," + std::to_string(option) + "," + describe(in) + "," +
                    describe(out) + ")");
    return S_OK;
  }
  UNUSED_METHOD(ShowBrowserBar, VARIANT*, VARIANT*, VARIANT*)
  UNUSED_METHOD(get_ReadyState, READYSTATE*)
  UNUSED_METHOD(get_Offline, VARIANT_BOOL*)
  HRESULT STDMETHODCALLTYPE put_Offline(VARIANT_BOOL offline) override {
    calls.push_back("put_Offline(" + std::to_string(offline) + ")");
    return S_OK;
  }
  UNUSED_METHOD(get_Silent, VARIANT_BOOL*)
  HRESULT STDMETHODCALLTYPE put_Silent(VARIANT_BOOL silent) override {
    calls.push_back("put_Silent(" + std::to_string(silent) + ")");
    return S_OK;
  }
  UNUSED_METHOD(get_RegisterAsBrowser, VARIANT_BOOL*)
  UNUSED_METHOD(put_RegisterAsBrowser, VARIANT_BOOL)
  UNUSED_METHOD(get_RegisterAsDropTarget, VARIANT_BOOL*)
  UNUSED_METHOD(put_RegisterAsDropTarget, VARIANT_BOOL)
  UNUSED_METHOD(get_TheaterMode, VARIANT_BOOL*)
  UNUSED_METHOD(put_TheaterMode, VARIANT_BOOL)
  UNUSED_METHOD(get_AddressBar, VARIANT_BOOL*)
  UNUSED_METHOD(put_AddressBar, VARIANT_BOOL)
  UNUSED_METHOD(get_Resizable, VARIANT_BOOL*)
  UNUSED_METHOD(put_Resizable, VARIANT_BOOL)

 private:
  // The site must answer as client site, in-place site, frame and UI window,
  // all as one object with one reference count.
  void checkSite() {
    const IID* ids[] = {&IID_IUnknown, &IID_IOleClientSite, &IID_IOleWindow, &IID_IOleInPlaceSite,
                        &IID_IOleInPlaceUIWindow, &IID_IOleInPlaceFrame};
    IUnknown* identity = nullptr;
    site->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    if (identity == nullptr) {
      problems.push_back("site has no IUnknown");
      return;
    }
    for (const IID* id : ids) {
      IUnknown* part = nullptr;
      if (FAILED(site->QueryInterface(*id, reinterpret_cast<void**>(&part))) || part == nullptr) {
        problems.push_back("site lacks an interface");
        continue;
      }
      IUnknown* partIdentity = nullptr;
      part->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&partIdentity));
      if (partIdentity != identity) problems.push_back("site interfaces differ in identity");
      // One count: a reference taken through one interface shows through all.
      const ULONG before = identity->AddRef();
      const ULONG through = part->AddRef();
      if (through != before + 1) problems.push_back("site interfaces count separately");
      part->Release();
      identity->Release();
      if (partIdentity != nullptr) partIdentity->Release();
      part->Release();
    }
    void* unknown = nullptr;
    if (site->QueryInterface(IID_IOleObject, &unknown) != E_NOINTERFACE || unknown != nullptr) {
      problems.push_back("site claims an interface it lacks");
    }
    identity->Release();
  }

  const Behaviour& behaviour_;
};

class Factory final : public IClassFactory {
 public:
  Factory(FakeBrowser& browser, const Behaviour& behaviour) : browser_(browser), behaviour_(behaviour) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // static lifetime, owned by the test
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (behaviour_.failCreation) return REGDB_E_CLASSNOTREG;
    return browser_.QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  FakeBrowser& browser_;
  const Behaviour& behaviour_;
};

class BrowserViewContainerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ole_.emplace();
    ASSERT_TRUE(ole_->ready());
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BrowserViewContainerTestParent";
    RegisterClassExW(&windowClass);
    parent_ = CreateWindowExW(0, L"BrowserViewContainerTestParent", L"", WS_POPUP | WS_VISIBLE, 0, 0, 900, 640,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    revoke();
    if (parent_ != nullptr && IsWindow(parent_)) DestroyWindow(parent_);
    ole_.reset();
  }

  void registerFake() {
    ASSERT_EQ(CoRegisterClassObject(CLSID_WebBrowser, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_),
              S_OK);
  }
  void revoke() {
    if (cookie_ != 0) CoRevokeClassObject(cookie_);
    cookie_ = 0;
  }

  // Checks the view released the control fully and gave back its site.
  void expectAllReleased() {
    EXPECT_EQ(browser_.references, 1) << "references left on the control";
    EXPECT_EQ(browser_.site, nullptr);
    EXPECT_TRUE(browser_.problems.empty()) << browser_.problems.front();
  }

  Behaviour behaviour_;
  FakeBrowser browser_{behaviour_};
  Factory factory_{browser_, behaviour_};
  DWORD cookie_ = 0;
  std::optional<win32::OleSession> ole_;
  HWND parent_ = nullptr;
};

using Calls = std::vector<std::string>;

TEST_F(BrowserViewContainerTest, CreateSetsUpTheControlInOrderAndNavigates) {
  registerFake();
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, "http://127.0.0.1:8000/bofang/");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(browser_.calls, (Calls{"SetClientSite(site)", "DoVerb(-5)", "put_Offline(0)", "put_Silent(-1)",
                                   "ExecWB(19,2,i4:2,null)",
                                   "Navigate(http://127.0.0.1:8000/bofang/,i4:0,empty,empty,empty)"}));
  EXPECT_TRUE(browser_.problems.empty()) << browser_.problems.front();
  ASSERT_NE(browser_.ownWindow, nullptr);
  EXPECT_EQ(GetParent(browser_.ownWindow), view->window());
  RECT rect{};
  GetWindowRect(browser_.ownWindow, &rect);
  EXPECT_EQ(rect.right - rect.left, 800);
  EXPECT_EQ(rect.bottom - rect.top, 528);
}

TEST_F(BrowserViewContainerTest, EmptyAddressIsNotNavigated) {
  registerFake();
  auto view = win32::BrowserView::create(parent_, 0, 0, 100, 100, "");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(browser_.calls,
            (Calls{"SetClientSite(site)", "DoVerb(-5)", "put_Offline(0)", "put_Silent(-1)", "ExecWB(19,2,i4:2,null)"}));
}

TEST_F(BrowserViewContainerTest, AddressIsConvertedFromGbk) {
  registerFake();
  auto view = win32::BrowserView::create(parent_, 0, 0, 100, 100, "");
  ASSERT_NE(view, nullptr);
  browser_.calls.clear();
  // The literal is GBK bytes in this program.
  view->navigate("http://127.0.0.1/频道/页.php?名=值");
  EXPECT_EQ(browser_.calls,
            (Calls{"Navigate(http://127.0.0.1/\\u9891\\u9053/\\u9875.php?\\u540D=\\u503C,i4:0,empty,empty,empty)"}));
}

TEST_F(BrowserViewContainerTest, MoveSetsTheControlsRectangles) {
  registerFake();
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, "");
  ASSERT_NE(view, nullptr);
  browser_.calls.clear();
  view->move(0, 32, 392, 272);
  EXPECT_EQ(browser_.calls, (Calls{"SetObjectRects(0,0,392,272)"}));
  EXPECT_TRUE(browser_.problems.empty()) << browser_.problems.front();
}

TEST_F(BrowserViewContainerTest, DestructionDeactivatesClosesAndReleasesEverything) {
  registerFake();
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, "http://127.0.0.1/bofang/");
  ASSERT_NE(view, nullptr);
  HWND window = view->window();
  browser_.calls.clear();
  view.reset();
  EXPECT_EQ(browser_.calls, (Calls{"InPlaceDeactivate", "Close(1)", "SetClientSite(null)"}));
  EXPECT_TRUE(browser_.viewWindowAliveAtDeactivate);
  EXPECT_FALSE(IsWindow(window));
  expectAllReleased();
}

TEST_F(BrowserViewContainerTest, ParentDestructionReleasesTheControlWhileItsWindowsExist) {
  registerFake();
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, "http://127.0.0.1/bofang/");
  ASSERT_NE(view, nullptr);
  browser_.calls.clear();
  DestroyWindow(parent_);
  parent_ = nullptr;
  EXPECT_EQ(browser_.calls, (Calls{"InPlaceDeactivate", "Close(1)", "SetClientSite(null)"}));
  EXPECT_TRUE(browser_.viewWindowAliveAtDeactivate);
  expectAllReleased();

  browser_.calls.clear();
  view->navigate("http://127.0.0.1/bofang/ad/ad.php");
  view->move(0, 0, 10, 10);
  view.reset();
  EXPECT_TRUE(browser_.calls.empty()) << browser_.calls.front();
}

TEST_F(BrowserViewContainerTest, WithoutTheControlTheViewIsAPlainWindow) {
  behaviour_.failCreation = true;
  registerFake();
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, "http://127.0.0.1/bofang/");
  ASSERT_NE(view, nullptr);
  ASSERT_NE(view->window(), nullptr);
  EXPECT_EQ(GetParent(view->window()), parent_);
  EXPECT_EQ(GetWindow(view->window(), GW_CHILD), nullptr);
  view->navigate("http://127.0.0.1/bofang/ad/ad.php");
  view->move(0, 0, 200, 100);
  RECT rect{};
  GetWindowRect(view->window(), &rect);
  EXPECT_EQ(rect.right - rect.left, 200);
  view.reset();
  EXPECT_TRUE(browser_.calls.empty()) << browser_.calls.front();
  EXPECT_EQ(browser_.references, 1);
}

TEST_F(BrowserViewContainerTest, FailedActivationReleasesTheControlAndLeavesAPlainWindow) {
  behaviour_.failDoVerb = true;
  registerFake();
  auto view = win32::BrowserView::create(parent_, 8, 72, 800, 528, "http://127.0.0.1/bofang/");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(browser_.calls, (Calls{"SetClientSite(site)", "DoVerb(-5)", "Close(1)", "SetClientSite(null)"}));
  expectAllReleased();
  browser_.calls.clear();
  view->navigate("http://127.0.0.1/bofang/");
  view->move(0, 0, 200, 100);
  view.reset();
  EXPECT_TRUE(browser_.calls.empty()) << browser_.calls.front();
}

}  // namespace
