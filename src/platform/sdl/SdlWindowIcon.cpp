#include "platform/sdl/SdlWindowIcon.h"

#include <iostream>

#include "framework/DisplayText.h"

namespace kestrune {

void SetWindowIconFromFile(SDL_Window* window, const std::string& file) {
  if (file.empty()) return;
  SDL_Surface* icon = SDL_LoadBMP(file.c_str());
  if (icon == nullptr) {
    std::cerr << "Kestrune: the window icon " << EscapeForDisplay(file) << " cannot be read (" << SDL_GetError()
              << ")" << std::endl;
    return;
  }
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

}  // namespace kestrune
