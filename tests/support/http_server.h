// A local HTTP server for tests: listens on 127.0.0.1 at a port the system
// picks, replays canned response bytes and records the raw request bytes.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qv::test {

struct RecordedRequest {
  std::string head;  // request line and header lines, up to and including the empty line
  std::string body;
  int connection = 0;  // 1-based number of the connection it came on
  [[nodiscard]] std::string RequestLine() const { return head.substr(0, head.find("\r\n")); }
  [[nodiscard]] std::string Target() const;                              // the request target of the request line
  [[nodiscard]] std::string HeaderValue(const std::string& name) const;  // "" when absent
};

struct Reply {
  std::string bytes;                   // sent as they are
  std::chrono::milliseconds delay{0};  // before the first byte
  bool close = false;                  // close the connection after sending
  bool reset = false;                  // send, then reset the connection (RST)
  bool stall = false;                  // send, then keep the connection open silently
};

// A complete response with Content-Length; `extraHeaders` lines end with "\r\n".
[[nodiscard]] std::string Response(const std::string& body, const std::string& extraHeaders = "",
                                   const std::string& status = "200 OK");

class HttpServer {
 public:
  using Handler = std::function<Reply(const RecordedRequest&)>;

  explicit HttpServer(Handler handler);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  [[nodiscard]] int port() const { return port_; }
  // "http://127.0.0.1:PORT" or with another host name ("shop.tmall.localhost").
  [[nodiscard]] std::string Url(const std::string& host = "127.0.0.1") const;
  [[nodiscard]] std::vector<RecordedRequest> Requests() const;
  [[nodiscard]] int Connections() const { return connections_.load(); }

 private:
  void AcceptLoop();
  void Serve(int fd, int connection);

  Handler handler_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
  std::vector<int> clientFds_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

// A port on loopback where nothing listens.
[[nodiscard]] int ClosedPort();

}  // namespace qv::test
