#pragma once
// SDL scancodes to the game's virtual-key codes (the Windows numbering the key tables use).

#include <SDL.h>

namespace kestrune {

// The virtual-key code of a scancode; 0 for keys the game has no code for. Both Enter keys give
// Enter (0x0D); the numeric-pad digits give their own codes (0x60..0x69) whatever Num Lock says.
int VirtualKeyFromScancode(SDL_Scancode scancode);

}  // namespace kestrune
