// Gamepads drive the game through the same keys as the keyboard: the mapping seen through the
// platform interface, and a race driven by the pad exactly as by the keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/ReplayRunner.h"
#include "app/ReplayScript.h"
#include "game/GameState.h"
#include "platform/headless/HeadlessPlatform.h"

namespace kestrune {
namespace {

using Kind = PlatformEvent::Kind;

std::vector<PlatformEvent> Drain(IPlatform& platform) {
  std::vector<PlatformEvent> events;
  PlatformEvent e;
  while (platform.PollEvent(e)) events.push_back(e);
  return events;
}

std::vector<int> HeldKeys(IPlatform& platform) {
  std::uint8_t states[256] = {};
  platform.ReadKeyboard(states);
  std::vector<int> held;
  for (int vk = 0; vk < 256; ++vk)
    if (states[vk] & 0x80) held.push_back(vk);
  return held;
}

TEST(Gamepad, EachControlHoldsItsKeys) {
  struct Case {
    const char* name;
    PadButton button;
    std::vector<int> keys;
  };
  const std::vector<Case> cases = {
      {"A", PadButton::A, {0x0D, 'Z'}},
      {"B", PadButton::B, {0x1B}},
      {"X", PadButton::X, {0x20}},
      {"Y", PadButton::Y, {'H'}},
      {"Back", PadButton::Back, {0x1B}},
      {"Start", PadButton::Start, {'P'}},
      {"LB", PadButton::LeftShoulder, {0x20}},
      {"RB", PadButton::RightShoulder, {'X'}},
      {"Up", PadButton::DpadUp, {0x26}},
      {"Down", PadButton::DpadDown, {0x28}},
      {"Left", PadButton::DpadLeft, {0x25}},
      {"Right", PadButton::DpadRight, {0x27}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessPlatform platform;
    platform.PadButton(c.button, true);
    EXPECT_EQ(HeldKeys(platform), c.keys);
    std::vector<int> downs;
    for (const PlatformEvent& e : Drain(platform)) {
      if (e.Type == Kind::KeyDown) downs.push_back(e.VirtualKey);
      // Only A types Enter's character, the one that activates a menu item.
      if (e.Type == Kind::Char) {
        EXPECT_EQ(c.button, PadButton::A);
      }
    }
    std::sort(downs.begin(), downs.end());
    EXPECT_EQ(downs, c.keys);
    platform.PadButton(c.button, false);
    EXPECT_TRUE(HeldKeys(platform).empty());
    EXPECT_EQ(Drain(platform).size(), c.keys.size());  // one key-up each
  }
}

TEST(Gamepad, SticksAndTriggersHoldKeysPastAThresholdWithoutFlicker) {
  HeadlessPlatform platform;
  platform.PadAxis(PadAxis::RightTrigger, 5000);
  platform.PadAxis(PadAxis::LeftX, -9000);
  platform.PadAxis(PadAxis::LeftY, -32768);  // forward on the stick steers nothing
  EXPECT_TRUE(HeldKeys(platform).empty());
  platform.PadAxis(PadAxis::RightTrigger, 32767);
  platform.PadAxis(PadAxis::LeftX, -20000);
  EXPECT_EQ(HeldKeys(platform), (std::vector<int>{0x25, 0x26}));
  // Between the release and press thresholds a held stick stays held.
  platform.PadAxis(PadAxis::LeftX, -9000);
  EXPECT_EQ(HeldKeys(platform), (std::vector<int>{0x25, 0x26}));
  // Swinging straight across lets Left go and takes Right.
  platform.PadAxis(PadAxis::LeftX, 32767);
  platform.PadAxis(PadAxis::LeftTrigger, 30000);
  EXPECT_EQ(HeldKeys(platform), (std::vector<int>{0x26, 0x27, 0x28}));
}

TEST(Gamepad, AKeyHeldByTwoControlsComesUpWithTheLastAndUnpluggingReleasesAll) {
  HeadlessPlatform platform;
  platform.PadButton(PadButton::DpadLeft, true);
  platform.PadAxis(PadAxis::LeftX, -32768);
  EXPECT_EQ(Drain(platform).size(), 1u);  // one key-down for Left
  platform.PadButton(PadButton::DpadLeft, false);
  EXPECT_TRUE(Drain(platform).empty());  // the stick still holds it
  EXPECT_EQ(HeldKeys(platform), std::vector<int>{0x25});
  platform.PadButton(PadButton::Start, true);
  platform.PadAxis(PadAxis::RightTrigger, 32767);
  Drain(platform);
  platform.UnplugPad();
  EXPECT_TRUE(HeldKeys(platform).empty());
  const auto ups = Drain(platform);
  EXPECT_EQ(ups.size(), 3u);
  for (const PlatformEvent& e : ups) EXPECT_EQ(e.Type, Kind::KeyUp);
}

// The keyboard race of the race tests (level 1, Up held for race frames 20 to 190 at 85 Hz),
// driven by the right trigger instead, ends in the same place at the same speed.
TEST(Gamepad, TheTriggerDrivesTheCarAsTheUpKeyDoes) {
  const std::string script = "seed 5\nrefresh 85\nframes 382\nrace 1 1\n";
  auto run = [&](const std::string& extra, bool pad) {
    TReplayRunner runner(ParseReplayScript(script + extra));
    if (pad) {
      runner.AfterFrame = [&runner](TMForm&, std::int64_t frame) {
        if (frame == 201) runner.Platform().PadAxis(PadAxis::RightTrigger, 32767);
        if (frame == 371) runner.Platform().PadAxis(PadAxis::RightTrigger, 0);
      };
    }
    const TReplayResult result = runner.Run();
    return std::map<std::string, std::string>(result.Summary.begin(), result.Summary.end());
  };
  auto keys = run("@202 keydown Up\n@372 keyup Up\n", false);
  auto pad = run("", true);
  EXPECT_NEAR(std::stod(pad["Speed"]), 48.25, 0.01);
  for (const char* field : {"Speed", "MapRowOffset", "MapColumnOffset", "TimeLeft", "LastFrameHash"})
    EXPECT_EQ(pad[field], keys[field]) << field;
}

TEST(Gamepad, StartPausesTheRaceAndBackAsksToLeaveIt) {
  for (const auto& [button, overlay] :
       {std::pair{PadButton::Start, OverlayPause}, std::pair{PadButton::Back, OverlayExitToMenu}}) {
    TReplayRunner runner(ParseReplayScript("refresh 85\nframes 200\nrace 1 1\n"));
    runner.AfterFrame = [&runner, button](TMForm&, std::int64_t frame) {
      if (frame == 190) runner.Platform().PadButton(button, true);
      if (frame == 191) runner.Platform().PadButton(button, false);
    };
    const TReplayResult result = runner.Run();
    std::map<std::string, std::string> s(result.Summary.begin(), result.Summary.end());
    EXPECT_EQ(s["Overlay"], std::to_string(overlay));
  }
}

}  // namespace
}  // namespace kestrune
