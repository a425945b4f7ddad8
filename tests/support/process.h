// Runs a program and collects its exit status and output, for end-to-end tests.
#pragma once

#include <string>
#include <vector>

namespace qv::test {

struct ProcessResult {
  int exitCode = -1;  // 0..255, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs `argv` (argv[0] is the program path) with standard input closed and
// kills it when it runs longer than `timeoutSeconds`.
[[nodiscard]] ProcessResult RunProcess(const std::vector<std::string>& argv, int timeoutSeconds = 60);

}  // namespace qv::test
