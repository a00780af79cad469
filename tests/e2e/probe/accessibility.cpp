// station_probe: what a screen reader is told about windows.
#include "probe.h"

namespace probe {

// ----------------------------------------------------------- accessibility ---

// IAccessible; MinGW-w64's IID_IAccessible symbol names another GUID.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string role_name(long role) {
  switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON: return "push button";
    case ROLE_SYSTEM_LINK: return "link";
    case ROLE_SYSTEM_STATICTEXT: return "static text";
    case ROLE_SYSTEM_GRAPHIC: return "graphic";
    case ROLE_SYSTEM_PAGETABLIST: return "page tab list";
    case ROLE_SYSTEM_CLIENT: return "client";
    case ROLE_SYSTEM_WINDOW: return "window";
    default: return "role " + std::to_string(role);
  }
}

std::string state_names(long state) {
  static const std::pair<long, const char*> kNames[] = {
      {STATE_SYSTEM_INVISIBLE, "invisible"}, {STATE_SYSTEM_UNAVAILABLE, "unavailable"},
      {STATE_SYSTEM_PRESSED, "pressed"},     {STATE_SYSTEM_FOCUSABLE, "focusable"},
      {STATE_SYSTEM_FOCUSED, "focused"}};
  std::string out = "[";
  for (const auto& [bit, name] : kNames) {
    if (state & bit) out += std::string(out.size() > 1 ? ", " : "") + "\"" + name + "\"";
  }
  return out + "]";
}

// The accessibility and COM functions, loaded only by the command that needs
// them: every other command starts as quickly as before.
struct AccessibilityApi {
  HRESULT(WINAPI* objectFromWindow)(HWND, DWORD, REFIID, void**) = nullptr;
  void(WINAPI* freeString)(BSTR) = nullptr;
  HRESULT(WINAPI* initialize)(void*, DWORD) = nullptr;
  void(WINAPI* uninitialize)() = nullptr;

  bool load() {
    HMODULE oleacc = LoadLibraryW(L"oleacc.dll"), oleaut = LoadLibraryW(L"oleaut32.dll"),
            ole = LoadLibraryW(L"ole32.dll");
    if (!oleacc || !oleaut || !ole) return false;
    find(objectFromWindow, oleacc, "AccessibleObjectFromWindow");
    find(freeString, oleaut, "SysFreeString");
    find(initialize, ole, "CoInitializeEx");
    find(uninitialize, ole, "CoUninitialize");
    return objectFromWindow && freeString && initialize && uninitialize;
  }

 private:
  template <typename Function>
  static void find(Function& function, HMODULE module, const char* name) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
};

// One object's answers as JSON members, or an "error" member.
std::string accessible_json(const AccessibilityApi& api, HWND h, LONG object) {
  IAccessible* acc = nullptr;
  HRESULT hr = api.objectFromWindow(h, static_cast<DWORD>(object), kIidAccessible, reinterpret_cast<void**>(&acc));
  if (FAILED(hr) || !acc) return "\"error\": \"AccessibleObjectFromWindow failed " + std::to_string(hr) + "\"";
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    BSTR value = nullptr;
    std::wstring out;
    if ((acc->*get)(self, &value) == S_OK && value) out = value;
    if (value) api.freeString(value);
    return jstr(out);
  };
  VARIANT role{}, state{};
  std::string out = "\"name\": " + text(&IAccessible::get_accName) +
                    ", \"value\": " + text(&IAccessible::get_accValue) +
                    ", \"default_action\": " + text(&IAccessible::get_accDefaultAction);
  out += ", \"role\": " + jstr8(acc->get_accRole(self, &role) == S_OK && role.vt == VT_I4 ? role_name(role.lVal) : "");
  const long bits = acc->get_accState(self, &state) == S_OK && state.vt == VT_I4 ? state.lVal : 0;
  out += ", \"state\": " + state_names(bits);
  acc->Release();
  return out;
}

int cmd_accessible(int argc, wchar_t** argv) {
  long long v = 0;
  if (argc < 3 || !parse_int(argv[2], v)) return fail("usage: probe accessible HWND", 2);
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  if (!IsWindow(h)) return fail("no such window");
  AccessibilityApi api;
  if (!api.load()) return fail("no accessibility functions");
  api.initialize(nullptr, COINIT_APARTMENTTHREADED);
  std::vector<HWND> children;
  for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  std::string out = "{\"window\": {" + accessible_json(api, h, OBJID_WINDOW) + "}, \"controls\": [";
  for (size_t i = 0; i < children.size(); ++i) {
    out += std::string(i ? ", " : "") + "{\"hwnd\": " + jhwnd(children[i]) + ", \"class\": " +
           jstr(class_name(children[i])) + ", \"text\": " + jstr(window_text(children[i])) + ", " +
           accessible_json(api, children[i], OBJID_CLIENT) + "}";
  }
  api.uninitialize();
  emit(out + "]}");
  return 0;
}

}  // namespace probe
