#pragma once
// The SDL2 back end: the real window, presentation, keyboard, mouse and system services.

#include <memory>
#include <string>

#include "framework/Platform.h"

namespace kestrune {

// How the window shows the game, chosen at start-up.
struct SdlPlatformSettings {
  std::string SaveFolder = "Data/Save";
  // The picture scaled by whole multiples only (black borders), and without smoothing.
  bool IntegerScale = false;
  bool NearestFilter = false;
};

std::unique_ptr<IPlatform> CreateSdlPlatform(const SdlPlatformSettings& settings = {});

// The per-user folder for the game's files (SDL_GetPrefPath), empty when there is none.
std::string SdlUserFolder();

}  // namespace kestrune
