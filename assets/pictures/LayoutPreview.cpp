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

namespace {

const PictureItemRecord& Find(const PictureArchive& archive, const std::string& name) {
  for (const auto& item : archive.Items)
    if (item.Name == name) return item;
  throw std::runtime_error("no picture " + name);
}

// Draws pattern `pattern` of `item` at (x, y) onto `screen`, leaving key pixels out.
void Blit(TPictureData& screen, const PictureItemRecord& item, int pattern, int x, int y) {
  const int pw = item.PatternWidth, ph = item.PatternHeight, columns = item.Picture.Width / pw;
  const int ox = (pattern % columns) * pw, oy = (pattern / columns) * ph;
  for (int j = 0; j < ph; ++j)
    for (int i = 0; i < pw; ++i) {
      const int sx = x + i, sy = y + j;
      if (sx < 0 || sy < 0 || sx >= screen.Width || sy >= screen.Height) continue;
      const std::uint32_t c = item.Picture.At(ox + i, oy + j) & 0xFFFFFF;
      if (item.Transparent && c == 0xFF00FF) continue;
      screen.Pixels[static_cast<std::size_t>(sy) * screen.Width + sx] = c;
    }
}

void WritePng(const TPictureData& picture, const std::string& pngPath) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.Width, picture.Height);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < picture.Height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < picture.Width; ++x) row[x] = 0xFF000000u | picture.At(x, y);
  }
  cairo_surface_mark_dirty(s);
  const cairo_status_t status = cairo_surface_write_to_png(s, pngPath.c_str());
  cairo_surface_destroy(s);
  if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + pngPath);
}

}  // namespace

void WriteRaceMockup(const PictureArchive& library2, const std::string& pngPath) {
  TPictureData screen;
  screen.Width = 800;
  screen.Height = 600;
  screen.Pixels.assign(800 * 600, 0);
  const auto& map = SampleRoadMap();
  const PictureItemRecord& tiles = Find(library2, "Tiles");
  const int originX = -60, originY = -40, firstRow = 4;
  for (int r = firstRow; r < static_cast<int>(map.size()); ++r)
    for (int c = 0; c < static_cast<int>(map[r].size()); ++c)
      Blit(screen, tiles, map[r][c], originX + 72 * c, originY + 72 * (r - firstRow));
  // Lamps on every fifth row, with the draw offsets the race uses.
  struct LampPlace {
    int code;
    const char* picture;
    int dx;
  };
  const LampPlace lamps[] = {{1, "Lamp_L", 12},   {4, "Lamp_R", -28},  {5, "Lamp_RL", 42},  {8, "Lamp_RR", 0},
                             {9, "Lamp_RL", 8},   {12, "Lamp_RR", -36}, {13, "Lamp_LR", -48}, {16, "Lamp_LL", -6},
                             {17, "Lamp_LR", -12}, {20, "Lamp_LL", 30}};
  for (int r = firstRow; r < static_cast<int>(map.size()); ++r)
    for (int c = 0; c < static_cast<int>(map[r].size()); ++c)
      for (const LampPlace& l : lamps)
        if (map[r][c] == l.code && (r % 5 == 1 || r % 5 == 3))
          Blit(screen, Find(library2, l.picture), 0, originX + 72 * c + l.dx, originY + 72 * (r - firstRow));
  Blit(screen, Find(library2, "Bonus50"), 0, originX + 72 * 5 + 19, originY + 72 * 3 + 19);
  Blit(screen, Find(library2, "Man_Down"), 1, 115, 300);
  Blit(screen, Find(library2, "Girl_Up"), 2, 560, 130);
  Blit(screen, Find(library2, "Car7"), 3, originX + 72 * 5 - 14, originY + 10);
  Blit(screen, Find(library2, "Car11"), 2, originX + 72 * 6 - 40, originY + 72 * 5);
  Blit(screen, Find(library2, "Car9"), 5, 230, 420);
  Blit(screen, Find(library2, "Car1"), 0, 365, 400);
  Blit(screen, Find(library2, "NitroAnim"), 1, 365 + 8, 400 + 156 - 8);
  Blit(screen, Find(library2, "NitroAnim"), 2, 365 + 64 - 24, 400 + 156 - 8);
  Blit(screen, Find(library2, "GunAnim_6"), 0, 365 + 32 - 56, 400 + 40 - 57);
  Blit(screen, Find(library2, "ExplosionBig"), 6, 60, 120);
  Blit(screen, Find(library2, "Panel"), 0, 610, 0);
  Blit(screen, Find(library2, "SmallCar"), 0, 773, 150);
  Blit(screen, Find(library2, "Energy"), 1, 672, 558);
  Blit(screen, Find(library2, "BonusNitro"), 0, 628, 363);
  Blit(screen, Find(library2, "BonusM"), 0, 627, 251);
  Blit(screen, Find(library2, "Pointer"), 0, 641, 509);
  WritePng(screen, pngPath);
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
