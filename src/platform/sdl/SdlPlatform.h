#pragma once
// The SDL2 back end: the real window, presentation, keyboard, mouse and system services.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "framework/Platform.h"
#include "platform/Controls.h"
#include "platform/WindowFit.h"
#include "platform/sdl/PresentPathRule.h"

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
  // The window keeps the picture's own size in plain pixels, neither resizable nor high-DPI, and
  // opens centred: a web page scales its canvas itself.
  bool FixedWindow = false;
  // Presenting waits for the vertical blank; off, the game paces itself to the refresh rate.
  bool Vsync = true;
  // How pictures reach the window: the window surface (software), SDL's GPU renderer
  // (accelerated), or chosen at start-up by AutomaticPresentPath.
  PresentPath Renderer = PresentPath::Automatic;
  // The way chosen is said on standard error.
  bool Verbose = false;
  // Where and how large the window was when the last session ended; unset (or no longer on any
  // display): the largest whole multiple of the picture that fits the desktop, centred.
  std::optional<PixelRect> LastWindow;
  // Told, as the window closes, where it was and how large as a window (before full screen or
  // maximising), for the next session's LastWindow. The place is the frame's outer corner, which
  // is where a window manager puts a new window asked for at that place.
  std::function<void(const PixelRect& place)> WindowClosing;
  // A BMP (32-bit with alpha, or 24-bit) shown as the window's icon; empty or unreadable: the
  // system's default icon.
  std::string IconFile;
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
