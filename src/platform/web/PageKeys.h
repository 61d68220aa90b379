#pragma once
// The page's own controls (the touch pads and the letter picker) as game keys: the page says
// which virtual key went down or up and which character was picked, and the game gets exactly
// the events and held keys a keyboard would give it, so the race cannot tell them apart.

#include <array>
#include <cstdint>
#include <deque>

#include "framework/Platform.h"
#include "platform/KeyTaps.h"

namespace kestrune {

class PageKeys {
 public:
  // A page control pressed (down) or let go. A key already in that state changes nothing, so
  // two controls sending the same key, or a repeated message, give one key-down and one key-up.
  // As on the keyboard, Enter and Backspace also type their character after their key-down.
  void Key(int virtualKey, bool down, std::deque<PlatformEvent>& events);
  // A character picked on the page (the letter picker): one typed character.
  static void Char(std::uint8_t ch, std::deque<PlatformEvent>& events);
  // Everything held comes up (the page lost its controls: turned, hidden).
  void ReleaseAll(std::deque<PlatformEvent>& events);
  // Sets the keys the page holds in a 256-entry key-state table (top bit = down); a key that
  // went down and up since the last call (a quick tap on a pad) shows as held, once.
  void AddHeldKeys(std::uint8_t states[256]);

 private:
  std::array<bool, 256> held_{};
  KeyTaps taps_;
};

// While the page's letter picker is open the game pad drives the picker, not the game: its key
// events are dropped here, with the Enter character that follows a pad's Enter.
class PadEventFilter {
 public:
  // True when the event is the game's; false when the picker takes it.
  bool Passes(const PlatformEvent& event, bool pickerOpen);

 private:
  bool dropEnterChar_ = false;
};

}  // namespace kestrune
