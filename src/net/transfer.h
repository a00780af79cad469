#pragma once
// One fetch shared by the thread that reads it and the thread that waits for
// it. The reader appends the body as it arrives and says when it ends; the
// waiting side takes what has arrived, when the fetch ends or when it stops
// waiting, and from then on the reader's bytes are thrown away.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

#include "net/fetcher.h"

namespace net {

class Transfer {
 public:
  // Called on the reading thread when the fetch ends, while somebody still
  // waits for it. Set before the reading starts.
  explicit Transfer(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {}
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // ---- The reading side.
  // Adds the next piece of the body. False when nobody waits for it any
  // more, or the body has grown past kMaxBodyBytes (a failed fetch): stop.
  bool append(const std::uint8_t* data, std::size_t size);
  // Makes room at once for a body of the size the server announced (at most
  // kMaxBodyBytes), so that a large body is not copied as it grows.
  void expect(std::size_t size);
  // The body is complete, or a read failed: what arrived is the result.
  void end();
  // Nobody waits for the fetch any more: it should make no new request.
  bool abandoned() const;

  // ---- The waiting side.
  bool ended() const;
  // What has arrived (nothing after a body too large). The transfer is
  // abandoned: later bytes are dropped and the end is no longer told.
  Bytes take();

 private:
  void endLocked();

  mutable std::mutex mutex_;
  Bytes body_;
  std::function<void()> onEnd_;
  bool ended_ = false;
  bool tooLarge_ = false;
  bool taken_ = false;
};

// The fetch as a platform runs it on a worker thread: it reads the body of
// one GET into the transfer, piece by piece, and stops reading when
// append() says so. It may be called from several threads at once (an
// abandoned fetch may still be reading when the next one starts).
class BodyReader {
 public:
  virtual ~BodyReader() = default;
  // Leaves the transfer unended; the caller ends it.
  virtual void readBody(const std::string& address, Transfer& transfer) = 0;
};

}  // namespace net
