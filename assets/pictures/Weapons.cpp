// Weapons on the car's roof, all 112 x 114 and centred on the mount: the machine gun unfolding
// in six stages ("GunAnim_1".."GunAnim_6"; the barrel points to the top), the gun firing
// ("GunShooting": the armed gun in the bottom 114 rows, the muzzle flash above), the rocket
// projector unfolding ("RocketAnim_1".."RocketAnim_6": twin pods swing out to 47 px either side
// of the centre) and the rocket in flight ("Rocket").

#include <algorithm>
#include <cmath>

#include "DrawKit.h"
#include "Library2.h"

namespace kestrune::art {
namespace {

constexpr int kWidth = 112, kHeight = 114;
constexpr double kCx = 56, kCy = 60;  // the mount

const Rgb kGunMetal = Hex(0x4B5158);
const Rgb kDarkMetal = Hex(0x24282C);

void Plate(Canvas& c, double open) {
  cairo_t* cr = c.Body();
  // The roof hatch: a round plate; its two doors slide apart as the weapon rises.
  cairo_arc(c.Shadow(), kCx + 2, kCy + 3, 13, 0, 2 * M_PI);
  cairo_set_source_rgba(c.Shadow(), 0, 0, 0, 0.5);
  cairo_fill(c.Shadow());
  cairo_arc(cr, kCx, kCy, 13, 0, 2 * M_PI);
  SetColor(cr, kDarkMetal);
  cairo_fill(cr);
  for (double side : {-1.0, 1.0}) {
    const double shift = side * open * 9;
    cairo_save(cr);
    cairo_arc(cr, kCx, kCy, 12, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_rectangle(cr, side < 0 ? kCx - 12 + shift : kCx + shift, kCy - 12, 12, 24);
    FillLit(cr, kCx - 12, kCy - 12, kCx + 12, kCy + 12, Hex(0x8C939A), Hex(0x5A6168));
    cairo_new_path(cr);
    cairo_restore(cr);
  }
}

// The gun at `rise` (0 hidden .. 1 fully up) with the barrel `barrel` long.
void Gun(Canvas& c, double rise, double barrel) {
  cairo_t* cr = c.Body();
  const double s = 0.55 + 0.45 * rise;
  // Shadow.
  cairo_t* sh = c.Shadow();
  RoundedRect(sh, kCx - 11 * s + 3, kCy - 12 * s + 4, 22 * s, 26 * s, 5 * s);
  cairo_rectangle(sh, kCx - 2.5 + 3, kCy - 12 * s - barrel + 4, 5, barrel);
  cairo_set_source_rgba(sh, 0, 0, 0, 0.55);
  cairo_fill(sh);
  // Barrel with a cooling sleeve.
  if (barrel > 0) {
    cairo_rectangle(cr, kCx - 2.2, kCy - 12 * s - barrel, 4.4, barrel + 4);
    FillLit(cr, kCx - 2.2, 0, kCx + 2.2, 0, Hex(0x7A828A), kDarkMetal);
    cairo_new_path(cr);
    const double sleeve = std::min(barrel, 18.0);
    RoundedRect(cr, kCx - 3.6, kCy - 12 * s - sleeve + 2, 7.2, sleeve, 1.5);
    FillLit(cr, kCx - 3.6, 0, kCx + 3.6, 0, Hex(0x6A7279), Hex(0x2A2E33));
    cairo_new_path(cr);
    cairo_set_line_width(cr, 0.6);
    SetColor(cr, Hex(0x1A1D20));
    for (double y = kCy - 12 * s - sleeve + 4; y < kCy - 12 * s + 1; y += 3) {
      cairo_move_to(cr, kCx - 3.6, y);
      cairo_line_to(cr, kCx + 3.6, y);
    }
    cairo_stroke(cr);
    cairo_rectangle(cr, kCx - 2.8, kCy - 12 * s - barrel, 5.6, 3);
    SetColor(cr, kDarkMetal);
    cairo_fill(cr);
  }
  // Body: receiver and ammunition box.
  ShadedBody(cr, kCx - 11 * s, kCy - 12 * s, 22 * s, 26 * s, 5 * s, kGunMetal);
  RoundedRect(cr, kCx + 4 * s, kCy - 2 * s, 9 * s, 12 * s, 2);
  FillLit(cr, kCx + 4 * s, kCy - 2 * s, kCx + 13 * s, kCy + 10 * s, Hex(0x6B7A3E), Hex(0x3E4822));
  cairo_new_path(cr);
  Ball(cr, kCx - 3 * s, kCy + 2 * s, 4.5 * s, Hex(0x3A4046));
}

void GunStage(Canvas& c, int stage) {
  const double open = std::min(1.0, stage / 2.0);
  Plate(c, open);
  if (stage >= 2) {
    const double rise = std::min(1.0, (stage - 2) / 3.0);
    const double barrel = stage <= 3 ? 0 : (stage == 4 ? 14 : stage == 5 ? 28 : 40);
    Gun(c, rise, barrel);
  }
}

// A rocket pod (a tube with the rocket's red nose) centred at (x, y).
void Pod(Canvas& c, double x, double y, double scale, bool loaded) {
  cairo_t* cr = c.Body();
  const double w = 12 * scale, h = 34 * scale;
  RoundedRect(c.Shadow(), x - w / 2 + 3, y - h / 2 + 4, w, h, 3);
  cairo_set_source_rgba(c.Shadow(), 0, 0, 0, 0.55);
  cairo_fill(c.Shadow());
  ShadedBody(cr, x - w / 2, y - h / 2, w, h, 3 * scale, Hex(0x56606A));
  cairo_arc(cr, x, y - h / 2 + 5 * scale, 3.6 * scale, 0, 2 * M_PI);
  SetColor(cr, kDarkMetal);
  cairo_fill(cr);
  if (loaded) Ball(cr, x, y - h / 2 + 5 * scale, 2.6 * scale, Hex(0xD83A2A));
  cairo_set_line_width(cr, 0.8);
  SetColor(cr, Hex(0xE8C23A));
  cairo_move_to(cr, x - w / 2 + 1, y + h * 0.25);
  cairo_line_to(cr, x + w / 2 - 1, y + h * 0.25);
  cairo_stroke(cr);
}

void RocketStage(Canvas& c, int stage) {
  const double open = std::min(1.0, stage / 2.0);
  Plate(c, open);
  if (stage < 2) return;
  const double out = (stage - 2) / 4.0;  // 0 .. 1
  const double reach = 8 + 39 * out;      // pod centre distance from the mount
  const double podY = kCy + 6;
  cairo_t* cr = c.Body();
  // Arms from the mount out to the pods.
  cairo_rectangle(c.Shadow(), kCx - reach + 3, podY - 3 + 4, 2 * reach, 6);
  cairo_set_source_rgba(c.Shadow(), 0, 0, 0, 0.5);
  cairo_fill(c.Shadow());
  cairo_rectangle(cr, kCx - reach, podY - 3, 2 * reach, 6);
  FillLit(cr, 0, podY - 3, 0, podY + 3, Hex(0x8A929A), Hex(0x3A4046));
  cairo_new_path(cr);
  Ball(cr, kCx, podY, 7, kGunMetal);
  const double scale = 0.7 + 0.3 * out;
  Pod(c, kCx - reach, podY, scale, stage == 6);
  Pod(c, kCx + reach, podY, scale, stage == 6);
}

void MuzzleFlash(cairo_t* cr, double x, double tipY) {
  // A star of flame from the barrel tip upwards.
  const double rays[][2] = {{0, 30}, {-0.5, 16}, {0.5, 16}, {-1.0, 9}, {1.0, 9}, {-0.25, 22}, {0.25, 22}};
  for (const auto& r : rays) {
    const double a = r[0], len = r[1];
    cairo_move_to(cr, x - 3, tipY);
    cairo_line_to(cr, x + std::sin(a) * len, tipY - std::cos(a) * len);
    cairo_line_to(cr, x + 3, tipY);
    cairo_close_path(cr);
  }
  SetColor(cr, Hex(0xFFB02E));
  cairo_fill(cr);
  cairo_arc(cr, x, tipY - 5, 5, 0, 2 * M_PI);
  SetColor(cr, Hex(0xFFF1A8));
  cairo_fill(cr);
  Ball(cr, x, tipY - 4, 2.6, Hex(0xFFFFFF));
}

}  // namespace

void AddWeapons(PictureArchive& archive) {
  for (int stage = 1; stage <= 6; ++stage)
    AddSingle(archive, "GunAnim_" + std::to_string(stage), kWidth, kHeight, true,
              [stage](Canvas& c) { GunStage(c, stage); });
  for (int stage = 1; stage <= 6; ++stage)
    AddSingle(archive, "RocketAnim_" + std::to_string(stage), kWidth, kHeight, true,
              [stage](Canvas& c) { RocketStage(c, stage); });
  constexpr int flash = 147 - kHeight;
  AddSingle(archive, "GunShooting", kWidth, 147, true, [](Canvas& c) {
    for (cairo_t* cr : {c.Body(), c.Shadow()}) cairo_translate(cr, 0, flash);
    GunStage(c, 6);
    // The barrel tip of the armed gun: kCy - 12 - 40.
    MuzzleFlash(c.Body(), kCx, kCy - 12 - 40 + 1);
  });
  AddSingle(archive, "Rocket", 12, 20, true, [](Canvas& c) {
    cairo_t* cr = c.Body();
    // Fins, body, red nose.
    cairo_move_to(cr, 1, 19.5);
    cairo_line_to(cr, 3.5, 13);
    cairo_line_to(cr, 8.5, 13);
    cairo_line_to(cr, 11, 19.5);
    cairo_close_path(cr);
    SetColor(cr, Hex(0x5A6068));
    cairo_fill(cr);
    RoundedRect(cr, 3.5, 4, 5, 15, 1.5);
    FillLit(cr, 3.5, 0, 8.5, 0, Hex(0xF4F4F4), Hex(0xA8ACB0));
    cairo_new_path(cr);
    cairo_move_to(cr, 3.5, 5);
    cairo_curve_to(cr, 3.5, 2, 5, 0.3, 6, 0.3);
    cairo_curve_to(cr, 7, 0.3, 8.5, 2, 8.5, 5);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xD8322A));
    cairo_fill(cr);
    cairo_rectangle(cr, 3.5, 9, 5, 1.2);
    SetColor(cr, Hex(0xD8322A));
    cairo_fill(cr);
  });
}

}  // namespace kestrune::art
