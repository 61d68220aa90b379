// Objects on the road map: street lamps (post at the contact point, arm reaching over the
// road), pick-up bonuses (35 x 34 badges) and the chequered finish line.

#include <cmath>

#include "Icons.h"
#include "DrawKit.h"
#include "Library2.h"

namespace kestrune::art {
namespace {

// A street lamp seen from above: post foot at (px, py), arm towards (ex, ey), lamp head there.
void Lamp(Canvas& c, double px, double py, double ex, double ey) {
  const double dx = ex - px, dy = ey - py, len = std::hypot(dx, dy);
  const double ux = dx / len, uy = dy / len;
  // Shadow of arm and head on the road.
  cairo_t* sh = c.Shadow();
  cairo_set_line_width(sh, 3);
  cairo_move_to(sh, px + kShadowDx, py + kShadowDy);
  cairo_line_to(sh, ex + kShadowDx, ey + kShadowDy);
  cairo_set_source_rgba(sh, 0, 0, 0, 0.5);
  cairo_stroke(sh);
  cairo_t* cr = c.Body();
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 2.6);
  SetColor(cr, Hex(0x3E464E));
  cairo_move_to(cr, px, py);
  cairo_line_to(cr, ex - ux * 10, ey - uy * 10);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1);
  SetColor(cr, Hex(0x9AA4AE));
  cairo_move_to(cr, px - uy * 0.6, py + ux * 0.6 - 0.6);
  cairo_line_to(cr, ex - ux * 10 - uy * 0.6, ey - uy * 10 + ux * 0.6 - 0.6);
  cairo_stroke(cr);
  // Head: a flat housing along the arm with a warm lens.
  cairo_save(cr);
  cairo_translate(cr, ex - ux * 7, ey - uy * 7);
  cairo_rotate(cr, std::atan2(uy, ux));
  RoundedRect(cr, -8, -4.2, 16, 8.4, 4);
  FillLit(cr, -8, -4, 8, 4, Hex(0x8E98A2), Hex(0x3E464E));
  cairo_new_path(cr);
  RoundedRect(cr, -5.5, -2.4, 11, 4.8, 2.4);
  SetColor(cr, Hex(0xFFF0B0));
  cairo_fill(cr);
  cairo_restore(cr);
  // Post cap.
  Ball(cr, px, py, 3.2, Hex(0x4A535C));
}

struct Badge {
  Rgb rim, face;
};

void BadgeBase(Canvas& c, const Badge& b) {
  const double cx = 16.5, cy = 16, r = 15;
  cairo_arc(c.Shadow(), cx + 2, cy + 2.5, r, 0, 2 * M_PI);
  cairo_set_source_rgba(c.Shadow(), 0, 0, 0, 0.55);
  cairo_fill(c.Shadow());
  cairo_t* cr = c.Body();
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  FillLit(cr, cx - r, cy - r, cx + r, cy + r, Lighter(b.rim, 0.35), Darker(b.rim, 0.35));
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, r - 2.6, 0, 2 * M_PI);
  FillLit(cr, cx + r, cy + r, cx - r, cy - r, Lighter(b.face, 0.2), Darker(b.face, 0.2));
  cairo_new_path(cr);
  // Shine.
  cairo_save(cr);
  cairo_arc(cr, cx, cy, r - 2.6, 0, 2 * M_PI);
  cairo_clip(cr);
  cairo_arc(cr, cx - 5, cy - 7, 8, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Coin(Canvas& c, const std::string& value, const Badge& b, Rgb text) {
  BadgeBase(c, b);
  CentredText(c.Body(), value, 16.5, 16.5, value.size() > 2 ? 15 : 18, text, 0.9, Darker(b.face, 0.45));
}

void Heart(cairo_t* cr, double x, double y, double s) {
  cairo_move_to(cr, x, y + s * 0.9);
  cairo_curve_to(cr, x - s * 1.3, y, x - s * 0.9, y - s * 1.0, x, y - s * 0.35);
  cairo_curve_to(cr, x + s * 0.9, y - s * 1.0, x + s * 1.3, y, x, y + s * 0.9);
  cairo_close_path(cr);
}

}  // namespace

void NitroBottle(cairo_t* cr, double x, double y, double w, double h) {
  RoundedRect(cr, x, y, w * 0.82, h, h / 2);
  FillLit(cr, x, y, x, y + h, Hex(0x6FB6FF), Hex(0x1C4FA8));
  cairo_new_path(cr);
  RoundedRect(cr, x + w * 0.8, y + h * 0.3, w * 0.12, h * 0.4, 1);
  SetColor(cr, Hex(0xB8BEC4));
  cairo_fill(cr);
  RoundedRect(cr, x + w * 0.9, y + h * 0.18, w * 0.1, h * 0.64, 1);
  SetColor(cr, Hex(0xD83A2A));
  cairo_fill(cr);
  CentredText(cr, "N2O", x + w * 0.4, y + h * 0.52, h * 0.75, Hex(0xFFFFFF));
}

void GunIcon(cairo_t* cr, double x, double y, double w, double h) {
  SetColor(cr, Hex(0x79828C));
  RoundedRect(cr, x, y + h * 0.2, w * 0.55, h * 0.45, 2);
  cairo_fill(cr);
  cairo_rectangle(cr, x + w * 0.5, y + h * 0.3, w * 0.5, h * 0.15);
  cairo_fill(cr);
  cairo_rectangle(cr, x + w * 0.55, y + h * 0.24, w * 0.25, h * 0.27);
  SetColor(cr, Hex(0xA8B0B8));
  cairo_fill(cr);
  cairo_move_to(cr, x + w * 0.05, y + h * 0.6);
  cairo_line_to(cr, x + w * 0.2, y + h * 0.6);
  cairo_line_to(cr, x + w * 0.12, y + h);
  cairo_line_to(cr, x, y + h);
  cairo_close_path(cr);
  SetColor(cr, Hex(0xA0703E));
  cairo_fill(cr);
  cairo_rectangle(cr, x + w * 0.28, y + h * 0.62, w * 0.12, h * 0.3);
  SetColor(cr, Hex(0x8A9E4E));
  cairo_fill(cr);
}

void RocketIcon(cairo_t* cr, double x, double y, double w, double h) {
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x + w * 0.2, y + h * 0.35);
  cairo_line_to(cr, x + w * 0.2, y + h * 0.65);
  cairo_line_to(cr, x, y + h);
  cairo_close_path(cr);
  SetColor(cr, Hex(0x5A6068));
  cairo_fill(cr);
  RoundedRect(cr, x + w * 0.08, y + h * 0.3, w * 0.72, h * 0.4, h * 0.12);
  FillLit(cr, 0, y + h * 0.3, 0, y + h * 0.7, Hex(0xF4F4F4), Hex(0x9CA0A4));
  cairo_new_path(cr);
  cairo_move_to(cr, x + w * 0.78, y + h * 0.3);
  cairo_curve_to(cr, x + w * 0.92, y + h * 0.3, x + w, y + h * 0.45, x + w, y + h * 0.5);
  cairo_curve_to(cr, x + w, y + h * 0.55, x + w * 0.92, y + h * 0.7, x + w * 0.78, y + h * 0.7);
  cairo_close_path(cr);
  SetColor(cr, Hex(0xD8322A));
  cairo_fill(cr);
}

void AddRoadObjects(PictureArchive& archive) {
  // Lamps: post at the picture point the lamp table's contact point falls on.
  AddSingle(archive, "Lamp_L", 85, 20, true, [](Canvas& c) { Lamp(c, 1.8, 9.5, 82, 9.5); });
  AddSingle(archive, "Lamp_R", 85, 20, true, [](Canvas& c) { Lamp(c, 83.2, 9.5, 3, 9.5); });
  AddSingle(archive, "Lamp_RL", 76, 44, true, [](Canvas& c) { Lamp(c, 2.5, 2.5, 72, 37.2); });
  AddSingle(archive, "Lamp_RR", 76, 44, true, [](Canvas& c) { Lamp(c, 72.5, 40.5, 3, 5.8); });
  AddSingle(archive, "Lamp_LR", 76, 44, true, [](Canvas& c) { Lamp(c, 73.5, 2.5, 4, 37.2); });
  AddSingle(archive, "Lamp_LL", 76, 44, true, [](Canvas& c) { Lamp(c, 2.5, 40, 72, 5.3); });

  const Badge bronze{Hex(0xB06A2C), Hex(0xD9944E)}, silver{Hex(0x8E969E), Hex(0xD3D8DC)};
  const Badge gold{Hex(0xC8961C), Hex(0xF6CE3C)}, ruby{Hex(0x9E1C3A), Hex(0xE8465E)};
  AddSingle(archive, "Bonus10", 35, 34, true, [&](Canvas& c) { Coin(c, "10", bronze, Hex(0xFFF2DC)); });
  AddSingle(archive, "Bonus20", 35, 34, true, [&](Canvas& c) { Coin(c, "20", silver, Hex(0x2E3440)); });
  AddSingle(archive, "Bonus50", 35, 34, true, [&](Canvas& c) { Coin(c, "50", gold, Hex(0x6A3E08)); });
  AddSingle(archive, "Bonus100", 35, 34, true, [&](Canvas& c) { Coin(c, "100", ruby, Hex(0xFFFFFF)); });
  AddSingle(archive, "BonusL", 35, 34, true, [&](Canvas& c) {
    BadgeBase(c, {Hex(0xF2F2F2), Hex(0x2B3440)});
    Heart(c.Body(), 16.5, 17, 8.5);
    FillLit(c.Body(), 8, 8, 25, 26, Hex(0xFF6B6B), Hex(0xB8141E));
    cairo_new_path(c.Body());
    CentredText(c.Body(), "1UP", 16.5, 16, 7.5, Hex(0xFFFFFF));
  });
  AddSingle(archive, "BonusN", 35, 34, true, [&](Canvas& c) {
    BadgeBase(c, {Hex(0x3C9CF0), Hex(0x1E2A38)});
    NitroBottle(c.Body(), 5.5, 11.5, 22, 9);
  });
  AddSingle(archive, "BonusMGnp", 35, 34, true, [&](Canvas& c) {
    BadgeBase(c, {Hex(0xF2C230), Hex(0x2B3440)});
    cairo_t* cr = c.Body();
    GunIcon(cr, 5.5, 10, 22, 12);
  });
  AddSingle(archive, "BonusRnp", 35, 34, true, [&](Canvas& c) {
    BadgeBase(c, {Hex(0xE8482E), Hex(0x2B3440)});
    RocketIcon(c.Body(), 6, 11, 21, 10);
  });
  AddSingle(archive, "FinishLine", 72, 24, false, [](Canvas& c) {
    cairo_t* cr = c.Body();
    for (int row = 0; row < 2; ++row)
      for (int col = 0; col < 6; ++col) {
        cairo_rectangle(cr, col * 12, row * 12, 12, 12);
        const bool white = (row + col) % 2 == 0;
        SetColor(cr, white ? Hex(0xF2F2EE) : Hex(0x1A1A1E));
        cairo_fill(cr);
      }
    // A painted band: slight wear and a lit top edge.
    for (int i = 0; i < 40; ++i) {
      cairo_arc(cr, Hash01(i, 1, 501) * 72, Hash01(i, 2, 501) * 24, 0.6, 0, 2 * M_PI);
      SetColor(cr, Hex(0x7A7A7A), 0.6);
      cairo_fill(cr);
    }
  });
}

}  // namespace kestrune::art
