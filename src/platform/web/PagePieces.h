#pragma once
// What the web back end hands the page, in forms a page can use.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

// The address a link opens from the page. The game's own documents (file:// addresses of files
// in its Docs folder) are served beside the page, under Docs/; other addresses stay as they are.
std::string PageAddressOf(const std::string& address);

// An RGB565 picture (pitch in pixels) as RGBA bytes for a page's canvas; where the shape (one
// byte per pixel, 0 for a hole; empty for none) has a hole the pixel is fully transparent.
std::vector<std::uint8_t> RgbaFromRgb565(const std::uint16_t* pixels, int width, int height, int pitchPixels,
                                         const std::vector<std::uint8_t>& shape);

}  // namespace kestrune
