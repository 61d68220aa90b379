// The common background of the main menu, car choice, options, high scores and help. The
// middle and right (titles at (563, 148), option rows, the score table, help text) stay calm
// and dark; the decoration lives at the edges: the game's name on a red band at the upper
// left, speed streaks in the upper right, a chequered strip along the bottom.
#include <cmath>

#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::lib1 {

namespace {

void Ground(cairo_t* cr) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 600);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.095, 0.10, 0.125);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.035, 0.038, 0.048);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  // A soft pool of light behind the screens' content.
  cairo_pattern_t* glow = cairo_pattern_create_radial(520, 300, 20, 520, 300, 460);
  cairo_pattern_add_color_stop_rgba(glow, 0, 0.22, 0.23, 0.28, 0.45);
  cairo_pattern_add_color_stop_rgba(glow, 1, 0.22, 0.23, 0.28, 0);
  cairo_set_source(cr, glow);
  cairo_paint(cr);
  cairo_pattern_destroy(glow);
  // Fine diagonal hatching, barely visible, like brushed metal.
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.018);
  for (int x = -600; x < 800; x += 6) {
    cairo_move_to(cr, x, 600);
    cairo_line_to(cr, x + 600, 0);
  }
  cairo_stroke(cr);
}

void NameBand(cairo_t* cr) {
  // Red slanted band bleeding off the left edge, with a white pin-stripe beneath.
  cairo_move_to(cr, -10, 30);
  cairo_line_to(cr, 266, 30);
  cairo_line_to(cr, 248, 88);
  cairo_line_to(cr, -10, 88);
  cairo_close_path(cr);
  cairo_pattern_t* red = cairo_pattern_create_linear(0, 30, 0, 88);
  cairo_pattern_add_color_stop_rgb(red, 0, 1.0, 0.26, 0.22);
  cairo_pattern_add_color_stop_rgb(red, 0.5, kRed.r, kRed.g, kRed.b);
  cairo_pattern_add_color_stop_rgb(red, 1, 0.62, 0.02, 0.03);
  cairo_set_source(cr, red);
  cairo_fill(cr);
  cairo_pattern_destroy(red);
  cairo_move_to(cr, -10, 94);
  cairo_line_to(cr, 246, 94);
  cairo_line_to(cr, 244, 99);
  cairo_line_to(cr, -10, 99);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.95, 0.95, 0.96);
  cairo_fill(cr);
  SetFace(cr, kDisplayFace, 54);
  PlaceText(cr, "KESTRUNE", 124, 59, kWhite, 2.5, 0.6);
}

void SpeedStreaks(cairo_t* cr) {
  struct Streak {
    double y, x0, len, w, a;
    bool red;
  };
  const Streak streaks[] = {{24, 560, 260, 3, 0.55, true},  {36, 620, 200, 1.5, 0.30, false},
                            {46, 660, 160, 5, 0.40, true},  {60, 600, 220, 1.5, 0.22, false},
                            {70, 700, 120, 2, 0.35, false}, {14, 690, 130, 1, 0.25, false}};
  for (const Streak& s : streaks) {
    cairo_pattern_t* g = cairo_pattern_create_linear(s.x0, 0, s.x0 + s.len, 0);
    const Rgb c = s.red ? kRed : kWhite;
    cairo_pattern_add_color_stop_rgba(g, 0, c.r, c.g, c.b, 0);
    cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, s.a);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, s.x0, s.y, s.len + 20, s.w);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
}

void ChequeredStrip(cairo_t* cr) {
  // Two rows of squares along the bottom, fading out towards the middle of the screen.
  const double sq = 8, top = 600 - 2 * sq;
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 100; ++col) {
      if ((row + col) % 2) continue;
      const double x = col * sq, fromEdge = std::min(x, 800 - x - sq);
      const double a = 0.30 * std::max(0.0, 1 - fromEdge / 300);
      if (a <= 0) continue;
      cairo_rectangle(cr, x, top + row * sq, sq, sq);
      cairo_set_source_rgba(cr, 1, 1, 1, a);
      cairo_fill(cr);
    }
}

void Vignette(cairo_t* cr) {
  cairo_pattern_t* v = cairo_pattern_create_radial(400, 300, 300, 400, 300, 560);
  cairo_pattern_add_color_stop_rgba(v, 0, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(v, 1, 0, 0, 0, 0.45);
  cairo_set_source(cr, v);
  cairo_paint(cr);
  cairo_pattern_destroy(v);
}

}  // namespace

void AddMenuBackground(PictureArchive& archive) {
  Canvas c(800, 600);
  cairo_t* cr = c.Body();
  Ground(cr);
  PaintGrain(cr, 800, 600, 0x4d4d4247u, 0.05);
  Vignette(cr);
  SpeedStreaks(cr);
  ChequeredStrip(cr);
  NameBand(cr);
  AddLooks(archive, "MMBG", {c.Finish(false)}, false);
}

}  // namespace kestrune::lib1
