#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/posix_output.hpp"

namespace tradepl::platform {
namespace {

// The temporary file an interrupted run must remove. A signal handler may only read what
// was fully written before it was published, hence the flag around a fixed buffer.
char gTemporaryName[4096];
std::atomic<bool> gHasTemporary{false};

extern "C" void removeTemporaryAndStop(int signal) {
  if (gHasTemporary.load()) unlink(gTemporaryName);
  // The run ends as the signal would have ended it, status and all.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

namespace detail {

void removeOnInterrupt() {
  static const bool installed = [] {
    struct sigaction action {};
    action.sa_handler = removeTemporaryAndStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    return true;
  }();
  (void)installed;
}

bool publishTemporary(const std::string& name) {
  gHasTemporary.store(false);
  if (name.size() >= sizeof gTemporaryName) return false;
  std::memcpy(gTemporaryName, name.c_str(), name.size() + 1);
  gHasTemporary.store(true);
  return true;
}

void forgetTemporary() {
  gHasTemporary.store(false);
}

std::string temporaryNameIn(const std::string& folder) {
  static std::mt19937_64 random(std::random_device{}() ^ static_cast<std::uint64_t>(getpid()));
  char name[40];
  std::snprintf(name, sizeof name, "/.tradepl-%016llx.tmp",
                static_cast<unsigned long long>(random()));
  return folder + name;
}

}  // namespace detail
}  // namespace tradepl::platform
