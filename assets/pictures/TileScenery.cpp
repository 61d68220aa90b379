// Open ground and the drivable scenery cells of "Tiles": grass, flower beds, bushes, a cafe
// patio, an L-shaped pond, a fountain court (2 x 2) and a small park (3 x 3). Multi-cell motifs
// are drawn whole and cut into cells; every motif keeps a grass margin at its outer borders so
// it sits seamlessly among any neighbours.

#include <cmath>

#include "TileKit.h"

namespace kestrune::art {
namespace {

const Rgb kLeaf = Hex(0x3F8A32);
const Rgb kDarkLeaf = Hex(0x2C6B2A);
const Rgb kWater = Hex(0x3C8FCB);
const Rgb kRim = Hex(0xB9B3A6);

// A shadow on opaque ground: soft dark ellipse offset to the lower right.
void GroundShadow(cairo_t* cr, double x, double y, double rx, double ry, double alpha = 0.32) {
  cairo_save(cr);
  cairo_translate(cr, x + kShadowDx, y + kShadowDy);
  cairo_scale(cr, rx, ry);
  cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0.6, 0, 0, 1.15);
  cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, alpha);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
  cairo_arc(cr, 0, 0, 1.15, 0, 2 * M_PI);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

void Bush(cairo_t* cr, double x, double y, double r, std::uint32_t seed) {
  GroundShadow(cr, x, y, r * 1.05, r * 1.0);
  Ball(cr, x, y, r, kDarkLeaf);
  // Clumps of leaves give the bush an uneven outline and texture.
  for (int i = 0; i < 7; ++i) {
    const double a = Hash01(i, 1, seed) * 2 * M_PI, d = r * (0.25 + 0.45 * Hash01(i, 2, seed));
    Ball(cr, x + std::cos(a) * d, y + std::sin(a) * d, r * (0.35 + 0.15 * Hash01(i, 3, seed)), kLeaf);
  }
}

void Tree(cairo_t* cr, double x, double y, double r, std::uint32_t seed) {
  GroundShadow(cr, x + 2, y + 2, r * 1.1, r * 1.05, 0.38);
  Ball(cr, x, y, r, Darker(kLeaf, 0.15));
  for (int i = 0; i < 9; ++i) {
    const double a = i * 2 * M_PI / 9 + Hash01(i, 4, seed), d = r * 0.55;
    Ball(cr, x + std::cos(a) * d, y + std::sin(a) * d, r * 0.42, Lighter(kLeaf, 0.05 * (i % 3)));
  }
  Ball(cr, x - r * 0.15, y - r * 0.15, r * 0.45, Lighter(kLeaf, 0.12));
}

void Flowers(cairo_t* cr, double x, double y, double w, double h, std::uint32_t seed) {
  const Rgb colours[] = {Hex(0xE8344A), Hex(0xF7D038), Hex(0xF2F2F2), Hex(0xB04FD0), Hex(0xF08A2A)};
  for (int i = 0; i < static_cast<int>(w * h / 9); ++i) {
    const double fx = x + Hash01(i, 5, seed) * w, fy = y + Hash01(i, 6, seed) * h;
    Ball(cr, fx, fy, 1.1, kLeaf);
    cairo_arc(cr, fx - 0.3, fy - 0.3, 0.9, 0, 2 * M_PI);
    SetColor(cr, colours[static_cast<int>(Hash01(i, 7, seed) * 5) % 5]);
    cairo_fill(cr);
  }
}

// A raised bed with a stone border, filled with soil and flowers, clipped to an ellipse.
void FlowerBed(cairo_t* cr, double cx, double cy, double rx, double ry, std::uint32_t seed) {
  GroundShadow(cr, cx, cy, rx + 1, ry + 1, 0.3);
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  SetColor(cr, kRim);
  cairo_fill(cr);
  auto inner = [&] {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx - 2.5, ry - 2.5);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
  };
  inner();
  FillGround(cr, Ground::Soil);
  cairo_save(cr);
  inner();
  cairo_clip(cr);
  Flowers(cr, cx - rx, cy - ry, 2 * rx, 2 * ry, seed);
  cairo_restore(cr);
}

void Bench(cairo_t* cr, double x, double y, double w, double h) {
  cairo_rectangle(cr, x + 2, y + 2.5, w, h);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
  cairo_fill(cr);
  cairo_rectangle(cr, x, y, w, h);
  SetColor(cr, Hex(0x9A6438));
  cairo_fill(cr);
  cairo_set_line_width(cr, 0.6);
  SetColor(cr, Hex(0x6A3F20));
  const bool across = w > h;
  for (int i = 1; i < 3; ++i) {
    if (across) {
      cairo_move_to(cr, x, y + h * i / 3);
      cairo_line_to(cr, x + w, y + h * i / 3);
    } else {
      cairo_move_to(cr, x + w * i / 3, y);
      cairo_line_to(cr, x + w * i / 3, y + h);
    }
  }
  cairo_stroke(cr);
}

// A round cafe table with a parasol seen from above.
void Parasol(cairo_t* cr, double x, double y, double r, Rgb colour) {
  GroundShadow(cr, x + 1, y + 1, r, r, 0.35);
  for (int i = 0; i < 8; ++i) {
    cairo_move_to(cr, x, y);
    cairo_arc(cr, x, y, r, i * M_PI / 4, (i + 1) * M_PI / 4);
    cairo_close_path(cr);
    const double light = 0.15 * std::cos(i * M_PI / 4 + M_PI / 8 + 3 * M_PI / 4);
    SetColor(cr, i % 2 ? Lighter(Hex(0xF4F1EA), light) : (light > 0 ? Lighter(colour, light) : Darker(colour, -light)));
    cairo_fill(cr);
  }
  cairo_arc(cr, x, y, 1.2, 0, 2 * M_PI);
  SetColor(cr, Hex(0x555555));
  cairo_fill(cr);
}

TPictureData Grass() {
  Canvas c(kTile, kTile, 1);
  PaintGround(c.Body(), Ground::Grass);
  return c.Finish(false);
}

TPictureData FlowerBedCell() {
  Canvas c(kTile, kTile, 4);
  cairo_t* cr = c.Body();
  PaintGround(cr, Ground::Grass);
  FlowerBed(cr, 35, 34, 24, 16, 71);
  Bush(cr, 14, 58, 6, 72);
  return c.Finish(false);
}

TPictureData BushCell() {
  Canvas c(kTile, kTile, 4);
  cairo_t* cr = c.Body();
  PaintGround(cr, Ground::Grass);
  Bush(cr, 24, 26, 13, 81);
  Bush(cr, 47, 42, 11, 82);
  Bush(cr, 26, 52, 8, 83);
  Flowers(cr, 48, 12, 14, 10, 84);
  return c.Finish(false);
}

// A small paved patio with parasols and benches; also the forecourt between two kiosk booths.
TPictureData PatioCell() {
  Canvas c(kTile, kTile, 4);
  cairo_t* cr = c.Body();
  PaintGround(cr, Ground::Grass);
  RoundedRect(cr, 5, 4, 62, 64, 5);
  FillGround(cr, Ground::Paving);
  SetColor(cr, Hex(0x8A8276));
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  Parasol(cr, 24, 22, 11, Hex(0xD8362E));
  Parasol(cr, 46, 48, 11, Hex(0x2E7FD8));
  Bench(cr, 48, 12, 12, 5);
  Bench(cr, 12, 52, 12, 5);
  return c.Finish(false);
}

// 36 (top), 37 (bottom left), 38 (bottom right) of an L-shaped pond; the top-right quarter
// belongs to another cell and stays untouched.
void PondCells(TileSet& tiles) {
  Canvas c(2 * kTile, 2 * kTile, 4);
  cairo_t* cr = c.Body();
  PaintGround(cr, Ground::Grass);
  auto pondPath = [&](double inset) {
    cairo_new_path(cr);
    cairo_move_to(cr, 30 + inset, 14 + inset);
    cairo_curve_to(cr, 52, 6 + inset, 62 - inset, 24, 60 - inset, 60);
    cairo_curve_to(cr, 58 - inset, 82 - inset, 96, 78 + inset, 118, 84 + inset);
    cairo_curve_to(cr, 134 - inset, 90, 134 - inset, 122 - inset, 112, 128 - inset);
    cairo_curve_to(cr, 80, 134 - inset, 30, 132 - inset, 18 + inset, 112);
    cairo_curve_to(cr, 8 + inset, 90, 10 + inset, 30, 30 + inset, 14 + inset);
    cairo_close_path(cr);
  };
  pondPath(-3);
  SetColor(cr, kRim);
  cairo_fill(cr);
  pondPath(0);
  cairo_pattern_t* water = cairo_pattern_create_linear(10, 10, 130, 130);
  cairo_pattern_add_color_stop_rgb(water, 0, 0.20, 0.45, 0.70);
  cairo_pattern_add_color_stop_rgb(water, 1, 0.30, 0.64, 0.86);
  cairo_set_source(cr, water);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(water);
  // Inner shade along the upper-left bank (the bank shadows the water).
  cairo_save(cr);
  cairo_clip(cr);
  cairo_translate(cr, -3, -3);
  pondPath(0);
  cairo_translate(cr, 3, 3);
  cairo_rectangle(cr, 0, 0, 2 * kTile, 2 * kTile);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_set_source_rgba(cr, 0, 0.1, 0.2, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);
  // Ripples and lily pads.
  cairo_set_line_width(cr, 0.8);
  for (int i = 0; i < 5; ++i) {
    const double x = 30 + Hash01(i, 1, 91) * 90, y = 40 + Hash01(i, 2, 91) * 80;
    if (x > 66 && y < 80) continue;
    cairo_arc(cr, x, y, 3 + i % 3, M_PI * 1.1, M_PI * 1.9);
    SetColor(cr, Lighter(kWater, 0.5), 0.7);
    cairo_stroke(cr);
  }
  const double pads[][2] = {{36, 40}, {42, 96}, {90, 104}, {110, 96}, {28, 70}};
  for (const auto& p : pads) {
    cairo_move_to(cr, p[0], p[1]);
    cairo_arc(cr, p[0], p[1], 4.5, 0.4, 2 * M_PI - 0.2);
    cairo_close_path(cr);
    SetColor(cr, Hex(0x4E9E3A));
    cairo_fill(cr);
  }
  cairo_arc(cr, 92, 103, 1.6, 0, 2 * M_PI);
  SetColor(cr, Hex(0xF6A8C8));
  cairo_fill(cr);
  Bush(cr, 12, 130, 7, 92);
  Bush(cr, 132, 70, 6, 93);
  const TPictureData picture = c.Finish(false);
  tiles[36] = Cell(picture, 0, 0);
  tiles[37] = Cell(picture, 0, 1);
  tiles[38] = Cell(picture, 1, 1);
}

// 45..48: a round fountain court on 2 x 2 cells.
void FountainCells(TileSet& tiles) {
  Canvas c(2 * kTile, 2 * kTile, 4);
  cairo_t* cr = c.Body();
  PaintGround(cr, Ground::Grass);
  const double cx = kTile, cy = kTile;
  cairo_arc(cr, cx, cy, 58, 0, 2 * M_PI);
  FillGround(cr, Ground::Paving);
  SetColor(cr, Hex(0x8A8276));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // Four paths out to the edges of the court.
  for (int i = 0; i < 4; ++i) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, i * M_PI / 2 + M_PI / 4);
    FlowerBed(cr, 0, -44, 9, 7, 100 + i);
    cairo_restore(cr);
  }
  GroundShadow(cr, cx, cy, 30, 30, 0.3);
  cairo_arc(cr, cx, cy, 30, 0, 2 * M_PI);
  SetColor(cr, kRim);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, 26, 0, 2 * M_PI);
  cairo_pattern_t* water = cairo_pattern_create_radial(cx - 8, cy - 8, 2, cx, cy, 26);
  cairo_pattern_add_color_stop_rgb(water, 0, 0.55, 0.82, 0.96);
  cairo_pattern_add_color_stop_rgb(water, 1, 0.18, 0.48, 0.75);
  cairo_set_source(cr, water);
  cairo_fill(cr);
  cairo_pattern_destroy(water);
  cairo_set_line_width(cr, 1);
  for (double r : {9.0, 15.0, 21.0}) {
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    SetColor(cr, {1, 1, 1}, 0.35);
    cairo_stroke(cr);
  }
  cairo_arc(cr, cx, cy, 6, 0, 2 * M_PI);
  SetColor(cr, kRim);
  cairo_fill(cr);
  Ball(cr, cx, cy, 3.5, Hex(0xDDF3FF));
  Bush(cr, 10, 10, 7, 110);
  Bush(cr, 134, 134, 7, 111);
  const TPictureData picture = c.Finish(false);
  tiles[45] = Cell(picture, 0, 0);
  tiles[46] = Cell(picture, 1, 0);
  tiles[47] = Cell(picture, 0, 1);
  tiles[48] = Cell(picture, 1, 1);
}

// 49..57: a small park on 3 x 3 cells: a hedge-lined square with paths, a central bed and trees.
void ParkCells(TileSet& tiles) {
  const double size = 3 * kTile;
  Canvas c(3 * kTile, 3 * kTile, 4);
  cairo_t* cr = c.Body();
  PaintGround(cr, Ground::Grass);
  // Cross paths and a ring.
  cairo_rectangle(cr, size / 2 - 12, 8, 24, size - 16);
  cairo_rectangle(cr, 8, size / 2 - 12, size - 16, 24);
  FillGround(cr, Ground::Gravel);
  cairo_new_path(cr);
  cairo_arc(cr, size / 2, size / 2, 46, 0, 2 * M_PI);
  FillGround(cr, Ground::Gravel);
  cairo_new_path(cr);
  FlowerBed(cr, size / 2, size / 2, 26, 26, 120);
  Tree(cr, size / 2, size / 2, 12, 121);
  const double trees[][2] = {{42, 42}, {174, 42}, {42, 174}, {174, 174}};
  for (int i = 0; i < 4; ++i) Tree(cr, trees[i][0], trees[i][1], 20, 130 + i);
  Bench(cr, size / 2 - 40, size / 2 - 62, 14, 5);
  Bench(cr, size / 2 + 26, size / 2 + 57, 14, 5);
  Bench(cr, size / 2 + 57, size / 2 - 40, 5, 14);
  Bench(cr, size / 2 - 62, size / 2 + 26, 5, 14);
  // Low hedges along the border, open where the paths leave.
  for (int side = 0; side < 4; ++side)
    for (int k = 0; k < 2; ++k) {
      const double from = k == 0 ? 14 : size / 2 + 18, len = size / 2 - 32;
      const double x = side == 0 || side == 1 ? from : (side == 2 ? 8 : size - 16);
      const double y = side == 2 || side == 3 ? from : (side == 0 ? 8 : size - 16);
      const double w = side < 2 ? len : 8, h = side < 2 ? 8 : len;
      cairo_rectangle(cr, x + 2, y + 3, w, h);
      cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
      cairo_fill(cr);
      RoundedRect(cr, x, y, w, h, 3.5);
      FillLit(cr, x, y, x + w, y + h, Lighter(kDarkLeaf, 0.2), Darker(kDarkLeaf, 0.2));
      cairo_new_path(cr);
    }
  const TPictureData picture = c.Finish(false);
  for (int r = 0; r < 3; ++r)
    for (int col = 0; col < 3; ++col) tiles[49 + r * 3 + col] = Cell(picture, col, r);
}

}  // namespace

void DrawSceneryTiles(TileSet& tiles) {
  tiles[0] = Grass();
  tiles[61] = tiles[62] = tiles[63] = tiles[0];
  tiles[30] = FlowerBedCell();
  tiles[31] = BushCell();
  tiles[32] = PatioCell();
  PondCells(tiles);
  FountainCells(tiles);
  ParkCells(tiles);
}

}  // namespace kestrune::art
