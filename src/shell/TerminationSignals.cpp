#include "shell/TerminationSignals.h"

#include <time.h>
#include <unistd.h>

#include <csignal>

namespace kestrune {
namespace {

volatile std::sig_atomic_t requested = 0;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction previous[3];
int depth = 0;  // instances alive; only the outermost installs and restores the handlers

// When the first signal came (CLOCK_MONOTONIC, read in the handler: clock_gettime is
// async-signal-safe).
timespec firstAt{};

extern "C" void OnTerminationSignal(int signal) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  if (requested != 0) {
    // A second signal ends the program at once, no more waiting for the save; but one that
    // follows within a second is the same request delivered twice (timeout(1) and session
    // managers signal the process and then its group), which must not cost the save.
    const long long sinceMs = (now.tv_sec - firstAt.tv_sec) * 1000LL + (now.tv_nsec - firstAt.tv_nsec) / 1000000;
    if (sinceMs >= kSameRequestMs) _exit(128 + signal);
    return;
  }
  firstAt = now;
  requested = 1;
}

}  // namespace

TTerminationSignals::TTerminationSignals() {
  if (depth++ > 0) return;
  requested = 0;
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &previous[i]);
}

TTerminationSignals::~TTerminationSignals() {
  if (--depth > 0) return;
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous[i], nullptr);
  requested = 0;
}

bool TTerminationSignals::Requested() { return requested != 0; }

}  // namespace kestrune
