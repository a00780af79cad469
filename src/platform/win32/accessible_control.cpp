// The accessible objects of windows and controls
#include "platform/win32/accessible_control.h"

#include <oleacc.h>

#include <string>
#include <utility>

#include "platform/win32/gbk_text.h"
#include "platform/win32/owners.h"
#include "platform/win32/system_function.h"

namespace win32 {

namespace {

bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

LONG roleOf(ui::AccessibleRole role) {
  switch (role) {
    case ui::AccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case ui::AccessibleRole::Link: return ROLE_SYSTEM_LINK;
    case ui::AccessibleRole::StaticText: return ROLE_SYSTEM_STATICTEXT;
    case ui::AccessibleRole::Graphic: return ROLE_SYSTEM_GRAPHIC;
    case ui::AccessibleRole::PageTabList: return ROLE_SYSTEM_PAGETABLIST;
    case ui::AccessibleRole::Client: return ROLE_SYSTEM_CLIENT;
    case ui::AccessibleRole::None: break;
  }
  return 0;
}

// What the default action is called, as the system's own controls call it.
const char* defaultActionOf(ui::AccessibleRole role) {
  switch (role) {
    case ui::AccessibleRole::PushButton: return "按";
    case ui::AccessibleRole::Link: return "跳转";
    default: return "单击";
  }
}

// A GBK text as a BSTR; S_FALSE and no string when it is empty.
HRESULT answerText(const std::string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocString(wideFromGbk(text).c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The standard object with the model's answers in front of it. Whatever the
// model does not know (place, parent, children, focus, navigation) is the
// standard object's.
class AccessibleObject final : public IAccessible {
 public:
  AccessibleObject(HWND hwnd, IAccessible* standard, bool client, bool control, AccessibleSource source)
      : hwnd_(hwnd), standard_(standard), client_(client), control_(control), source_(std::move(source)) {}

  // IUnknown. The standard object's child enumeration and window go out as
  // its own: they describe the same window.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    if (iid == IID_IEnumVARIANT || iid == IID_IOleWindow) return standard_->QueryInterface(iid, object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
    return standard_->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }

  // IAccessible: the model's answers about the object itself.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (auto facts = factsFor(child)) return answerText(facts->name, name);
    return standard_->get_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    auto facts = controlFactsFor(child);
    if (!facts || facts->role == ui::AccessibleRole::None || !client_) return standard_->get_accRole(child, role);
    if (!role) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = roleOf(facts->role);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    HRESULT hr = standard_->get_accState(child, state);
    auto facts = controlFactsFor(child);
    if (!facts || FAILED(hr) || !state || state->vt != VT_I4) return hr;
    LONG bits = state->lVal & ~(STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_PRESSED |
                                STATE_SYSTEM_FOCUSABLE);
    if (facts->invisible) bits |= STATE_SYSTEM_INVISIBLE;
    if (facts->unavailable) bits |= STATE_SYSTEM_UNAVAILABLE;
    if (facts->pressed) bits |= STATE_SYSTEM_PRESSED;
    if (facts->focusable) bits |= STATE_SYSTEM_FOCUSABLE;
    state->lVal = bits;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    auto facts = controlFactsFor(child);
    if (!facts || !client_) return standard_->get_accValue(child, value);
    return answerText(facts->value, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return standard_->get_accDescription(child, description);
  }
  // Keys reach the controls by Tab; a "&" in a caption is no shortcut.
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    if (controlFactsFor(child)) return answerText({}, shortcut);
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    auto facts = controlFactsFor(child);
    if (!facts || !client_) return standard_->get_accDefaultAction(child, action);
    return answerText(facts->clickable ? defaultActionOf(facts->role) : "", action);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    auto facts = controlFactsFor(child);
    if (!facts || !client_) return standard_->accDoDefaultAction(child);
    if (!facts->clickable || facts->invisible || facts->unavailable) return DISP_E_MEMBERNOTFOUND;
    return PostMessageW(hwnd_, kDefaultActionMessage, 0, 0) ? S_OK : E_FAIL;
  }

  // IAccessible: the rest is the standard object's.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return standard_->get_accChildCount(count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return standard_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return standard_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
    return standard_->accHitTest(left, top, child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  ~AccessibleObject() { standard_->Release(); }  // only Release deletes

  // The facts when the question is about the object itself and the model still has it.
  std::optional<ui::AccessibleFacts> factsFor(const VARIANT& child) const {
    if (!isSelf(child)) return std::nullopt;
    return source_();
  }
  // The same, for the answers only a control's facts give.
  std::optional<ui::AccessibleFacts> controlFactsFor(const VARIANT& child) const {
    return control_ ? factsFor(child) : std::nullopt;
  }

  LONG references_ = 1;
  HWND hwnd_;
  IAccessible* standard_;
  bool client_;   // the client object (else the window object)
  bool control_;  // of a control (else of a top-level window)
  AccessibleSource source_;
};

void announce(HWND hwnd, DWORD event) { NotifyWinEvent(event, hwnd, OBJID_CLIENT, CHILDID_SELF); }

}  // namespace

LRESULT answerAccessibleObject(HWND hwnd, WPARAM wParam, LPARAM lParam, bool control, AccessibleSource source) {
  const auto objectId = static_cast<LONG>(static_cast<DWORD>(lParam));
  if (objectId != OBJID_CLIENT && objectId != OBJID_WINDOW) return 0;
  // The accessibility DLL comes the first time a screen reader asks.
  static auto* const createStandard = systemFunction<decltype(CreateStdAccessibleObject)>(
      L"oleacc.dll", "CreateStdAccessibleObject");
  static auto* const handOver = systemFunction<decltype(LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
  if (!createStandard || !handOver) return 0;
  IAccessible* standard = nullptr;
  if (FAILED(createStandard(hwnd, objectId, kIidAccessible, reinterpret_cast<void**>(&standard))) || !standard) {
    return 0;
  }
  // The object takes the standard one's reference; the system takes its own of the object.
  ComPtr<AccessibleObject> object(
      new AccessibleObject(hwnd, standard, objectId == OBJID_CLIENT, control, std::move(source)));
  const LRESULT answer = handOver(kIidAccessible, wParam, object.get());
  // A failed hand-over is a negative error code: the system's answer then.
  return answer < 0 ? 0 : answer;
}

void announceChange(HWND hwnd, ui::ControlProperty property, bool shown) {
  switch (property) {
    case ui::ControlProperty::Shown: announce(hwnd, shown ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE); break;
    case ui::ControlProperty::Caption: announce(hwnd, EVENT_OBJECT_NAMECHANGE); break;
    case ui::ControlProperty::CurrentColour: announce(hwnd, EVENT_OBJECT_VALUECHANGE); break;
    case ui::ControlProperty::Enabled:
    case ui::ControlProperty::Look: announce(hwnd, EVENT_OBJECT_STATECHANGE); break;
    default: break;
  }
}

void announceStateChange(HWND hwnd) { announce(hwnd, EVENT_OBJECT_STATECHANGE); }

void announceFocus(HWND hwnd) { announce(hwnd, EVENT_OBJECT_FOCUS); }

}  // namespace win32
