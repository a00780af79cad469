// A fetch waited for in the Win32 backend's loop, outside the window model,
// for the tests and the benchmark that fetch without a handler. The
// program's handlers wait through the model instead (app::Program).
#pragma once

#include "net/threaded_fetcher.h"
#include "platform/win32/backend.h"

namespace win32 {

class BackendWait : public net::FetchWait {
 public:
  explicit BackendWait(Win32Backend& backend) : backend_(backend) {}
  void wait(const std::function<bool()>& finished, std::uint32_t timeoutMs) override {
    backend_.waitUntil(finished, timeoutMs);
  }
  void wake() override { backend_.wakeWait(); }

 private:
  Win32Backend& backend_;
};

}  // namespace win32
