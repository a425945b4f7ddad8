// Helpers shared by the fuzz targets.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "text/text.h"

namespace qv::fuzz {

// A text from fuzz bytes: a Text holds no zero byte, so zeros become 0x01.
inline std::string NoZeros(std::string s) {
  for (char& c : s) {
    if (c == '\0') c = '\x01';
  }
  return s;
}

inline Text TextFrom(FuzzedDataProvider& data, std::size_t maxLength = 256) {
  return Text(NoZeros(data.ConsumeRandomLengthString(maxLength)));
}

// Ends the run with a report libFuzzer records as a finding.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

inline void Check(bool ok, const char* what) {
  if (!ok) Fail(what);
}

}  // namespace qv::fuzz
