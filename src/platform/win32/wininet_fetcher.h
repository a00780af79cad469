// ===========================================================================
//  PLATFORM SEAM (Win32): HTTP GET through WinInet.
// ===========================================================================
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "net/transfer.h"

namespace win32 {

// The program's one HTTP client. It holds the internet handle: opened on the
// first fetch that gets that far, with the system's proxy settings, reused by
// every later fetch, tried again on the next fetch when opening failed,
// closed when the reader and the last fetch using it are gone. Each fetch
// opens and closes its own connection and request, on the thread it runs on;
// fetches may run at once.
class WinInetFetcher : public net::BodyReader {
 public:
  WinInetFetcher() = default;
  WinInetFetcher(const WinInetFetcher&) = delete;
  WinInetFetcher& operator=(const WinInetFetcher&) = delete;

  void readBody(const std::string& address, net::Transfer& transfer) override;

  // How often the internet handle has been opened (for the tests: reuse).
  int internetOpenCount() const;

 private:
  // The internet handle, opened when there is none; null when it cannot be.
  std::shared_ptr<void> session();

  mutable std::mutex mutex_;
  std::shared_ptr<void> internet_;  // HINTERNET
  int internetOpens_ = 0;
};

}  // namespace win32
