// A local HTTPS server for tests: `openssl s_server` with a self-signed
// certificate for "localhost", made afresh in a temporary folder.
#pragma once

#include <sys/types.h>

#include <string>

namespace qv::test {

class TlsServer {
 public:
  TlsServer();
  ~TlsServer();
  TlsServer(const TlsServer&) = delete;
  TlsServer& operator=(const TlsServer&) = delete;

  [[nodiscard]] bool ready() const { return ready_; }
  [[nodiscard]] int port() const { return port_; }
  [[nodiscard]] const std::string& certificateFile() const { return certificate_; }

 private:
  std::string folder_;
  std::string certificate_;
  int port_ = 0;
  pid_t pid_ = -1;
  bool ready_ = false;
};

}  // namespace qv::test
