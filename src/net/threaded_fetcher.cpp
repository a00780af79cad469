#include "net/threaded_fetcher.h"

#include <memory>
#include <system_error>
#include <thread>

namespace net {

Bytes ThreadedFetcher::fetchUrlBytes(const std::string& address) {
  // Nothing is sent for an empty address: no thread either.
  if (address.empty()) return {};
  FetchWait& wait = wait_;
  auto transfer = std::make_shared<Transfer>([&wait] { wait.wake(); });
  try {
    // The reading thread keeps the reader and the transfer alive for as long
    // as it reads.
    std::thread([reader = reader_, transfer, address] {
      reader->readBody(address, *transfer);
      transfer->end();
    }).detach();
  } catch (const std::system_error&) {
    // No thread could be started: a failed fetch, as any other, silently.
    return {};
  }
  wait.wait([&transfer] { return transfer->ended(); }, kFetchBoundMs);
  return transfer->take();
}

}  // namespace net
