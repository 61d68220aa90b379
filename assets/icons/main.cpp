// Draws the desktop icon, the game's emblem on a transparent square, at the sizes desktops look
// for:  kestrune-icons OUT_DIR [WINDOW_ICON]  writes OUT_DIR/<N>x<N>/apps/org.kestrune.Kestrune.png
// (the layout of an icon theme) and, when named, WINDOW_ICON: the emblem at 64 x 64 as a 32-bit
// BMP with alpha, which the game sets as its window's icon (SDL reads BMP without other libraries).
//       kestrune-icons --page OUT_DIR  writes the browser page's icons for home screens:
// icon-192.png and icon-512.png (the emblem on a transparent square) and icon-maskable-512.png
// (the emblem smaller, on a square filled with the page's colour, for launchers that cut every
// icon to their own shape and keep only the middle 80%).
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "ShippedFonts.h"

#include "library1/Library1Parts.h"

namespace {

void DrawIcon(cairo_surface_t* surface, int size) {
  cairo_t* cr = cairo_create(surface);
  // The roundel's shadow falls right and down: the disc sits a little up and left of centre.
  const double r = size * 0.45;
  kestrune::lib1::DrawEmblem(cr, size * 0.48, size * 0.47, r);
  cairo_destroy(cr);
}

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 32-bit BMP with a version-4 header whose masks name the alpha channel; rows bottom up.
// Cairo's pixels carry premultiplied alpha; the BMP's are straight.
bool WriteBmp(cairo_surface_t* surface, const std::filesystem::path& file) {
  cairo_surface_flush(surface);
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  constexpr int kHeaders = 14 + 108;
  const std::uint32_t imageBytes = static_cast<std::uint32_t>(w) * h * 4;
  std::string out;
  out += "BM";
  Put(out, kHeaders + imageBytes, 4);
  Put(out, 0, 4);
  Put(out, kHeaders, 4);
  Put(out, 108, 4);  // BITMAPV4HEADER
  Put(out, static_cast<std::uint32_t>(w), 4);
  Put(out, static_cast<std::uint32_t>(h), 4);
  Put(out, 1, 2);
  Put(out, 32, 2);
  Put(out, 3, 4);  // BI_BITFIELDS
  Put(out, imageBytes, 4);
  Put(out, 2835, 4);
  Put(out, 2835, 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  Put(out, 0x00FF0000u, 4);
  Put(out, 0x0000FF00u, 4);
  Put(out, 0x000000FFu, 4);
  Put(out, 0xFF000000u, 4);
  Put(out, 0x73524742u, 4);  // "sRGB"
  out.append(36 + 12, '\0');  // endpoints and gamma, unused for sRGB
  for (int y = h - 1; y >= 0; --y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = row[x];
      const std::uint32_t a = p >> 24;
      auto straight = [a](std::uint32_t c) { return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a); };
      Put(out, (a << 24) | (straight((p >> 16) & 0xFF) << 16) | (straight((p >> 8) & 0xFF) << 8) |
                   straight(p & 0xFF),
          4);
    }
  }
  std::ofstream stream(file, std::ios::binary);
  stream << out;
  return static_cast<bool>(stream.flush());
}

bool WritePng(cairo_surface_t* surface, const std::filesystem::path& file) {
  const cairo_status_t status = cairo_surface_write_to_png(surface, file.string().c_str());
  if (status != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "kestrune-icons: cannot write %s: %s\n", file.string().c_str(),
                 cairo_status_to_string(status));
  }
  return status == CAIRO_STATUS_SUCCESS;
}

int WritePageIcons(const std::filesystem::path& out) {
  std::error_code error;
  std::filesystem::create_directories(out, error);
  for (const int size : {192, 512}) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    DrawIcon(surface, size);
    const bool written = WritePng(surface, out / ("icon-" + std::to_string(size) + ".png"));
    cairo_surface_destroy(surface);
    if (!written) return 1;
  }
  constexpr int kSize = 512;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0, 0, 0);  // the page's background
  cairo_paint(cr);
  // The roundel and its shadow inside the middle circle of 40% radius that every mask keeps.
  kestrune::lib1::DrawEmblem(cr, kSize * 0.49, kSize * 0.485, kSize * 0.36);
  cairo_destroy(cr);
  const bool written = WritePng(surface, out / "icon-maskable-512.png");
  cairo_surface_destroy(surface);
  return written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s OUT_DIR [WINDOW_ICON] | --page OUT_DIR\n", argv[0]);
    return 2;
  }
  try {
    kestrune::art::UseShippedFonts();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrune-icons: %s\n", e.what());
    return 1;
  }
  if (std::string(argv[1]) == "--page") return argc == 3 ? WritePageIcons(argv[2]) : 2;
  const std::filesystem::path out = argv[1];
  for (const int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
    const std::filesystem::path folder = out / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    DrawIcon(surface, size);
    const std::string file = (folder / "org.kestrune.Kestrune.png").string();
    const cairo_status_t status = cairo_surface_write_to_png(surface, file.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
      std::fprintf(stderr, "kestrune-icons: cannot write %s: %s\n", file.c_str(),
                   cairo_status_to_string(status));
      return 1;
    }
  }
  if (argc == 3) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 64);
    DrawIcon(surface, 64);
    const bool written = WriteBmp(surface, argv[2]);
    cairo_surface_destroy(surface);
    if (!written) {
      std::fprintf(stderr, "kestrune-icons: cannot write %s\n", argv[2]);
      return 1;
    }
  }
  std::ofstream(out / "icons.stamp") << "ok\n";
  return 0;
}
