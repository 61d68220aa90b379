#pragma once
// Gamepads drive the game through the same virtual keys as the keyboard, so every screen, overlay
// and the car take a pad without knowing about it. Each pad control held down holds its keys;
// a key is down while any control holding it is, and its key-down and key-up events go out when
// that changes. The default mapping:
//   d-pad: the arrow keys; left stick left/right: Left/Right (steering)
//   right trigger: Up (accelerate); left trigger: Down (brake)
//   A: Enter (menus, overlays) and Z (fire); B: Esc (back; in a race the exit confirmation)
//   X: Space (handbrake); Y: H (horn); right shoulder: X (nitro); left shoulder: Space
//   Start: P (pause); Back: Esc (the exit confirmation)

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "framework/Platform.h"

namespace kestrune {

// Pad controls, named as on SDL's game controller (an Xbox-style layout).
enum class PadButton {
  A,
  B,
  X,
  Y,
  Back,
  Start,
  LeftShoulder,
  RightShoulder,
  DpadUp,
  DpadDown,
  DpadLeft,
  DpadRight
};
enum class PadAxis { LeftX, LeftY, LeftTrigger, RightTrigger };

class GamepadMap {
 public:
  GamepadMap();
  // The game's keys each control holds (the controls file's choice), in the order of the
  // controls: the 12 buttons, then stick left, stick right, left trigger, right trigger. Set
  // before any control is held.
  void SetKeys(const std::array<std::vector<int>, 16>& keys) { keys_ = keys; }

  // A button went down or up on any pad.
  void Button(PadButton button, bool down, std::deque<PlatformEvent>& events);
  // An axis moved (-32768..32767; triggers 0..32767). Past about a third of its travel it counts as
  // held; it lets go below a quarter, so a stick resting near the threshold does not flicker.
  void Axis(PadAxis axis, int value, std::deque<PlatformEvent>& events);
  // A pad was unplugged: everything it held comes up.
  void ReleaseAll(std::deque<PlatformEvent>& events);
  // Sets the keys held by pads in a 256-entry key-state table (top bit = down).
  void AddHeldKeys(std::uint8_t states[256]) const;

 private:
  // Controls: the 12 buttons, then stick left, stick right, left trigger, right trigger.
  static constexpr int kControls = 16;
  void SetControl(int control, bool down, std::deque<PlatformEvent>& events);
  std::array<std::vector<int>, kControls> keys_;
  std::array<bool, kControls> held_{};
  std::array<int, 256> holders_{};
};

}  // namespace kestrune
