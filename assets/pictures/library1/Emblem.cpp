// The game's emblem: a red roundel with a chequered band and a white "K".
#include <cmath>

#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::lib1 {

void DrawEmblem(cairo_t* cr, double cx, double cy, double r) {
  cairo_save(cr);
  cairo_arc(cr, cx + r * 0.05, cy + r * 0.08, r, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  cairo_fill(cr);

  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 0.95, 0.95, 0.96);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, r * 0.90, 0, 2 * M_PI);
  cairo_pattern_t* red = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.05, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(red, 0, 1.0, 0.38, 0.33);
  cairo_pattern_add_color_stop_rgb(red, 0.55, kRed.r, kRed.g, kRed.b);
  cairo_pattern_add_color_stop_rgb(red, 1, 0.50, 0.0, 0.02);
  cairo_set_source(cr, red);
  cairo_fill(cr);
  cairo_pattern_destroy(red);

  // Chequered band across the lower part, clipped to the disc.
  cairo_save(cr);
  cairo_arc(cr, cx, cy, r * 0.90, 0, 2 * M_PI);
  cairo_clip(cr);
  const double sq = r * 0.18, top = cy + r * 0.42;
  for (int row = 0; row < 2; ++row)
    for (int col = -6; col < 6; ++col) {
      cairo_rectangle(cr, cx + col * sq, top + row * sq, sq, sq);
      if ((row + col) % 2 == 0)
        cairo_set_source_rgb(cr, 0.06, 0.06, 0.07);
      else
        cairo_set_source_rgb(cr, 0.95, 0.95, 0.96);
      cairo_fill(cr);
    }
  cairo_restore(cr);

  SetFace(cr, kDisplayFace, r * 1.15);
  PlaceText(cr, "K", cx, cy - r * 0.1, kWhite, r * 0.05, 0.6);

  // Light rim on the upper left.
  cairo_arc(cr, cx, cy, r * 0.95, M_PI * 1.0, M_PI * 1.5);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
  cairo_set_line_width(cr, r * 0.04);
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace kestrune::lib1
