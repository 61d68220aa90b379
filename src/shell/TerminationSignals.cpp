#include "shell/TerminationSignals.h"

#include <unistd.h>

#include <csignal>

namespace kestrune {
namespace {

volatile std::sig_atomic_t requested = 0;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction previous[3];
int depth = 0;  // instances alive; only the outermost installs and restores the handlers

extern "C" void OnTerminationSignal(int signal) {
  if (requested != 0) _exit(128 + signal);  // the second signal: no more waiting for the save
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
