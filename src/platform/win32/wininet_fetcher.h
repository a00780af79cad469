// HTTP GET through WinInet.
#pragma once

#include <mutex>
#include <string>

#include "net/transfer.h"
#include "platform/win32/owners.h"

namespace win32 {

// A WinInet session, connection or request (an HINTERNET, which is a void
// pointer: <wininet.h> stays out of this header).
void closeInternetHandle(void* handle);
using InternetHandle = Owned<void*, &closeInternetHandle>;

// The program's one HTTP client. It holds the internet handle: opened on the
// first fetch that gets that far, with the system's proxy settings, reused by
// every later fetch, tried again on the next fetch when opening failed,
// closed with the reader. Each fetch opens and closes its own connection and
// request, on the thread it runs on; fetches may run at once. The fetches'
// threads share the reader (net::ThreadedFetcher), so it outlives them all.
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
  void* session();

  mutable std::mutex mutex_;
  InternetHandle internet_;
  int internetOpens_ = 0;
};

}  // namespace win32
