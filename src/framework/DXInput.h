#pragma once
// Keyboard input as 36 numbered input states. Once per frame Update reads the 256 key states,
// maps them through the Assigns table and updates States: a state enters States when its key
// goes down and leaves it when the key goes up, so a state the game removed itself returns only
// after its key is released and pressed again.

#include <array>
#include <bitset>
#include <cstdint>

namespace kestrune {

class IPlatform;

constexpr int InputStateCount = 36;
using TDXInputStates = std::bitset<InputStateCount>;

// Input state numbers: the four directions, then 32 buttons.
enum TDXInputState : int {
  isUp = 0,
  isDown = 1,
  isLeft = 2,
  isRight = 3,
  isButton1 = 4,  // isButton1 .. isButton32 are states 4 .. 35
};
constexpr int isButton(int n) { return isButton1 + n - 1; }

// Three virtual-key codes per state (0 = none).
using TKeyAssignList = std::array<std::array<int, 3>, InputStateCount>;

// The main window's key table: arrows, H, P, Y, N, Esc, Space, Enter, Z, X, C, V, B, 1..9, 0.
TKeyAssignList MainFormKeyAssigns();

class TKeyboard {
 public:
  bool Enabled = true;
  bool BindInputStates = true;
  TKeyAssignList Assigns{};
  // The key-state table of the last update: a key is down when its top bit (0x80) is set.
  std::array<std::uint8_t, 256> Keys{};
  TDXInputStates States;

  // Reads the keyboard through the platform; when foregroundOnly is set and the window is not in
  // the foreground, every key reads as up.
  void Update(IPlatform* platform, bool foregroundOnly);
};

class TDXInput {
 public:
  explicit TDXInput(IPlatform* platform);

  bool ActiveOnly = true;
  bool UseDirectInput = true;
  TKeyboard Keyboard;
  // The states after the last Update. The game may remove a state itself (see above).
  TDXInputStates States;

  void Update();

 private:
  IPlatform* platform_;
  TDXInputStates previousRaw_;
};

}  // namespace kestrune
