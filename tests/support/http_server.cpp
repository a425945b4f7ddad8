#include "support/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace qv::test {

namespace {

constexpr auto kStallLimit = std::chrono::seconds(60);  // a stalled connection ends by itself

int Listen(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
    std::perror("test server: cannot listen on loopback");
    std::abort();
  }
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string RecordedRequest::Target() const {
  const std::string line = RequestLine();
  const auto a = line.find(' ');
  const auto b = line.rfind(' ');
  return a == std::string::npos || b <= a ? "" : line.substr(a + 1, b - a - 1);
}

std::string RecordedRequest::HeaderValue(const std::string& name) const {
  const std::string lowerHead = Lower(head);
  const auto at = lowerHead.find("\r\n" + Lower(name) + ":");
  if (at == std::string::npos) return "";
  const auto start = at + 3 + name.size();
  const auto end = head.find("\r\n", start);
  std::string value = head.substr(start, end - start);
  value.erase(0, value.find_first_not_of(' '));
  return value;
}

std::string Response(const std::string& body, const std::string& extraHeaders, const std::string& status) {
  return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + extraHeaders + "\r\n" +
         body;
}

HttpServer::HttpServer(Handler handler) : handler_(std::move(handler)) {
  listenFd_ = Listen(port_);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

HttpServer::~HttpServer() {
  stopping_ = true;
  ::shutdown(listenFd_, SHUT_RDWR);
  ::close(listenFd_);
  acceptor_.join();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const int fd : clientFds_) ::shutdown(fd, SHUT_RDWR);
  }
  for (auto& t : workers_) t.join();
}

std::string HttpServer::Url(const std::string& host) const { return "http://" + host + ":" + std::to_string(port_); }

std::vector<RecordedRequest> HttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void HttpServer::AcceptLoop() {
  while (!stopping_) {
    const int fd = ::accept(listenFd_, nullptr, nullptr);
    if (fd < 0) break;
    const int number = ++connections_;
    std::lock_guard<std::mutex> lock(mutex_);
    clientFds_.push_back(fd);
    workers_.emplace_back([this, fd, number] { Serve(fd, number); });
  }
}

void HttpServer::Serve(int fd, int connection) {
  std::string buffer;
  char chunk[65536];
  bool open = true;
  while (open && !stopping_) {
    // Read one request: the head, then a Content-Length body.
    std::size_t headEnd = std::string::npos;
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
      const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
      if (n <= 0) {
        open = false;
        break;
      }
      buffer.append(chunk, static_cast<std::size_t>(n));
    }
    if (!open) break;
    RecordedRequest request;
    request.connection = connection;
    request.head = buffer.substr(0, headEnd + 4);
    buffer.erase(0, headEnd + 4);
    const std::string length = request.HeaderValue("Content-Length");
    const std::size_t bodySize = length.empty() ? 0 : std::stoul(length);
    while (buffer.size() < bodySize) {
      const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
      if (n <= 0) {
        open = false;
        break;
      }
      buffer.append(chunk, static_cast<std::size_t>(n));
    }
    request.body = buffer.substr(0, std::min(bodySize, buffer.size()));
    buffer.erase(0, request.body.size());
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    const Reply reply = handler_(request);
    if (reply.delay.count() > 0) std::this_thread::sleep_for(reply.delay);
    if (!SendAll(fd, reply.bytes)) break;
    if (reply.reset) {
      linger hard{1, 0};  // closing with a zero linger time sends a reset
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
      break;
    }
    if (reply.stall) {
      pollfd p{fd, POLLIN, 0};
      const auto until = std::chrono::steady_clock::now() + kStallLimit;
      while (!stopping_ && std::chrono::steady_clock::now() < until) {
        if (::poll(&p, 1, 100) > 0) {
          if (::recv(fd, chunk, sizeof chunk, 0) <= 0) break;
        }
      }
      break;
    }
    if (reply.close) break;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    clientFds_.erase(std::remove(clientFds_.begin(), clientFds_.end(), fd), clientFds_.end());
  }
  ::close(fd);
}

int ClosedPort() {
  int port = 0;
  const int fd = Listen(port);
  ::close(fd);
  return port;
}

}  // namespace qv::test
