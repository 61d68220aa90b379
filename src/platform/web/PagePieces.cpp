#include "platform/web/PagePieces.h"

#include <cstddef>

namespace kestrune {

std::string PageAddressOf(const std::string& address) {
  const std::string scheme = "file://";
  if (address.compare(0, scheme.size(), scheme) != 0) return address;
  const std::string docs = "/Docs/";
  const std::size_t at = address.rfind(docs);
  if (at == std::string::npos) return "";  // a local file the site does not serve
  return "Docs/" + address.substr(at + docs.size());
}

std::vector<std::uint8_t> RgbaFromRgb565(const std::uint16_t* pixels, int width, int height, int pitchPixels,
                                         const std::vector<std::uint8_t>& shape) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height * 4);
  const bool shaped = shape.size() == static_cast<std::size_t>(width) * height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint16_t p = pixels[static_cast<std::size_t>(y) * pitchPixels + x];
      const std::size_t i = static_cast<std::size_t>(y) * width + x;
      // 5 and 6 bits widened to 8 with their top bits repeated, as the display does.
      const unsigned r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
      out[4 * i] = static_cast<std::uint8_t>((r << 3) | (r >> 2));
      out[4 * i + 1] = static_cast<std::uint8_t>((g << 2) | (g >> 4));
      out[4 * i + 2] = static_cast<std::uint8_t>((b << 3) | (b >> 2));
      out[4 * i + 3] = shaped && shape[i] == 0 ? 0 : 255;
    }
  }
  return out;
}

}  // namespace kestrune
