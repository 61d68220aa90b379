#pragma once
// Termination signals (the desktop session ending, Ctrl+C in a terminal, the terminal closing):
// the first one asks the game to save and end as leaving it normally does, without the goodbye
// window; a second one, a second or more later, ends the program at once.

namespace kestrune {

// Signals closer together than this are one request delivered twice.
inline constexpr long long kSameRequestMs = 1000;

class TTerminationSignals {
 public:
  // Installs the handlers for SIGTERM, SIGINT and SIGHUP; the destructor puts back the ones
  // that were there and forgets a request. Instances nest: only the outermost installs and
  // restores, so a signal taken by an outer one (the program's start-up) is still seen inside.
  TTerminationSignals();
  ~TTerminationSignals();
  TTerminationSignals(const TTerminationSignals&) = delete;
  TTerminationSignals& operator=(const TTerminationSignals&) = delete;

  // True once a signal arrived.
  static bool Requested();
};

}  // namespace kestrune
