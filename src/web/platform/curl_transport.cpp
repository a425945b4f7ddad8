// The HTTP transport over libcurl's multi interface, so that the caller's wait
// hook can run on this thread while a transfer is in flight.
#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <utility>

#include "text/fatal.h"
#include "web/platform/http_transport.h"

namespace qv::platform {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kWaitHookInterval = std::chrono::milliseconds(50);
constexpr long kMaxRedirects = 10;

// ---- One owner per C handle ------------------------------------------------------

struct EasyDeleter {
  void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct MultiDeleter {
  void operator()(CURLM* h) const { curl_multi_cleanup(h); }
};
struct ShareDeleter {
  void operator()(CURLSH* h) const { curl_share_cleanup(h); }
};
struct UrlDeleter {
  void operator()(CURLU* h) const { curl_url_cleanup(h); }
};
struct SlistDeleter {
  void operator()(curl_slist* h) const { curl_slist_free_all(h); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using ShareHandle = std::unique_ptr<CURLSH, ShareDeleter>;
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

// Process-wide state: the library, the shared DNS/TLS/cookie store and the
// multi handle whose connection pool every request reuses.
class Session {
 public:
  static Session& Get() {
    static Session session;
    return session;
  }

  CURLSH* share() const { return share_.get(); }
  CURLM* multi() const { return multi_.get(); }

  std::function<void()> waitHook;
  TransportSettings settings;
  int depth = 0;  // requests in flight on this thread (a wait hook may start another)

 private:
  Session() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    share_.reset(curl_share_init());
    if (share_) {
      curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
      curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
      curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
    multi_.reset(curl_multi_init());
  }
  ~Session() {
    multi_.reset();
    share_.reset();
    curl_global_cleanup();
  }

  ShareHandle share_;
  MultiHandle multi_;
};

// Checks every option as it is set; the first failure makes the request invalid.
class Options {
 public:
  explicit Options(CURL* easy) : easy_(easy) {}
  template <typename Value>
  Options& Set(CURLoption option, Value value) {
    if (ok_ && curl_easy_setopt(easy_, option, value) != CURLE_OK) ok_ = false;
    return *this;
  }
  [[nodiscard]] bool ok() const { return ok_; }

 private:
  CURL* easy_;
  bool ok_ = true;
};

bool IsControlByte(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Percent-encodes the bytes that may not stand in a request target as they
// are: controls, space, and bytes above 0x7F. Nothing else is touched, so an
// address keeps its own escapes and reserved characters.
std::string EncodeTargetBytes(std::string_view s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(s.size());
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsControlByte(c) || c == ' ' || c >= 0x80) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

// The request URL built with libcurl's URL API; nothing when it is not valid.
UrlHandle BuildUrl(const RequestTarget& target) {
  UrlHandle url(curl_url());
  if (!url) return nullptr;
  std::string_view path = target.path;
  path = path.substr(0, path.find('#'));  // a fragment is never sent
  const auto question = path.find('?');
  const std::string pathPart = EncodeTargetBytes(path.substr(0, question));
  const std::string query = question == std::string_view::npos ? "" : EncodeTargetBytes(path.substr(question + 1));
  const bool hasQuery = question != std::string_view::npos;
  if (target.host.empty()) return nullptr;
  for (const char c : target.host) {
    if (IsControlByte(static_cast<unsigned char>(c))) return nullptr;
  }
  if (curl_url_set(url.get(), CURLUPART_SCHEME, target.secure ? "https" : "http", 0) != CURLUE_OK ||
      curl_url_set(url.get(), CURLUPART_HOST, target.host.c_str(), 0) != CURLUE_OK ||
      curl_url_set(url.get(), CURLUPART_PATH, pathPart.empty() ? "/" : pathPart.c_str(), 0) != CURLUE_OK ||
      (hasQuery && curl_url_set(url.get(), CURLUPART_QUERY, query.c_str(), 0) != CURLUE_OK)) {
    return nullptr;
  }
  if (target.port != 0) {
    const std::string port = std::to_string(target.port);
    if (curl_url_set(url.get(), CURLUPART_PORT, port.c_str(), 0) != CURLUE_OK) return nullptr;
  }
  // The whole URL must read back: this is where libcurl rejects a bad host.
  char* full = nullptr;
  if (curl_url_get(url.get(), CURLUPART_URL, &full, 0) != CURLUE_OK) return nullptr;
  curl_free(full);
  return url;
}

bool StartsWithName(std::string_view line, std::string_view name) {
  if (line.size() <= name.size() || line[name.size()] != ':') return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(line[i])) != std::tolower(static_cast<unsigned char>(name[i]))) {
      return false;
    }
  }
  return true;
}

// Appends one line to an owned list.
bool AppendLine(HeaderList& list, const std::string& line) {
  curl_slist* grown = curl_slist_append(list.get(), line.c_str());
  if (grown == nullptr) return false;
  if (grown != list.get()) {
    (void)list.release();  // the first item: the list now starts at `grown`, which owns it
    list.reset(grown);
  }
  return true;
}

// The caller's header block as libcurl's list. Control bytes other than tab
// are dropped from each line, so no value can start a header of its own. A
// line with an empty value is passed in libcurl's "Name;" form so that it is
// still sent; libcurl's own Accept, Expect and Content-Type lines are switched
// off unless the block has them, so the request carries exactly the block.
HeaderList BuildHeaderList(std::string_view block, bool& ok) {
  HeaderList list;
  ok = true;
  bool hasAccept = false;
  bool hasContentType = false;
  std::size_t start = 0;
  while (ok && start <= block.size()) {
    std::size_t end = block.find("\r\n", start);
    if (end == std::string_view::npos) end = block.size();
    std::string line;
    for (const char c : block.substr(start, end - start)) {
      if (c == '\t' || !IsControlByte(static_cast<unsigned char>(c))) line += c;
    }
    start = end + 2;
    if (line.empty()) continue;
    hasAccept = hasAccept || StartsWithName(line, "Accept");
    hasContentType = hasContentType || StartsWithName(line, "Content-Type");
    const auto colon = line.find(':');
    if (colon != std::string::npos && line.find_first_not_of(' ', colon + 1) == std::string::npos) {
      line = line.substr(0, colon) + ";";
    }
    ok = AppendLine(list, line);
  }
  if (ok && !hasAccept) ok = AppendLine(list, "Accept:");
  if (ok && !hasContentType) ok = AppendLine(list, "Content-Type:");
  if (ok) ok = AppendLine(list, "Expect:");
  return list;
}

struct Transfer {
  CURL* easy = nullptr;
  std::string body;
  std::string headers;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  std::string& body = static_cast<Transfer*>(user)->body;
  try {
    body.append(data, size * count);
  } catch (const std::exception&) {  // bad_alloc or length_error: no exception may cross libcurl
    ReportOutOfMemory(body.size() + size * count);
  }
  return size * count;
}

// Room made at once for a body of announced length; a larger announcement is
// not trusted with memory before its bytes arrive.
constexpr curl_off_t kMaxReservation = curl_off_t{64} << 20;

// Keeps the header block of the latest response only, each line ended by CRLF.
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  std::string_view line(data, size * count);
  try {
    if (line.substr(0, 5) == "HTTP/") transfer->headers.clear();
    if (line == "\r\n" || line == "\n") {
      curl_off_t length = -1;
      if (curl_easy_getinfo(transfer->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length > 0) {
        transfer->body.reserve(static_cast<std::size_t>(std::min(length, kMaxReservation)));
      }
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    transfer->headers.append(line);
    transfer->headers.append("\r\n");
  } catch (const std::exception&) {  // no exception may cross libcurl
    ReportOutOfMemory(transfer->headers.size() + line.size() + 2);
  }
  return size * count;
}

class CurlRequest final : public HttpRequest {
 public:
  CurlRequest(RequestTarget target, UrlHandle url, EasyHandle easy)
      : target_(std::move(target)), url_(std::move(url)), easy_(std::move(easy)) {}

  Response Send(std::string_view headerBlock, const std::optional<std::string>& body) override {
    bool listOk = false;
    HeaderList headers = BuildHeaderList(headerBlock, listOk);
    Transfer transfer;
    transfer.easy = easy_.get();
    Session& session = Session::Get();
    std::string agent;  // a header value never carries a line break or other control byte
    for (const char c : target_.agent) {
      if (!IsControlByte(static_cast<unsigned char>(c))) agent += c;
    }
    Options o(easy_.get());
    o.Set(CURLOPT_CURLU, url_.get())
        .Set(CURLOPT_NOSIGNAL, 1L)
        .Set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1))
        .Set(CURLOPT_PROTOCOLS_STR, "http,https")
        .Set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https")
        .Set(CURLOPT_FOLLOWLOCATION, target_.followRedirects ? 1L : 0L)
        .Set(CURLOPT_MAXREDIRS, kMaxRedirects)
        .Set(CURLOPT_USERAGENT, agent.c_str())
        .Set(CURLOPT_ACCEPT_ENCODING, "")
        .Set(CURLOPT_HTTPHEADER, headers.get())
        .Set(CURLOPT_SHARE, session.share())
        .Set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(session.settings.connectTimeout.count()))
        .Set(CURLOPT_LOW_SPEED_LIMIT, 1L)
        .Set(CURLOPT_LOW_SPEED_TIME, static_cast<long>(session.settings.stallTimeout.count()))
        .Set(CURLOPT_WRITEFUNCTION, &OnBody)
        .Set(CURLOPT_WRITEDATA, &transfer)
        .Set(CURLOPT_HEADERFUNCTION, &OnHeader)
        .Set(CURLOPT_HEADERDATA, &transfer);
    // Only plain-HTTP requests go through the proxy; an empty proxy string also
    // keeps libcurl from taking one from the environment.
    const bool viaProxy = target_.proxy && !target_.proxy->empty() && !target_.secure;
    o.Set(CURLOPT_PROXY, viaProxy ? target_.proxy->c_str() : "");
    if (target_.useCookieStore) o.Set(CURLOPT_COOKIEFILE, "");
    if (!session.settings.caFile.empty()) o.Set(CURLOPT_CAINFO, session.settings.caFile.c_str());
    if (body) {
      o.Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size())).Set(CURLOPT_POSTFIELDS, body->data());
    }
    if (!body) {
      o.Set(CURLOPT_HTTPGET, 1L);
    } else if (target_.method != "POST") {
      o.Set(CURLOPT_CUSTOMREQUEST, target_.method.c_str());  // a GET that carries a body
    }
    if (!listOk || !o.ok()) return {};

    const CURLcode result = Perform(session);
    Response response;
    response.completed = result == CURLE_OK;
    if (response.completed) {
      response.body = std::move(transfer.body);
      response.rawHeaders = std::move(transfer.headers);  // the empty line came with the headers
      if (!response.rawHeaders.ends_with("\r\n\r\n")) response.rawHeaders.append("\r\n");
    }
    return response;
  }

 private:
  CURLcode Perform(Session& session) {
    // A request started from inside a wait hook gets a multi handle of its own.
    MultiHandle nested;
    CURLM* multi = session.multi();
    if (session.depth > 0 || multi == nullptr) {
      nested.reset(curl_multi_init());
      multi = nested.get();
    }
    if (multi == nullptr || curl_multi_add_handle(multi, easy_.get()) != CURLM_OK) return CURLE_FAILED_INIT;
    ++session.depth;
    CURLcode result = CURLE_FAILED_INIT;  // until libcurl reports the transfer done
    auto lastHook = Clock::now();
    for (int running = 1; running != 0;) {
      if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0) break;
      curl_multi_poll(multi, nullptr, 0, static_cast<int>(kWaitHookInterval.count()), nullptr);
      if (session.waitHook && Clock::now() - lastHook >= kWaitHookInterval) {
        session.waitHook();
        lastHook = Clock::now();
      }
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy_.get()) result = message->data.result;
    }
    curl_multi_remove_handle(multi, easy_.get());
    --session.depth;
    return result;
  }

  RequestTarget target_;
  UrlHandle url_;
  EasyHandle easy_;
};

}  // namespace

std::unique_ptr<HttpRequest> HttpRequest::Open(const RequestTarget& target) {
  Session::Get();  // the library is ready before the first handle
  if (target.port < 0 || target.port > 65535) return nullptr;
  UrlHandle url = BuildUrl(target);
  if (!url) return nullptr;
  EasyHandle easy(curl_easy_init());
  if (!easy) return nullptr;
  return std::make_unique<CurlRequest>(target, std::move(url), std::move(easy));
}

void SetWaitHook(std::function<void()> hook) { Session::Get().waitHook = std::move(hook); }

void SetTransportSettings(const TransportSettings& settings) { Session::Get().settings = settings; }

TransportSettings GetTransportSettings() { return Session::Get().settings; }

}  // namespace qv::platform
