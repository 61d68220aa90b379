#pragma once
// The program: start-up, the message and frame loop, and the end.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace kestrune {

class IPlatform;
class TMForm;
class TForm8a;
struct PlatformEvent;

// One run of the game on a platform, step by step: the executable loops Step until Finished;
// tests and the replay driver call it frame by frame.
class TGameSession {
 public:
  TGameSession(IPlatform& platform, std::uint32_t randomSeed);
  ~TGameSession();
  TGameSession(const TGameSession&) = delete;
  TGameSession& operator=(const TGameSession&) = delete;

  // Runs on the new main window before its start-up (FormCreate): tests and tools use it to
  // add or replace handlers.
  std::function<void(TMForm&)> BeforeFormCreate;

  // Opens the window and runs the start-up. On failure shows the message in a message box,
  // prints it on standard error and returns false (ExitCode is then non-zero).
  bool Start();
  // Delivers the pending window events, then runs the timer's idle step (one frame while the
  // timer runs; while it is suspended, waits a little for events instead).
  void Step();
  bool Finished() const { return finished_; }
  // Non-zero after a failed start-up, a failure during play, or an end whose save failed.
  int ExitCode() const { return exitCode_; }
  // The main window; null before Start and after a failed start-up.
  TMForm* Form() { return form_.get(); }
  // The goodbye window, made when leaving the game first shows it; null before.
  TForm8a* Form8a() { return form8a_.get(); }
  // The best score reached in this sitting.
  std::int32_t BestScore() const { return bestScore_; }

 private:
  void Dispatch(const PlatformEvent& event);
  // False for the second (third, ...) click of a multiple click that arrives after the screen,
  // overlay or window its first click was aimed at has gone: a double-click on Back must not go
  // on to activate the main menu's item that Back selected.
  bool ClickStillAimed(const PlatformEvent& click);
  void Fail(const std::exception& error);
  void Fail(const std::string& message);

  IPlatform& platform_;
  std::uint32_t randomSeed_;
  std::unique_ptr<TMForm> form_;
  std::unique_ptr<TForm8a> form8a_;  // refers to form_: declared after it, destroyed first
  std::int32_t bestScore_ = 0;
  bool startedUp_ = false;  // the main window's start-up has finished
  // What the first click of the latest click series was aimed at: the window (0 main, 1 the
  // goodbye window) and, in the main window, the screen and the overlay.
  struct ClickTarget {
    int Window = -1, Screen = 0, Overlay = 0;
    bool operator==(const ClickTarget&) const = default;
  };
  ClickTarget firstClickTarget_;
  bool finished_ = false;
  int exitCode_ = 0;
};

// Runs the whole game on the given platform until it ends; returns the process exit status.
int RunGame(IPlatform& platform, std::uint32_t randomSeed);

}  // namespace kestrune
