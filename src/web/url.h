// Taking an address apart and reading a header line, by plain markers.
//
// These routines know no URL grammar beyond "https://" (only at the start),
// "http://" (anywhere), "/", "." and ":"; they accept any text.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace qv {

// The host of an address, lower-cased: the text between the scheme marker and
// the next "/". "http://" is searched anywhere (and put in front when absent).
// UrlHost("https://Shop.Test/x") == "shop.test";
// UrlHost("http://a.shop.test:8080/b", true, true) == "shop.test:8080";
// UrlHost("ftp://shop.test/") == "ftp".
[[nodiscard]] Text UrlHost(const Text& address, bool lastTwoLabels = false, bool keepPort = false);

// The port after the last ":" of the host with its port (0 when that text is not
// a number), else 443 for an address starting "https" in any case, else 80.
[[nodiscard]] std::int32_t UrlPort(const Text& address);

// Path and query: the address from the first "/" at or after the first place
// the host text occurs (ignoring case), in the address's own case; "/" when
// there is none. UrlPath("http://h/x") == "//h/x" (the host "h" is found in "http").
[[nodiscard]] Text UrlPath(const Text& address);

// The trimmed text after the first ":" of a header line; "" without a colon.
// HeaderLineValue("A:  b c  ") == "b c"; HeaderLineValue("A:\tb") == "\tb".
[[nodiscard]] Text HeaderLineValue(const Text& line);

}  // namespace qv
