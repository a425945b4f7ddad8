// WebAccess: one complete HTTP or HTTPS request, the body back as a GBK text.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "text/text.h"

namespace qv {

// The default User-Agent of every request.
[[nodiscard]] const Text& DefaultAgentString();

// Performs one request for `address` and returns the response body, converted
// from UTF-8 to GBK when it declares UTF-8 ("utf-8" starting before body
// position 500, or "utf-8" in any case in the header block) and cut at its first
// zero byte; "" when no request could be made or nothing arrived.
//
// Optional arguments are left out with their defaults; a null pointer leaves an
// in/out or out argument out. `cookies` and `proxyAddress` are "supplied" when
// non-null / engaged, even when empty.
//   method          1 sends "POST"; any value but 0 carries a body
//   postText        the body when *postBytes is empty
//   cookies         in/out: sent as "Cookie:" when not empty; supplied, it takes
//                   cookie handling away from the store and receives the merge
//   returnedCookies out: the response's cookies, "name=value" items joined by "; "
//   extraHeaders    in/out: extra request lines joined by "\r\n"; completed with
//                   Referer, Accept, Accept-Language, Content-Type (and Cookie)
//   redirectAddress out: the "Location:" value; the raw header block when the
//                   response has none and the variable is empty
//   noRedirect      true: redirects are not followed
//   postBytes       in/out: the body as bytes; receives postText's bytes when empty
//   proxyAddress    host:port of an HTTP proxy for plain-HTTP requests
//   rawHeaders      out: the raw response header block; 5000 spaces when the
//                   request failed after it was made
//
// No byte of `address` can split the request: control bytes are percent-encoded
// in the path and dropped from the Referer value, and an address that makes no
// valid request gives "" with no argument changed.
Text WebAccess(const Text& address, std::int32_t method = 0, const Text& postText = Text(), Text* cookies = nullptr,
               Text* returnedCookies = nullptr, Text* extraHeaders = nullptr, Text* redirectAddress = nullptr,
               bool noRedirect = false, ByteBuffer* postBytes = nullptr,
               const std::optional<Text>& proxyAddress = std::nullopt, Text* rawHeaders = nullptr);

// The header scan: the value of the last line holding "Location:" (exact case,
// anywhere in the line) into `redirectAddress`, left as it was without one; the
// cookies of the lines holding "Set-Cookie" as "name=value" items joined by
// "; " into `returnedCookies`.
void ScanResponseHeaders(const Text& rawHeaders, Text& redirectAddress, Text& returnedCookies);

// Called about every 50 ms on the caller's thread while a request is in flight
// (the window keeps painting with it); nullptr removes it.
void SetWebWaitHook(std::function<void()> hook);

}  // namespace qv
