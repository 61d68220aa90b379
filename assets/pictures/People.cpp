// Pedestrians seen from above: men and women walking in four directions with a four-frame
// step ("Man_Up" .. "Girl_Right", 23 x 23 per frame) and lying after being run over
// ("Man_Laying", "Girl_Laying", 43 x 43, centred on the same point as the walking figure).

#include <cmath>

#include "DrawKit.h"
#include "Library2.h"

namespace kestrune::art {
namespace {

struct Person {
  Rgb shirt, legs, hair, skin = Hex(0xE9B58E);
  bool girl;
};

const Person kMan{Hex(0x2F6FC2), Hex(0x2B2F3A), Hex(0x3A2A1E), Hex(0xE9B58E), false};
const Person kGirl{Hex(0xD83A6E), Hex(0x3A2E48), Hex(0xD9A23A), Hex(0xF0C29E), true};

// A walking figure facing up in local coordinates (centre 0,0), step phase 0..1.
void Walker(cairo_t* cr, const Person& p, double phase) {
  const double swing = std::sin(phase * 2 * M_PI);
  // Feet/legs stepping forward and back.
  for (double side : {-1.0, 1.0}) {
    const double step = side * swing * 3.6;
    RoundedRect(cr, side * 2.4 - 1.6, -1.5 - step, 3.2, 5.5, 1.5);
    SetColor(cr, Hex(0x1E1E22));
    cairo_fill(cr);
    RoundedRect(cr, side * 2.4 - 1.7, -0.5 - step * 0.5, 3.4, 4, 1.5);
    SetColor(cr, p.legs);
    cairo_fill(cr);
  }
  // Arms swinging against the legs.
  for (double side : {-1.0, 1.0}) {
    const double step = -side * swing * 3;
    Ball(cr, side * 6.2, -step, 1.8, p.skin);
  }
  // Shoulders / dress, then the head.
  cairo_save(cr);
  cairo_scale(cr, p.girl ? 6.2 : 6.6, p.girl ? 4.4 : 3.9);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  FillLit(cr, -6, -4, 6, 4, Lighter(p.shirt, 0.25), Darker(p.shirt, 0.3));
  cairo_new_path(cr);
  if (p.girl) {
    // Hair falling behind, a ponytail.
    Ball(cr, 0, 3.4, 1.9, p.hair);
  }
  // Seen from above only the top of the head shows; a little of the brow peeks out in front.
  Ball(cr, 0, 0.4, 3.3, p.hair);
  Ball(cr, 0, -2.9, 1.3, p.skin);
}

void Lying(cairo_t* cr, const Person& p) {
  // Spread out diagonally: legs to the lower right, arms out, head to the upper left.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 3.2);
  SetColor(cr, p.legs);
  cairo_move_to(cr, 2, 3);
  cairo_line_to(cr, 10, 6);
  cairo_move_to(cr, 2, 3);
  cairo_line_to(cr, 6, 11);
  cairo_stroke(cr);
  Ball(cr, 11, 6.5, 1.8, Hex(0x1E1E22));
  Ball(cr, 6.5, 12, 1.8, Hex(0x1E1E22));
  cairo_set_line_width(cr, 2.4);
  SetColor(cr, p.shirt);
  cairo_move_to(cr, -3, -2);
  cairo_line_to(cr, -11, 1);
  cairo_move_to(cr, -3, -2);
  cairo_line_to(cr, 0, -10);
  cairo_stroke(cr);
  Ball(cr, -11.5, 1.5, 1.7, p.skin);
  Ball(cr, 0.5, -10.5, 1.7, p.skin);
  cairo_save(cr);
  cairo_rotate(cr, M_PI / 4);
  cairo_scale(cr, 3.8, 6.4);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  FillLit(cr, -5, -5, 5, 5, Lighter(p.shirt, 0.2), Darker(p.shirt, 0.3));
  cairo_new_path(cr);
  if (p.girl) Ball(cr, -8.5, -8.5, 2.6, p.hair);
  Ball(cr, -6, -6, 3.4, p.hair);
  Ball(cr, -5.2, -5.2, 2.2, p.skin);
}

void AddPerson(PictureArchive& archive, const std::string& prefix, const Person& person) {
  struct Way {
    const char* name;
    double angle;
  };
  const Way ways[4] = {{"_Up", 0}, {"_Down", M_PI}, {"_Left", -M_PI / 2}, {"_Right", M_PI / 2}};
  for (const Way& way : ways)
    AddPatterns(archive, prefix + way.name, 23, 23, 4, 4, true, [&](Canvas& c, int frame) {
      cairo_t* sh = c.Shadow();
      cairo_arc(sh, 11.5 + 1.8, 11.5 + 2.2, 7, 0, 2 * M_PI);
      cairo_set_source_rgba(sh, 0, 0, 0, 0.45);
      cairo_fill(sh);
      cairo_t* cr = c.Body();
      cairo_translate(cr, 11.5, 11.5);
      cairo_rotate(cr, way.angle);
      cairo_scale(cr, 1.2, 1.2);
      Walker(cr, person, frame / 4.0);
    });
  AddSingle(archive, prefix + "_Laying", 43, 43, true, [&](Canvas& c) {
    cairo_t* cr = c.Body();
    cairo_translate(cr, 21.5, 21.5);
    cairo_scale(cr, 1.2, 1.2);
    Lying(cr, person);
  });
}

}  // namespace

void AddPeople(PictureArchive& archive) {
  AddPerson(archive, "Man", kMan);
  AddPerson(archive, "Girl", kGirl);
}

}  // namespace kestrune::art
