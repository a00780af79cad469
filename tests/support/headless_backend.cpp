#include "headless_backend.h"

namespace ui {

bool HeadlessBackend::createWindow(WindowManager&, WindowState& window) {
  for (WindowId refused : refuseCreation) {
    if (refused == window.id()) return false;
  }
  created.push_back(window.id());
  // A browser view starts loading its defined address when it is created.
  for (const ControlState& c : window.controls) {
    if (c.kind() == ControlKind::HtmlViewer && !c.address.empty()) navigations.emplace_back(c.name(), c.address);
  }
  return true;
}

bool HeadlessBackend::runNext() {
  if (input.empty()) return false;
  auto next = std::move(input.front());
  input.pop_front();
  next();
  return true;
}

void HeadlessBackend::run() {
  while (runNext()) {
  }
}

// As the Win32 wait does: only `finished` and wakes end it, never the input.
void HeadlessBackend::waitUntil(const std::function<bool()>& finished, std::uint32_t timeoutMs) {
  ++waits;
  if (whileWaiting) whileWaiting();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::uint64_t seen = 0;
  {
    std::lock_guard<std::mutex> lock(wakeMutex_);
    seen = wakes_;
  }
  // `finished` is asked without the lock: the other thread may hold its own
  // lock while it wakes this one.
  while (!finished()) {
    std::unique_lock<std::mutex> lock(wakeMutex_);
    if (!woken_.wait_until(lock, deadline, [&] { return wakes_ != seen; })) return;
    seen = wakes_;
  }
}

void HeadlessBackend::wakeWait() {
  {
    std::lock_guard<std::mutex> lock(wakeMutex_);
    ++wakes_;
  }
  woken_.notify_all();
}

void HeadlessBackend::destroyWindow(WindowState& window) { destroyed.push_back(window.id()); }

void HeadlessBackend::windowChanged(WindowState& window, WindowProperty property) {
  windowChanges.emplace_back(window.id(), property);
}

void HeadlessBackend::controlChanged(WindowState&, ControlState& control, ControlProperty property) {
  if (property == ControlProperty::Address && control.kind() == ControlKind::HtmlViewer) {
    navigations.emplace_back(control.name(), control.address);
  }
}

void HeadlessBackend::activate(WindowState& window) { activated.push_back(window.id()); }

void HeadlessBackend::setFocus(WindowState& window, ControlState* control) {
  focused.emplace_back(window.id(), control ? control->name() : std::string());
}

void HeadlessBackend::runModal(WindowState& window, bool (*stillOpen)(void*), void* context) {
  WindowId id = window.id();  // the handlers may destroy the window
  if (whileModal) input.push_front([this, id] { whileModal(id); });
  while (stillOpen(context)) {
    if (!runNext()) {
      ++modalsLeftWaiting;
      return;
    }
  }
}

void HeadlessBackend::pickColour(WindowState& window, ControlState& picker) {
  palettes.emplace_back(window.id(), picker.name());
}

std::optional<int> HeadlessBackend::popupMenu(WindowState& owner, const std::vector<const MenuItemDef*>& entries,
                                              Point at) {
  MenuRequest request{owner.id(), {}, at};
  std::optional<int> chosen;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    request.captions.push_back(entries[i]->caption);
    if (!menuChoice.empty() && entries[i]->caption == menuChoice && !chosen) chosen = static_cast<int>(i);
  }
  menus.push_back(std::move(request));
  return chosen;
}

}  // namespace ui
