// libFuzzer target for the replay script parser: any text must give a script or a script error
// naming the line, never a crash, hang or other exception. A script that parses must hold only
// values the runner can use: frames from 1, keys 1..255, the pointer on the picture, rates and
// bonus kinds in range, and frame steps in frame order.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/ReplayScript.h"

namespace {

using namespace kestrune;

bool Usable(const TReplayScript& s) {
  if (s.Frames < 0 || s.RefreshRate < 0 || s.RefreshRate > 1000) return false;
  if (s.RaceLevel < 0 || s.RaceCar < 1 || s.RaceCar > 6) return false;
  for (const TReplayScreenshot& shot : s.Screenshots)
    if (shot.Frame < 1 || shot.Path.empty()) return false;
  bool byTime = false;
  std::int64_t lastFrame = 0;
  for (const TReplayStep& step : s.Steps) {
    const TReplayAction& a = step.Action;
    if (step.ByTime) {
      byTime = true;
    } else {
      // Frame steps come first, in frame order.
      if (byTime || step.AtFrame < 1 || step.AtFrame < lastFrame) return false;
      lastFrame = step.AtFrame;
    }
    switch (a.Type) {
      case TReplayAction::Kind::KeyDown:
      case TReplayAction::Kind::KeyUp:
      case TReplayAction::Kind::Char:
        if (a.Key < 0 || a.Key > 255) return false;
        break;
      case TReplayAction::Kind::MouseMove:
      case TReplayAction::Kind::Click:
        if (a.X < 0 || a.X >= 800 || a.Y < 0 || a.Y >= 600) return false;
        break;
      case TReplayAction::Kind::Bonus:
        if (a.Key < 1 || a.Key > 4) return false;
        break;
      case TReplayAction::Kind::Refresh:
        if (a.Key < 0 || a.Key > 1000) return false;
        break;
      default:
        break;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    if (!Usable(ParseReplayScript(text))) std::abort();
  } catch (const EReplayScriptError&) {
  }
  // Key names alone, as the parser looks them up after the modifiers.
  const int key = VirtualKeyFromName(text);
  if (key < 0 || key > 255) std::abort();
  return 0;
}
