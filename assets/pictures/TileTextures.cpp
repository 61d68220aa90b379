#include <cmath>
#include <map>

#include "TileKit.h"

namespace kestrune::art {
namespace {

std::uint32_t Pack(double r, double g, double b) {
  auto c = [](double v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0) + 0.5); };
  return (c(r) << 16) | (c(g) << 8) | c(b);
}

TPictureData MakeTexture(Ground ground) {
  TPictureData t;
  t.Width = t.Height = kTile;
  t.Pixels.resize(kTile * kTile);
  for (int y = 0; y < kTile; ++y) {
    for (int x = 0; x < kTile; ++x) {
      const double grain = Hash01(x, y, 11) - 0.5;
      double r = 0, g = 0, b = 0;
      switch (ground) {
        case Ground::Asphalt: {
          // Dark asphalt: fine grain, slow patches of wear and a few light stone chips.
          const double patch = TiledNoise(x, y, kTile, 18, 21) - 0.5;
          double v = 62 + grain * 14 + patch * 8;
          if (Hash01(x, y, 23) > 0.985) v += 22;
          r = v - 2;
          g = v;
          b = v + 5;
          break;
        }
        case Ground::Paving: {
          // Light slabs 36 x 18 in running bond (period 72 both ways), 1-px joints.
          const int row = y / 18;
          const int shifted = (x + (row % 2) * 18) % kTile;
          const int slab = shifted / 36;
          const bool joint = (y % 18 == 0) || (shifted % 36 == 0);
          const double tint = (Hash01(slab, row, 31) - 0.5) * 10;
          double v = joint ? 170 : 206 + tint + grain * 8;
          r = v + 3;
          g = v;
          b = v - 8;
          break;
        }
        case Ground::Grass: {
          // Two scales of soft variation and light and dark blade specks.
          const double broad = TiledNoise(x, y, kTile, 24, 41) - 0.5;
          const double fine = TiledNoise(x, y, kTile, 6, 43) - 0.5;
          const double speck = Hash01(x, y, 47);
          r = 86 + broad * 8 + fine * 12 + grain * 10;
          g = 150 + broad * 12 + fine * 18 + grain * 14;
          b = 58 + broad * 5 + fine * 7;
          if (speck > 0.97) r += 16, g += 22, b += 10;
          if (speck < 0.03) r -= 16, g -= 22, b -= 10;
          break;
        }
        case Ground::Gravel: {
          const double v = 176 + grain * 26 + (TiledNoise(x, y, kTile, 8, 51) - 0.5) * 16;
          r = v + 4;
          g = v;
          b = v - 12;
          break;
        }
        case Ground::Soil: {
          const double v = (TiledNoise(x, y, kTile, 6, 61) - 0.5) * 20 + grain * 16;
          r = 112 + v;
          g = 80 + v * 0.8;
          b = 52 + v * 0.6;
          break;
        }
      }
      t.Pixels[y * kTile + x] = Pack(r, g, b);
    }
  }
  return t;
}

}  // namespace

const TPictureData& GroundTexture(Ground ground) {
  static std::map<Ground, TPictureData> cache;
  auto it = cache.find(ground);
  if (it == cache.end()) it = cache.emplace(ground, MakeTexture(ground)).first;
  return it->second;
}

void FillGround(cairo_t* cr, Ground ground) {
  cairo_pattern_t* p = RepeatingPattern(GroundTexture(ground));
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void PaintGround(cairo_t* cr, Ground ground) {
  cairo_pattern_t* p = RepeatingPattern(GroundTexture(ground));
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

TPictureData Cell(const TPictureData& strip, int column, int row) {
  return Crop(strip, column * kTile, row * kTile, kTile, kTile);
}

}  // namespace kestrune::art
