// The HTTP transport: performs one request and hands back what came.
//
// Open() plays the part of obtaining a request handle: it fails (nothing is
// sent) when the target cannot be made into a valid request. Send() performs
// the request with the caller's complete header block. The transport adds Host,
// User-Agent (from the agent string), Accept-Encoding and, for a body,
// Content-Length, and no other header of its own.
//
// Process-wide policies: one pool of connections, DNS results, TLS sessions and
// (for requests that use the cookie store) cookies; redirects up to 10 hops,
// HTTP and HTTPS only; TLS verified against the system store; compressed
// responses decoded.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qv::platform {

struct RequestTarget {
  std::string method;  // "GET" or "POST"
  std::string host;
  std::int32_t port = 0;  // 0: the scheme's default port
  std::string path;       // path and query as the server should see them; may hold any byte
  bool secure = false;
  std::string agent;
  std::optional<std::string> proxy;  // host:port of an HTTP proxy for plain-HTTP requests
  bool followRedirects = true;
  bool useCookieStore = true;
};

struct Response {
  bool completed = false;  // false: nothing or only part of a response arrived
  std::string body;
  // Status line and header lines of the final response, each ended by "\r\n",
  // then the empty line "\r\n"; empty when no response arrived.
  std::string rawHeaders;
};

class HttpRequest {
 public:
  // A request for `target`, or nothing when no valid request can be made of it.
  [[nodiscard]] static std::unique_ptr<HttpRequest> Open(const RequestTarget& target);
  virtual ~HttpRequest() = default;

  // Sends the request with `headerBlock` (lines separated by "\r\n") and, when
  // given, `body`, and reads the whole response.
  [[nodiscard]] virtual Response Send(std::string_view headerBlock, const std::optional<std::string>& body) = 0;
};

// Called about every 50 ms on the caller's thread while a request is in flight.
void SetWaitHook(std::function<void()> hook);

struct TransportSettings {
  std::chrono::milliseconds connectTimeout{15000};
  std::chrono::seconds stallTimeout{30};  // a transfer that receives no byte this long fails
  std::string caFile;                     // certificates to trust; empty: the system store
};
void SetTransportSettings(const TransportSettings& settings);
[[nodiscard]] TransportSettings GetTransportSettings();

}  // namespace qv::platform
