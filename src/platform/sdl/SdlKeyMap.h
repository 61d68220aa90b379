#pragma once
// SDL scancodes to the game's virtual-key codes (the Windows numbering the key tables use).

#include <SDL.h>

namespace kestrune {

// The virtual-key code of a scancode; 0 for keys the game has no code for. Both Enter keys give
// Enter (0x0D); the numeric-pad digits give their own codes (0x60..0x69) whatever Num Lock says.
int VirtualKeyFromScancode(SDL_Scancode scancode);

// The virtual-key code of the key at `scancode` whose label in the keyboard layout is `key`. A key
// labelled with a letter gives that letter's code wherever the layout puts it (the key labelled Y
// on a German keyboard gives Y), as virtual-key codes do; digits and all other keys, and letter
// keys of layouts without Latin letters, give the code of their position, so the top-row digits
// keep their codes on layouts such as AZERTY.
int VirtualKeyFromKey(SDL_Scancode scancode, SDL_Keycode key);

}  // namespace kestrune
