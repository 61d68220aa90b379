#pragma once
// Plays a replay script back in a real window: the game runs from the script exactly as
// kestrune-replay runs it, and its pictures are shown at the pace of the script's refresh rate.
// The watcher's Esc or the window's close button leaves. It writes no files: the script's
// screenshots are skipped, with one line on standard error.

#include <string>

#include "platform/sdl/SdlPlatform.h"

namespace kestrune {

// Returns the exit status: 0 when the replay ran (or was left), 1 for a bad script, 2 when the
// window or the game could not start.
int PlayReplayInWindow(const std::string& scriptPath, const SdlPlatformSettings& settings);

}  // namespace kestrune
