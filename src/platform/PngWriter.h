#pragma once
// Writes an RGB565 picture as an 8-bit RGB PNG file.

#include <cstdint>
#include <string>

namespace kestrune {

// Returns false (and leaves no partial file) when the file cannot be written.
bool WritePngRGB565(const std::string& path, const std::uint16_t* pixels, int width, int height,
                    int pitchPixels);

}  // namespace kestrune
