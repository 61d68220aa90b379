// Options screen: the value rows (the whole row is a picture, label and value), the
// highlight frames of the four rows, the country edit box, its text cursor, and the empty
// picture used as the rows' normal look.
#include <algorithm>
#include <cmath>

#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::lib1 {

namespace {

constexpr Rgb kDim{0.55, 0.56, 0.60};

// An on/off switch: a pill with its knob right and red when on, left and grey when off.
void DrawSwitch(cairo_t* cr, double x, double y, double w, double h, bool on) {
  RoundedRect(cr, x + 1.5, y + 2, w, h, h / 2);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_fill(cr);
  RoundedRect(cr, x, y, w, h, h / 2);
  if (on)
    SetColor(cr, kRed);
  else
    cairo_set_source_rgb(cr, 0.20, 0.21, 0.24);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1.2);
  cairo_set_source_rgba(cr, 1, 1, 1, on ? 0.7 : 0.3);
  cairo_stroke(cr);
  const double r = h / 2 - 3, kx = on ? x + w - h / 2 : x + h / 2, ky = y + h / 2;
  cairo_pattern_t* knob = cairo_pattern_create_radial(kx - r * 0.3, ky - r * 0.4, 1, kx, ky, r);
  cairo_pattern_add_color_stop_rgb(knob, 0, 1, 1, 1);
  cairo_pattern_add_color_stop_rgb(knob, 1, on ? 0.85 : 0.62, on ? 0.85 : 0.63, on ? 0.87 : 0.68);
  cairo_arc(cr, kx, ky, r, 0, 2 * M_PI);
  cairo_set_source(cr, knob);
  cairo_fill(cr);
  cairo_pattern_destroy(knob);
}

// One value row: "LABEL:" in white, the value in red (or dim grey when off), and for the
// two sound rows a switch at the right end.
TPictureData ValueRow(int width, const std::string& label, const std::string& value, bool on, bool withSwitch) {
  constexpr int h = 50;
  Canvas c(width, h);
  cairo_t* cr = c.Body();
  SetFace(cr, kDisplayFace, 40);
  cairo_text_extents_t e;
  cairo_text_extents(cr, label.c_str(), &e);
  const double x = 16, cy = h / 2.0 + 1;
  PlaceText(cr, label, x + e.width / 2, cy, kWhite, 1.8, 0.8);
  cairo_text_extents_t v;
  cairo_text_extents(cr, value.c_str(), &v);
  PlaceText(cr, value, x + e.width + 12 + v.width / 2, cy, on ? kRed : kDim, 1.8, 0.8);
  if (withSwitch) DrawSwitch(cr, width - 76, cy - 13, 54, 26, on);
  return c.FinishOver(kMenuMatte);
}

// Highlight of an options row: red corner brackets joined by fine lines and a pointer at
// the left; the inside stays transparent so the row's value shows through. `leftArm` limits
// the left brackets' vertical arms where text starts right at the frame's edge.
TPictureData RowFrame(int w, int h, double leftArm = 28) {
  Canvas c(w, h);
  cairo_t* cr = c.Body();
  const double in = 1.5, arm = std::min(28.0, h * 0.45), larm = std::min(arm, leftArm);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  for (int pass = 0; pass < 2; ++pass) {
    const double o = pass == 0 ? 1.2 : 0;
    if (pass == 0)
      cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    else
      SetColor(cr, kRed);
    cairo_set_line_width(cr, 3);
    // Corner brackets.
    cairo_move_to(cr, in + o, in + larm + o);
    cairo_line_to(cr, in + o, in + o);
    cairo_line_to(cr, in + arm + o, in + o);
    cairo_move_to(cr, w - in - arm + o, in + o);
    cairo_line_to(cr, w - in + o - 1, in + o);
    cairo_line_to(cr, w - in + o - 1, in + arm + o);
    cairo_move_to(cr, w - in + o - 1, h - in - arm + o - 1);
    cairo_line_to(cr, w - in + o - 1, h - in + o - 1);
    cairo_line_to(cr, w - in - arm + o, h - in + o - 1);
    cairo_move_to(cr, in + arm + o, h - in + o - 1);
    cairo_line_to(cr, in + o, h - in + o - 1);
    cairo_line_to(cr, in + o, h - in - larm + o - 1);
    cairo_stroke(cr);
    // Fine lines along the top and bottom.
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, in + arm + 6 + o, in + o);
    cairo_line_to(cr, w - in - arm - 6 + o, in + o);
    cairo_move_to(cr, in + arm + 6 + o, h - in + o - 1);
    cairo_line_to(cr, w - in - arm - 6 + o, h - in + o - 1);
    cairo_stroke(cr);
  }
  return c.FinishOver(kMenuMatte);
}

TPictureData CountryBox() {
  // At (361, 442); the country is written from x 380 (19 here) at row 450 in black, and the
  // cursor stands on row 491 (49 here).
  constexpr int w = 420, h = 58;
  Canvas c(w, h);
  cairo_t* cr = c.Body();
  RoundedRect(cr, 3, 4, w - 4, h - 5, 8);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_fill(cr);
  RoundedRect(cr, 0, 0, w - 4, h - 5, 8);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.80, 0.81, 0.83);
  cairo_pattern_add_color_stop_rgb(g, 0.25, 0.93, 0.93, 0.94);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.97, 0.97, 0.97);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 2);
  cairo_set_source_rgb(cr, 0.32, 0.33, 0.37);
  cairo_stroke(cr);
  // Inner shadow along the top.
  cairo_save(cr);
  RoundedRect(cr, 0, 0, w - 4, h - 5, 8);
  cairo_clip(cr);
  cairo_pattern_t* s = cairo_pattern_create_linear(0, 1, 0, 8);
  cairo_pattern_add_color_stop_rgba(s, 0, 0, 0, 0, 0.35);
  cairo_pattern_add_color_stop_rgba(s, 1, 0, 0, 0, 0);
  cairo_set_source(cr, s);
  cairo_rectangle(cr, 0, 0, w, 8);
  cairo_fill(cr);
  cairo_pattern_destroy(s);
  cairo_restore(cr);
  // Red tab at the left end.
  RoundedRect(cr, 4, 6, 6, h - 17, 2);
  SetColor(cr, kRed);
  cairo_fill(cr);
  return c.FinishOver(kMenuMatte);
}

}  // namespace

void AddOptions(PictureArchive& archive) {
  AddLooks(archive, "CountryEditBg", {CountryBox()}, true);
  AddLooks(archive, "Null", {AllKey(1, 1)}, true);
  AddLooks(archive, "Opt_1", {RowFrame(545, 64)}, true);
  AddLooks(archive, "Opt_2", {RowFrame(282, 62)}, true);
  AddLooks(archive, "Opt_3", {RowFrame(282, 62)}, true);
  // "Your country:" starts at x 116, left of this frame (x 118), from row 447.
  AddLooks(archive, "Opt_4", {RowFrame(681, 84, 5)}, true);

  // Back button, shared with the help screen. Its top 8 rows stay transparent: the country
  // row's hit box reaches down over them and wins there.
  ButtonLook back;
  back.plateX = 3;
  back.plateY = 10;
  back.plateW = 102;
  back.plateH = 34;
  back.slant = 10;
  back.fontPx = 30;
  std::vector<TPictureData> bk = TwoLooks(110, 50, back, "BACK");
  for (TPictureData& look : bk) std::fill_n(look.Pixels.begin(), 8 * look.Width, art::kKeyColor);
  AddLooks(archive, "Opt_Bk", bk);

  AddLooks(archive, "OptFullScreen", {ValueRow(545, "DISPLAY:", "FULL SCREEN", true, false)}, true);
  AddLooks(archive, "OptWindow", {ValueRow(545, "DISPLAY:", "WINDOW", true, false)}, true);
  AddLooks(archive, "OptMusicOn", {ValueRow(282, "MUSIC:", "ON", true, true)}, true);
  AddLooks(archive, "OptMusicOff", {ValueRow(282, "MUSIC:", "OFF", false, true)}, true);
  AddLooks(archive, "OptSoundOn", {ValueRow(285, "SOUND:", "ON", true, true)}, true);
  AddLooks(archive, "OptSoundOff", {ValueRow(285, "SOUND:", "OFF", false, true)}, true);

  Canvas cursor(16, 4);
  cairo_set_source_rgb(cursor.Body(), 0.08, 0.08, 0.10);
  cairo_paint(cursor.Body());
  AddLooks(archive, "Cursor", {cursor.FinishOver(art::Hex(0))}, true);
}

}  // namespace kestrune::lib1
