#pragma once
// The SDL2 back end: the real window, presentation, keyboard, mouse and system services.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "framework/Platform.h"
#include "platform/Controls.h"

namespace kestrune {

// How the window shows the game, chosen at start-up.
struct SdlPlatformSettings {
  std::string SaveFolder = "Data/Save";
  // The picture scaled by whole multiples only (black borders), and without smoothing.
  bool IntegerScale = false;
  bool NearestFilter = false;
  // F12 hands the next picture shown to this (the program writes it as a PNG); none: F12 does
  // nothing.
  std::function<void(const std::uint16_t* pixels, int width, int height, int pitchPixels)>
      TakeScreenshot;
  // The player's keys and pad controls (the controls file); none: the default table.
  std::optional<ControlsTable> Controls;
  // The music's and the effects' volume, 0..100, as heard (the game computes the same).
  int MusicVolume = 100, SoundVolume = 100;
};

std::unique_ptr<IPlatform> CreateSdlPlatform(const SdlPlatformSettings& settings = {});

// The per-user folder for the game's files (SDL_GetPrefPath), empty when there is none.
std::string SdlUserFolder();

}  // namespace kestrune
