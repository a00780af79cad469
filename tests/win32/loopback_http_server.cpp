#include "loopback_http_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>

namespace testing_support {

namespace {

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string trimmed(const std::string& text) {
  const auto begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return std::string();
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// The path of "GET /a/b?x=1 HTTP/1.0": "/a/b".
std::string pathOf(const std::string& requestLine) {
  const auto start = requestLine.find(' ');
  if (start == std::string::npos) return std::string();
  const auto end = requestLine.find_first_of(" ?", start + 1);
  return requestLine.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

}  // namespace

std::optional<std::string> LoopbackHttpServer::Request::header(const std::string& name) const {
  for (const std::string& line : headers) {
    const auto colon = line.find(':');
    if (colon != std::string::npos && sameNameIgnoringCase(trimmed(line.substr(0, colon)), name)) {
      return trimmed(line.substr(colon + 1));
    }
  }
  return std::nullopt;
}

LoopbackHttpServer::LoopbackHttpServer() {
  WSADATA data;
  winsockStarted_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  if (!winsockStarted_) return;
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener_ == INVALID_SOCKET) return;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
  if (listen(listener_, 16) != 0) return;
  int length = sizeof address;
  if (getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return;
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stop_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  for (std::thread& connection : connections_) connection.join();
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
  if (winsockStarted_) WSACleanup();
}

std::string LoopbackHttpServer::url(const std::string& pathAndMore) const {
  return "http://127.0.0.1:" + std::to_string(port_) + pathAndMore;
}

void LoopbackHttpServer::answerAll(Answer answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  defaultAnswer_ = std::move(answer);
}

void LoopbackHttpServer::answerPath(const std::string& path, Answer answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  pathAnswers_[path] = std::move(answer);
}

std::vector<LoopbackHttpServer::Request> LoopbackHttpServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

bool LoopbackHttpServer::sawRequestStarting(const std::string& prefix) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::any_of(requests_.begin(), requests_.end(),
                     [&](const Request& request) { return request.requestLine.rfind(prefix, 0) == 0; });
}

bool LoopbackHttpServer::waitUntilIdle(DWORD limitMs) const {
  const ULONGLONG until = GetTickCount64() + limitMs;
  while (finished_ < accepted_) {
    if (GetTickCount64() >= until) return false;
    Sleep(10);
  }
  return true;
}

LoopbackHttpServer::Answer LoopbackHttpServer::answerFor(const std::string& requestLine) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = pathAnswers_.find(pathOf(requestLine));
  return it == pathAnswers_.end() ? defaultAnswer_ : it->second;
}

void LoopbackHttpServer::acceptLoop() {
  while (!stop_) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener_, &readable);
    timeval wait{0, 20 * 1000};
    if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    ++accepted_;
    connections_.emplace_back([this, client] {
      serve(client);
      ++finished_;
    });
  }
}

void LoopbackHttpServer::pause(DWORD ms) const {
  for (const ULONGLONG until = GetTickCount64() + ms; GetTickCount64() < until && !stop_;) Sleep(10);
}

bool LoopbackHttpServer::clientGoneWithin(SOCKET client, DWORD ms) const {
  for (const ULONGLONG until = GetTickCount64() + ms; !stop_;) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(client, &readable);
    timeval wait{0, 20 * 1000};
    if (select(0, &readable, nullptr, nullptr, &wait) > 0) {
      char ignored[512];
      if (recv(client, ignored, sizeof ignored, 0) <= 0) return true;
    }
    if (GetTickCount64() >= until) return false;
  }
  return true;
}

void LoopbackHttpServer::holdUntilClientGoes(SOCKET client) const {
  while (!clientGoneWithin(client, 1000)) {
  }
}

bool LoopbackHttpServer::sendAll(SOCKET client, const char* data, std::size_t size) {
  while (size > 0 && !stop_) {
    const int sent = send(client, data, static_cast<int>(std::min<std::size_t>(size, 1 << 20)), 0);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return size == 0;
}

void LoopbackHttpServer::serve(SOCKET client) {
  DWORD timeoutMs = 5000;
  setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
  setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);

  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 64 * 1024) {
    const int got = recv(client, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    head.append(buffer, static_cast<std::size_t>(got));
  }
  const auto headEnd = head.find("\r\n\r\n");
  if (headEnd == std::string::npos) {
    closesocket(client);
    return;
  }
  Request request;
  std::size_t lineStart = 0;
  while (lineStart < headEnd) {
    const auto lineEnd = head.find("\r\n", lineStart);
    std::string line = head.substr(lineStart, lineEnd - lineStart);
    if (lineStart == 0) {
      request.requestLine = std::move(line);
    } else {
      request.headers.push_back(std::move(line));
    }
    lineStart = lineEnd + 2;
  }
  const Answer answer = answerFor(request.requestLine);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
  }

  if (answer.stall == Stall::kNoAnswer) {
    holdUntilClientGoes(client);
    closesocket(client);
    return;
  }
  pause(answer.delayMs);
  std::string response = "HTTP/1.0 " + answer.status + "\r\nContent-Type: " + answer.contentType + "\r\n";
  if (answer.sendLength && !answer.endless) {
    response += "Content-Length: " + std::to_string(answer.declaredLength.value_or(answer.body.size())) + "\r\n";
  }
  for (const std::string& line : answer.extraHeaders) response += line + "\r\n";
  response += "Connection: close\r\n\r\n";
  bool open = sendAll(client, response.data(), response.size());

  if (open && answer.stall == Stall::kSilentAfterHead) {
    holdUntilClientGoes(client);
    closesocket(client);
    return;
  }
  if (open && answer.stall == Stall::kTrickle) {
    for (char byte : answer.body) {
      if (!sendAll(client, &byte, 1)) break;
      ++bodyBytesSent_;
      if (clientGoneWithin(client, answer.trickleMs)) break;
    }
  } else if (open && answer.endless) {
    const std::string filler(64 * 1024, 'z');
    for (std::size_t sent = 0; open && !stop_ && sent < kEndlessSafetyStop; sent += filler.size()) {
      open = sendAll(client, filler.data(), filler.size());
      if (open) bodyBytesSent_ += filler.size();
    }
  } else if (open) {
    const std::size_t part = std::min(answer.body.size(), answer.cutAfter.value_or(answer.body.size()));
    if (sendAll(client, answer.body.data(), part)) bodyBytesSent_ += part;
    if (answer.cutAfter && answer.resetAfterCut) {
      pause(500);
      linger abort{1, 0};  // closing now sends a reset
      setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
      closesocket(client);
      return;
    }
  }
  shutdown(client, SD_SEND);
  // Let the client read to the end before the socket goes.
  while (recv(client, buffer, sizeof buffer, 0) > 0) {
  }
  closesocket(client);
}

}  // namespace testing_support
