#pragma once
// The second window (the goodbye window): borderless, shaped where the system can, centred on
// the main window's display, dragged by the areas its layout names, showing the pictures the
// game draws for it.

#include <SDL.h>

#include <cstdint>
#include <optional>

#include "framework/Platform.h"

namespace kestrune {

class SdlSecondWindow {
 public:
  SdlSecondWindow() = default;
  ~SdlSecondWindow() { Close(); }
  SdlSecondWindow(const SdlSecondWindow&) = delete;
  SdlSecondWindow& operator=(const SdlSecondWindow&) = delete;

  // Opens it (closing one already open) on the display of mainWindow.
  bool Open(const SecondWindowLayout& layout, SDL_Window* mainWindow);
  void Present(const std::uint16_t* pixels, int pitchPixels);
  void Close();

  // True when the event is one of this window's.
  bool Owns(const SDL_Event& e) const;
  // Its events for the game: the mouse in window coordinates, key presses (virtualKey: the
  // game's key for a key event) and its close command; its focus changes are not the game's.
  // Showing or uncovering it redraws the last picture.
  std::optional<PlatformEvent> Translate(const SDL_Event& e, int virtualKey);

 private:
  bool ApplyShape(const SecondWindowLayout& layout);
  // Shows the last picture again (the window was uncovered or moved).
  void Redraw();
  static SDL_HitTestResult HitTest(SDL_Window* window, const SDL_Point* point, void* data);

  SDL_Window* window_ = nullptr;
  SDL_Surface* picture_ = nullptr;
  SecondWindowLayout layout_;
};

}  // namespace kestrune
