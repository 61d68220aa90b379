#include "app/ReplayWindow.h"

#include <cstdint>
#include <iostream>

#include "app/ReplayRunner.h"
#include "app/ReplayScript.h"
#include "platform/FrameWait.h"

namespace kestrune {

int PlayReplayInWindow(const std::string& scriptPath, const SdlPlatformSettings& settings) {
  TReplayScript script;
  try {
    script = LoadReplayScript(scriptPath);
  } catch (const std::exception& e) {
    std::cerr << "kestrune: " << e.what() << std::endl;
    return 1;
  }
  // The script's clock paces the pictures: the window does not wait a second time for its own
  // next refresh (on a display without vertical-blank waits that second wait would mostly spin).
  SdlPlatformSettings windowSettings = settings;
  windowSettings.PacedByCaller = true;
  auto window = CreateSdlPlatform(windowSettings);
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
  DeadlineWaiter waiter;
  const std::int64_t start = waiter.Now();
  constexpr std::int64_t kMs = 1'000'000;
  runner.Platform().OnPresent = [&](const std::uint16_t* pixels, int width, int height, int pitch) {
    // The script's clock sets the pace: a picture waits for its time; pictures running late
    // (a display slower than the recording's) are skipped rather than slowing the run down.
    const std::int64_t due = start + static_cast<std::int64_t>(game.Milliseconds()) * kMs;
    if (waiter.Now() > due + 50 * kMs) return;
    waiter.WaitUntil(due);
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
