// The intro screen: a full-screen artwork with the game's title, two cars racing along a
// city road, a panel with the download button and three printed links, and the Continue
// button. The link areas (190x20, 282x20) lie over the printed link texts and only add a
// red underline when highlighted.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

#include "library1/Library1Parts.h"
#include "library1/MenuStyle.h"

namespace kestrune::lib1 {

namespace {

constexpr double kRoadAngle = -38 * M_PI / 180;
constexpr double kLane = 72;

struct LinkArea {
  double x, y, w;
  const char* text;
  const char* before;  // grey words printed left of the link ("" for none)
  const char* after;   // grey words printed right of it
};

// Where the intro screen places its link areas (items 3, 4, 5). Each opens the section of the
// player's guide its words name.
constexpr LinkArea kLinks[3] = {
    {361, 311, 190, "The player's guide", "How to play:", ""},
    {235, 409, 190, "Keys and game pads", "", "in the guide"},
    {180, 431, 282, "How this game was made", "", "in the guide"},
};

void Road(cairo_t* cr) {
  cairo_save(cr);
  cairo_translate(cr, 400, 330);
  cairo_rotate(cr, kRoadAngle);
  const double half = 2 * kLane;
  // Pavements either side, then kerbs, asphalt and markings.
  cairo_rectangle(cr, -800, -half - 60, 1600, 2 * half + 120);
  cairo_set_source_rgb(cr, 0.30, 0.30, 0.29);
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_set_line_width(cr, 1);
  for (double x = -800; x < 800; x += 24) {
    for (double side : {-1.0, 1.0}) {
      cairo_move_to(cr, x, side * (half + 10));
      cairo_line_to(cr, x, side * (half + 60));
    }
  }
  for (double side : {-1.0, 1.0}) {
    cairo_move_to(cr, -800, side * (half + 35));
    cairo_line_to(cr, 800, side * (half + 35));
  }
  cairo_stroke(cr);
  cairo_rectangle(cr, -800, -half, 1600, 2 * half);
  cairo_set_source_rgb(cr, 0.17, 0.175, 0.19);
  cairo_fill(cr);
  for (double side : {-1.0, 1.0})
    for (double x = -800; x < 800; x += 20) {
      cairo_rectangle(cr, x, side > 0 ? half : -half - 9, 10, 9);
      cairo_set_source_rgb(cr, 0.85, 0.08, 0.08);
      cairo_fill(cr);
      cairo_rectangle(cr, x + 10, side > 0 ? half : -half - 9, 10, 9);
      cairo_set_source_rgb(cr, 0.92, 0.92, 0.92);
      cairo_fill(cr);
    }
  cairo_set_source_rgb(cr, 0.93, 0.93, 0.90);
  for (double y : {-kLane, kLane})
    for (double x = -800; x < 800; x += 56) {
      cairo_rectangle(cr, x, y - 2, 30, 4);
      cairo_fill(cr);
    }
  cairo_set_source_rgb(cr, 0.95, 0.78, 0.10);
  cairo_rectangle(cr, -800, -5, 1600, 3);
  cairo_rectangle(cr, -800, 2, 1600, 3);
  cairo_fill(cr);
  cairo_restore(cr);
}

void RacingCar(cairo_t* cr, int model, double along, double lane) {
  cairo_save(cr);
  cairo_translate(cr, 400, 330);
  cairo_rotate(cr, kRoadAngle);
  // Motion streaks trailing the car.
  for (int i = 0; i < 5; ++i) {
    const double y = lane - 24 + i * 12, len = 70 + (i * 37) % 60;
    cairo_pattern_t* g = cairo_pattern_create_linear(along - 80 - len, 0, along - 80, 0);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0);
    cairo_pattern_add_color_stop_rgba(g, 1, 1, 1, 1, 0.35);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, along - 80 - len, y, len, 1.6);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  DrawShowroomCar(cr, model, along, lane, 1.0, M_PI / 2);  // along the road
  cairo_restore(cr);
}

void Title(cairo_t* cr) {
  SetFace(cr, kDisplayFace, 150);
  PlaceText(cr, "KESTRUNE", 405, 112, kRed, 0, 0);
  PlaceText(cr, "KESTRUNE", 400, 106, kWhite, 0, 0);
  SetFace(cr, kDisplayFace, 28);
  const std::string tag = "S T R E E T   R A C I N G   A G A I N S T   T H E   C L O C K";
  PlaceText(cr, tag, 400, 196, Rgb{0.88, 0.88, 0.90}, 1.5, 0.9);
  for (double side : {-1.0, 1.0}) {
    cairo_rectangle(cr, side < 0 ? 40 : 640, 195, 120, 3);
    SetColor(cr, kRed);
    cairo_fill(cr);
  }
}

void TextAt(cairo_t* cr, const std::string& text, double x, double baseline, Rgb c) {
  SetColor(cr, c);
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, text.c_str());
}

void Panel(cairo_t* cr) {
  RoundedRect(cr, 150, 244, 500, 236, 14);
  cairo_set_source_rgba(cr, 0.04, 0.045, 0.055, 0.86);
  cairo_fill_preserve(cr);
  SetColor(cr, kRed);
  cairo_set_line_width(cr, 2.5);
  cairo_stroke(cr);

  const Rgb grey{0.64, 0.65, 0.70}, link{0.95, 0.95, 0.97};
  for (const LinkArea& l : kLinks) {
    SetFace(cr, kSansFace, 14, true);
    cairo_text_extents_t e;
    cairo_text_extents(cr, l.text, &e);
    const double tx = l.x + (l.w - e.x_advance) / 2, base = l.y + 14;
    TextAt(cr, l.text, tx, base, link);
    cairo_rectangle(cr, tx, l.y + 16, e.x_advance, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
    cairo_fill(cr);
    SetFace(cr, kSansFace, 14);
    if (*l.before) {
      cairo_text_extents(cr, l.before, &e);
      TextAt(cr, l.before, l.x - 8 - e.x_advance, base, grey);
    }
    if (*l.after) TextAt(cr, l.after, l.x + l.w + 8, base, grey);
  }
  SetFace(cr, kSansFace, 13);
  const char* lines[] = {"Race through the city against the clock. Dodge the traffic,",
                         "pick up bonuses, arm your car with a gun or rockets",
                         "and cross the finish line before the time runs out!"};
  for (int i = 0; i < 3; ++i) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, lines[i], &e);
    TextAt(cr, lines[i], 400 - e.x_advance / 2, 356 + 17 * i, Rgb{0.80, 0.81, 0.85});
  }
}

TPictureData Screen1() {
  Canvas c(800, 600);
  cairo_t* cr = c.Body();
  cairo_set_source_rgb(cr, 0.05, 0.055, 0.07);
  cairo_paint(cr);
  Road(cr);
  PaintGrain(cr, 800, 600, 0x31415926u, 0.10);
  // Night: darken the scene, most at the top behind the title and at the bottom.
  cairo_pattern_t* night = cairo_pattern_create_linear(0, 0, 0, 600);
  cairo_pattern_add_color_stop_rgba(night, 0, 0.02, 0.02, 0.04, 0.88);
  cairo_pattern_add_color_stop_rgba(night, 0.38, 0.02, 0.02, 0.04, 0.45);
  cairo_pattern_add_color_stop_rgba(night, 0.75, 0.02, 0.02, 0.04, 0.35);
  cairo_pattern_add_color_stop_rgba(night, 1, 0.02, 0.02, 0.04, 0.85);
  cairo_set_source(cr, night);
  cairo_paint(cr);
  cairo_pattern_destroy(night);
  // The cars stand out of the night scene, as if lit by the street lamps.
  RacingCar(cr, 1, -360, -kLane / 2);
  RacingCar(cr, 3, 380, kLane / 2);
  // Light pool under the Continue button.
  cairo_pattern_t* pool = cairo_pattern_create_radial(400, 536, 10, 400, 536, 220);
  cairo_pattern_add_color_stop_rgba(pool, 0, kRed.r, kRed.g, kRed.b, 0.35);
  cairo_pattern_add_color_stop_rgba(pool, 1, kRed.r, kRed.g, kRed.b, 0);
  cairo_save(cr);
  cairo_scale(cr, 1, 1);
  cairo_set_source(cr, pool);
  cairo_rectangle(cr, 0, 480, 800, 120);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_pattern_destroy(pool);
  Title(cr);
  Panel(cr);
  DrawEmblem(cr, 66, 66, 42);
  SetFace(cr, kSansFace, 11);
  SetColor(cr, Rgb{0.5, 0.5, 0.55});
  // Nothing is selected when the screen opens, so Enter alone does nothing; Esc continues.
  const char* hint = "Click Continue or press Esc";
  cairo_text_extents_t e;
  cairo_text_extents(cr, hint, &e);
  cairo_move_to(cr, 790 - e.x_advance, 590);
  cairo_show_text(cr, hint);
  return c.Finish(false);
}

// The hovered look of a link area: a red underline under the printed link text and a small
// red pointer before it; everything else stays see-through. One picture can serve several
// links of the same box width: the underline spans the widest of their texts.
TPictureData LinkHighlight(std::initializer_list<LinkArea> links) {
  const double w = links.begin()->w;
  Canvas c(static_cast<int>(w), 20);
  cairo_t* cr = c.Body();
  SetFace(cr, kSansFace, 14, true);
  double advance = 0;
  for (const LinkArea& link : links) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, link.text, &e);
    advance = std::max(advance, e.x_advance);
  }
  const double tx = (w - advance) / 2;
  RoundedRect(cr, tx - 1, 15.5, advance + 2, 3, 1.5);
  SetColor(cr, kRed);
  cairo_fill(cr);
  cairo_move_to(cr, tx - 12, 4);
  cairo_line_to(cr, tx - 5, 9.5);
  cairo_line_to(cr, tx - 12, 15);
  cairo_close_path(cr);
  cairo_fill(cr);
  return c.FinishOver(art::Hex(0x0a0b0e));
}

}  // namespace

void AddIntroScreen(PictureArchive& archive) {
  AddLooks(archive, "Screen1", {Screen1()}, false);
  ButtonLook cont;
  cont.plateX = 4;
  cont.plateY = 6;
  cont.plateW = 280;
  cont.plateH = 50;
  cont.slant = 16;
  cont.fontPx = 44;
  AddLooks(archive, "Continue1", TwoLooks(292, 64, cont, "CONTINUE"));
  ButtonLook free;
  free.plateX = 2;
  free.plateY = 3;
  free.plateW = 145;
  free.plateH = 31;
  free.slant = 9;
  free.fontPx = 24;
  AddLooks(archive, "FreeDownload", TwoLooks(152, 40, free, "MIT LICENCE"));
  AddLooks(archive, "190x20", {LinkHighlight({kLinks[0], kLinks[1]}), AllKey(190, 20)}, true);
  AddLooks(archive, "282x20", {LinkHighlight({kLinks[2]}), AllKey(282, 20)}, true);
}

}  // namespace kestrune::lib1
