#pragma once
// The window's icon from a BMP file (32-bit with alpha, or 24-bit), which SDL reads by itself.

#include <SDL.h>

#include <string>

namespace kestrune {

// Sets it; a file that cannot be read leaves the system's default icon and says so on standard
// error. An empty name does nothing.
void SetWindowIconFromFile(SDL_Window* window, const std::string& file);

}  // namespace kestrune
