// ===========================================================================
//  PLATFORM SEAM (Win32): HTTP GET through WinInet.
// ===========================================================================
#pragma once

#include <string>

#include "net/fetcher.h"

namespace win32 {

// The program's one HTTP client. It holds the internet handle: opened on the
// first fetch that gets that far, reused by every later fetch, tried again
// on the next fetch when opening failed, closed with the object. Each fetch
// opens and closes its own connection and request. Not thread-safe: the
// program fetches from its user-interface thread only.
class WinInetFetcher : public net::Fetcher {
 public:
  WinInetFetcher() = default;
  ~WinInetFetcher() override;
  WinInetFetcher(const WinInetFetcher&) = delete;
  WinInetFetcher& operator=(const WinInetFetcher&) = delete;

  net::Bytes fetchUrlBytes(const std::string& address) override;

  // How often the internet handle has been opened (for the tests: reuse).
  int internetOpenCount() const { return internetOpens_; }

 private:
  bool openInternet();

  void* internet_ = nullptr;  // HINTERNET
  int internetOpens_ = 0;
};

}  // namespace win32
