#pragma once
// Input scripts for replaying a game on the headless back end. Format (one command a line,
// '#' starts a comment):
//
//   seed 1234               random seed (default 1)
//   refresh 60              display refresh rate in Hz (default 60)
//   frames 300              frames to run (default: to the last action and one second more,
//                           at least 60)
//   screenshot 120 a.png    write frame 120 (1-based) as PNG, inside the runner's output folder
//   race 3 2                right after start-up, start a race at level 3 with car 2
//   goodbye off             the saves the run starts from have the goodbye window switched off
//   @<frame> <action>       an action before that frame (frame 1 is the first)
//   @<ms>ms <action>        an action once the game clock reaches that many milliseconds
//
// Actions: keydown KEY, keyup KEY, press KEY (down now, up one frame later), char C (one typed
// character: one character types itself, a digit too; a word of two or more digits is a code:
// "char 08" Backspace, "char 13" Enter), text WORDS (each character typed, at most 4096), mouse
// X Y, click X Y (a move then a click; click X Y 2 is the second click of a double-click), close
// (the window's close command), focus lost|gained, bonus K (the race car picks up bonus K: 1 a
// life, 2 nitro, 3 the machine gun, 4 the rocket projector), goodbye mouse|click X Y, goodbye
// keydown|keyup|press KEY and goodbye close (the same in the goodbye window, 320 x 300),
// refresh HZ (the display's refresh rate changes, as when the window moves to another monitor).
// KEY is a name (Up, Down, Left, Right, Esc, Enter, Space, Shift, Ctrl, Alt, Backspace, Tab,
// F1..F12, A..Z, 0..9) or a code (0x26); "Alt+Enter" style prefixes Alt+, Shift+, Ctrl+ set the
// modifier flags of the event, and Pad+ marks a key sent by a gamepad control.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrune {

class EReplayScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TReplayAction {
  enum class Kind { KeyDown, KeyUp, Char, MouseMove, Click, Close, FocusLost, FocusGained, Bonus, Refresh };
  Kind Type = Kind::KeyDown;
  // Virtual-key code, the character for Char, the bonus kind for Bonus, the rate in Hz for Refresh.
  int Key = 0;
  bool Shift = false, Ctrl = false, Alt = false;
  bool FromPad = false;  // a key sent by a gamepad control
  int X = 0, Y = 0;
  int Window = 0;  // 0 the main window, 1 the goodbye window
  int Clicks = 1;  // Click: 2 for the second click of a double-click
};

struct TReplayStep {
  // Before frame AtFrame (1-based), or once the clock reaches AtMs when ByTime is set.
  bool ByTime = false;
  std::int64_t AtFrame = 0;
  std::uint32_t AtMs = 0;
  TReplayAction Action;
};

struct TReplayScreenshot {
  std::int64_t Frame = 0;
  std::string Path;
  // Named by the user on the command line: written where it says. A script's own screenshots
  // stay inside the runner's output folder.
  bool FromCommandLine = false;
};

struct TReplayScript {
  std::uint32_t Seed = 1;
  int RefreshRate = 60;
  std::int64_t Frames = 60;
  // A race to start right after start-up (level 0: none).
  std::int32_t RaceLevel = 0, RaceCar = 1;
  // The goodbye window was switched off in the recorded player's saves: leaving ends at once.
  bool GoodbyeOff = false;
  std::vector<TReplayScreenshot> Screenshots;
  std::vector<TReplayStep> Steps;
};

// Raises EReplayScriptError naming the line for anything it does not understand.
TReplayScript ParseReplayScript(const std::string& text);
TReplayScript LoadReplayScript(const std::string& path);
// The virtual-key code of a key name or code; 0 when unknown.
int VirtualKeyFromName(const std::string& name);

}  // namespace kestrune
