#pragma once
// The overlay windows: the three confirmations, the race's pause, level, time-over and
// game-over messages, and the name entry for a new high score. OpenOverlay and CloseOverlay
// of the main window set the state; these build, run and remove what the player sees.

#include <cstdint>

namespace kestrune {

void BuildOverlay(int overlay);
void TearDownOverlay(int overlay);
void RunOverlay(std::uint32_t lagCount);
// Acts for the open overlay's selection (Yes, No, or Enter in the name entry).
void ActivateOverlaySelection();

}  // namespace kestrune
