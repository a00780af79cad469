// A small HTTP server on 127.0.0.1 (ephemeral port) for the Win32 tests. It
// records every request it receives and answers as told: normally, without a
// length, with an error status, slowly, cut short, without end, or stalled
// (never, after the head, or a byte at a time).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class LoopbackHttpServer {
 public:
  // Ways of holding a client without ending the answer: each lasts until the
  // client goes away (or the server is destroyed).
  enum class Stall {
    kNone,
    kNoAnswer,         // reads the request and never answers
    kSilentAfterHead,  // sends the head, then nothing
    kTrickle,          // sends the head, then one body byte every trickleMs
  };

  struct Answer {
    std::string status = "200 OK";
    std::string contentType = "application/octet-stream";
    std::string body;
    // Sends "Content-Length: <body size>", or declaredLength when given.
    bool sendLength = true;
    std::optional<std::size_t> declaredLength;
    std::vector<std::string> extraHeaders;  // whole lines without "\r\n"
    DWORD delayMs = 0;                      // before the answer's head
    // Sends only this many body bytes, then closes the connection.
    std::optional<std::size_t> cutAfter;
    // Closes with a reset (not an orderly close) after the cut, once the
    // client has had time to read the part.
    bool resetAfterCut = false;
    // After the head, streams filler bytes until the client goes away (or,
    // so that a test of a client that never lets go still ends, until
    // kEndlessSafetyStop bytes have gone).
    bool endless = false;
    Stall stall = Stall::kNone;
    DWORD trickleMs = 1000;
  };

  static constexpr std::size_t kEndlessSafetyStop = std::size_t{256} << 20;

  struct Request {
    std::string requestLine;
    std::vector<std::string> headers;  // as they came, without "\r\n"
    // The value of the first header of that name (case-insensitive).
    std::optional<std::string> header(const std::string& name) const;
  };

  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  bool running() const { return port_ != 0; }
  int port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by pathAndMore.
  std::string url(const std::string& pathAndMore) const;

  // The answer to every request, unless a path has its own.
  void answerAll(Answer answer);
  // The answer to requests for this path (the query does not count).
  void answerPath(const std::string& path, Answer answer);

  std::vector<Request> requests() const;
  int connectionsAccepted() const { return accepted_; }
  // Connections whose answer has been sent in full, or ended by the client.
  int connectionsFinished() const { return finished_; }
  // Body bytes sent so far, over all connections.
  std::size_t bodyBytesSent() const { return bodyBytesSent_; }
  // Waits (up to limitMs) until every accepted connection has finished.
  bool waitUntilIdle(DWORD limitMs) const;
  // Whether a request line starting with this text has come in.
  bool sawRequestStarting(const std::string& prefix) const;

 private:
  void acceptLoop();
  void serve(SOCKET client);
  Answer answerFor(const std::string& requestLine) const;
  bool sendAll(SOCKET client, const char* data, std::size_t size);
  void pause(DWORD ms) const;
  // Waits up to ms for the client to close its end; true once it has (or the
  // server is stopping).
  bool clientGoneWithin(SOCKET client, DWORD ms) const;
  void holdUntilClientGoes(SOCKET client) const;

  bool winsockStarted_ = false;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::atomic<int> finished_{0};
  std::atomic<std::size_t> bodyBytesSent_{0};
  std::thread acceptor_;
  std::vector<std::thread> connections_;  // the acceptor's own; joined after it
  mutable std::mutex mutex_;
  Answer defaultAnswer_;
  std::map<std::string, Answer> pathAnswers_;
  std::vector<Request> requests_;
};

}  // namespace testing_support
