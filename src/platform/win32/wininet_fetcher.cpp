#include "platform/win32/wininet_fetcher.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace win32 {

void closeInternetHandle(void* handle) { InternetCloseHandle(handle); }

namespace {

// From this size on a body's room is made at once.
constexpr std::size_t kRoomAtOnceBytes = 1024 * 1024;
const char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
// The extra header of every request: 15 characters with its blank line.
const char kExtraHeaders[] = "Accept: */*\r\n\r\n";
constexpr DWORD kExtraHeadersLength = sizeof kExtraHeaders - 1;
static_assert(kExtraHeadersLength == 15);

// A text the platform writes into a buffer of the caller's, which is sized
// from what the function says it needs. `write` takes the buffer and its
// size, and sets the size to the length written or, when it did not fit, to
// the size needed.
template <typename Write>
std::optional<std::string> sizedText(std::size_t firstSize, Write write) {
  std::vector<char> buffer(firstSize);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD length = static_cast<DWORD>(buffer.size());
    if (write(buffer.data(), &length)) {
      return std::string(buffer.data(), length < buffer.size() ? length : buffer.size());
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    // The answer is the size needed, its terminator included on Windows;
    // one byte more costs nothing where an implementation leaves it out.
    const std::size_t needed = static_cast<std::size_t>(length) + 1;
    buffer.resize(needed > buffer.size() ? needed : buffer.size() * 2);
  }
  return std::nullopt;
}

// The address in canonical form, unsafe characters left as they are.
std::optional<std::string> canonicalAddress(const std::string& address) {
  return sizedText(address.size() + 16, [&](char* buffer, DWORD* length) {
    return InternetCanonicalizeUrlA(address.c_str(), buffer, length, ICU_NO_ENCODE);
  });
}

// Where a redirect leads: its Location, relative to the address that was
// asked for, made absolute.
std::optional<std::string> redirectTarget(HINTERNET request, const std::string& from) {
  const std::optional<std::string> location = sizedText(256, [&](char* buffer, DWORD* length) {
    return HttpQueryInfoA(request, HTTP_QUERY_LOCATION, buffer, length, nullptr);
  });
  if (!location || location->empty()) return std::nullopt;
  return sizedText(from.size() + location->size() + 16, [&](char* buffer, DWORD* length) {
    return InternetCombineUrlA(from.c_str(), location->c_str(), buffer, length, ICU_NO_ENCODE);
  });
}

struct AddressParts {
  bool secure = false;
  std::string host;
  INTERNET_PORT port = 0;
  std::string userName;
  std::string password;
  std::string pathAndQuery;  // the fragment still on it
};

std::string piece(const char* text, DWORD length) { return text ? std::string(text, length) : std::string(); }

// Splits the address; only http and https addresses are fetched.
std::optional<AddressParts> splitAddress(const std::string& address) {
  // Pointer-and-length mode: the parts point into `address`.
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = 1;
  parts.dwHostNameLength = 1;
  parts.dwUserNameLength = 1;
  parts.dwPasswordLength = 1;
  parts.dwUrlPathLength = 1;
  parts.dwExtraInfoLength = 1;
  if (!InternetCrackUrlA(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts)) return std::nullopt;
  AddressParts result;
  if (parts.nScheme == INTERNET_SCHEME_HTTPS) {
    result.secure = true;
  } else if (parts.nScheme != INTERNET_SCHEME_HTTP) {
    return std::nullopt;
  }
  result.host = piece(parts.lpszHostName, parts.dwHostNameLength);
  if (result.host.empty()) return std::nullopt;
  result.port = parts.nPort;
  result.userName = piece(parts.lpszUserName, parts.dwUserNameLength);
  result.password = piece(parts.lpszPassword, parts.dwPasswordLength);
  // The query (and a fragment) come as "extra information" after the path.
  result.pathAndQuery =
      piece(parts.lpszUrlPath, parts.dwUrlPathLength) + piece(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  return result;
}

// The Content-Length header's text, when the answer has one that fits the
// 32-byte buffer.
std::optional<std::string> contentLength(HINTERNET request) {
  char buffer[32] = {};
  DWORD length = sizeof buffer;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, buffer, &length, nullptr)) return std::nullopt;
  return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

// The program uses the system's proxy settings (the handle is opened with
// them too: some platforms ignore the option on an open handle) and sends no
// proxy credentials of its own.
void applyProxySettings(HINTERNET internet, HINTERNET connection) {
  // The structure's text members are null here, so its A and W forms agree.
  INTERNET_PROXY_INFO proxy{};
  proxy.dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG;
  proxy.lpszProxy = nullptr;
  proxy.lpszProxyBypass = nullptr;
  // A refusal leaves the platform's own choice in place: nothing to do.
  InternetSetOptionA(internet, INTERNET_OPTION_PROXY, &proxy, sizeof proxy);
  char empty[] = "";
  InternetSetOptionA(connection, INTERNET_OPTION_PROXY_USERNAME, empty, 0);
  InternetSetOptionA(connection, INTERNET_OPTION_PROXY_PASSWORD, empty, 0);
}

// Each blocking step on the request (connecting, sending, waiting for the
// head, each wait for more of the body) gives up after the longest silence a
// fetch sits through: a fetch that nobody waits for any more ends by itself.
void limitEachStep(HINTERNET request) {
  DWORD ms = net::kFetchSilenceMs;
  // A refusal leaves the platform's own time-outs.
  InternetSetOptionA(request, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
  InternetSetOptionA(request, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
  InternetSetOptionA(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
}

// How much to read after InternetQueryDataAvailable said how much at least
// has arrived. It never reports more than this much, and a plain read waits
// until its buffer is full or the body ends (Wine): so a body that flows (the
// most that can be reported) is read in whole blocks, the fast way, and a
// trickle in the pieces it comes in, so that a fetch nobody waits for any
// more notices at the server's next bytes.
constexpr DWORD kMostReported = 8192;
DWORD readSize(DWORD available, std::size_t blockSize) {
  const DWORD block = static_cast<DWORD>(blockSize);
  // Nothing said to be there: the end, read as zero bytes.
  return available >= kMostReported ? block : std::clamp<DWORD>(available, 1, block);
}

// One request on its own connection, sent, its head read.
struct Exchange {
  InternetHandle connection;
  InternetHandle request;  // declared after the connection: closed first
};

std::optional<Exchange> send(HINTERNET internet, const AddressParts& parts) {
  Exchange exchange;
  exchange.connection.reset(InternetConnectA(internet, parts.host.c_str(), parts.port, parts.userName.c_str(),
                                             parts.password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
  if (!exchange.connection) return std::nullopt;
  applyProxySettings(internet, exchange.connection.get());

  const std::string path = net::pathWithoutFragment(parts.pathAndQuery);
  // The accept type is given as a whole header line, as the program always
  // has; the extra header below is what puts "Accept: */*" on the wire.
  const char* acceptTypes[] = {"Accept: */* \r\n", nullptr};
  // Redirects are followed by the program, a request per hop, so that a
  // loop ends and a fetch nobody waits for makes no new request.
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
  if (parts.secure) flags |= INTERNET_FLAG_SECURE;
  exchange.request.reset(
      HttpOpenRequestA(exchange.connection.get(), "GET", path.c_str(), "HTTP/1.0", nullptr, acceptTypes, flags, 0));
  if (!exchange.request) return std::nullopt;
  limitEachStep(exchange.request.get());
  if (!HttpSendRequestA(exchange.request.get(), kExtraHeaders, kExtraHeadersLength, nullptr, 0)) return std::nullopt;
  return exchange;
}

DWORD statusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD length = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr)) return 0;
  return status;
}

void readInto(HINTERNET request, net::Transfer& transfer) {
  const std::optional<std::string> header = contentLength(request);
  const std::optional<std::string_view> length = header ? std::optional<std::string_view>(*header) : std::nullopt;
  // A large body gets its room at once rather than being copied as it grows;
  // the small ones of every start-up grow in the ordinary way.
  const std::optional<std::size_t> announced = net::announcedLength(length);
  if (announced && *announced >= kRoomAtOnceBytes) {
    transfer.expect(*announced);
  }
  std::vector<std::uint8_t> block(net::blockSizeFor(length));
  for (;;) {
    // Waits for the next bytes or the end. A failed read ends the body;
    // what came before it is kept.
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0)) break;
    DWORD read = 0;
    if (!InternetReadFile(request, block.data(), readSize(available, block.size()), &read) || read == 0) break;
    // Nobody waits any more, or the body is too large: stop reading.
    if (!transfer.append(block.data(), read)) break;
  }
}

}  // namespace

void* WinInetFetcher::session() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!internet_) {
    internet_.reset(InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet_) return nullptr;  // the next fetch tries again
    ++internetOpens_;
  }
  return internet_.get();
}

int WinInetFetcher::internetOpenCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return internetOpens_;
}

// Every failure leaves the transfer as it is and the caller carries on: no
// status check, no retry. Runs on a fetch's own thread.
void WinInetFetcher::readBody(const std::string& address, net::Transfer& transfer) {
  if (address.empty()) return;
  std::optional<std::string> current = canonicalAddress(address);
  // Only http and https addresses open the internet handle.
  if (!current || !splitAddress(*current)) return;
  HINTERNET internet = session();
  if (!internet) return;

  for (int redirects = 0;; ++redirects) {
    // Nobody waits any more: no further request.
    if (transfer.abandoned()) return;
    const std::optional<AddressParts> parts = splitAddress(*current);
    if (!parts) return;
    const std::optional<Exchange> exchange = send(internet, *parts);
    if (!exchange) return;
    HINTERNET request = exchange->request.get();
    if (!net::isRedirectStatus(statusCode(request))) return readInto(request, transfer);
    std::optional<std::string> next = redirectTarget(request, *current);
    // A redirect without a place to go is an answer like any other.
    if (!next) return readInto(request, transfer);
    if (redirects == net::kMaxRedirects || !net::mayRedirect(*current, *next)) return;
    current = std::move(next);
  }
}

}  // namespace win32
