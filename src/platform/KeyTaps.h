#pragma once
// Keys that went down since the keyboard was last read. The game reads the keyboard once a frame,
// as a table of held keys; a key that goes down and up between two reads (a tap shorter than a
// frame: on-screen keyboards, key remappers, remote desktops) would not show in either. Taps
// show as held in the next read, once, so such a tap counts as one press, as a frame-long one
// does; a key held longer reads as it always has.

#include <array>
#include <cstdint>

namespace kestrune {

class KeyTaps {
 public:
  // A key (1..255) went down.
  void Down(int virtualKey) {
    if (virtualKey > 0 && virtualKey < 256) tapped_[static_cast<std::size_t>(virtualKey)] = true;
  }
  // Adds the keys that went down since the last read to a table of held keys (top bit), and
  // forgets them.
  void AddTo(std::uint8_t states[256]) {
    for (std::size_t vk = 0; vk < tapped_.size(); ++vk)
      if (tapped_[vk]) states[vk] |= 0x80;
    tapped_.fill(false);
  }
  void Clear() { tapped_.fill(false); }

 private:
  std::array<bool, 256> tapped_{};
};

}  // namespace kestrune
