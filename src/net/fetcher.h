#pragma once
// One blocking GET of an absolute http:// address, the whole body back as
// bytes; zero bytes on any failure. The platform realises it (WinInet on
// Windows); handlers and tests see only this interface.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace net {

using Bytes = std::vector<std::uint8_t>;

class Fetcher {
 public:
  virtual ~Fetcher() = default;
  // The body as it arrived, whatever the status; empty when anything failed.
  virtual Bytes fetchUrlBytes(const std::string& address) = 0;
};

// ---- Rules of a fetch that do not depend on the platform.

// Read block size from the Content-Length header's text: N + 1 for a decimal
// N > 0, at most 102400; 10240 when the header is missing, empty, zero or not
// a number.
std::size_t blockSizeFor(std::optional<std::string_view> contentLength);

// The request path: the path with its query, cut before the first "#".
std::string pathWithoutFragment(std::string_view pathAndQuery);

// A body larger than this is treated as a failed fetch: an endless or
// enormous answer must not take all memory while the windows wait.
inline constexpr std::size_t kMaxBodyBytes = 32u * 1024u * 1024u;

}  // namespace net
