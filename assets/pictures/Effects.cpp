// Explosions, flames and marks: "ExplosionBig" (a car blowing up: bright core, fireball,
// smoke), "Explosion" (a small blast), "NitroAnim" and "EngineFire" (flames pointing down,
// root at the top), "Handbrake" (a tyre smear) and "Blood".

#include <cmath>

#include "DrawKit.h"
#include "Library2.h"

namespace kestrune::art {
namespace {

// A puff lit from the upper left, solid up to the rim.
void Puff(cairo_t* cr, double x, double y, double r, Rgb colour) {
  cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.35, y - r * 0.35, r * 0.05, x, y, r);
  const Rgb hi = Lighter(colour, 0.3), lo = Darker(colour, 0.35);
  cairo_pattern_add_color_stop_rgb(p, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(p, 0.6, colour.r, colour.g, colour.b);
  cairo_pattern_add_color_stop_rgb(p, 1, lo.r, lo.g, lo.b);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// One frame of a blast, t from 0 (flash) to 1 (thin smoke), scaled to `size` (the radius it
// reaches), centred on (c, c).
void Blast(Canvas& canvas, double t, double c, double size, std::uint32_t seed) {
  cairo_t* cr = canvas.Body();
  const double grow = 1 - std::pow(1 - std::min(1.0, t * 1.25), 2.2);
  const double R = size * (0.3 + 0.7 * grow);
  // Smoke: grey puffs that spread and thin out towards the end.
  if (t > 0.3) {
    const double s = (t - 0.3) / 0.7;
    const int puffs = 12;
    for (int i = 0; i < puffs; ++i) {
      if (s > 0.55 && Hash01(i, 9, seed) < (s - 0.55) * 1.8) continue;  // thinning
      const double a = Hash01(i, 1, seed) * 2 * M_PI, d = R * (0.35 + 0.45 * Hash01(i, 2, seed));
      const double r = R * (0.28 + 0.2 * Hash01(i, 3, seed)) * (0.8 + 0.4 * s);
      Puff(cr, c + std::cos(a) * d, c + std::sin(a) * d - s * 4, r, Mix(Hex(0x5A5552), Hex(0x8E8A86), s));
    }
  }
  // Fire: yellow-white early, orange, then deep red and shrinking.
  if (t < 0.85) {
    const double f = t / 0.85;
    const int puffs = 10;
    const Rgb early = Hex(0xFFE680), mid = Hex(0xFF8A1E), late = Hex(0xB8321A);
    const Rgb colour = f < 0.5 ? Mix(early, mid, f * 2) : Mix(mid, late, (f - 0.5) * 2);
    const double scale = f < 0.6 ? 1 : 1 - (f - 0.6) * 1.6;
    for (int i = 0; i < puffs; ++i) {
      const double a = Hash01(i, 4, seed) * 2 * M_PI, d = R * 0.42 * Hash01(i, 5, seed);
      const double r = R * (0.26 + 0.16 * Hash01(i, 6, seed)) * scale;
      if (r > 0.5) Puff(cr, c + std::cos(a) * d, c + std::sin(a) * d, r, colour);
    }
  }
  // Core flash.
  if (t < 0.45) {
    const double k = 1 - t / 0.45;
    cairo_pattern_t* p = cairo_pattern_create_radial(c, c, 0, c, c, R * 0.55 * (0.5 + k));
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 0.95, 1);
    cairo_pattern_add_color_stop_rgba(p, 0.6, 1, 0.92, 0.5, 0.9);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 0.75, 0.2, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, c, c, R * 0.55 * (0.5 + k), 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  // Sparks flying out early on.
  if (t > 0.05 && t < 0.5) {
    for (int i = 0; i < 9; ++i) {
      const double a = Hash01(i, 7, seed) * 2 * M_PI, d = R * (0.9 + 0.5 * Hash01(i, 8, seed)) * (0.6 + t);
      const double x = c + std::cos(a) * d, y = c + std::sin(a) * d;
      if (x < 2 || y < 2 || x > 2 * c - 2 || y > 2 * c - 2) continue;
      cairo_arc(cr, x, y, 1.3, 0, 2 * M_PI);
      SetColor(cr, Hex(0xFFF3B0));
      cairo_fill(cr);
    }
  }
  // The blast scorches the ground under it: a soft shadow.
  cairo_arc(canvas.Shadow(), c + 2, c + 3, R * 0.8, 0, 2 * M_PI);
  cairo_set_source_rgba(canvas.Shadow(), 0, 0, 0, t < 0.8 ? 0.45 : 0.3);
  cairo_fill(canvas.Shadow());
}

// A flame pointing down from a root of `rootWidth` at the top, `length` long.
void Flame(cairo_t* cr, double cx, double rootWidth, double length, Rgb outer, Rgb inner, Rgb core,
           std::uint32_t seed, int frame) {
  auto shape = [&](double widthScale, double lengthScale, double wobble) {
    const double w = rootWidth * widthScale / 2, l = length * lengthScale;
    cairo_new_path(cr);
    cairo_move_to(cr, cx - w, 0);
    cairo_curve_to(cr, cx - w * 1.05, l * 0.35, cx - w * 0.4 + wobble, l * 0.75, cx + wobble, l);
    cairo_curve_to(cr, cx + w * 0.4 + wobble, l * 0.75, cx + w * 1.05, l * 0.35, cx + w, 0);
    cairo_close_path(cr);
  };
  const double wobble = (Hash01(frame, 1, seed) - 0.5) * rootWidth * 0.35;
  shape(1.0, 1.0, wobble);
  SetColor(cr, outer);
  cairo_fill(cr);
  shape(0.7, 0.72, wobble * 0.7);
  SetColor(cr, inner);
  cairo_fill(cr);
  shape(0.38, 0.42, wobble * 0.4);
  SetColor(cr, core);
  cairo_fill(cr);
}

}  // namespace

void AddEffects(PictureArchive& archive) {
  AddPatterns(archive, "ExplosionBig", 64, 64, 14, 7, true,
              [](Canvas& c, int i) { Blast(c, i / 13.0, 32, 27, 401); });
  AddPatterns(archive, "Explosion", 64, 64, 8, 8, true,
              [](Canvas& c, int i) { Blast(c, i / 7.0, 32, 20, 411); });
  const double nitroLengths[4] = {46, 50, 42, 48};
  AddPatterns(archive, "NitroAnim", 16, 51, 4, 4, true, [&](Canvas& c, int i) {
    Flame(c.Body(), 8, 13, nitroLengths[i], Hex(0x3C5CF0), Hex(0x56C8FF), Hex(0xF2FBFF), 421, i);
  });
  const double fireLengths[4] = {40, 44, 36, 42};
  AddPatterns(archive, "EngineFire", 18, 44, 4, 4, true, [&](Canvas& c, int i) {
    Flame(c.Body(), 9, 16, fireLengths[i], Hex(0xE0401A), Hex(0xFF9A1E), Hex(0xFFF2A8), 431, i);
  });
  AddSingle(archive, "Handbrake", 10, 14, true, [](Canvas& c) {
    // Rubber on the road: a dithered dark smear, denser in the middle.
    cairo_t* cr = c.Shadow();
    RoundedRect(cr, 1, 0.5, 8, 13, 3);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_fill(cr);
    RoundedRect(cr, 2.5, 1.5, 5, 11, 2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
  });
  AddSingle(archive, "Blood", 10, 14, true, [](Canvas& c) {
    cairo_t* cr = c.Body();
    const double blobs[][3] = {{5, 7, 3.6}, {3.5, 3.5, 2.2}, {6.5, 11, 2.4}, {7.5, 4, 1.6}, {2.5, 10.5, 1.4}};
    for (const auto& b : blobs) {
      cairo_arc(cr, b[0], b[1], b[2], 0, 2 * M_PI);
      cairo_close_path(cr);
    }
    FillLit(cr, 0, 0, 10, 14, Hex(0xC4161C), Hex(0x6E0A0C));
    cairo_new_path(cr);
    cairo_arc(cr, 4, 5.5, 1, 0, 2 * M_PI);
    SetColor(cr, Hex(0xE8525A));
    cairo_fill(cr);
  });
}

}  // namespace kestrune::art
