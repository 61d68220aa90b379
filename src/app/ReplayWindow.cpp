#include "app/ReplayWindow.h"

#include <chrono>
#include <iostream>
#include <thread>

#include "app/ReplayRunner.h"
#include "app/ReplayScript.h"

namespace kestrune {

int PlayReplayInWindow(const std::string& scriptPath, const SdlPlatformSettings& settings) {
  TReplayScript script;
  try {
    script = LoadReplayScript(scriptPath);
  } catch (const std::exception& e) {
    std::cerr << "kestrune: " << e.what() << std::endl;
    return 1;
  }
  auto window = CreateSdlPlatform(settings);
  if (!window->OpenWindow("Kestrune (replay)", 800, 600)) {
    std::cerr << "kestrune: " << window->LastError() << std::endl;
    return 2;
  }
  TReplayRunner runner(std::move(script));
  // A replay watched in the window writes no files: its script may come from anyone.
  runner.WriteScreenshots = false;
  HeadlessPlatform& game = runner.Platform();
  game.UseAudioOutput(window->Audio());
  bool leave = false;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  runner.Platform().OnPresent = [&](const std::uint16_t* pixels, int width, int height, int pitch) {
    // The script's clock sets the pace: a picture waits for its time; pictures running late
    // (a display slower than the recording's) are skipped rather than slowing the run down.
    const auto due = start + std::chrono::milliseconds(game.Milliseconds());
    const auto now = Clock::now();
    if (now > due + std::chrono::milliseconds(50)) return;
    if (now < due) std::this_thread::sleep_until(due);
    window->Present(pixels, width, height, pitch);
  };
  runner.StopRequested = [&] {
    for (PlatformEvent e; window->PollEvent(e);) {
      if (e.Type == PlatformEvent::Kind::Close ||
          (e.Type == PlatformEvent::Kind::KeyDown && e.VirtualKey == 0x1B))
        leave = true;
    }
    return leave;
  };
  const TReplayResult result = runner.Run();
  if (!result.Started) return 2;
  if (result.ScreenshotsSkipped > 0)
    std::cerr << "kestrune: a replay in the window writes no files: " << result.ScreenshotsSkipped
              << " screenshot(s) skipped (kestrune-replay writes them)" << std::endl;
  std::cerr << "Kestrune: replayed " << result.FramesRun << " frames" << (leave ? " (left)" : "")
            << std::endl;
  return 0;
}

}  // namespace kestrune
