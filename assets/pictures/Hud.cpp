// The race HUD: the dashboard "Panel" (190 x 600 at screen x 610) with dark LCD windows behind
// every value the race prints on it, slots for the weapon and nitro icons, the progress strip
// and the speedometer dial; the needle "Pointer", the progress marker "SmallCar", the energy
// gauge "Energy" and the icons "BonusNitro", "BonusM" and "BonusR".
//
// Positions below are panel coordinates (screen x - 610).

#include <cmath>

#include "CarKit.h"
#include "Icons.h"
#include "Library2.h"

namespace kestrune::art {
namespace {

constexpr double kPanelX = 610;
constexpr double kPivotX = 705 - kPanelX, kPivotY = 517;
const Rgb kPanelDark = Hex(0x1D2127);
const Rgb kPanelMid = Hex(0x2C323A);
const Rgb kAccentRed = Hex(0xF40909);
const Rgb kLabel = Hex(0xC9CED6);

// The needle's angle for a speed, in radians clockwise from pointing left (as the race turns
// the needle: 1.15 * speed - 28 in 256ths of a turn).
double DialAngle(double speed) { return (1.15 * speed - 28) / 256.0 * 2 * M_PI; }

// A recessed window: dark glass with a bevel (shadowed top-left inner edge, lit bottom-right).
void Recess(cairo_t* cr, double x, double y, double w, double h, Rgb glass) {
  RoundedRect(cr, x - 2, y - 2, w + 4, h + 4, 5);
  FillLit(cr, x - 2, y - 2, x + w + 2, y + h + 2, Hex(0x0E1013), Hex(0x59616C));
  cairo_new_path(cr);
  RoundedRect(cr, x, y, w, h, 4);
  FillLit(cr, x, y, x, y + h, Darker(glass, 0.35), glass);
  cairo_new_path(cr);
  // Inner shadow along the top.
  RoundedRect(cr, x, y, w, 3, 2);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_fill(cr);
  // Faint scan lines, like an LCD.
  cairo_set_line_width(cr, 0.5);
  for (double ly = y + 2; ly < y + h; ly += 3) {
    cairo_move_to(cr, x + 2, ly);
    cairo_line_to(cr, x + w - 2, ly);
  }
  cairo_set_source_rgba(cr, 0.3, 1, 0.4, 0.05);
  cairo_stroke(cr);
}

void Lcd(cairo_t* cr, double cx, double cy, double w, double h) {
  Recess(cr, cx - w / 2, cy - h / 2, w, h, Hex(0x0E2414));
}

void Label(cairo_t* cr, const std::string& text, double cx, double cy, double size = 15, Rgb colour = kLabel) {
  CentredText(cr, text, cx, cy, size, colour, 0, {}, 1.2);
}

void Screw(cairo_t* cr, double x, double y) {
  Ball(cr, x, y, 3, Hex(0x8A929C));
  cairo_set_line_width(cr, 0.8);
  SetColor(cr, Hex(0x3A4048));
  cairo_move_to(cr, x - 2, y - 2);
  cairo_line_to(cr, x + 2, y + 2);
  cairo_stroke(cr);
}

void Dial(cairo_t* cr) {
  const double cx = kPivotX, cy = kPivotY, R = 74;
  // Bezel and face.
  cairo_arc(cr, cx + 2, cy + 3, R + 4, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.4);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, R + 4, 0, 2 * M_PI);
  FillLit(cr, cx - R, cy - R, cx + R, cy + R, Hex(0xB9C0C8), Hex(0x3A4048));
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, R, 0, 2 * M_PI);
  cairo_pattern_t* face = cairo_pattern_create_radial(cx - 20, cy - 25, 5, cx, cy, R);
  cairo_pattern_add_color_stop_rgb(face, 0, 0.16, 0.18, 0.21);
  cairo_pattern_add_color_stop_rgb(face, 1, 0.05, 0.06, 0.07);
  cairo_set_source(cr, face);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  // Red zone from 140 up to the top speed.
  cairo_set_line_width(cr, 6);
  cairo_new_path(cr);
  for (double s = 140; s <= 170.01; s += 1) {
    const double a = DialAngle(s);
    const double x = cx - std::cos(a) * (R - 8), y = cy - std::sin(a) * (R - 8);
    if (s == 140) cairo_move_to(cr, x, y);
    else cairo_line_to(cr, x, y);
  }
  SetColor(cr, kAccentRed, 0.85);
  cairo_stroke(cr);
  // Ticks every 10 units, long ones and numbers every 20.
  for (int s = 0; s <= 170; s += 10) {
    const double a = DialAngle(s);
    const double dx = -std::cos(a), dy = -std::sin(a);
    const bool major = s % 20 == 0;
    const double r0 = R - (major ? 14 : 10), r1 = R - 4;
    cairo_set_line_width(cr, major ? 2.4 : 1.3);
    cairo_move_to(cr, cx + dx * r0, cy + dy * r0);
    cairo_line_to(cr, cx + dx * r1, cy + dy * r1);
    SetColor(cr, s >= 140 ? Hex(0xFFD0D0) : Hex(0xF2F4F6));
    cairo_stroke(cr);
    if (major && s <= 160)
      CentredText(cr, std::to_string(s), cx + dx * (R - 26), cy + dy * (R - 26), 14, Hex(0xF2F4F6));
  }
  CentredText(cr, "KM/H", cx, cy - 26, 12, Hex(0x9AA2AC));
  // Hub ring under the needle's pivot.
  cairo_arc(cr, cx, cy, 9, 0, 2 * M_PI);
  FillLit(cr, cx - 9, cy - 9, cx + 9, cy + 9, Hex(0x8A929C), Hex(0x2A2E34));
  cairo_new_path(cr);
  // The energy gauge's slot in the bottom gap.
  Recess(cr, 62, 558, 66, 20, Hex(0x121418));
}

void DrawPanel(Canvas& c) {
  cairo_t* cr = c.Body();
  // Brushed dark metal.
  cairo_rectangle(cr, 0, 0, 190, 600);
  FillLit(cr, 0, 0, 190, 600, kPanelMid, kPanelDark);
  cairo_new_path(cr);
  for (int y = 0; y < 600; y += 2) {
    cairo_rectangle(cr, 0, y, 190, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.015 + 0.02 * Hash01(0, y, 601));
    cairo_fill(cr);
  }
  // Left edge bevel against the road and a red accent line.
  cairo_rectangle(cr, 0, 0, 5, 600);
  FillLit(cr, 0, 0, 5, 0, Hex(0x0C0E10), Hex(0x59616C));
  cairo_new_path(cr);
  cairo_rectangle(cr, 6, 0, 2, 600);
  SetColor(cr, kAccentRed);
  cairo_fill(cr);
  // Section dividers.
  for (double y : {156.0, 236.0, 302.0, 348.0, 418.0}) {
    cairo_rectangle(cr, 14, y, 146, 1);
    SetColor(cr, Hex(0x0E1013));
    cairo_fill(cr);
    cairo_rectangle(cr, 14, y + 1, 146, 1);
    SetColor(cr, Hex(0x4A525C));
    cairo_fill(cr);
  }
  for (double sx : {14.0, 180.0}) Screw(cr, sx, 592);
  Screw(cr, 14, 8);

  // Level, time, score.
  Lcd(cr, 80, 28, 140, 34);
  Label(cr, "TIME", 95, 84);
  Lcd(cr, 95, 117, 120, 36);
  Label(cr, "SCORE", 82, 170);
  Lcd(cr, 82, 202, 136, 34);
  // Progress strip: a groove from the start (bottom) to the chequered finish (top).
  Recess(cr, 164, 12, 16, 208, Hex(0x15181C));
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 2; ++col) {
      cairo_rectangle(cr, 164 + col * 8, 12 + row * 4, 8, 4);
      SetColor(cr, (row + col) % 2 ? Hex(0x1A1A1E) : Hex(0xF2F2EE));
      cairo_fill(cr);
    }
  cairo_set_line_width(cr, 1);
  for (double y = 40; y < 216; y += 22) {
    cairo_move_to(cr, 165, y);
    cairo_line_to(cr, 169, y);
  }
  SetColor(cr, Hex(0x59616C));
  cairo_stroke(cr);
  // Weapon slot and its ammunition window.
  Label(cr, "WEAPON", 67, 244, 13);
  Recess(cr, 17, 251, 100, 42, Hex(0x15181C));
  Label(cr, "AMMO", 153, 244, 13);
  Lcd(cr, 153, 272, 54, 32);
  // Lives.
  Label(cr, "LIVES", 70, 327, 24, Hex(0xF2F4F6));
  Lcd(cr, 165, 327, 40, 32);
  // Nitro slot and its amount window.
  Label(cr, "NITRO", 68, 356, 13);
  Recess(cr, 18, 363, 100, 42, Hex(0x15181C));
  Lcd(cr, 152, 384, 56, 32);
  Dial(cr);
}

// The needle: pointing left, tip at x 0, hub at the right end (the pivot lies just beyond it).
void DrawPointer(Canvas& c) {
  cairo_t* cr = c.Body();
  cairo_move_to(cr, 0.5, 4);
  cairo_line_to(cr, 58, 1.2);
  cairo_line_to(cr, 58, 6.8);
  cairo_close_path(cr);
  FillLit(cr, 0, 2, 0, 6, Hex(0xFF5A3C), Hex(0xB01010));
  cairo_new_path(cr);
  cairo_arc(cr, 60, 4, 3.9, 0, 2 * M_PI);
  FillLit(cr, 56, 0, 64, 8, Hex(0xD8DDE2), Hex(0x50565E));
  cairo_new_path(cr);
}

void DrawEnergy(Canvas& c, int pattern) {
  cairo_t* cr = c.Body();
  const int lit = 3 - pattern;
  const Rgb colours[3] = {Hex(0xE8322A), Hex(0xF2C230), Hex(0x2FD85A)};
  for (int i = 0; i < 3; ++i) {
    const double x = 3 + i * 21, y = 3;
    RoundedRect(cr, x, y, 18, 14, 3);
    if (i < lit) {
      FillLit(cr, x, y, x, y + 14, Lighter(colours[i], 0.3), Darker(colours[i], 0.2));
    } else {
      SetColor(cr, Hex(0x2A2E34));
      cairo_fill_preserve(cr);
    }
    SetColor(cr, Hex(0x0C0E10));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (i < lit) {
      RoundedRect(cr, x + 2, y + 2, 14, 3, 1.5);
      cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
      cairo_fill(cr);
    }
  }
}

}  // namespace

void AddHud(PictureArchive& archive) {
  AddSingle(archive, "Panel", 190, 600, false, DrawPanel, 2);
  AddSingle(archive, "Pointer", 64, 8, true, DrawPointer);
  AddSingle(archive, "SmallCar", 16, 24, true, [](Canvas& c) {
    CarLook look = PlayerCarLook(1);
    look.width = 84;
    look.mirrors = false;
    DrawCar(c.Body(), nullptr, look, 8, 12, 0, 0.145);
  });
  AddPatterns(archive, "Energy", 66, 20, 4, 1, true, DrawEnergy);
  AddSingle(archive, "BonusNitro", 100, 42, true, [](Canvas& c) {
    NitroBottle(c.Body(), 14, 10, 72, 22);
  });
  AddSingle(archive, "BonusM", 100, 42, true, [](Canvas& c) { GunIcon(c.Body(), 12, 7, 76, 28); });
  AddSingle(archive, "BonusR", 100, 42, true, [](Canvas& c) {
    RocketIcon(c.Body(), 10, 8, 80, 12);
    RocketIcon(c.Body(), 10, 22, 80, 12);
  });
}

}  // namespace kestrune::art
