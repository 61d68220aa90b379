// The controls file: which keys and pad controls stand for the game's actions, and the game's
// key each keyboard key then gives.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ReplayRunner.h"
#include "app/ReplayScript.h"
#include "platform/sdl/SdlControls.h"

namespace kestrune {
namespace {

constexpr int kVkUp = 0x26, kVkEnter = 0x0D, kVkSpace = 0x20;
// Pad controls in GamepadMap's order.
constexpr int kPadA = 0, kPadX = 2, kPadDpadLeft = 10, kPadStickLeft = 12;

TEST(SdlControls, LinesOfTheControlsFileGiveKeysOrKeepTheDefaults) {
  struct Case {
    const char* text;
    int warnings;
    std::vector<std::pair<SDL_Keycode, int>> keys;  // key -> the game's key (0 none, -1 itself)
  };
  const Case cases[] = {
      {"", 0, {{SDLK_UP, kVkUp}, {SDLK_RETURN, kVkEnter}, {SDLK_KP_ENTER, kVkEnter}, {SDLK_w, -1}}},
      {"# comment only\n\n", 0, {{SDLK_UP, kVkUp}}},
      // Moved: W accelerates, Up does nothing any more.
      {"up = W", 0, {{SDLK_w, kVkUp}, {SDLK_UP, 0}}},
      {"UP = w, Up  # both\r\n", 0, {{SDLK_w, kVkUp}, {SDLK_UP, kVkUp}}},
      {"fire = Left Ctrl, Comma", 0, {{SDLK_LCTRL, 'Z'}, {SDLK_COMMA, 'Z'}, {SDLK_z, 0}}},
      // A key taken by another action leaves the one that had it.
      {"horn = Z", 0, {{SDLK_z, 'H'}, {SDLK_h, 0}}},
      {"handbrake = Keypad 0 |", 0, {{SDLK_KP_0, kVkSpace}, {SDLK_SPACE, 0}}},
      // Unknown names: one warning each, the action keeps its defaults, the other lines count.
      {"up = Foo\ndown = S", 1, {{SDLK_UP, kVkUp}, {SDLK_s, 0x28}}},
      {"up = W, \xff\x1b[2J", 1, {{SDLK_UP, kVkUp}, {SDLK_w, -1}}},
      {"left = A | dpleft, -leftx, bogus", 1, {{SDLK_LEFT, 0x25}, {SDLK_a, -1}}},
      {"jump = Space", 1, {{SDLK_SPACE, kVkSpace}}},
      {"up W", 1, {{SDLK_UP, kVkUp}}},
      {"up = ", 0, {{SDLK_UP, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> warnings;
    const ControlsTable table = SdlReadControls(c.text, warnings);
    EXPECT_EQ(static_cast<int>(warnings.size()), c.warnings);
    for (const std::string& w : warnings) {
      EXPECT_EQ(w.find('\x1b'), std::string::npos) << "raw bytes reach the terminal";
      EXPECT_EQ(w.rfind("line ", 0), 0u) << w;
    }
    for (const auto& [key, vk] : c.keys) EXPECT_EQ(table.VirtualKeyOf(key), vk) << SDL_GetKeyName(key);
  }
}

TEST(SdlControls, PadControlsHoldTheKeysOfTheirActions) {
  std::vector<std::string> warnings;
  const auto defaults = SdlDefaultControls().PadKeys();
  EXPECT_EQ(defaults[kPadA], (std::vector<int>{kVkEnter, 'Z'}));
  EXPECT_EQ(defaults[kPadX], (std::vector<int>{kVkSpace}));
  EXPECT_EQ(defaults[kPadStickLeft], (std::vector<int>{0x25}));

  const auto pad = SdlReadControls("fire = Z | x\nhandbrake = Space |\nleft = Left | -LEFTX", warnings).PadKeys();
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(pad[kPadA], (std::vector<int>{kVkEnter}));
  EXPECT_EQ(pad[kPadX], (std::vector<int>{'Z'}));
  EXPECT_TRUE(pad[kPadDpadLeft].empty());
  EXPECT_EQ(pad[kPadStickLeft], (std::vector<int>{0x25}));
}

// What --controls prints is a controls file that reads back as the same table.
TEST(SdlControls, ThePrintedTableReadsBackTheSame) {
  std::vector<std::string> warnings;
  const ControlsTable table = SdlReadControls("up = W, Keypad 8 | dpup\nfire = Comma, Left Ctrl", warnings);
  const std::string printed = SdlFormatControls(table);
  EXPECT_NE(printed.find("up = W, Keypad 8 | dpup "), std::string::npos) << printed;
  EXPECT_NE(SdlFormatControls(SdlDefaultControls()).find("enter = Return, Keypad Enter | a "), std::string::npos);
  const ControlsTable again = SdlReadControls(printed, warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(again.Keys, table.Keys);
  EXPECT_EQ(again.Pad, table.Pad);
}

// Keys nobody moved keep their codes (letters by label, the rest by position); moved keys give
// their action's key.
TEST(SdlControls, MappedKeysGiveTheirActionsKey) {
  std::vector<std::string> warnings;
  const ControlsTable table = SdlReadControls("up = W\nfire = Space\nhandbrake = B", warnings);
  EXPECT_EQ(MappedVirtualKey(table, SDL_SCANCODE_W, SDLK_w), kVkUp);
  EXPECT_EQ(MappedVirtualKey(table, SDL_SCANCODE_Z, SDLK_w), kVkUp);  // W on a French keyboard
  EXPECT_EQ(MappedVirtualKey(table, SDL_SCANCODE_UP, SDLK_UP), 0);
  EXPECT_EQ(MappedVirtualKey(table, SDL_SCANCODE_SPACE, SDLK_SPACE), 'Z');
  EXPECT_EQ(MappedVirtualKey(table, SDL_SCANCODE_B, SDLK_b), kVkSpace);
  EXPECT_EQ(MappedVirtualKey(table, SDL_SCANCODE_Q, SDLK_q), 'Q');
  EXPECT_EQ(MappedVirtualKey(table, SDL_SCANCODE_1, SDLK_AMPERSAND), '1');
}

// A key moved to "up" drives the car and the key it was moved from no longer does: the race
// gets the game's key that the mapping gives each keyboard key.
TEST(SdlControls, AMovedKeyDrivesTheCar) {
  std::vector<std::string> warnings;
  const ControlsTable table = SdlReadControls("up = W", warnings);
  auto speedAfterHolding = [&](SDL_Scancode scancode, SDL_Keycode key) {
    TReplayRunner runner(ParseReplayScript("race 1 1\nframes 320\n"));
    const int vk = MappedVirtualKey(table, scancode, key);
    runner.AfterFrame = [&](TMForm&, std::int64_t frame) {
      if (frame != 200 || vk <= 0) return;
      runner.Platform().SetKey(vk, true);
      PlatformEvent down;
      down.Type = PlatformEvent::Kind::KeyDown;
      down.VirtualKey = vk;
      runner.Platform().PushEvent(down);
    };
    const TReplayResult result = runner.Run();
    for (const auto& [field, value] : result.Summary)
      if (field == "Speed") return std::stod(value);
    ADD_FAILURE() << "no race";
    return -1.0;
  };
  EXPECT_GT(speedAfterHolding(SDL_SCANCODE_W, SDLK_w), 20.0);
  EXPECT_EQ(speedAfterHolding(SDL_SCANCODE_UP, SDLK_UP), 0.0);
}

}  // namespace
}  // namespace kestrune
