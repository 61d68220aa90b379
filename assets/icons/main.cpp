// Draws the desktop icon, the game's emblem on a transparent square, at the sizes desktops look
// for:  kestrune-icons OUT_DIR  writes OUT_DIR/<N>x<N>/apps/org.kestrune.Kestrune.png
// (the layout of an icon theme).
#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "ShippedFonts.h"

#include "library1/Library1Parts.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
    return 2;
  }
  try {
    kestrune::art::UseShippedFonts();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrune-icons: %s\n", e.what());
    return 1;
  }
  const std::filesystem::path out = argv[1];
  for (const int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
    const std::filesystem::path folder = out / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    // The roundel's shadow falls right and down: the disc sits a little up and left of centre.
    const double r = size * 0.45;
    kestrune::lib1::DrawEmblem(cr, size * 0.48, size * 0.47, r);
    cairo_destroy(cr);
    const std::string file = (folder / "org.kestrune.Kestrune.png").string();
    const cairo_status_t status = cairo_surface_write_to_png(surface, file.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
      std::fprintf(stderr, "kestrune-icons: cannot write %s: %s\n", file.c_str(),
                   cairo_status_to_string(status));
      return 1;
    }
  }
  std::ofstream(out / "icons.stamp") << "ok\n";
  return 0;
}
