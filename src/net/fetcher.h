#pragma once
// One GET of an absolute http:// or https:// address, the whole body back as bytes; zero
// bytes on any failure. Handlers call it and wait for its answer
// (net/threaded_fetcher.h runs it off their thread); the platform reads the
// body (WinInet on Windows); tests see only this interface.
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

// The Content-Length header's text as a decimal number of bytes (past
// kMaxBodyBytes: some number past it); none when missing, negative or not a number.
std::optional<std::size_t> announcedLength(std::optional<std::string_view> contentLength);

// Read block size from the Content-Length header's text: N + 1 for a decimal
// N > 0, at most 102400; 10240 when the header is missing, empty, zero or not
// a number.
std::size_t blockSizeFor(std::optional<std::string_view> contentLength);

// The request path: the path with its query, cut before the first "#".
std::string pathWithoutFragment(std::string_view pathAndQuery);

// Whether the address begins with the scheme (given in small letters, its
// colon included), in any case.
bool hasScheme(std::string_view address, std::string_view scheme);

// A fetch follows redirects itself, each hop a request of its own: a GET
// answered 301, 302, 303, 307 or 308 with a Location goes there, at most
// kMaxRedirects times. One more, or a loop, is a failed fetch, so a
// misconfigured server is not asked without end.
inline constexpr int kMaxRedirects = 10;
bool isRedirectStatus(unsigned status);
// A redirect may not leave https for http: the secure station's answer
// could be read or changed on the way.
bool mayRedirect(std::string_view from, std::string_view to);

// A body larger than this is treated as a failed fetch: an endless or
// enormous answer must not take all memory while the windows wait.
inline constexpr std::size_t kMaxBodyBytes = 32u * 1024u * 1024u;

// The longest a handler waits for its fetch, whatever the server does (no
// answer, a head and then silence, a trickle, an endless body). A fetch
// still reading then is abandoned as a failed read: the handler gets the
// bytes that had arrived, and what comes later is thrown away.
inline constexpr std::uint32_t kFetchBoundMs = 15000;

// The longest silence a fetch sits through at one step: connecting, sending,
// waiting for the answer's head, and each wait for more of the body. A silent
// server is given up on after this, long before the bound, and a fetch that
// was abandoned ends by itself at the latest this long after its last bytes.
inline constexpr std::uint32_t kFetchSilenceMs = 5000;

// Connecting, sending and waiting for the head are three steps before the
// body: together they fit in the bound.
static_assert(3 * kFetchSilenceMs <= kFetchBoundMs);

}  // namespace net
