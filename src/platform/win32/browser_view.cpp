#include "platform/win32/browser_view.h"

#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <ole2.h>
#include <oleidl.h>

#include <algorithm>

#include "platform/win32/gbk_text.h"

namespace win32 {

// The container side of the control: client site, in-place site, in-place
// frame (with its UI window) and UI handler in one object with one reference count. The
// control may keep references after the view lets go of it, so the site lives
// on the heap on its own count and only knows the view's window, which the
// view clears before releasing its reference.
class BrowserView::Site final : public IOleClientSite,
                                public IOleInPlaceSite,
                                public IOleInPlaceFrame,
                                public IDocHostUIHandler {
 public:
  explicit Site(HWND window) : window_(window) {}

  // The view is letting go: from now on the site answers without a window.
  void detach() { window_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
      *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IDocHostUIHandler) {
      *object = static_cast<IDocHostUIHandler*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IOleClientSite: the control is never saved, linked or given a container.
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker != nullptr) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container != nullptr) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (shared by the in-place site and the frame): the view's window.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = window_;
    return window_ != nullptr ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite: in-place activation is always allowed while the view has
  // its window; the control always fills the view's client area.
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return window_ != nullptr ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) override {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr || info == nullptr) {
      return E_POINTER;
    }
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;  // the document window is the frame window
    RECT client{};
    if (window_ != nullptr) GetClientRect(window_, &client);
    *position = client;
    *clip = client;
    // info->cb is set by the caller.
    info->fMDIApp = FALSE;
    info->hwndFrame = window_ != nullptr ? GetAncestor(window_, GA_ROOT) : nullptr;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  // The view decides the control's rectangle (it fills the view), so a wish of
  // the control to change it is acknowledged and not followed.
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow: no toolbars, no border space to give.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return OLE_E_INVALIDRECT; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

  // IOleInPlaceFrame: the program's windows keep their own menus and status.
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }  // the UI handler's too
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDocHostUIHandler: the page is told that the host is DPI aware, so it is
  // laid out at the screen's DPI instead of stretched; everything else is
  // left to the browser's own defaults.
  HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
    if (info == nullptr) return E_POINTER;
    info->dwFlags = DOCHOSTUIFLAG_DPI_AWARE;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                   IOleInPlaceUIWindow*) override {
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
    if (key != nullptr) *key = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
    if (target != nullptr) *target = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override {
    if (external != nullptr) *external = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override {
    if (translated != nullptr) *translated = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** filtered) override {
    if (filtered != nullptr) *filtered = nullptr;
    return S_FALSE;
  }

 private:
  ~Site() = default;  // only Release deletes

  LONG references_ = 1;  // the view's reference
  HWND window_;
};

namespace {

constexpr wchar_t kViewClass[] = L"StationBrowserView";

// The view's window class, registered once per process.
bool registerViewClass() {
  // White until (and where) the browser paints: the look of an empty page.
  static const bool registered =
      BoundWindow::registerClass(GetModuleHandleW(nullptr), kViewClass, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr,
                                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  return registered;
}

}  // namespace

std::unique_ptr<BrowserView> BrowserView::create(HWND parent, int left, int top, int width, int height,
                                                 const std::string& address) {
  if (!registerViewClass()) return nullptr;
  std::unique_ptr<BrowserView> view(new BrowserView());
  if (!view->createBound(0, kViewClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, left, top,
                         std::max(width, 0), std::max(height, 0), parent, nullptr, GetModuleHandleW(nullptr))) {
    return nullptr;
  }
  view->embedControl();
  if (!address.empty()) view->navigate(address);
  return view;
}

BrowserView::~BrowserView() {
  // Destroying the window releases the control (WM_DESTROY). If the parent
  // was destroyed first, that already happened and there is no window.
  if (window() != nullptr) DestroyWindow(window());
  // Normally a no-op by now; it matters only if DestroyWindow failed (for
  // instance when called from another thread than the view's).
  releaseControl();
}

void BrowserView::embedControl() {
  // The control needs OLE in a single-threaded apartment. A thread already in
  // the multithreaded apartment cannot host it in place: keep the plain window.
  ole_.emplace();
  if (!ole_->ready()) return;

  // Without a registered browser (or without COM classes at all) the view
  // stays a plain white window: the program shows nothing there, and nothing
  // else depends on the page.
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, oleObject_.put()))) {
    return;
  }
  site_ = ComPtr<Site>(new Site(window()));
  oleObject_->SetClientSite(site_.get());

  RECT client{};
  GetClientRect(window(), &client);
  if (FAILED(oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, window(), &client))) {
    releaseControl();
    return;
  }
  oleObject_->QueryInterface(IID_IOleInPlaceObject, inPlaceObject_.put());
  if (FAILED(oleObject_->QueryInterface(IID_IWebBrowser2, browser_.put()))) {
    releaseControl();
    return;
  }

  // The settings' results are not examined: a control that refuses one still
  // shows pages. In particular the zoom command may be refused while no page
  // has been loaded yet; medium is the control's own default text size.
  browser_->put_Offline(VARIANT_FALSE);
  browser_->put_Silent(VARIANT_TRUE);  // script errors raise no dialogs
  VARIANT textSize;
  VariantInit(&textSize);
  textSize.vt = VT_I4;
  textSize.lVal = 2;  // medium
  browser_->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &textSize, nullptr);
}

void BrowserView::navigate(const std::string& address) {
  if (!browser_) return;  // plain window: nothing to load into
  const std::wstring wide = wideFromGbk(address);
  const ComString url(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
  if (!url) return;
  VARIANT flags;
  VariantInit(&flags);
  flags.vt = VT_I4;
  flags.lVal = 0;
  VARIANT none;  // no target frame, no post data, no extra headers
  VariantInit(&none);
  // Loading goes on asynchronously; how it ends (including an engine that
  // cannot render, as under Wine without one) comes back only as events the
  // program does not handle, so the result is not examined.
  browser_->Navigate(url.get(), &flags, &none, &none, &none);
}

void BrowserView::move(int left, int top, int width, int height) {
  if (window() == nullptr) return;
  // The control follows on WM_SIZE.
  MoveWindow(window(), left, top, std::max(width, 0), std::max(height, 0), TRUE);
}

bool BrowserView::translateAccelerator(const MSG& message) {
  if (!oleObject_) return false;
  ComPtr<IOleInPlaceActiveObject> active;
  if (FAILED(oleObject_->QueryInterface(IID_IOleInPlaceActiveObject, active.put())) || !active) return false;
  MSG copy = message;
  // S_FALSE (and any failure): the page did not want the key.
  return active->TranslateAccelerator(&copy) == S_OK;
}

// The view took the focus: the page gets it, so its keys reach the page. A
// control that cannot be activated leaves the focus on the view's window.
void BrowserView::focusPage() {
  if (!oleObject_ || !site_) return;
  RECT client{};
  GetClientRect(window(), &client);
  oleObject_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site_.get(), 0, window(), &client);
}

void BrowserView::fitControl(int width, int height) {
  if (!inPlaceObject_) return;
  const RECT rect{0, 0, width, height};
  inPlaceObject_->SetObjectRects(&rect, &rect);
}

void BrowserView::releaseControl() {
  browser_.reset();
  if (inPlaceObject_) {
    inPlaceObject_->InPlaceDeactivate();
    inPlaceObject_.reset();
  }
  if (oleObject_) {
    oleObject_->Close(OLECLOSE_NOSAVE);
    oleObject_->SetClientSite(nullptr);
    oleObject_.reset();
  }
  if (site_) {
    site_->detach();
    site_.reset();
  }
}

LRESULT BrowserView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT answer = 0;
  if (messageHook && messageHook(message, wParam, lParam, answer)) return answer;
  switch (message) {
    case WM_SETFOCUS:
      focusPage();
      return 0;
    case WM_SIZE:
      fitControl(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_DESTROY:
      // The browser's windows lie beneath ours and are still alive here, also
      // when the parent is being destroyed before the view: deactivate and
      // release the control now, while it can still take its windows down.
      releaseControl();
      return 0;
    default:
      return defaultProcedure(message, wParam, lParam);
  }
}

}  // namespace win32
