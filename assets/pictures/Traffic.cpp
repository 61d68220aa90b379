// Traffic, "Car7".."Car11": a saloon, a van, a motorbike with its rider, a hatchback and a
// bus. Each is drawn once and turned for its six direction patterns (up-left, up-right, up,
// down, down-left, down-right; the diagonals 19/256 of a turn off the vertical), centred on
// the middle of that direction's collision corners so the body sits on them.

#include <cmath>

#include "CarKit.h"
#include "Library2.h"

namespace kestrune::art {
namespace {

constexpr double kTilt = 19.0 / 256.0 * 2 * M_PI;

struct Corner {
  double x, y;
};

// Collision corners per kind and direction (1..6), as the traffic uses them.
constexpr Corner kCorners[5][6][4] = {
    {{{0, 23}, {38, 0}, {55, 133}, {94, 113}},
     {{58, 0}, {95, 18}, {1, 113}, {40, 132}},
     {{28, 2}, {67, 2}, {27, 130}, {69, 130}},
     {{30, 131}, {67, 131}, {70, 3}, {27, 3}},
     {{1, 115}, {37, 133}, {95, 20}, {57, 1}},
     {{95, 115}, {60, 133}, {41, 0}, {2, 19}}},
    {{{0, 25}, {41, 0}, {67, 164}, {119, 137}},
     {{78, 0}, {119, 24}, {1, 136}, {53, 165}},
     {{33, 2}, {89, 2}, {29, 163}, {89, 163}},
     {{89, 161}, {31, 161}, {89, 2}, {27, 2}},
     {{40, 165}, {0, 140}, {118, 28}, {67, 1}},
     {{119, 140}, {79, 165}, {53, 1}, {0, 28}}},
    {{{1, 13}, {13, 6}, {24, 54}, {33, 48}},
     {{20, 6}, {32, 13}, {1, 48}, {9, 53}},
     {{9, 7}, {24, 7}, {10, 54}, {22, 54}},
     {{9, 50}, {24, 50}, {23, 0}, {10, 0}},
     {{14, 52}, {1, 45}, {33, 7}, {24, 4}},
     {{33, 45}, {19, 52}, {9, 2}, {0, 12}}},
    {{{0, 23}, {34, 0}, {58, 131}, {92, 109}},
     {{60, 0}, {92, 23}, {0, 110}, {34, 131}},
     {{26, 1}, {70, 1}, {23, 131}, {68, 131}},
     {{69, 129}, {25, 129}, {70, 1}, {24, 1}},
     {{33, 132}, {0, 108}, {92, 22}, {58, 1}},
     {{92, 108}, {59, 132}, {34, 1}, {-1, 22}}},
    {{{0, 28}, {60, 0}, {90, 231}, {167, 192}},
     {{108, 0}, {167, 30}, {2, 192}, {78, 230}},
     {{48, 4}, {120, 4}, {38, 227}, {126, 227}},
     {{120, 228}, {47, 228}, {126, 6}, {40, 6}},
     {{62, 232}, {0, 201}, {166, 40}, {87, 1}},
     {{167, 201}, {104, 232}, {79, 1}, {1, 40}}},
};

constexpr int kSizes[5][2] = {{98, 134}, {120, 170}, {34, 58}, {92, 152}, {168, 240}};

// Heading of each direction, clockwise from up.
constexpr double kHeadings[6] = {-kTilt, kTilt, 0, M_PI, M_PI + kTilt, M_PI - kTilt};

void Motorbike(cairo_t* cr, cairo_t* shadow, double cx, double cy, double angle) {
  auto shape = [](cairo_t* c) {
    RoundedRect(c, -4, -23, 8, 46, 4);
  };
  if (shadow) {
    cairo_save(shadow);
    cairo_translate(shadow, cx + 2.5, cy + 3);
    cairo_rotate(shadow, angle);
    shape(shadow);
    cairo_move_to(shadow, 0, 0);
    cairo_arc(shadow, 0, 2, 7.5, 0, 2 * M_PI);
    cairo_set_source_rgba(shadow, 0, 0, 0, 0.6);
    cairo_fill(shadow);
    cairo_restore(shadow);
  }
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  // Tyres, frame and tank.
  RoundedRect(cr, -2.5, -23, 5, 12, 2);
  RoundedRect(cr, -2.5, 11, 5, 12, 2);
  SetColor(cr, Hex(0x18181A));
  cairo_fill(cr);
  RoundedRect(cr, -4.5, -14, 9, 28, 4);
  FillLit(cr, -4.5, -14, 4.5, 14, Hex(0xE53935), Hex(0x8E1B18));
  cairo_new_path(cr);
  // Handlebars.
  cairo_set_line_width(cr, 1.6);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, -7.5, -11);
  cairo_line_to(cr, 7.5, -11);
  SetColor(cr, Hex(0x2A2A2C));
  cairo_stroke(cr);
  Ball(cr, 0, -18.5, 1.8, Hex(0xFFF6C8));
  // Rider: shoulders, arms to the bars, helmet.
  cairo_save(cr);
  cairo_translate(cr, 0, 2);
  cairo_scale(cr, 7.5, 5);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  FillLit(cr, -7, -3, 7, 7, Hex(0x3B4A5E), Hex(0x1C2430));
  cairo_new_path(cr);
  cairo_set_line_width(cr, 2.4);
  SetColor(cr, Hex(0x2E3A4A));
  cairo_move_to(cr, -6, 0);
  cairo_line_to(cr, -6.5, -10);
  cairo_move_to(cr, 6, 0);
  cairo_line_to(cr, 6.5, -10);
  cairo_stroke(cr);
  Ball(cr, 0, 0, 4.3, Hex(0xF2F2F2));
  cairo_rectangle(cr, -3, -4.2, 6, 1.6);
  SetColor(cr, Hex(0x222831));
  cairo_fill(cr);
  cairo_restore(cr);
}

// A city bus: long box, roof hatches and air-conditioning units, a destination strip.
void Bus(cairo_t* cr, cairo_t* shadow, double cx, double cy, double angle, double L, double W) {
  if (shadow) {
    cairo_save(shadow);
    cairo_translate(shadow, cx + kShadowDx + 1, cy + kShadowDy + 1);
    cairo_rotate(shadow, angle);
    RoundedRect(shadow, -W / 2, -L / 2, W, L, 8);
    cairo_set_source_rgba(shadow, 0, 0, 0, 0.6);
    cairo_fill(shadow);
    cairo_restore(shadow);
  }
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  const Rgb paint = Hex(0xD8452B);
  RoundedRect(cr, -W / 2, -L / 2, W, L, 8);
  cairo_pattern_t* side = cairo_pattern_create_linear(-W / 2, 0, W / 2, 0);
  cairo_pattern_add_color_stop_rgb(side, 0, paint.r, paint.g, paint.b);
  const Rgb lit = Lighter(paint, 0.2), dark = Darker(paint, 0.3);
  cairo_pattern_add_color_stop_rgb(side, 0.25, lit.r, lit.g, lit.b);
  cairo_pattern_add_color_stop_rgb(side, 1, dark.r, dark.g, dark.b);
  cairo_set_source(cr, side);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(side);
  SetColor(cr, Darker(paint, 0.6));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Windscreen at the front, white roof panel, hatches and units.
  RoundedRect(cr, -W / 2 + 4, -L / 2 + 2, W - 8, 9, 4);
  SetColor(cr, Hex(0x1E2630));
  cairo_fill(cr);
  RoundedRect(cr, -W / 2 + 9, -L / 2 + 16, W - 18, L - 26, 4);
  FillLit(cr, -W / 2, -L / 2, W / 2, L / 2, Hex(0xF6E7B8), Hex(0xCDB777));
  cairo_new_path(cr);
  for (double y : {-L * 0.28, L * 0.05}) {
    cairo_rectangle(cr, -W * 0.28 + 2, y + 3, W * 0.56, L * 0.14);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
    cairo_fill(cr);
    RoundedRect(cr, -W * 0.28, y, W * 0.56, L * 0.14, 3);
    FillLit(cr, -W * 0.28, y, W * 0.28, y + L * 0.14, Hex(0xE4E6E8), Hex(0x9CA2A8));
    cairo_new_path(cr);
    for (int i = 1; i < 5; ++i) {
      cairo_rectangle(cr, -W * 0.24, y + i * L * 0.028, W * 0.48, 0.8);
    }
    SetColor(cr, Hex(0x6E747A));
    cairo_fill(cr);
  }
  for (double y : {-L * 0.4, L * 0.3}) {
    RoundedRect(cr, -7, y, 14, 10, 2);
    FillLit(cr, -7, y, 7, y + 10, Hex(0xBFE3F5), Hex(0x4C86A8));
    cairo_new_path(cr);
  }
  cairo_rectangle(cr, -W / 2 + 1, -L / 2 + 30, 3, L - 44);
  cairo_rectangle(cr, W / 2 - 4, -L / 2 + 30, 3, L - 44);
  SetColor(cr, Hex(0x243040));
  cairo_fill(cr);
  for (double side : {-1.0, 1.0}) {
    cairo_rectangle(cr, side * (W / 2 - 8) - 4, -L / 2 + 0.5, 8, 2.5);
    SetColor(cr, Hex(0xFFF6C8));
    cairo_fill(cr);
    cairo_rectangle(cr, side * (W / 2 - 8) - 4, L / 2 - 3, 8, 2.5);
    SetColor(cr, Hex(0xE0201C));
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, side * (W / 2 + 1.5), -L / 2 + 12);
    cairo_scale(cr, 3, 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    SetColor(cr, Hex(0x2A2A2C));
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

CarLook TrafficLook(int kind, double length, double width) {
  CarLook l;
  l.length = length;
  l.width = width;
  switch (kind) {
    case 0:  // saloon, silver blue
      l.paint = Hex(0x7E9BB8);
      l.hoodEnd = 0.26, l.roofStart = 0.38, l.roofEnd = 0.66, l.rearEnd = 0.76;
      l.noseRound = 8, l.tailRound = 8, l.frontTaper = 0.08;
      break;
    case 1:  // van, white with a blue band
      l.paint = Hex(0xEEF0F2);
      l.accent = Hex(0x2F6FD0);
      l.stripes = CarLook::Stripes::Centre;
      l.hoodEnd = 0.1, l.roofStart = 0.2, l.roofEnd = 0.97, l.rearEnd = 0.985;
      l.cabinWidth = 0.9, l.noseRound = 7, l.tailRound = 3, l.frontTaper = 0.06, l.rearTaper = 0;
      l.roofRails = true;
      break;
    case 3:  // hatchback, orange
      l.paint = Hex(0xE8742A);
      l.hoodEnd = 0.22, l.roofStart = 0.34, l.roofEnd = 0.8, l.rearEnd = 0.9;
      l.noseRound = 10, l.tailRound = 6, l.cabinWidth = 0.84;
      break;
    default:
      break;
  }
  return l;
}

}  // namespace

void AddTraffic(PictureArchive& archive) {
  for (int kind = 0; kind < 5; ++kind) {
    const int w = kSizes[kind][0], h = kSizes[kind][1];
    // Body size from the upright corners.
    const auto& up = kCorners[kind][2];
    const double width = std::max(up[1].x, up[3].x) - std::min(up[0].x, up[2].x) + 2;
    const double length = up[2].y - up[0].y + 2;
    const CarLook look = TrafficLook(kind, length, width);
    AddPatterns(archive, "Car" + std::to_string(7 + kind), w, h, 6, 6, true, [&](Canvas& c, int dir) {
      double cx = 0, cy = 0;
      for (const Corner& p : kCorners[kind][dir]) cx += p.x / 4, cy += p.y / 4;
      const double angle = kHeadings[dir];
      if (kind == 2)
        Motorbike(c.Body(), c.Shadow(), cx + 0.5, cy + 0.5, angle);
      else if (kind == 4)
        Bus(c.Body(), c.Shadow(), cx + 0.5, cy + 0.5, angle, length, width);
      else
        DrawCar(c.Body(), c.Shadow(), look, cx + 0.5, cy + 0.5, angle);
    });
  }
}

}  // namespace kestrune::art
