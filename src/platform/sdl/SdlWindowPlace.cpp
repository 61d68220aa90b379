#include "platform/sdl/SdlWindowPlace.h"

#include <algorithm>
#include <vector>

namespace kestrune {

const PixelRect& SdlWindowPlace::ChooseHome(const std::optional<PixelRect>& last, int pictureWidth,
                                            int pictureHeight) {
  std::vector<PixelRect> displays;
  for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
    SDL_Rect b{};
    if (SDL_GetDisplayUsableBounds(i, &b) == 0) displays.push_back({b.x, b.y, b.w, b.h});
  }
  if (const auto reopened = last ? ReopenedWindowRect(*last, displays, pictureWidth, pictureHeight) : std::nullopt) {
    home_ = *reopened;
    home_.W = std::max(home_.W, kMinimumWindowWidth);
    home_.H = std::max(home_.H, kMinimumWindowHeight);
    return home_;
  }
  const PixelRect usable = displays.empty() ? PixelRect{0, 0, pictureWidth, pictureHeight} : displays.front();
  home_ = FirstWindowRect(usable, pictureWidth, pictureHeight);
  return home_;
}

void SdlWindowPlace::Remember(SDL_Window* window, bool fullScreen) {
  if (window == nullptr || fullScreen) return;
  const Uint32 flags = SDL_GetWindowFlags(window);
  if ((flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED |
                SDL_WINDOW_MINIMIZED)) != 0)
    return;
  SDL_GetWindowPosition(window, &windowed_.X, &windowed_.Y);
  SDL_GetWindowSize(window, &windowed_.W, &windowed_.H);
  // The frame's left and top edges, known once the window manager has framed the window.
  int top = 0, left = 0;
  if (SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr) == 0) borders_ = {left, top, 0, 0};
}

PixelRect SdlWindowPlace::ForNextSession() const {
  return {windowed_.X - borders_.X, windowed_.Y - borders_.Y, windowed_.W, windowed_.H};
}

void SdlWindowPlace::MoveHome(SDL_Window* window) const {
  int top = 0, left = 0;
  if (SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr) != 0) top = left = 0;
  SDL_SetWindowPosition(window, home_.X + left, home_.Y + top);
}

}  // namespace kestrune
