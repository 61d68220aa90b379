#pragma once
// The player's controls: which keyboard keys and gamepad controls stand for each of the game's
// actions. The game itself only knows its virtual keys (Up, Z, Esc, ...); the back end turns the
// keys and pad controls listed here into those, so the game's rules and recordings (which hold
// the game's key codes) do not change with the player's choice.
//
// The controls file has one action a line:   action = Key, Key | padcontrol, padcontrol
// Keys go by their SDL names ("Up", "Left Ctrl", "Keypad Enter", "W"; the comma key is written
// "Comma"), pad controls by SDL's game-controller names ("a", "dpup", "righttrigger", and
// "-leftx" / "+leftx" for the left stick pushed left / right). Without "|" the action keeps its
// pad controls; "#" starts a comment. A line naming an unknown action, key or pad control is
// reported and the action keeps its defaults.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestrune {

// The pad controls a mapping can use, in GamepadMap's order.
inline constexpr int kPadControlCount = 16;
// SDL's name of pad control i.
const char* PadControlName(int control);
// The pad control of an SDL name, or -1.
int PadControlFromName(const std::string& name);

struct ControlAction {
  const char* Name;      // as written in the file
  int VirtualKey;        // the game's key it stands for
  const char* Does;      // what it does, for the printed table
  std::vector<const char*> DefaultKeys;
  std::vector<int> DefaultPad;
};

// Every action, in file order.
const std::vector<ControlAction>& ControlActions();

// A key's code from its name (0 for an unknown name) and back; the SDL back end supplies these.
using KeyFromName = std::function<std::int32_t(const std::string&)>;
using NameOfKey = std::function<std::string(std::int32_t)>;

struct ControlsTable {
  // Per action (ControlActions order): its key codes and pad controls.
  std::vector<std::vector<std::int32_t>> Keys;
  std::vector<std::vector<int>> Pad;

  // The game's key for a key code: the action's key when an action lists it; 0 for a key some
  // action has by default but no action lists any more (it was moved away); -1 for a key no
  // action concerns (it keeps its own code).
  int VirtualKeyOf(std::int32_t key) const;
  // The game's keys each pad control holds, in GamepadMap's control order.
  std::array<std::vector<int>, kPadControlCount> PadKeys() const;

  // Every key some action has by default.
  std::vector<std::int32_t> DefaultKeyCodes;
};

// Today's controls: the keyboard table and the pad mapping the README shows.
ControlsTable DefaultControls(const KeyFromName& keyFromName);
// The controls a file's text describes; every problem adds one line to warnings.
ControlsTable ReadControls(const std::string& text, const KeyFromName& keyFromName,
                           std::vector<std::string>& warnings);
// The table as a controls file (what `kestrune --controls` prints).
std::string FormatControls(const ControlsTable& table, const NameOfKey& nameOfKey);

}  // namespace kestrune
