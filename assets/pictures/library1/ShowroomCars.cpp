// Large top-down views of the six player cars for the car choice (and the intro artwork).
// Each car is described by its proportions, its paint and its kind of extras; the drawing is
// done in the cars' in-game pixel units with the nose towards +x, lit from the upper left.
#include <algorithm>
#include <cmath>

#include "CarLiveries.h"
#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::lib1 {

namespace {

using Kind = art::CarStyle;

struct CarSpec {
  Kind kind;
  double length, width;           // body, in-game pixels
  double rearHalf, frontHalf;     // half-widths at the tail and at the nose (fractions of width/2)
  double rearRadius, noseRadius;  // corner roundness
  double glassRear, glassFront;   // greenhouse, as fractions of the length from the tail
  double roofRear, roofFront;     // roof panel inside the greenhouse
  Rgb paint, trim;
};

// Proportions of Car1..Car6 (their body sizes in the race); the colours come from the shared
// liveries.
struct Proportions {
  double length, width, rearHalf, frontHalf, rearRadius, noseRadius, glassRear, glassFront, roofRear, roofFront;
};
constexpr Proportions kShapes[6] = {
    {150, 62, 0.94, 0.82, 12, 20, 0.22, 0.64, 0.30, 0.52}, {142, 60, 0.98, 0.94, 8, 10, 0.24, 0.60, 0.31, 0.50},
    {150, 70, 0.96, 0.74, 14, 24, 0.30, 0.66, 0.38, 0.56}, {128, 60, 0.97, 0.88, 10, 16, 0.10, 0.62, 0.14, 0.50},
    {146, 58, 0.96, 0.88, 10, 14, 0.20, 0.62, 0.27, 0.52}, {138, 60, 0.92, 0.80, 14, 22, 0.30, 0.56, 0.0, 0.0},
};

CarSpec Spec(int model) {
  const Proportions& p = kShapes[model - 1];
  const art::CarLivery& l = art::kPlayerCarLiveries[model - 1];
  return {l.style,       p.length,     p.width,    p.rearHalf,  p.frontHalf, p.rearRadius, p.noseRadius,
          p.glassRear,   p.glassFront, p.roofRear, p.roofFront, l.paint,     l.trim};
}

Rgb Shade(Rgb c, double f) {
  if (f >= 1) return {c.r + (1 - c.r) * (f - 1), c.g + (1 - c.g) * (f - 1), c.b + (1 - c.b) * (f - 1)};
  return {c.r * f, c.g * f, c.b * f};
}

void BodyPath(cairo_t* cr, const CarSpec& s, double inset = 0) {
  const double L = s.length / 2 - inset, W = s.width / 2 - inset;
  const double wr = W * s.rearHalf, wf = W * s.frontHalf;
  const double rr = std::max(2.0, s.rearRadius - inset * 0.5), rf = std::max(2.0, s.noseRadius - inset * 0.5);
  cairo_new_path(cr);
  cairo_move_to(cr, -L, -wr + rr);
  cairo_curve_to(cr, -L, -wr + rr * 0.3, -L + rr * 0.3, -wr, -L + rr, -wr);
  cairo_curve_to(cr, -L * 0.35, -W * 1.01, L * 0.3, -W * 1.01, L - rf, -wf);
  cairo_curve_to(cr, L - rf * 0.3, -wf + rf * 0.1, L, -wf + rf * 0.55, L, -wf + rf);
  cairo_line_to(cr, L, wf - rf);
  cairo_curve_to(cr, L, wf - rf * 0.55, L - rf * 0.3, wf - rf * 0.1, L - rf, wf);
  cairo_curve_to(cr, L * 0.3, W * 1.01, -L * 0.35, W * 1.01, -L + rr, wr);
  cairo_curve_to(cr, -L + rr * 0.3, wr, -L, wr - rr * 0.3, -L, wr - rr);
  cairo_close_path(cr);
}

// A rounded quadrilateral between two stations along the car (x0 < x1) with half-widths.
void TaperPath(cairo_t* cr, double x0, double h0, double x1, double h1, double r) {
  cairo_new_path(cr);
  cairo_move_to(cr, x0 + r, -h0);
  cairo_line_to(cr, x1 - r, -h1);
  cairo_curve_to(cr, x1, -h1, x1, -h1, x1, -h1 + r);
  cairo_line_to(cr, x1, h1 - r);
  cairo_curve_to(cr, x1, h1, x1, h1, x1 - r, h1);
  cairo_line_to(cr, x0 + r, h0);
  cairo_curve_to(cr, x0, h0, x0, h0, x0, h0 - r);
  cairo_line_to(cr, x0, -h0 + r);
  cairo_curve_to(cr, x0, -h0, x0, -h0, x0 + r, -h0);
  cairo_close_path(cr);
}

// Glass or roof outline: straight flanks, front and rear edges bowed outwards.
void BowedPath(cairo_t* cr, double x0, double h0, double x1, double h1, double bowRear, double bowFront) {
  cairo_new_path(cr);
  cairo_move_to(cr, x0, -h0);
  cairo_line_to(cr, x1, -h1);
  cairo_curve_to(cr, x1 + bowFront, -h1 * 0.6, x1 + bowFront, h1 * 0.6, x1, h1);
  cairo_line_to(cr, x0, h0);
  cairo_curve_to(cr, x0 - bowRear, h0 * 0.6, x0 - bowRear, -h0 * 0.6, x0, -h0);
  cairo_close_path(cr);
}

void Wheel(cairo_t* cr, double x, double y, double len, double wid) {
  RoundedRect(cr, x - len / 2, y - wid / 2, len, wid, wid * 0.3);
  cairo_set_source_rgb(cr, 0.07, 0.07, 0.08);
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
  cairo_set_line_width(cr, 0.8);
  for (int i = 1; i < 6; ++i) {
    const double tx = x - len / 2 + len * i / 6.0;
    cairo_move_to(cr, tx, y - wid / 2 + 1);
    cairo_line_to(cr, tx, y + wid / 2 - 1);
  }
  cairo_stroke(cr);
}

void Stripe(cairo_t* cr, double x0, double x1, double y0, double y1, Rgb c, double alpha = 1) {
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  SetColor(cr, c, alpha);
  cairo_fill(cr);
}

void DrawCar(cairo_t* cr, const CarSpec& s) {
  const double L = s.length / 2, W = s.width / 2;
  const double gx0 = -L + s.length * s.glassRear, gx1 = -L + s.length * s.glassFront;

  // Ground shadow, short and towards the lower right.
  cairo_save(cr);
  cairo_translate(cr, 3, 5);
  for (int i = 5; i >= 0; --i) {
    BodyPath(cr, s, -i * 1.2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.10);
    cairo_fill(cr);
  }
  cairo_restore(cr);

  // Tyres reach past the body on the wide cars.
  const double axleR = -L * 0.62, axleF = L * 0.60, tyreL = s.length * 0.17, tyreW = s.width * 0.17;
  const double out = (s.kind == Kind::MuscleCar || s.kind == Kind::RallyCar || s.kind == Kind::Supercar) ? 1.5 : 0.5;
  for (double ax : {axleR, axleF})
    for (double side : {-1.0, 1.0}) Wheel(cr, ax, side * (W - tyreW / 2 + out), tyreL, tyreW);

  // Paint: darker towards the lower side, a broad highlight from the upper left.
  BodyPath(cr, s);
  cairo_pattern_t* paint = cairo_pattern_create_linear(0, -W, 0, W);
  const Rgb hi = Shade(s.paint, 1.35), mid = s.paint, lo = Shade(s.paint, 0.55);
  cairo_pattern_add_color_stop_rgb(paint, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(paint, 0.45, mid.r, mid.g, mid.b);
  cairo_pattern_add_color_stop_rgb(paint, 1, lo.r, lo.g, lo.b);
  cairo_set_source(cr, paint);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(paint);
  const Rgb edge = Shade(s.paint, 0.3);
  SetColor(cr, edge);
  cairo_set_line_width(cr, 1.1);
  cairo_stroke(cr);

  cairo_save(cr);
  BodyPath(cr, s);
  cairo_clip(cr);

  // Livery under the glass and panels.
  switch (s.kind) {
    case Kind::MuscleCar:
      Stripe(cr, -L, L, -7.5, -2.5, s.trim);
      Stripe(cr, -L, L, 2.5, 7.5, s.trim);
      break;
    case Kind::RallyCar:
      Stripe(cr, -L, L, -W, -W + 9, s.trim);
      Stripe(cr, -L, L, W - 9, W, s.trim);
      Stripe(cr, -L, L, -W + 9, -W + 12, {1.0, 0.50, 0.05});
      Stripe(cr, -L, L, W - 12, W - 9, {1.0, 0.50, 0.05});
      Stripe(cr, L - 14, L, -W, W, s.trim);
      break;
    case Kind::Supercar:
      Stripe(cr, -L, L, -1.5, 1.5, s.trim, 0.85);
      break;
    case Kind::SportsCoupe:
      Stripe(cr, -L, L, -W * 0.55, -W * 0.48, s.trim, 0.85);
      Stripe(cr, -L, L, W * 0.48, W * 0.55, s.trim, 0.85);
      break;
    default:
      break;
  }

  // Swage lines of the bonnet and the boot lid.
  cairo_set_line_width(cr, 0.9);
  SetColor(cr, Shade(s.paint, 0.6), 0.8);
  cairo_move_to(cr, gx1 + 4, -W * 0.62);
  cairo_curve_to(cr, L * 0.7, -W * 0.58, L - 4, -W * 0.5, L - 3, -W * 0.45);
  cairo_move_to(cr, gx1 + 4, W * 0.62);
  cairo_curve_to(cr, L * 0.7, W * 0.58, L - 4, W * 0.5, L - 3, W * 0.45);
  cairo_stroke(cr);
  cairo_restore(cr);

  // Greenhouse: windscreen, side glass and rear window in one dark tinted shape.
  const double glassHalfR = W * (s.kind == Kind::CompactHatch ? 0.82 : 0.74);
  const double glassHalfF = W * 0.80;
  if (s.kind == Kind::Roadster) {
    // Open cockpit: tub, two seats with headrests, roll hoops, a framed windscreen.
    TaperPath(cr, gx0, W * 0.70, gx1, W * 0.76, 6);
    cairo_set_source_rgb(cr, 0.10, 0.10, 0.11);
    cairo_fill(cr);
    for (double side : {-1.0, 1.0}) {
      RoundedRect(cr, gx0 + 8, side * W * 0.36 - 9, 24, 18, 5);
      cairo_set_source_rgb(cr, 0.55, 0.12, 0.10);
      cairo_fill(cr);
      RoundedRect(cr, gx0 + 3, side * W * 0.36 - 6, 7, 12, 3);
      cairo_set_source_rgb(cr, 0.30, 0.07, 0.06);
      cairo_fill(cr);
      cairo_arc(cr, gx0 - 4, side * W * 0.36, 5, 0, 2 * M_PI);
      SetColor(cr, Shade(s.paint, 0.8));
      cairo_fill(cr);
    }
    cairo_arc(cr, gx0 + 38, -W * 0.36, 5, 0, 2 * M_PI);  // steering wheel
    cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    TaperPath(cr, gx1 - 5, W * 0.74, gx1 + 3, W * 0.70, 3);
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, -W, 0, W);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.55, 0.62, 0.70);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.15, 0.18, 0.24);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
  } else {
    BowedPath(cr, gx0, glassHalfR, gx1, glassHalfF * (s.kind == Kind::Supercar ? 0.80 : 0.84), 5, 9);
    cairo_pattern_t* glass = cairo_pattern_create_linear(gx0, -W, gx1, W);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.30, 0.36, 0.45);
    cairo_pattern_add_color_stop_rgb(glass, 0.5, 0.10, 0.12, 0.17);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.05, 0.06, 0.08);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);

    // Roof panel in body colour.
    const double rx0 = -L + s.length * s.roofRear, rx1 = -L + s.length * s.roofFront;
    BowedPath(cr, rx0, W * 0.64, rx1, W * 0.64, 3, 4);
    cairo_pattern_t* roof = cairo_pattern_create_linear(0, -W, 0, W);
    const Rgb rh = Shade(s.paint, 1.25), rl = Shade(s.paint, 0.7);
    cairo_pattern_add_color_stop_rgb(roof, 0, rh.r, rh.g, rh.b);
    cairo_pattern_add_color_stop_rgb(roof, 1, rl.r, rl.g, rl.b);
    cairo_set_source(cr, roof);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(roof);
    SetColor(cr, Shade(s.paint, 0.4), 0.7);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    if (s.kind == Kind::RallyCar) {
      cairo_arc(cr, (rx0 + rx1) / 2, 0, W * 0.42, 0, 2 * M_PI);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_fill_preserve(cr);
      SetColor(cr, s.trim);
      cairo_set_line_width(cr, 1.5);
      cairo_stroke(cr);
      SetFace(cr, kDisplayFace, W * 0.7);
      cairo_save(cr);
      cairo_translate(cr, (rx0 + rx1) / 2, 0);
      cairo_rotate(cr, M_PI / 2);
      PlaceText(cr, "5", 0, 0, s.trim);
      cairo_restore(cr);
    }
    if (s.kind == Kind::MuscleCar) {
      Stripe(cr, rx0, rx1, -7.5, -2.5, s.trim);
      Stripe(cr, rx0, rx1, 2.5, 7.5, s.trim);
    }
    // Reflection across the windscreen.
    cairo_move_to(cr, rx1 + 3, -W * 0.55);
    cairo_line_to(cr, rx1 + 7, -W * 0.55);
    cairo_line_to(cr, gx1 - 3, W * 0.1);
    cairo_line_to(cr, gx1 - 7, W * 0.1);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
    cairo_fill(cr);
  }

  // Extras.
  if (s.kind == Kind::MuscleCar) {
    RoundedRect(cr, gx1 + 10, -7, 22, 14, 3);  // bonnet scoop
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.09);
    cairo_fill(cr);
  }
  if (s.kind == Kind::Supercar) {
    for (int i = 0; i < 5; ++i) Stripe(cr, gx0 - 26 + i * 5, gx0 - 23 + i * 5, -W * 0.45, W * 0.45, {0.08, 0.08, 0.09});
    for (double side : {-1.0, 1.0}) {  // side intakes
      cairo_move_to(cr, gx0 + 4, side * (W - 2));
      cairo_line_to(cr, gx0 + 26, side * (W - 2));
      cairo_line_to(cr, gx0 + 8, side * (W - 11));
      cairo_close_path(cr);
      cairo_set_source_rgb(cr, 0.08, 0.08, 0.09);
      cairo_fill(cr);
    }
  }
  if (s.kind == Kind::MuscleCar || s.kind == Kind::RallyCar || s.kind == Kind::Supercar) {
    // Rear wing with end plates.
    const double wx = -L + 3, ww = s.kind == Kind::Supercar ? 9 : 7;
    cairo_rectangle(cr, wx, -W * 0.92, ww, W * 1.84);
    SetColor(cr, s.kind == Kind::RallyCar ? s.trim : Shade(s.paint, 0.35));
    cairo_fill(cr);
    cairo_rectangle(cr, wx, -W * 0.92, ww, 2);
    cairo_rectangle(cr, wx, W * 0.92 - 2, ww, 2);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.06);
    cairo_fill(cr);
  }

  // Mirrors at the base of the windscreen, on short stalks.
  if (s.kind != Kind::Roadster)
    for (double side : {-1.0, 1.0}) {
      const double mx = gx1 - 12, my = side * (W * 0.88);
      cairo_move_to(cr, mx, my);
      cairo_line_to(cr, mx - 3, side * (W + 2.5));
      SetColor(cr, s.trim);
      cairo_set_line_width(cr, 1.6);
      cairo_stroke(cr);
      RoundedRect(cr, mx - 8, side > 0 ? W + 0.5 : -W - 4.5, 8, 4, 1.8);
      SetColor(cr, Shade(s.paint, side < 0 ? 1.1 : 0.6));
      cairo_fill_preserve(cr);
      SetColor(cr, Shade(s.paint, 0.3));
      cairo_set_line_width(cr, 0.6);
      cairo_stroke(cr);
    }

  // Lights, inside the body outline: headlamps at the nose corners, tail lamps at the back.
  cairo_save(cr);
  BodyPath(cr, s, 0.8);
  cairo_clip(cr);
  for (double side : {-1.0, 1.0}) {
    const double hy = side * W * s.frontHalf * 0.66;
    cairo_save(cr);
    cairo_translate(cr, L - 4.5, hy);
    cairo_rotate(cr, side * 0.25);
    cairo_scale(cr, 4.2, 6.5);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source_rgb(cr, 1.0, 0.98, 0.85);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
    RoundedRect(cr, -L, side * W * s.rearHalf * 0.64 - 6, 4.5, 12, 1.5);
    cairo_set_source_rgb(cr, 0.85, 0.05, 0.05);
    cairo_fill(cr);
  }
  cairo_restore(cr);

  // Gloss highlight along the upper flank.
  cairo_save(cr);
  BodyPath(cr, s);
  cairo_clip(cr);
  cairo_move_to(cr, -L * 0.7, -W + 3);
  cairo_curve_to(cr, -L * 0.2, -W + 1.5, L * 0.3, -W + 1.5, L * 0.75, -W * s.frontHalf + 3);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
  cairo_set_line_width(cr, 1.6);
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace

void DrawShowroomCar(cairo_t* cr, int model, double cx, double cy, double scale) {
  const CarSpec s = Spec(std::clamp(model, 1, 6));
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, scale, scale);
  DrawCar(cr, s);
  cairo_restore(cr);
}

}  // namespace kestrune::lib1
