#pragma once
// Where the game's window is: where it opens (the last session's place or a size that suits the
// desktop), the place and size it has as a window while the player moves and sizes it, and the
// place handed to the next session.

#include <SDL.h>

#include <optional>

#include "platform/WindowFit.h"

namespace kestrune {

// The smallest window the player can size it to: a quarter of the picture, still readable.
constexpr int kMinimumWindowWidth = 400, kMinimumWindowHeight = 300;

class SdlWindowPlace {
 public:
  // Where the window opens (its home): the last session's place when it can still be reached on
  // one of the displays and fits the display it is on; else the largest whole multiple of the
  // picture that fits that display (or the first one when it cannot be reached).
  const PixelRect& ChooseHome(const std::optional<PixelRect>& last, int pictureWidth, int pictureHeight);

  // Notes the window's place and size while it is a window: full screen, maximised and
  // minimised states are not what the player sized it to.
  void Remember(SDL_Window* window, bool fullScreen);
  // The last place and size the window had as a window (its inside, in desktop coordinates).
  const PixelRect& Windowed() const { return windowed_; }
  // The place for the next session: the frame's outer corner, which is where a window manager
  // puts a new window asked for at that place.
  PixelRect ForNextSession() const;

  // Back home. A new window is placed by its frame's corner, a moved one by its inside's (SDL
  // allows for the frame once it knows it): the frame goes back to its corner either way, so the
  // window opens at the same place session after session.
  void MoveHome(SDL_Window* window) const;

 private:
  PixelRect home_;
  PixelRect windowed_{0, 0, 800, 600};
  PixelRect borders_;  // X: the frame's left edge, Y: its top edge (title bar)
};

}  // namespace kestrune
