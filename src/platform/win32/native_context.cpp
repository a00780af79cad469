#include "platform/win32/native_context.h"

#include "platform/win32/bound_window.h"

namespace win32 {

namespace {
constexpr wchar_t kOwnerClass[] = L"StationOwner";
}  // namespace

NativeContext::NativeContext(HINSTANCE instance) : instance_(instance) {
  if (!registerPlainClass(instance, kOwnerClass)) return;
  hiddenOwner_.reset(CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
}

}  // namespace win32
