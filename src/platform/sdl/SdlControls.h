#pragma once
// The controls table with SDL's key names: reading the controls file, printing the table, and
// turning a key of the keyboard into the game's virtual key under the player's controls.

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/Controls.h"

namespace kestrune {

ControlsTable SdlDefaultControls();
// The controls a file's text describes; every problem adds one line to warnings.
ControlsTable SdlReadControls(const std::string& text, std::vector<std::string>& warnings);
std::string SdlFormatControls(const ControlsTable& table);

// The game's virtual key of a key under the controls: the action's key when the controls list
// it, nothing (0) for a key whose action was given other keys, otherwise the key's own code
// (VirtualKeyFromKey).
int MappedVirtualKey(const ControlsTable& controls, SDL_Scancode scancode, SDL_Keycode key);

}  // namespace kestrune
