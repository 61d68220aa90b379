#include "LayoutPreview.h"

#include <cairo.h>

#include <stdexcept>

namespace kestrune::art {

const std::vector<std::vector<int>>& SampleRoadMap() {
  static const std::vector<std::vector<int>> map = {
      {0, 0, 0, 23, 1, 2, 3, 4, 23, 0, 0, 0},
      {0, 0, 26, 28, 9, 10, 18, 17, 29, 27, 0, 0},
      {0, 24, 25, 5, 6, 7, 15, 14, 13, 25, 24, 0},
      {0, 0, 23, 1, 2, 21, 22, 3, 4, 23, 0, 0},
      {0, 0, 23, 1, 2, 21, 22, 3, 4, 23, 0, 0},
      {0, 0, 23, 20, 19, 18, 10, 11, 12, 25, 24, 0},
      {0, 0, 25, 27, 16, 15, 7, 8, 26, 28, 0, 0},
      {0, 0, 0, 23, 1, 2, 3, 4, 23, 0, 0, 0},
      {0, 0, 0, 23, 20, 19, 18, 17, 29, 27, 0, 0},
      {0, 0, 24, 25, 27, 16, 15, 14, 13, 25, 24, 0},
      {0, 0, 0, 0, 23, 1, 2, 3, 4, 23, 0, 0},
      {0, 0, 0, 26, 28, 9, 10, 11, 12, 25, 24, 0},
      {0, 24, 24, 25, 5, 6, 7, 8, 26, 28, 0, 0},
      {0, 0, 0, 23, 1, 2, 3, 4, 23, 0, 0, 0},
  };
  return map;
}

void WriteLayoutPreview(const PictureArchive& library2, const std::string& pngPath) {
  const PictureItemRecord* tiles = nullptr;
  for (const auto& item : library2.Items)
    if (item.Name == "Tiles") tiles = &item;
  if (!tiles) throw std::runtime_error("no Tiles picture");
  const auto& map = SampleRoadMap();
  const int size = tiles->PatternWidth, columns = tiles->Picture.Width / size;
  const int w = static_cast<int>(map[0].size()) * size, h = static_cast<int>(map.size()) * size;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      const int code = map[y / size][x / size];
      const int px = (code % columns) * size + x % size, py = (code / columns) * size + y % size;
      row[x] = 0xFF000000u | tiles->Picture.At(px, py);
    }
  }
  cairo_surface_mark_dirty(s);
  const cairo_status_t status = cairo_surface_write_to_png(s, pngPath.c_str());
  cairo_surface_destroy(s);
  if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + pngPath);
}

}  // namespace kestrune::art
