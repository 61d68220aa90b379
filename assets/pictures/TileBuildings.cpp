// The solid cells of "Tiles": kiosk booths (39, 59), the walls of a walled block (40, 41) and
// its buildings (42, 43, 44). Each obstacle covers exactly the cell's collision rectangle and
// nothing outside it differs from open ground, so what the player sees is what stops the car.

#include <cmath>

#include "TileKit.h"

namespace kestrune::art {
namespace {

struct Rect {
  double x0, y0, x1, y1;
};

// A grass cell with the obstacle drawn by `draw`, clipped to its solid rectangle.
TPictureData SolidCell(const Rect& solid, const std::function<void(cairo_t*, const Rect&)>& draw) {
  Canvas c(kTile, kTile, 4);
  cairo_t* cr = c.Body();
  PaintGround(cr, Ground::Grass);
  cairo_save(cr);
  cairo_rectangle(cr, solid.x0, solid.y0, solid.x1 - solid.x0, solid.y1 - solid.y0);
  cairo_clip(cr);
  draw(cr, solid);
  cairo_restore(cr);
  return c.Finish(false);
}

void Fill(cairo_t* cr, double x, double y, double w, double h, Rgb colour, double alpha = 1) {
  cairo_rectangle(cr, x, y, w, h);
  SetColor(cr, colour, alpha);
  cairo_fill(cr);
}

// Top view of a stone wall: capstones with joints, lit edge at the upper left.
void Wall(cairo_t* cr, const Rect& r, bool horizontal) {
  const Rgb stone = Hex(0xA39585);
  const double w = r.x1 - r.x0, h = r.y1 - r.y0;
  Fill(cr, r.x0, r.y0, w, h, Darker(stone, 0.3));
  Fill(cr, r.x0 + 1, r.y0 + 1, w - 2, h - 2, stone);
  Fill(cr, r.x0 + 1, r.y0 + 1, horizontal ? w - 2 : 1.5, horizontal ? 1.5 : h - 2, Lighter(stone, 0.35));
  cairo_set_line_width(cr, 0.8);
  SetColor(cr, Darker(stone, 0.35));
  const double length = horizontal ? w : h;
  for (double k = 9; k < length; k += 12) {
    if (horizontal) {
      cairo_move_to(cr, r.x0 + k, r.y0 + 1);
      cairo_line_to(cr, r.x0 + k, r.y1 - 1);
    } else {
      cairo_move_to(cr, r.x0 + 1, r.y0 + k);
      cairo_line_to(cr, r.x1 - 1, r.y0 + k);
    }
  }
  cairo_stroke(cr);
  // Weathering.
  for (int i = 0; i < 12; ++i) {
    const double px = r.x0 + Hash01(i, 1, 301) * w, py = r.y0 + Hash01(i, 2, 301) * h;
    cairo_arc(cr, px, py, 0.7, 0, 2 * M_PI);
    SetColor(cr, Darker(stone, 0.2), 0.6);
    cairo_fill(cr);
  }
}

// A flat roof with a parapet, a rooftop unit and vents.
void FlatRoof(cairo_t* cr, const Rect& r, Rgb roof, std::uint32_t seed) {
  const double w = r.x1 - r.x0, h = r.y1 - r.y0;
  Fill(cr, r.x0, r.y0, w, h, Darker(roof, 0.45));
  Fill(cr, r.x0 + 1, r.y0 + 1, w - 2, h - 2, Lighter(roof, 0.25));
  cairo_rectangle(cr, r.x0 + 4, r.y0 + 4, w - 8, h - 8);
  FillLit(cr, r.x0, r.y0, r.x1, r.y1, roof, Darker(roof, 0.12));
  cairo_new_path(cr);
  // The parapet's shadow inside the upper-left edges.
  Fill(cr, r.x0 + 4, r.y0 + 4, w - 8, 2, {0, 0, 0}, 0.25);
  Fill(cr, r.x0 + 4, r.y0 + 6, 2, h - 10, {0, 0, 0}, 0.25);
  // Rooftop unit with a fan.
  const double ux = r.x0 + 10 + Hash01(1, 1, seed) * (w - 40), uy = r.y0 + 10 + Hash01(1, 2, seed) * (h - 40);
  Fill(cr, ux + 2, uy + 3, 20, 16, {0, 0, 0}, 0.3);
  cairo_rectangle(cr, ux, uy, 20, 16);
  FillLit(cr, ux, uy, ux + 20, uy + 16, Hex(0xD9DCDF), Hex(0x9EA3A8));
  cairo_new_path(cr);
  cairo_arc(cr, ux + 10, uy + 8, 5.5, 0, 2 * M_PI);
  SetColor(cr, Hex(0x4A4F55));
  cairo_fill(cr);
  cairo_set_line_width(cr, 1);
  SetColor(cr, Hex(0x8C9298));
  for (int i = 0; i < 3; ++i) {
    const double a = i * 2 * M_PI / 3;
    cairo_move_to(cr, ux + 10, uy + 8);
    cairo_line_to(cr, ux + 10 + 5 * std::cos(a), uy + 8 + 5 * std::sin(a));
  }
  cairo_stroke(cr);
  // Two round vents.
  for (int i = 0; i < 2; ++i) {
    const double vx = r.x0 + 12 + Hash01(i, 3, seed) * (w - 24), vy = r.y0 + h - 14 - i * 10;
    cairo_arc(cr, vx + 1, vy + 1.5, 3, 0, 2 * M_PI);
    SetColor(cr, {0, 0, 0}, 0.3);
    cairo_fill(cr);
    Ball(cr, vx, vy, 3, Hex(0xB8BCC0));
  }
}

// A hipped tile roof: four facets shaded for light from the upper left, with tile courses.
void HipRoof(cairo_t* cr, const Rect& r, Rgb tile) {
  const double w = r.x1 - r.x0, h = r.y1 - r.y0, inset = std::min(w, h) / 2 - 4;
  const double rx0 = r.x0 + inset, rx1 = r.x1 - inset, ry = r.y0 + h / 2;
  struct Facet {
    double pts[4][2];
    double light;
  };
  const Facet facets[] = {
      {{{r.x0, r.y0}, {r.x1, r.y0}, {rx1, ry}, {rx0, ry}}, 0.22},   // top
      {{{r.x0, r.y0}, {rx0, ry}, {rx0, ry}, {r.x0, r.y1}}, 0.12},   // left
      {{{r.x1, r.y0}, {r.x1, r.y1}, {rx1, ry}, {rx1, ry}}, -0.22},  // right
      {{{r.x0, r.y1}, {rx0, ry}, {rx1, ry}, {r.x1, r.y1}}, -0.3},   // bottom
  };
  for (const Facet& f : facets) {
    cairo_move_to(cr, f.pts[0][0], f.pts[0][1]);
    for (int i = 1; i < 4; ++i) cairo_line_to(cr, f.pts[i][0], f.pts[i][1]);
    cairo_close_path(cr);
    SetColor(cr, f.light > 0 ? Lighter(tile, f.light) : Darker(tile, -f.light));
    cairo_fill(cr);
  }
  // Tile courses parallel to the eaves.
  cairo_set_line_width(cr, 0.6);
  SetColor(cr, Darker(tile, 0.35), 0.7);
  for (double k = 4; k < inset + 4; k += 4) {
    cairo_rectangle(cr, r.x0 + k, r.y0 + k, w - 2 * k, h - 2 * k);
  }
  cairo_stroke(cr);
  // Ridges.
  cairo_set_line_width(cr, 1.4);
  SetColor(cr, Darker(tile, 0.45));
  cairo_move_to(cr, r.x0, r.y0);
  cairo_line_to(cr, rx0, ry);
  cairo_line_to(cr, rx1, ry);
  cairo_line_to(cr, r.x1, r.y0);
  cairo_move_to(cr, rx0, ry);
  cairo_line_to(cr, r.x0, r.y1);
  cairo_move_to(cr, rx1, ry);
  cairo_line_to(cr, r.x1, r.y1);
  cairo_stroke(cr);
  // A chimney.
  Fill(cr, rx0 - 8 + 2, ry - 14 + 3, 7, 7, {0, 0, 0}, 0.35);
  cairo_rectangle(cr, rx0 - 8, ry - 14, 7, 7);
  FillLit(cr, rx0 - 8, ry - 14, rx0 - 1, ry - 7, Hex(0xB06A4E), Hex(0x6E3A28));
  cairo_new_path(cr);
  Fill(cr, rx0 - 6.5, ry - 12.5, 4, 4, Hex(0x2A2220));
}

// A roof terrace with a round water tank and a skylight.
void TankRoof(cairo_t* cr, const Rect& r) {
  FlatRoof(cr, {r.x0, r.y0, r.x1, r.y1}, Hex(0x7E8A94), 311);
  const double cx = r.x1 - 20, cy = r.y0 + 20;
  cairo_arc(cr, cx + 2, cy + 3, 11, 0, 2 * M_PI);
  SetColor(cr, {0, 0, 0}, 0.35);
  cairo_fill(cr);
  Ball(cr, cx, cy, 11, Hex(0xC7CCD1));
  cairo_arc(cr, cx, cy, 11, 0, 2 * M_PI);
  cairo_set_line_width(cr, 0.8);
  SetColor(cr, Hex(0x5E6368));
  cairo_stroke(cr);
  cairo_rectangle(cr, r.x0 + 10, r.y1 - 22, 18, 12);
  FillLit(cr, r.x0 + 10, r.y1 - 22, r.x0 + 28, r.y1 - 10, Hex(0xBFE3F5), Hex(0x4C86A8));
  SetColor(cr, Hex(0x3D4449));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// A kiosk booth seen from above: a pitched roof and a striped awning over the pavement side.
void Booth(cairo_t* cr, const Rect& r, bool awningRight) {
  const double w = r.x1 - r.x0, h = r.y1 - r.y0;
  const double awning = 11;
  const double roofX0 = awningRight ? r.x0 : r.x0 + awning, roofX1 = awningRight ? r.x1 - awning : r.x1;
  const Rgb roof = Hex(0x2F8F83);
  Fill(cr, r.x0, r.y0, w, h, Darker(roof, 0.5));
  // Roof halves either side of a ridge along the booth.
  const double mid = (roofX0 + roofX1) / 2;
  Fill(cr, roofX0 + 1, r.y0 + 1, mid - roofX0 - 1, h - 2, Lighter(roof, 0.2));
  Fill(cr, mid, r.y0 + 1, roofX1 - mid - 1, h - 2, Darker(roof, 0.15));
  cairo_set_line_width(cr, 1.2);
  SetColor(cr, Darker(roof, 0.45));
  cairo_move_to(cr, mid, r.y0 + 1);
  cairo_line_to(cr, mid, r.y1 - 1);
  cairo_stroke(cr);
  // A sign on the roof, mirror-symmetric top to bottom.
  RoundedRect(cr, mid - 6, r.y0 + h / 2 - 12, 12, 24, 2);
  SetColor(cr, Hex(0xF2D14B));
  cairo_fill_preserve(cr);
  SetColor(cr, Hex(0x5A3A10));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_translate(cr, mid, r.y0 + h / 2);
  cairo_rotate(cr, M_PI / 2);
  CentredText(cr, "KIOSK", 0, 0, 9, Hex(0x8C1B12));
  cairo_restore(cr);
  // Awning: nine stripes, red at both ends, so the booth reads the same from either end.
  const double ax = awningRight ? roofX1 : r.x0;
  for (int i = 0; i < 9; ++i) {
    const double y = r.y0 + h * i / 9;
    Fill(cr, ax, y, awning, h / 9, i % 2 ? Hex(0xF4F1EA) : Hex(0xD8362E));
  }
  // Scalloped edge shade on the awning's outer side.
  Fill(cr, awningRight ? r.x1 - 2 : r.x0, r.y0, 2, h, {0, 0, 0}, 0.25);
  Fill(cr, awningRight ? roofX1 : roofX0 - 1.5, r.y0, 1.5, h, {0, 0, 0}, 0.3);
}

}  // namespace

void DrawBuildingTiles(TileSet& tiles) {
  tiles[39] = SolidCell({37, 0, 72, 72}, [](cairo_t* cr, const Rect& r) { Booth(cr, r, true); });
  tiles[59] = SolidCell({0, 0, 35, 72}, [](cairo_t* cr, const Rect& r) { Booth(cr, r, false); });
  tiles[40] = SolidCell({0, 58, 72, 72}, [](cairo_t* cr, const Rect& r) { Wall(cr, r, true); });
  tiles[41] = SolidCell({65, 0, 72, 68}, [](cairo_t* cr, const Rect& r) { Wall(cr, r, false); });
  tiles[42] = SolidCell({0, 0, 64, 64}, [](cairo_t* cr, const Rect& r) { HipRoof(cr, r, Hex(0xB5523A)); });
  tiles[43] = SolidCell({0, 0, 64, 64}, [](cairo_t* cr, const Rect& r) { TankRoof(cr, r); });
  tiles[44] = SolidCell({0, 0, 64, 64}, [](cairo_t* cr, const Rect& r) { FlatRoof(cr, r, Hex(0x9A9C8E), 321); });
}

}  // namespace kestrune::art
