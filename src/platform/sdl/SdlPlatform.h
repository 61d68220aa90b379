#pragma once
// The SDL2 back end: the real window, presentation, keyboard, mouse and system services.

#include <cstdint>
#include <functional>
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
  // The caller's frame clock paces the frames (the browser's frame callback): presenting never
  // waits for the next refresh itself.
  bool PacedByCaller = false;
  // F12 hands the next picture shown to this (the program writes it as a PNG); none: F12 does
  // nothing.
  std::function<void(const std::uint16_t* pixels, int width, int height, int pitchPixels)>
      TakeScreenshot;
};

std::unique_ptr<IPlatform> CreateSdlPlatform(const SdlPlatformSettings& settings = {});

// The per-user folder for the game's files (SDL_GetPrefPath), empty when there is none.
std::string SdlUserFolder();

}  // namespace kestrune
