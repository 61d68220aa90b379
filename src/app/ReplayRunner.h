#pragma once
// Runs the real game on the headless back end from a replay script: deterministic frames,
// screenshots at chosen frames and a summary of the game state at the end. Used by the
// kestrune-replay tool and by end-to-end tests.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/ReplayScript.h"
#include "platform/headless/HeadlessPlatform.h"

namespace kestrune {

class TMForm;

struct TReplayResult {
  bool Started = false;
  bool Finished = false;  // the game ended itself before the last frame
  int ExitCode = 0;
  std::int64_t FramesRun = 0;
  std::uint64_t Presented = 0;
  std::uint64_t LastFrameHash = 0;
  std::vector<std::string> Screenshots;  // files written
  std::vector<std::string> Errors;       // screenshots that could not be written or were refused
  int ScreenshotsSkipped = 0;            // the script's screenshots not written (WriteScreenshots off)
  // The summary as (name, JSON value) pairs, in output order.
  std::vector<std::pair<std::string, std::string>> Summary;
};

class TReplayRunner {
 public:
  explicit TReplayRunner(TReplayScript script);

  // Runs on the main window before its start-up (for example to add test screens).
  std::function<void(TMForm&)> BeforeFormCreate;
  // Runs after each frame with its 1-based number.
  std::function<void(TMForm&, std::int64_t frame)> AfterFrame;
  // Asked before each frame; true ends the run there (the watcher of a replay left it).
  std::function<bool()> StopRequested;
  // The folder the script's screenshots are written in (names inside it only; see
  // ScriptOutputPath). With WriteScreenshots off, no screenshot is written at all.
  std::string OutputFolder = ".";
  bool WriteScreenshots = true;

  TReplayResult Run();
  HeadlessPlatform& Platform() { return platform_; }

 private:
  void Apply(const TReplayAction& action);
  void TakeScreenshot(const TReplayScreenshot& shot, std::int64_t frame, TReplayResult& result);

  TReplayScript script_;
  HeadlessPlatform platform_;
};

// The summary as one JSON object.
std::string ReplaySummaryJson(const TReplayResult& result);
// The game state's fields of the summary (screen, overlay, level, score, the race) and the
// options (MusicOn, SoundOn, Country), the car's fire, nitro, handbrake and horn keys, the name
// being entered and the high-score table as one JSON object, for a running game: the browser
// build shows them to its page and its tests.
std::string GameStateJson();

}  // namespace kestrune
