#include "web/web_access.h"

#include <string>

#include "text/extract.h"
#include "web/charset.h"
#include "web/cookies.h"
#include "web/platform/http_transport.h"
#include "web/url.h"

namespace qv {

namespace {

constexpr std::int32_t kFailedHeaderBlockSize = 5000;
constexpr std::int32_t kUtf8PositionBound = 500;

// The address as it may stand in a header value: without control bytes.
Text WithoutControlBytes(const Text& address) {
  std::string out;
  out.reserve(address.View().size());
  for (const char c : address.View()) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u != 0x7F) out += c;
  }
  return Text::Present(std::move(out));
}

Text AgentString(const Text& extraHeaders) {
  if (FindText(extraHeaders, "User-Agent:", 1, true) == -1) return DefaultAgentString();
  Text agent = TrimBoth(TextBetween(extraHeaders, "User-Agent:", "\r\n"));
  if (agent.IsEmpty()) agent = HeaderLineValue(extraHeaders);
  return agent;
}

// Completes the caller's header block; each search compares case exactly.
void CompleteHeaders(Text& block, const Text& address, const Text& cookies) {
  if (FindText(block, "Referer:") == -1) {
    const Text referer = WithoutControlBytes(address);
    block = block.IsEmpty() ? ConcatText("Referer: ", referer) : ConcatText(block, "\r\nReferer: ", referer);
  }
  if (FindText(block, "Accept:") == -1) block = ConcatText(block, "\r\nAccept: */*");
  if (FindText(block, "Accept-Language:") == -1) block = ConcatText(block, "\r\nAccept-Language: zh-cn");
  if (FindText(block, "Content-Type:") == -1) {
    block = ConcatText(block, "\r\nContent-Type: application/x-www-form-urlencoded");
  }
  if (!cookies.IsEmpty()) block = ConcatText(block, "\r\nCookie: ", cookies);
}

}  // namespace

void ScanResponseHeaders(const Text& rawHeaders, Text& redirectAddress, Text& returnedCookies) {
  std::string cookieList;
  for (const Text& line : SplitText(rawHeaders, "\r\n").Items()) {
    if (FindText(line, "Location:") != -1) redirectAddress = HeaderLineValue(line);
    if (FindText(line, "Set-Cookie") != -1) {
      cookieList += TrimBoth(TextBetween(line, "Set-Cookie:", ";")).View();
      cookieList += "; ";
    }
  }
  // Every item was followed by "; ": cut the last one (an empty list stays empty).
  const auto listLength = static_cast<std::int32_t>(cookieList.size());
  returnedCookies = TextLeft(Text::Result(std::move(cookieList)), listLength - 2);
}

void SetWebWaitHook(std::function<void()> hook) { platform::SetWaitHook(std::move(hook)); }

const Text& DefaultAgentString() {
  static const Text agent(
      "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZQ7KX; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
      ".NET CLR 3.5.21022)");
  return agent;
}

Text WebAccess(const Text& address, std::int32_t method, const Text& postText, Text* cookies, Text* returnedCookies,
               Text* extraHeaders, Text* redirectAddress, bool noRedirect, ByteBuffer* postBytes,
               const std::optional<Text>& proxyAddress, Text* rawHeaders) {
  // Left-out in/out and out arguments still get a variable of their own.
  Text localHeaders;
  Text localReturned;
  Text localRedirect;
  Text localRaw;
  ByteBuffer localBytes;
  Text& headers = extraHeaders != nullptr ? *extraHeaders : localHeaders;
  Text& returned = returnedCookies != nullptr ? *returnedCookies : localReturned;
  Text& redirect = redirectAddress != nullptr ? *redirectAddress : localRedirect;
  Text& raw = rawHeaders != nullptr ? *rawHeaders : localRaw;
  ByteBuffer& bytes = postBytes != nullptr ? *postBytes : localBytes;

  platform::RequestTarget target;
  target.method = method == 1 ? "POST" : "GET";
  target.agent = AgentString(headers).Bytes();
  if (proxyAddress) target.proxy = proxyAddress->Bytes();
  target.host = UrlHost(address).Bytes();
  target.port = UrlPort(address);
  target.secure = CompareText(ToLowerCase(TextLeft(address, 5)), "https") == 0;
  target.path = UrlPath(address).Bytes();
  target.followRedirects = !noRedirect;
  target.useCookieStore = cookies == nullptr;
  const std::unique_ptr<platform::HttpRequest> request = platform::HttpRequest::Open(target);
  if (!request) return {};

  // From here on the caller's variables change.
  CompleteHeaders(headers, address, cookies != nullptr ? *cookies : Text());
  std::optional<std::string> body;
  if (method != 0) {
    if (bytes.IsEmpty()) bytes = TextToBytes(postText);
    body = bytes.Bytes();
  }
  platform::Response response = request->Send(headers.View(), body);

  ByteBuffer bodyBuffer(std::move(response.body));
  raw = response.completed ? Text(std::move(response.rawHeaders)) : BlankText(kFailedHeaderBlockSize);

  ScanResponseHeaders(raw, redirect, returned);
  if (cookies != nullptr) (void)MergeCookies(*cookies, returned);
  if (redirect.IsEmpty()) redirect = CopyText(raw);

  // Only a marker that starts before position 500 counts, so only that much is searched.
  const ByteBuffer marker(std::string("utf-8"));
  const std::int32_t utf8At = FindBytes(BytesLeft(bodyBuffer, kUtf8PositionBound - 1 + marker.Length() - 1), marker);
  if ((utf8At != -1 && utf8At < kUtf8PositionBound) || FindText(raw, "utf-8", 1, true) != -1) {
    bodyBuffer = ConvertCharset(std::move(bodyBuffer));
  }
  return BytesToText(std::move(bodyBuffer));
}

}  // namespace qv
