#include "platform/GamepadMap.h"

#include <vector>

namespace kestrune {
namespace {

constexpr int kVkEnter = 0x0D, kVkEsc = 0x1B, kVkSpace = 0x20;
constexpr int kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;
constexpr int kStickLeft = 12, kStickRight = 13, kLeftTrigger = 14, kRightTrigger = 15;
constexpr int kPressAt = 11000, kReleaseBelow = 8000;

// The virtual keys each control holds by default, in the order of the controls.
const std::vector<int>& DefaultKeysOf(int control) {
  static const std::vector<int> table[] = {
      {kVkEnter, 'Z'},                                    // A
      {kVkEsc},                                           // B
      {kVkSpace},                                         // X
      {'H'},                                              // Y
      {kVkEsc},                                           // Back
      {'P'},                                              // Start
      {kVkSpace},                                         // left shoulder
      {'X'},                                              // right shoulder
      {kVkUp},                                            // d-pad
      {kVkDown},       {kVkLeft}, {kVkRight}, {kVkLeft},  // stick left
      {kVkRight},                                         // stick right
      {kVkDown},                                          // left trigger
      {kVkUp},                                            // right trigger
  };
  return table[control];
}

}  // namespace

GamepadMap::GamepadMap() {
  for (int control = 0; control < kControls; ++control) keys_[control] = DefaultKeysOf(control);
}

void GamepadMap::Button(PadButton button, bool down, std::deque<PlatformEvent>& events) {
  SetControl(static_cast<int>(button), down, events);
}

void GamepadMap::Axis(PadAxis axis, int value, std::deque<PlatformEvent>& events) {
  auto update = [&](int control, int amount) {
    if (!held_[control] && amount >= kPressAt) SetControl(control, true, events);
    if (held_[control] && amount < kReleaseBelow) SetControl(control, false, events);
  };
  switch (axis) {
    case PadAxis::LeftX:
      update(kStickLeft, -value);
      update(kStickRight, value);
      break;
    case PadAxis::LeftY:
      break;  // steering only: pushing the stick forward does not accelerate
    case PadAxis::LeftTrigger:
      update(kLeftTrigger, value);
      break;
    case PadAxis::RightTrigger:
      update(kRightTrigger, value);
      break;
  }
}

void GamepadMap::ReleaseAll(std::deque<PlatformEvent>& events) {
  for (int control = 0; control < kControls; ++control) SetControl(control, false, events);
}

void GamepadMap::AddHeldKeys(std::uint8_t states[256]) const {
  for (int vk = 0; vk < 256; ++vk)
    if (holders_[vk] > 0) states[vk] |= 0x80;
}

void GamepadMap::SetControl(int control, bool down, std::deque<PlatformEvent>& events) {
  if (control < 0 || control >= kControls || held_[control] == down) return;
  held_[control] = down;
  for (const int vk : keys_[control]) {
    if (vk < 1 || vk > 255) continue;
    int& holders = holders_[vk];
    holders += down ? 1 : -1;
    if (holders != (down ? 1 : 0)) continue;  // another control already holds (or still holds) it
    PlatformEvent e;
    e.Type = down ? PlatformEvent::Kind::KeyDown : PlatformEvent::Kind::KeyUp;
    e.VirtualKey = vk;
    e.FromPad = true;
    events.push_back(e);
    // As on the keyboard, Enter also types its character, which is what activates a menu item.
    if (down && vk == kVkEnter) {
      PlatformEvent ch;
      ch.Type = PlatformEvent::Kind::Char;
      ch.Char = 13;
      events.push_back(ch);
    }
  }
}

}  // namespace kestrune
