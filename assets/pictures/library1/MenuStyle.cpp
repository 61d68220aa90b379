#include "library1/MenuStyle.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrune::lib1 {

void SetFace(cairo_t* cr, const char* family, double px, bool bold) {
  if (std::string(family) == kDisplayFace) {
    art::SelectDisplayFace(cr, px, true);  // the display face always in its bold cut
    return;
  }
  cairo_select_font_face(cr, family, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, px);
}

double InkWidth(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.width;
}

void PlaceText(cairo_t* cr, const std::string& text, double cx, double cy, Rgb color, double shadowOffset,
                 double shadowAlpha) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  const double x = cx - e.width / 2 - e.x_bearing;
  const double y = cy - e.height / 2 - e.y_bearing;
  if (shadowOffset > 0) {
    cairo_set_source_rgba(cr, 0, 0, 0, shadowAlpha);
    cairo_move_to(cr, x + shadowOffset, y + shadowOffset * 1.2);
    cairo_show_text(cr, text.c_str());
  }
  SetColor(cr, color);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
}

double FitSize(cairo_t* cr, const char* family, const std::string& text, double px, double maxWidth, bool bold) {
  SetFace(cr, family, px, bold);
  const double w = InkWidth(cr, text);
  if (w > maxWidth && w > 0) px = std::floor(px * maxWidth / w);
  SetFace(cr, family, px, bold);
  return px;
}

void PlatePath(cairo_t* cr, double x, double y, double w, double h, double slant) {
  const double cut = std::min(6.0, h / 5);
  cairo_new_sub_path(cr);
  cairo_move_to(cr, x + slant + cut, y);
  cairo_line_to(cr, x + w, y);
  cairo_line_to(cr, x + w - slant, y + h - cut);
  cairo_line_to(cr, x + w - slant - cut * 0.6, y + h);
  cairo_line_to(cr, x, y + h);
  cairo_line_to(cr, x + slant * cut / h, y + h - cut);  // keeps the lower-left edge on the slant
  cairo_line_to(cr, x + slant - cut * 0.4, y + cut * 0.6);
  cairo_close_path(cr);
}

void DrawButton(cairo_t* cr, const ButtonLook& k, const std::string& label, bool highlight) {
  const double x = k.plateX, y = k.plateY, w = k.plateW, h = k.plateH, s = k.slant;
  // Short shadow towards the lower right.
  PlatePath(cr, x + 3, y + 4, w, h, s);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_fill(cr);

  PlatePath(cr, x, y, w, h, s);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, y, 0, y + h);
  if (highlight) {
    cairo_pattern_add_color_stop_rgb(fill, 0, 1.0, 0.30, 0.26);
    cairo_pattern_add_color_stop_rgb(fill, 0.45, kRed.r, kRed.g, kRed.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, 0.62, 0.01, 0.02);
  } else {
    cairo_pattern_add_color_stop_rgb(fill, 0, 0.25, 0.26, 0.30);
    cairo_pattern_add_color_stop_rgb(fill, 0.5, 0.16, 0.17, 0.20);
    cairo_pattern_add_color_stop_rgb(fill, 1, 0.09, 0.10, 0.12);
  }
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);

  // Rim: white when highlighted, a quiet steel line otherwise.
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  if (highlight) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 2.2);
  } else {
    cairo_set_source_rgb(cr, 0.42, 0.44, 0.50);
    cairo_set_line_width(cr, 1.3);
  }
  cairo_stroke(cr);

  // Gloss along the top edge, as if lit from above.
  cairo_save(cr);
  PlatePath(cr, x, y, w, h, s);
  cairo_clip(cr);
  cairo_pattern_t* gloss = cairo_pattern_create_linear(0, y, 0, y + h * 0.5);
  cairo_pattern_add_color_stop_rgba(gloss, 0, 1, 1, 1, highlight ? 0.35 : 0.14);
  cairo_pattern_add_color_stop_rgba(gloss, 1, 1, 1, 1, 0);
  cairo_set_source(cr, gloss);
  cairo_rectangle(cr, x, y + 2, w, h * 0.45);
  cairo_fill(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);

  // Label: one line, or several separated by '\n', fitted into the plate.
  std::vector<std::string> lines;
  for (std::size_t from = 0;;) {
    const std::size_t nl = label.find('\n', from);
    lines.push_back(label.substr(from, nl == std::string::npos ? std::string::npos : nl - from));
    if (nl == std::string::npos) break;
    from = nl + 1;
  }
  const double room = w - s - 24;
  double px = k.fontPx, widest = 0;
  for (const auto& line : lines) px = std::min(px, FitSize(cr, kDisplayFace, line, k.fontPx, room));
  SetFace(cr, kDisplayFace, px);
  for (const auto& line : lines) widest = std::max(widest, InkWidth(cr, line));

  const double bar = std::max(5.0, h * 0.11);
  const double ph = std::min(h * 0.30, 15.0), pw = ph * 0.75, cy = y + h / 2;
  const double side = (w - s - widest) / 2;  // free room either side of the label
  if (!highlight) {
    // Red accent bar along the left slant.
    cairo_save(cr);
    PlatePath(cr, x, y, w, h, s);
    cairo_clip(cr);
    cairo_move_to(cr, x + s + 5, y);
    cairo_line_to(cr, x + s + 5 + bar, y);
    cairo_line_to(cr, x + 5 + bar, y + h);
    cairo_line_to(cr, x + 5, y + h);
    cairo_close_path(cr);
    SetColor(cr, kRed);
    cairo_fill(cr);
    cairo_restore(cr);
  } else if (side > pw + 14) {
    // White pointers either side of the label, when there is room for them.
    const double gap = std::min(side - pw - 8, 14.0);
    const double lx = x + s / 2 + side - gap - pw, rx = x + w - s / 2 - side + gap + pw;
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_move_to(cr, lx, cy - ph / 2);
    cairo_line_to(cr, lx + pw, cy);
    cairo_line_to(cr, lx, cy + ph / 2);
    cairo_close_path(cr);
    cairo_move_to(cr, rx, cy - ph / 2);
    cairo_line_to(cr, rx - pw, cy);
    cairo_line_to(cr, rx, cy + ph / 2);
    cairo_close_path(cr);
    cairo_fill(cr);
  }

  const Rgb text = highlight ? kWhite : Rgb{0.92, 0.92, 0.94};
  const double lineH = px * 0.92;
  const double shift = (!highlight && side < bar + 14) ? 3 : 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const double ly = cy + (static_cast<double>(i) - (lines.size() - 1) / 2.0) * lineH;
    PlaceText(cr, lines[i], x + w / 2 + shift, ly, text, std::max(1.0, h / 30.0), highlight ? 0.55 : 0.8);
  }
}

TPictureData ButtonPicture(int width, int height, const ButtonLook& look, const std::string& label,
                           bool highlight) {
  Canvas c(width, height);
  DrawButton(c.Body(), look, label, highlight);
  return c.FinishOver(kMenuMatte);
}

std::vector<TPictureData> TwoLooks(int width, int height, const ButtonLook& look, const std::string& label) {
  return {ButtonPicture(width, height, look, label, true), ButtonPicture(width, height, look, label, false)};
}

void AddLooks(PictureArchive& archive, const std::string& name, const std::vector<TPictureData>& patterns,
              bool keyed) {
  art::PatternGrid grid(patterns.at(0).Width, patterns[0].Height, static_cast<int>(patterns.size()), 1, keyed);
  for (std::size_t i = 0; i < patterns.size(); ++i) grid.Put(static_cast<int>(i), patterns[i]);
  art::AddPicture(archive, name, grid);
}

TPictureData AllKey(int width, int height) {
  TPictureData p;
  p.Width = width;
  p.Height = height;
  p.Pixels.assign(static_cast<std::size_t>(width) * height, art::kKeyColor);
  return p;
}

TPictureData RoundArrow(int size, int direction, bool highlight) {
  Canvas c(size, size);
  cairo_t* cr = c.Body();
  const double r = size / 2.0 - 5, cx = size / 2.0 - 1.5, cy = size / 2.0 - 1.5;
  cairo_arc(cr, cx + 2.5, cy + 3, r, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_pattern_t* fill = cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.5, r * 0.1, cx, cy, r * 1.1);
  if (highlight) {
    cairo_pattern_add_color_stop_rgb(fill, 0, 1.0, 0.42, 0.38);
    cairo_pattern_add_color_stop_rgb(fill, 0.5, kRed.r, kRed.g, kRed.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, 0.55, 0.0, 0.02);
  } else {
    cairo_pattern_add_color_stop_rgb(fill, 0, 0.36, 0.37, 0.42);
    cairo_pattern_add_color_stop_rgb(fill, 0.6, 0.16, 0.17, 0.20);
    cairo_pattern_add_color_stop_rgb(fill, 1, 0.08, 0.08, 0.10);
  }
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  cairo_set_line_width(cr, highlight ? 2.5 : 2.0);
  if (highlight)
    cairo_set_source_rgb(cr, 1, 1, 1);
  else
    SetColor(cr, kRed);
  cairo_stroke(cr);

  // Chevron arrow, lit edge up.
  const double a = r * 0.42;
  cairo_set_line_width(cr, r * 0.26);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (int pass = 0; pass < 2; ++pass) {
    const double off = pass == 0 ? 1.5 : 0;
    cairo_move_to(cr, cx - direction * a * 0.5 + off, cy - a + off);
    cairo_line_to(cr, cx + direction * a * 0.6 + off, cy + off);
    cairo_line_to(cr, cx - direction * a * 0.5 + off, cy + a + off);
    if (pass == 0)
      cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    else
      cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_stroke(cr);
  }
  return c.FinishOver(kMenuMatte);
}

TPictureData ArrowHead(int width, int height, int direction, bool highlight) {
  Canvas c(width, height);
  cairo_t* cr = c.Body();
  auto path = [&](double ox, double oy) {
    const double tip = direction > 0 ? width - 3.0 : 3.0, base = direction > 0 ? 4.0 : width - 4.0;
    const double notch = base + direction * width * 0.28;
    cairo_move_to(cr, base + ox, 3 + oy);
    cairo_line_to(cr, tip + ox, height / 2.0 + oy);
    cairo_line_to(cr, base + ox, height - 4.0 + oy);
    cairo_line_to(cr, notch + ox, height / 2.0 + oy);
    cairo_close_path(cr);
  };
  path(2, 3);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_fill(cr);
  path(0, 0);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, height);
  if (highlight) {
    cairo_pattern_add_color_stop_rgb(fill, 0, 1.0, 0.40, 0.36);
    cairo_pattern_add_color_stop_rgb(fill, 0.5, kRed.r, kRed.g, kRed.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, 0.60, 0.0, 0.02);
  } else {
    cairo_pattern_add_color_stop_rgb(fill, 0, 0.95, 0.95, 0.97);
    cairo_pattern_add_color_stop_rgb(fill, 1, 0.62, 0.63, 0.68);
  }
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 1.6);
  if (highlight)
    cairo_set_source_rgb(cr, 1, 1, 1);
  else
    cairo_set_source_rgb(cr, 0.2, 0.21, 0.24);
  cairo_stroke(cr);
  return c.FinishOver(kMenuMatte);
}

void DrawWindowFrame(cairo_t* cr, double x, double y, double w, double h, double captionHeight) {
  const double r = 12;
  RoundedRect(cr, x + 4, y + 5, w - 4, h - 5, r);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  cairo_fill(cr);

  const double bw = w - 4, bh = h - 5;
  RoundedRect(cr, x, y, bw, bh, r);
  cairo_pattern_t* body = cairo_pattern_create_linear(0, y, 0, y + bh);
  cairo_pattern_add_color_stop_rgb(body, 0, 0.17, 0.18, 0.21);
  cairo_pattern_add_color_stop_rgb(body, 1, 0.07, 0.075, 0.09);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);

  if (captionHeight > 0) {
    cairo_save(cr);
    RoundedRect(cr, x, y, bw, bh, r);
    cairo_clip(cr);
    cairo_pattern_t* band = cairo_pattern_create_linear(0, y, 0, y + captionHeight);
    cairo_pattern_add_color_stop_rgb(band, 0, 0.30, 0.31, 0.35);
    cairo_pattern_add_color_stop_rgb(band, 1, 0.18, 0.19, 0.22);
    cairo_set_source(cr, band);
    cairo_rectangle(cr, x, y, bw, captionHeight);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    SetColor(cr, kRed);
    cairo_rectangle(cr, x, y + captionHeight - 1.5, bw, 3);
    cairo_fill(cr);
    cairo_restore(cr);
  }

  // Double rim: red outside, a fine light line inside.
  RoundedRect(cr, x + 1.5, y + 1.5, bw - 3, bh - 3, r - 1.5);
  SetColor(cr, kRed);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  RoundedRect(cr, x + 4.5, y + 4.5, bw - 9, bh - 9, r - 4);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void DrawSunkenField(cairo_t* cr, double x, double y, double w, double h) {
  RoundedRect(cr, x, y, w, h, 6);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.02, 0.02, 0.03);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.07, 0.07, 0.09);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // Inner shadow on the upper-left, lit rim on the lower-right.
  RoundedRect(cr, x + 0.75, y + 0.75, w - 1.5, h - 1.5, 5.5);
  cairo_set_line_width(cr, 1.5);
  cairo_pattern_t* rim = cairo_pattern_create_linear(x, y, x + w * 0.2, y + h);
  cairo_pattern_add_color_stop_rgba(rim, 0, 0, 0, 0, 0.9);
  cairo_pattern_add_color_stop_rgba(rim, 1, 1, 1, 1, 0.25);
  cairo_set_source(cr, rim);
  cairo_stroke(cr);
  cairo_pattern_destroy(rim);
}

TPictureData CaptionPicture(int width, int height, const std::string& text, double px, double centreY) {
  Canvas c(width, height);
  FitSize(c.Body(), kDisplayFace, text, px, width - 8);
  PlaceText(c.Body(), text, width / 2.0, centreY, kWhite, 2, 0.75);
  return c.FinishOver(art::Hex(0x2a2c32));
}

}  // namespace kestrune::lib1

namespace kestrune::lib1 {

void PaintGrain(cairo_t* cr, int w, int h, std::uint32_t seed, double alpha) {
  cairo_surface_t* grain = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  auto* px = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(grain));
  const int stride = cairo_image_surface_get_stride(grain) / 4;
  std::uint32_t state = seed;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      state = state * 1664525u + 1013904223u;
      const int a = static_cast<int>(((state >> 24) & 255) * alpha);
      const int v = (state >> 8) & 1 ? a : 0;  // white or black speck, premultiplied
      px[y * stride + x] = (static_cast<std::uint32_t>(a) << 24) | (v << 16) | (v << 8) | v;
    }
  cairo_surface_mark_dirty(grain);
  cairo_save(cr);
  cairo_set_source_surface(cr, grain, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(grain);
}

}  // namespace kestrune::lib1
