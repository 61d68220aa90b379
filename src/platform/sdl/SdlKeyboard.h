#pragma once
// The keyboard as the game sees it: SDL's key events and held keys as the game's virtual keys,
// under the player's controls except while text is typed.

#include <SDL.h>

#include <array>
#include <cstdint>
#include <deque>

#include "framework/Platform.h"
#include "platform/Controls.h"
#include "platform/KeyTaps.h"

namespace kestrune {

class SdlKeyboard {
 public:
  explicit SdlKeyboard(const ControlsTable& controls) : controls_(controls) {}

  // While text is typed (a name, the country) every key is itself, so a letter moved to an
  // action still types; otherwise the player's controls decide.
  void SetTyping(bool typing) { typing_ = typing; }
  int KeyOf(SDL_Scancode scancode, SDL_Keycode key) const;

  // A key event to the game's events: its key going down (not auto-repeat) or up, and Backspace
  // and Enter as typed characters 8 and 13 after their key-down. Returns the game's key that
  // went down, 0 for none.
  int Translate(const SDL_KeyboardEvent& e, std::deque<PlatformEvent>& events);

  // The keys held now, top bit set in a 256-entry table (cleared first); the left and right
  // modifier keys also under their own codes. Keys that went down since the last call show as
  // held too, once (a tap shorter than a frame).
  void HeldKeys(std::uint8_t states[256]);

 private:
  ControlsTable controls_;
  bool typing_ = false;
  // The game's key each held key went down as.
  std::array<int, SDL_NUM_SCANCODES> downKey_{};
  KeyTaps taps_;
};

}  // namespace kestrune
