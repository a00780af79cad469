#pragma once
// The program's fetch as its handlers call it: a call that returns the body,
// while the reading runs on a thread of its own. The calling thread waits
// through a FetchWait (on Windows: its windows still paint and answer the
// system, and no handler runs), for at most kFetchBoundMs. Then it gets what
// has arrived; a fetch still reading is abandoned: it drops what comes later
// and ends by itself, holding up neither a later fetch nor the exit.
#include <memory>
#include <string>
#include <utility>

#include "net/fetcher.h"
#include "net/transfer.h"

namespace net {

class FetchWait {
 public:
  virtual ~FetchWait() = default;
  // Waits until `finished` holds or `timeoutMs` have passed. `finished` is
  // asked on the waiting thread, again after each wake().
  virtual void wait(const std::function<bool()>& finished, std::uint32_t timeoutMs) = 0;
  // From any thread: the waiting thread should ask `finished` again.
  virtual void wake() = 0;
};

class ThreadedFetcher : public Fetcher {
 public:
  // Each fetch's thread shares the reader, so an abandoned fetch may outlive
  // this object and its caller. The wait must outlive this object.
  ThreadedFetcher(std::shared_ptr<BodyReader> reader, FetchWait& wait) : reader_(std::move(reader)), wait_(wait) {}

  Bytes fetchUrlBytes(const std::string& address) override;

 private:
  std::shared_ptr<BodyReader> reader_;
  FetchWait& wait_;
};

}  // namespace net
