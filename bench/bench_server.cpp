// Serves the fixture shops for bench/click until it is killed:
//   bench_server PAGE_BYTES CSS_BYTES DELAY_MS
// prints the Taobao designer shop's address and its style-sheet address.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "support/fixture_shops.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_server PAGE_BYTES CSS_BYTES DELAY_MS\n");
    return 2;
  }
  using qv::test::Family;
  using qv::test::Template;
  qv::test::FixtureShops shops(std::strtoul(argv[1], nullptr, 10), std::chrono::milliseconds(std::atoi(argv[3])),
                               std::strtoul(argv[2], nullptr, 10));
  std::printf("%s %s\n", shops.ShopAddress(Family::kTaobao, Template::kDesigner, qv::test::Encoding::kUtf8Meta).c_str(),
              shops.CssAddress(Family::kTaobao, Template::kDesigner).c_str());
  std::fflush(stdout);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  int signal = 0;
  sigwait(&set, &signal);
  return 0;
}
