#include "net/transfer.h"

namespace net {

bool Transfer::append(const std::uint8_t* data, std::size_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (taken_ || ended_ || tooLarge_) return false;
  if (body_.size() + size > kMaxBodyBytes) {
    // An endless or enormous answer is a failed fetch as a whole.
    tooLarge_ = true;
    body_ = Bytes();
    endLocked();
    return false;
  }
  body_.insert(body_.end(), data, data + size);
  return true;
}

void Transfer::expect(std::size_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!taken_ && !ended_ && size <= kMaxBodyBytes) body_.reserve(size);
}

void Transfer::end() {
  std::lock_guard<std::mutex> lock(mutex_);
  endLocked();
}

void Transfer::endLocked() {
  if (ended_) return;
  ended_ = true;
  // Told under the lock, so that a waiting side that gives up meanwhile
  // (take) is never told after it has gone.
  if (!taken_ && onEnd_) onEnd_();
}

bool Transfer::abandoned() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return taken_;
}

bool Transfer::ended() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return ended_;
}

Bytes Transfer::take() {
  std::lock_guard<std::mutex> lock(mutex_);
  taken_ = true;
  onEnd_ = nullptr;
  return std::move(body_);
}

}  // namespace net
