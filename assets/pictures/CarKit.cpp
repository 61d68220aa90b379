#include "CarKit.h"

#include "CarLiveries.h"

#include <array>
#include <cmath>

namespace kestrune::art {
namespace {

// The body outline in local coordinates (front at -L/2).
void BodyPath(cairo_t* cr, const CarLook& k) {
  const double L = k.length, W = k.width;
  const double wf = W * (1 - k.frontTaper), wr = W * (1 - k.rearTaper);
  const double rf = k.noseRound, rr = k.tailRound;
  const double top = -L / 2, bottom = L / 2;
  cairo_new_path(cr);
  cairo_move_to(cr, -wf / 2 + rf, top);
  cairo_line_to(cr, wf / 2 - rf, top);
  cairo_curve_to(cr, wf / 2 + rf * 0.2, top, W / 2, top + rf * 0.8, W / 2, top + rf * 2.2);
  // Slight waist between the axles.
  cairo_curve_to(cr, W / 2 - 1.2, -L * 0.05, W / 2 - 1.2, L * 0.05, W / 2, bottom - rr * 2.2);
  cairo_curve_to(cr, W / 2, bottom - rr * 0.8, wr / 2 + rr * 0.2, bottom, wr / 2 - rr, bottom);
  cairo_line_to(cr, -wr / 2 + rr, bottom);
  cairo_curve_to(cr, -wr / 2 - rr * 0.2, bottom, -W / 2, bottom - rr * 0.8, -W / 2, bottom - rr * 2.2);
  cairo_curve_to(cr, -W / 2 + 1.2, L * 0.05, -W / 2 + 1.2, -L * 0.05, -W / 2, top + rf * 2.2);
  cairo_curve_to(cr, -W / 2, top + rf * 0.8, -wf / 2 - rf * 0.2, top, -wf / 2 + rf, top);
  cairo_close_path(cr);
}

// A trapezoid across the car between y0 (width w0) and y1 (width w1), corners rounded by r.
void Trapezoid(cairo_t* cr, double y0, double w0, double y1, double w1, double r) {
  cairo_new_path(cr);
  cairo_move_to(cr, -w0 / 2 + r, y0);
  cairo_line_to(cr, w0 / 2 - r, y0);
  cairo_curve_to(cr, w0 / 2, y0, w0 / 2, y0, w0 / 2 - r * 0.2, y0 + r);
  cairo_line_to(cr, w1 / 2 + r * 0.2, y1 - r);
  cairo_curve_to(cr, w1 / 2, y1, w1 / 2, y1, w1 / 2 - r, y1);
  cairo_line_to(cr, -w1 / 2 + r, y1);
  cairo_curve_to(cr, -w1 / 2, y1, -w1 / 2, y1, -w1 / 2 - r * 0.2, y1 - r);
  cairo_line_to(cr, -w0 / 2 + r * 0.2, y0 + r);
  cairo_curve_to(cr, -w0 / 2, y0, -w0 / 2, y0, -w0 / 2 + r, y0);
  cairo_close_path(cr);
}

void Glass(cairo_t* cr, double y0, double y1, bool front) {
  cairo_pattern_t* p = cairo_pattern_create_linear(-20, y0, 20, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.36, 0.46, 0.56);
  cairo_pattern_add_color_stop_rgb(p, 0.45, 0.13, 0.17, 0.22);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.07, 0.09, 0.12);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  // A reflection streak across the glass.
  cairo_save(cr);
  cairo_clip(cr);
  const double mid = (y0 + y1) / 2;
  cairo_move_to(cr, -30, mid + (front ? 4 : -2));
  cairo_line_to(cr, 30, mid - (front ? 10 : 6));
  cairo_line_to(cr, 30, mid - (front ? 6 : 3));
  cairo_line_to(cr, -30, mid + (front ? 8 : 1));
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_new_path(cr);
}

double wfGrille(const CarLook& k) { return k.width * (1 - k.frontTaper) * 0.45; }

void Tyres(cairo_t* cr, const CarLook& k) {
  const double L = k.length, W = k.width;
  const double tw = 5, tl = std::min(18.0, L * 0.13);
  const double ys[2] = {-L / 2 + L * 0.19, L / 2 - L * 0.2};
  for (double y : ys)
    for (double side : {-1.0, 1.0}) {
      RoundedRect(cr, side * (W / 2 - tw / 2 + 1.5) - tw / 2, y - tl / 2, tw, tl, 1.5);
      SetColor(cr, Hex(0x1C1C1E));
      cairo_fill(cr);
    }
}

void Body(cairo_t* cr, const CarLook& k) {
  const double L = k.length, W = k.width;
  const double top = -L / 2;
  if (k.tyresShow) Tyres(cr, k);
  if (k.mirrors) {
    for (double side : {-1.0, 1.0}) {
      const double y = top + L * (k.roofStart - 0.02);
      cairo_save(cr);
      cairo_translate(cr, side * (W / 2 + 1), y);
      cairo_scale(cr, 3.2, 2.2);
      cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
      cairo_restore(cr);
      SetColor(cr, Darker(k.paint, 0.25));
      cairo_fill(cr);
    }
  }
  // Paint: lit across from the left, with a soft highlight on the upper-left shoulder.
  BodyPath(cr, k);
  cairo_pattern_t* side = cairo_pattern_create_linear(-W / 2, 0, W / 2, 0);
  const Rgb lit = Lighter(k.paint, 0.22), mid = k.paint, dark = Darker(k.paint, 0.32);
  cairo_pattern_add_color_stop_rgb(side, 0, mid.r, mid.g, mid.b);
  cairo_pattern_add_color_stop_rgb(side, 0.22, lit.r, lit.g, lit.b);
  cairo_pattern_add_color_stop_rgb(side, 0.6, mid.r, mid.g, mid.b);
  cairo_pattern_add_color_stop_rgb(side, 1, dark.r, dark.g, dark.b);
  cairo_set_source(cr, side);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(side);
  cairo_save(cr);
  cairo_clip(cr);
  // Stripes.
  if (k.stripes == CarLook::Stripes::Twin) {
    for (double x : {-W * 0.14, W * 0.06}) {
      cairo_rectangle(cr, x, top, W * 0.08, L);
      SetColor(cr, k.accent);
      cairo_fill(cr);
    }
  } else if (k.stripes == CarLook::Stripes::Centre) {
    cairo_rectangle(cr, -W * 0.09, top, W * 0.18, L);
    SetColor(cr, k.accent);
    cairo_fill(cr);
  } else if (k.stripes == CarLook::Stripes::Rally) {
    // A diagonal livery band across the bonnet and along the sides.
    cairo_move_to(cr, -W, top + L * 0.05);
    cairo_line_to(cr, W, top + L * 0.22);
    cairo_line_to(cr, W, top + L * 0.30);
    cairo_line_to(cr, -W, top + L * 0.13);
    cairo_close_path(cr);
    SetColor(cr, k.accent);
    cairo_fill(cr);
    cairo_rectangle(cr, -W / 2, top + L * 0.35, W * 0.13, L * 0.6);
    cairo_rectangle(cr, W / 2 - W * 0.13, top + L * 0.35, W * 0.13, L * 0.6);
    SetColor(cr, k.sideColour);
    cairo_fill(cr);
  }
  // Highlight on the left shoulder.
  cairo_pattern_t* hl = cairo_pattern_create_radial(-W * 0.22, top + L * 0.22, 0, -W * 0.22, top + L * 0.22, L * 0.35);
  cairo_pattern_add_color_stop_rgba(hl, 0, 1, 1, 1, 0.32);
  cairo_pattern_add_color_stop_rgba(hl, 1, 1, 1, 1, 0);
  cairo_set_source(cr, hl);
  cairo_paint(cr);
  cairo_pattern_destroy(hl);
  cairo_restore(cr);
  // Outline.
  BodyPath(cr, k);
  cairo_set_line_width(cr, 0.9);
  SetColor(cr, Darker(k.paint, 0.6));
  cairo_stroke(cr);

  const double cw = W * k.cabinWidth;
  const double yWs0 = top + L * k.hoodEnd, yRoof0 = top + L * k.roofStart;
  const double yRoof1 = top + L * k.roofEnd, yRear1 = top + L * k.rearEnd;
  // Side windows: dark strips along the cabin.
  Trapezoid(cr, yWs0 + 3, cw * 0.96, yRear1 - 2, cw * 0.9, 3);
  SetColor(cr, Hex(0x1A2129));
  cairo_fill(cr);
  if (k.convertible) {
    // Open cockpit: windscreen frame, two seats and a roll hoop.
    Trapezoid(cr, yWs0, cw, yRoof0 - 2, cw * 0.96, 3);
    Glass(cr, yWs0, yRoof0, true);
    Trapezoid(cr, yRoof0 - 2, cw * 0.92, yRear1 - 2, cw * 0.86, 4);
    SetColor(cr, Hex(0x2A2522));
    cairo_fill(cr);
    for (double sx : {-cw * 0.22, cw * 0.22}) {
      RoundedRect(cr, sx - cw * 0.16, yRoof0 + 3, cw * 0.32, (yRear1 - yRoof0) * 0.55, 4);
      FillLit(cr, sx - cw * 0.16, yRoof0, sx + cw * 0.16, yRear1, Lighter(k.seat, 0.15), Darker(k.seat, 0.4));
      cairo_new_path(cr);
    }
    RoundedRect(cr, -cw * 0.42, yRear1 - 9, cw * 0.84, 4, 2);
    FillLit(cr, -cw * 0.4, yRear1 - 9, cw * 0.4, yRear1 - 5, Hex(0xD8D8DC), Hex(0x707078));
    cairo_new_path(cr);
  } else {
    Trapezoid(cr, yWs0, cw * 0.96, yRoof0 + 1, cw * 0.9, 4);
    Glass(cr, yWs0, yRoof0, true);
    Trapezoid(cr, yRoof1 - 1, cw * 0.9, yRear1, cw * 0.86, 3);
    Glass(cr, yRoof1, yRear1, false);
    // Roof panel.
    Trapezoid(cr, yRoof0, cw * 0.84, yRoof1, cw * 0.84, 5);
    FillLit(cr, -cw / 2, yRoof0, cw / 2, yRoof1, Lighter(k.paint, 0.15), Darker(k.paint, 0.2));
    cairo_new_path(cr);
    if (k.stripes == CarLook::Stripes::Twin || k.stripes == CarLook::Stripes::Centre) {
      cairo_save(cr);
      Trapezoid(cr, yRoof0, cw * 0.84, yRoof1, cw * 0.84, 5);
      cairo_clip(cr);
      if (k.stripes == CarLook::Stripes::Twin) {
        cairo_rectangle(cr, -W * 0.14, yRoof0, W * 0.08, yRoof1 - yRoof0);
        cairo_rectangle(cr, W * 0.06, yRoof0, W * 0.08, yRoof1 - yRoof0);
      } else {
        cairo_rectangle(cr, -W * 0.09, yRoof0, W * 0.18, yRoof1 - yRoof0);
      }
      SetColor(cr, Darker(k.accent, 0.05));
      cairo_fill(cr);
      cairo_restore(cr);
    }
    if (k.roofRails)
      for (double sx : {-cw * 0.36, cw * 0.36}) {
        cairo_rectangle(cr, sx - 1, yRoof0 + 2, 2, yRoof1 - yRoof0 - 4);
        SetColor(cr, Hex(0x2A2A2E));
        cairo_fill(cr);
      }
    if (k.roofNumber) {
      const double cy = (yRoof0 + yRoof1) / 2, r = std::min(cw * 0.32, (yRoof1 - yRoof0) * 0.36);
      cairo_arc(cr, 0, cy, r, 0, 2 * M_PI);
      SetColor(cr, Hex(0xF7F7F2));
      cairo_fill(cr);
      CentredText(cr, k.roofNumber, 0, cy, r * 1.7, Hex(0x1A1A1A));
    }
  }
  if (k.scoop) {
    RoundedRect(cr, -W * 0.12, top + L * 0.12, W * 0.24, L * 0.1, 2);
    FillLit(cr, 0, top + L * 0.12, 0, top + L * 0.22, Hex(0x111111), Hex(0x3A3A3A));
    cairo_new_path(cr);
  }
  if (k.sideIntakes)
    for (double side : {-1.0, 1.0}) {
      cairo_move_to(cr, side * W / 2, top + L * 0.55);
      cairo_line_to(cr, side * (W / 2 - W * 0.12), top + L * 0.6);
      cairo_line_to(cr, side * (W / 2 - W * 0.12), top + L * 0.7);
      cairo_line_to(cr, side * W / 2, top + L * 0.72);
      cairo_close_path(cr);
      SetColor(cr, Hex(0x151515));
      cairo_fill(cr);
    }
  // Grille between the headlights, bonnet creases, rear bumper.
  RoundedRect(cr, -wfGrille(k) / 2, top + 1.2, wfGrille(k), 3, 1.5);
  SetColor(cr, Darker(k.paint, 0.55));
  cairo_fill(cr);
  cairo_set_line_width(cr, 0.7);
  for (double side : {-1.0, 1.0}) {
    cairo_move_to(cr, side * W * 0.2, top + 7);
    cairo_curve_to(cr, side * W * 0.24, top + L * 0.12, side * W * 0.26, top + L * 0.2, side * W * 0.3,
                   top + L * k.hoodEnd - 1);
  }
  SetColor(cr, Darker(k.paint, 0.3), 0.8);
  cairo_stroke(cr);
  RoundedRect(cr, -W * (1 - k.rearTaper) / 2 + 4, L / 2 - 2.2, W * (1 - k.rearTaper) - 8, 2.2, 1);
  SetColor(cr, Darker(k.paint, 0.5));
  cairo_fill(cr);
  // Headlights and tail lights.
  const double wf = W * (1 - k.frontTaper), wr = W * (1 - k.rearTaper);
  for (double side : {-1.0, 1.0}) {
    cairo_save(cr);
    cairo_translate(cr, side * (wf / 2 - 6), top + 3.2);
    cairo_scale(cr, 5.5, 2.4);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    SetColor(cr, Hex(0xFFF6C8));
    cairo_fill(cr);
    RoundedRect(cr, side * (wr / 2 - 6) - 5, L / 2 - 3.6, 10, 3, 1.2);
    SetColor(cr, Hex(0xE0201C));
    cairo_fill(cr);
  }
  if (k.spotLights)
    for (double x : {-W * 0.27, -W * 0.09, W * 0.09, W * 0.27}) Ball(cr, x, top + 7, 2.6, Hex(0xF4F0D0));
  if (k.spoiler) {
    const double sw = k.spoilerWidth > 0 ? k.spoilerWidth : W;
    for (double sx : {-sw * 0.3, sw * 0.3}) {
      cairo_rectangle(cr, sx - 1.5, L / 2 - 12, 3, 6);
      SetColor(cr, Hex(0x1E1E20));
      cairo_fill(cr);
    }
    RoundedRect(cr, -sw / 2, L / 2 - 9, sw, 6, 2);
    FillLit(cr, -sw / 2, L / 2 - 9, sw / 2, L / 2 - 3, Lighter(k.paint, 0.1), Darker(k.paint, 0.45));
    SetColor(cr, Darker(k.paint, 0.6));
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
  }
}

}  // namespace

void DrawCar(cairo_t* body, cairo_t* shadow, const CarLook& look, double cx, double cy, double angle,
             double scale) {
  if (shadow) {
    cairo_save(shadow);
    cairo_translate(shadow, cx + kShadowDx * scale * 0.8, cy + kShadowDy * scale * 0.8);
    cairo_rotate(shadow, angle);
    cairo_scale(shadow, scale, scale);
    BodyPath(shadow, look);
    cairo_set_source_rgba(shadow, 0, 0, 0, 0.6);
    cairo_fill(shadow);
    cairo_restore(shadow);
  }
  cairo_save(body);
  cairo_translate(body, cx, cy);
  cairo_rotate(body, angle);
  cairo_scale(body, scale, scale);
  Body(body, look);
  cairo_restore(body);
}

const CarLook& PlayerCarLook(int model) {
  static const std::array<CarLook, 6> looks = [] {
    CarLook l[6];
    // 1: sports coupe, red with white twin stripes.
    l[0].length = 150, l[0].width = 58, l[0].paint = Hex(0xD7262B), l[0].stripes = CarLook::Stripes::Twin;
    l[0].hoodEnd = 0.32, l[0].roofStart = 0.45, l[0].roofEnd = 0.66, l[0].rearEnd = 0.78;
    l[0].noseRound = 12, l[0].frontTaper = 0.16;
    // 2: muscle car, deep blue, long bonnet with a scoop, white racing stripes.
    l[1].length = 143, l[1].width = 56, l[1].paint = Hex(0x1F4FA8), l[1].stripes = CarLook::Stripes::Twin;
    l[1].scoop = true, l[1].hoodEnd = 0.38, l[1].roofStart = 0.48, l[1].roofEnd = 0.7, l[1].rearEnd = 0.8;
    l[1].noseRound = 5, l[1].tailRound = 5, l[1].frontTaper = 0.04, l[1].rearTaper = 0.02;
    // 3: wide supercar, yellow with a black spine, side intakes and a wide rear wing.
    l[2].length = 150, l[2].width = 68, l[2].paint = Hex(0xF2B705), l[2].accent = Hex(0x1A1A1A);
    l[2].sideIntakes = true, l[2].spoiler = true, l[2].spoilerWidth = 76;
    l[2].hoodEnd = 0.34, l[2].roofStart = 0.46, l[2].roofEnd = 0.6, l[2].rearEnd = 0.68;
    l[2].cabinWidth = 0.66, l[2].noseRound = 14, l[2].frontTaper = 0.22, l[2].tailRound = 10;
    // 4: compact hatch, green, short with roof rails and a steep tail.
    l[3].length = 128, l[3].width = 56, l[3].paint = Hex(0x1FA89A), l[3].roofRails = true;
    l[3].hoodEnd = 0.24, l[3].roofStart = 0.36, l[3].roofEnd = 0.8, l[3].rearEnd = 0.9;
    l[3].cabinWidth = 0.86, l[3].noseRound = 10, l[3].tailRound = 6, l[3].rearTaper = 0.03;
    // 5: rally car, white with a blue and orange livery, roof number and spot lights.
    l[4].length = 148, l[4].width = 58, l[4].paint = Hex(0xF1F3F6), l[4].accent = Hex(0x1E5BC6);
    l[4].stripes = CarLook::Stripes::Rally, l[4].roofNumber = "5", l[4].spotLights = true, l[4].spoiler = true;
    l[4].hoodEnd = 0.28, l[4].roofStart = 0.4, l[4].roofEnd = 0.7, l[4].rearEnd = 0.8;
    // 6: roadster, silver, open top.
    l[5].length = 138, l[5].width = 58, l[5].paint = Hex(0x7B3FB5), l[5].convertible = true;
    l[5].accent = Hex(0xE8E0F0), l[5].hoodEnd = 0.36, l[5].roofStart = 0.44, l[5].rearEnd = 0.76;
    l[5].noseRound = 14, l[5].frontTaper = 0.2, l[5].tailRound = 12, l[5].rearTaper = 0.12;
    // Paint and trim shared with the car-choice showcase.
    for (int i = 0; i < 6; ++i) {
      l[i].paint = kPlayerCarLiveries[i].paint;
      l[i].accent = kPlayerCarLiveries[i].trim;
    }
    l[2].stripes = CarLook::Stripes::Centre;  // the supercar's black spine
    l[4].sideColour = Hex(0xF28C1E);          // the rally car's orange lines
    l[5].seat = Hex(0xC8262A);                // the roadster's red interior
    return std::to_array(l);
  }();
  return looks[(model - 1 + 6) % 6];
}

}  // namespace kestrune::art
