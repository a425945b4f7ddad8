#include "support/tls_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/http_server.h"

namespace qv::test {

namespace {

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

TlsServer::TlsServer() {
  char pattern[] = "/tmp/qv-tls-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return;
  folder_ = pattern;
  certificate_ = folder_ + "/cert.pem";
  const std::string key = folder_ + "/key.pem";
  const std::string make =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=localhost "
      "-addext subjectAltName=DNS:localhost -keyout " +
      key + " -out " + certificate_ + " >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0) return;
  port_ = ClosedPort();
  const std::string accept = "127.0.0.1:" + std::to_string(port_);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::execlp("openssl", "openssl", "s_server", "-quiet", "-www", "-accept", accept.c_str(), "-cert",
             certificate_.c_str(), "-key", key.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  for (int i = 0; i < 100 && !ready_; ++i) {  // up to 5 s for the server to listen
    ready_ = Accepts(port_);
    if (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

TlsServer::~TlsServer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

}  // namespace qv::test
