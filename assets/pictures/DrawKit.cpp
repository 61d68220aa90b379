#include "DrawKit.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kestrune::art {

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Lighter(Rgb c, double amount) { return Mix(c, {1, 1, 1}, amount); }
Rgb Darker(Rgb c, double amount) { return Mix(c, {0, 0, 0}, amount); }

void SetColor(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

// ---- Canvas --------------------------------------------------------------------------------

Canvas::Canvas(int width, int height, int scale) : width_(width), height_(height), scale_(scale) {
  if (width <= 0 || height <= 0 || scale <= 0) throw std::invalid_argument("empty canvas");
  bodySurface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, height * scale);
  shadowSurface_ = cairo_image_surface_create(CAIRO_FORMAT_A8, width * scale, height * scale);
  body_ = cairo_create(bodySurface_);
  shadow_ = cairo_create(shadowSurface_);
  for (cairo_t* cr : {body_, shadow_}) {
    cairo_scale(cr, scale, scale);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);
  }
}

Canvas::~Canvas() {
  cairo_destroy(body_);
  cairo_destroy(shadow_);
  cairo_surface_destroy(bodySurface_);
  cairo_surface_destroy(shadowSurface_);
}

Canvas::CellSums Canvas::SumCell(int x, int y) const {
  const unsigned char* body = cairo_image_surface_get_data(bodySurface_);
  const unsigned char* shadow = cairo_image_surface_get_data(shadowSurface_);
  const int bodyStride = cairo_image_surface_get_stride(bodySurface_);
  const int shadowStride = cairo_image_surface_get_stride(shadowSurface_);
  CellSums sums;
  for (int sy = 0; sy < scale_; ++sy) {
    const unsigned char* row = body + static_cast<std::ptrdiff_t>(y * scale_ + sy) * bodyStride;
    const unsigned char* srow = shadow + static_cast<std::ptrdiff_t>(y * scale_ + sy) * shadowStride;
    for (int sx = 0; sx < scale_; ++sx) {
      // ARGB32 in native byte order, premultiplied.
      const auto px = *reinterpret_cast<const std::uint32_t*>(row + 4 * (x * scale_ + sx));
      sums.a += (px >> 24) & 0xFF;
      sums.r += (px >> 16) & 0xFF;
      sums.g += (px >> 8) & 0xFF;
      sums.b += px & 0xFF;
      sums.s += srow[x * scale_ + sx];
    }
  }
  return sums;
}

TPictureData Canvas::Finish(bool keyed) const {
  cairo_surface_flush(bodySurface_);
  cairo_surface_flush(shadowSurface_);
  const double samples = static_cast<double>(scale_) * scale_;

  TPictureData out;
  out.Width = width_;
  out.Height = height_;
  out.Pixels.assign(static_cast<std::size_t>(width_) * height_, 0);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      auto [a, r, g, b, s] = SumCell(x, y);
      a /= samples * 255.0;
      r /= samples;
      g /= samples;
      b /= samples;
      s /= samples * 255.0;
      std::uint32_t& dst = out.Pixels[static_cast<std::size_t>(y) * width_ + x];
      if (!keyed) {
        // Opaque pictures: the drawing over black (shadows belong in the body here).
        dst = Quantise(r, g, b, x, y);
        continue;
      }
      if (a >= 0.5) {
        dst = Quantise(r / a, g / a, b / a, x, y);
      } else if (s * (1.0 - a) > Bayer4(x + 1, y) * 0.98 + 0.01) {
        // A shadow pixel: a dithered dark screen, cool-tinted like a shadow on daylight ground.
        dst = Quantise(14, 16, 24, x, y);
      } else {
        dst = kKeyColor;
      }
    }
  }
  return out;
}

TPictureData Canvas::FinishOver(Rgb ground) const {
  cairo_surface_flush(bodySurface_);
  cairo_surface_flush(shadowSurface_);
  const double samples = static_cast<double>(scale_) * scale_;

  TPictureData out;
  out.Width = width_;
  out.Height = height_;
  out.Pixels.assign(static_cast<std::size_t>(width_) * height_, kKeyColor);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      auto [a, r, g, b, s] = SumCell(x, y);
      a /= samples * 255.0;
      s /= samples * 255.0;
      std::uint32_t& dst = out.Pixels[static_cast<std::size_t>(y) * width_ + x];
      if (a >= 0.5) {
        const double rest = (1.0 - a) * 255.0;
        dst = Quantise(r / samples + rest * ground.r, g / samples + rest * ground.g, b / samples + rest * ground.b, x,
                       y);
      } else if (s * (1.0 - a) > Bayer4(x + 1, y) * 0.98 + 0.01) {
        dst = Quantise(14, 16, 24, x, y);
      }
    }
  }
  return out;
}

// ---- PatternGrid -----------------------------------------------------------------------------

PatternGrid::PatternGrid(int patternWidth, int patternHeight, int columns, int rows, bool keyed)
    : patternWidth_(patternWidth), patternHeight_(patternHeight), columns_(columns), rows_(rows), keyed_(keyed) {
  picture_.Width = patternWidth * columns;
  picture_.Height = patternHeight * rows;
  picture_.Pixels.assign(static_cast<std::size_t>(picture_.Width) * picture_.Height, keyed ? kKeyColor : 0);
}

void PatternGrid::Put(int index, const TPictureData& pattern) {
  if (index < 0 || index >= columns_ * rows_ || pattern.Width != patternWidth_ ||
      pattern.Height != patternHeight_)
    throw std::invalid_argument("pattern does not fit the grid");
  const int ox = (index % columns_) * patternWidth_, oy = (index / columns_) * patternHeight_;
  for (int y = 0; y < patternHeight_; ++y)
    std::copy_n(pattern.Pixels.begin() + static_cast<std::ptrdiff_t>(y) * patternWidth_, patternWidth_,
                picture_.Pixels.begin() + static_cast<std::ptrdiff_t>(oy + y) * picture_.Width + ox);
}

TPictureData Crop(const TPictureData& picture, int x, int y, int w, int h) {
  if (x < 0 || y < 0 || x + w > picture.Width || y + h > picture.Height)
    throw std::invalid_argument("crop outside the picture");
  TPictureData out;
  out.Width = w;
  out.Height = h;
  out.Pixels.resize(static_cast<std::size_t>(w) * h);
  for (int row = 0; row < h; ++row)
    std::copy_n(picture.Pixels.begin() + static_cast<std::ptrdiff_t>(y + row) * picture.Width + x, w,
                out.Pixels.begin() + static_cast<std::ptrdiff_t>(row) * w);
  return out;
}

cairo_pattern_t* RepeatingPattern(const TPictureData& pixels) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, pixels.Width, pixels.Height);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < pixels.Height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < pixels.Width; ++x) row[x] = 0xFF000000u | pixels.At(x, y);
  }
  cairo_surface_mark_dirty(s);
  cairo_pattern_t* p = cairo_pattern_create_for_surface(s);
  cairo_surface_destroy(s);
  cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
  return p;
}

// ---- Archive items ---------------------------------------------------------------------------

void AddPicture(PictureArchive& archive, const std::string& name, const TPictureData& picture,
                int patternWidth, int patternHeight, bool keyed) {
  PictureItemRecord item;
  item.Name = name;
  item.PictureKind = "TDIB";
  item.Picture = picture;
  item.PatternWidth = patternWidth;
  item.PatternHeight = patternHeight;
  item.Transparent = keyed;
  item.TransparentColor = keyed ? kKeyColor : 0;
  archive.Items.push_back(std::move(item));
}

void AddPicture(PictureArchive& archive, const std::string& name, const PatternGrid& grid) {
  AddPicture(archive, name, grid.Picture(), grid.PatternWidth(), grid.PatternHeight(), grid.Keyed());
}

void AddSingle(PictureArchive& archive, const std::string& name, int width, int height, bool keyed,
               const std::function<void(Canvas&)>& draw, int scale) {
  Canvas canvas(width, height, scale);
  draw(canvas);
  AddPicture(archive, name, canvas.Finish(keyed), width, height, keyed);
}

void AddPatterns(PictureArchive& archive, const std::string& name, int patternWidth, int patternHeight,
                 int count, int columns, bool keyed, const std::function<void(Canvas&, int)>& draw,
                 int scale) {
  const int rows = (count + columns - 1) / columns;
  if (rows * columns != count) throw std::invalid_argument(name + ": patterns must fill the grid");
  PatternGrid grid(patternWidth, patternHeight, columns, rows, keyed);
  for (int i = 0; i < count; ++i) {
    Canvas canvas(patternWidth, patternHeight, scale);
    draw(canvas, i);
    grid.Put(i, canvas.Finish(keyed));
  }
  AddPicture(archive, name, grid);
}

// ---- Shapes ----------------------------------------------------------------------------------

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
  radius = std::min({radius, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void FillLit(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb from, Rgb to) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, from.r, from.g, from.b);
  cairo_pattern_add_color_stop_rgb(p, 1, to.r, to.g, to.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
}

void ShadedBody(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb base) {
  cairo_save(cr);
  RoundedRect(cr, x, y, w, h, radius);
  FillLit(cr, x, y, x + w * 0.6, y + h, Lighter(base, 0.18), Darker(base, 0.22));
  cairo_clip(cr);
  // Highlight: a soft light patch at the upper left.
  cairo_pattern_t* hl = cairo_pattern_create_radial(x + w * 0.3, y + h * 0.25, 0, x + w * 0.3, y + h * 0.25,
                                                    std::max(w, h) * 0.55);
  cairo_pattern_add_color_stop_rgba(hl, 0, 1, 1, 1, 0.35);
  cairo_pattern_add_color_stop_rgba(hl, 1, 1, 1, 1, 0);
  cairo_set_source(cr, hl);
  cairo_paint(cr);
  cairo_pattern_destroy(hl);
  cairo_restore(cr);
  // Rim: a thin darker outline that separates the body from any background.
  cairo_save(cr);
  RoundedRect(cr, x + 0.35, y + 0.35, w - 0.7, h - 0.7, radius);
  SetColor(cr, Darker(base, 0.55));
  cairo_set_line_width(cr, 0.7);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void DropShadow(Canvas& canvas, double x, double y, double w, double h, double radius, double strength) {
  cairo_t* cr = canvas.Shadow();
  cairo_save(cr);
  // A few widening layers give a soft falloff.
  for (int i = 0; i < 3; ++i) {
    const double grow = i * 0.8;
    RoundedRect(cr, x + kShadowDx - grow, y + kShadowDy - grow, w + 2 * grow, h + 2 * grow, radius + grow);
    cairo_set_source_rgba(cr, 0, 0, 0, strength / (1 + i));
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void Ball(cairo_t* cr, double x, double y, double r, Rgb base) {
  cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.35, y - r * 0.4, r * 0.1, x, y, r);
  const Rgb hi = Lighter(base, 0.28), lo = Darker(base, 0.35);
  cairo_pattern_add_color_stop_rgb(p, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(p, 0.55, base.r, base.g, base.b);
  cairo_pattern_add_color_stop_rgb(p, 1, lo.r, lo.g, lo.b);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// ---- Text ------------------------------------------------------------------------------------

void SelectDisplayFace(cairo_t* cr, double size, bool bold) {
  cairo_select_font_face(cr, "Bebas Neue", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

TextExtent MeasureText(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return {e.width, e.height};
}

void CentredText(cairo_t* cr, const std::string& text, double cx, double cy, double size, Rgb fill,
                 double outline, Rgb outlineColor, double shadow) {
  cairo_save(cr);
  SelectDisplayFace(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  const double x = cx - (e.x_bearing + e.width / 2), y = cy - (e.y_bearing + e.height / 2);
  if (shadow > 0) {
    cairo_move_to(cr, x + shadow, y + shadow);
    cairo_text_path(cr, text.c_str());
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_fill(cr);
  }
  cairo_move_to(cr, x, y);
  cairo_text_path(cr, text.c_str());
  if (outline > 0) {
    SetColor(cr, outlineColor);
    cairo_set_line_width(cr, outline * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
  }
  SetColor(cr, fill);
  cairo_fill(cr);
  cairo_restore(cr);
}

// ---- Noise -----------------------------------------------------------------------------------

double Hash01(int x, int y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9E3779B9u ^ static_cast<std::uint32_t>(x) * 0x85EBCA6Bu ^
                    static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / static_cast<double>(0x1000000);
}

double TiledNoise(double x, double y, int period, double cell, std::uint32_t seed) {
  const int n = std::max(1, static_cast<int>(std::lround(period / cell)));
  const double step = static_cast<double>(period) / n;
  const double fx = x / step, fy = y / step;
  const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
  const double tx = fx - ix, ty = fy - iy;
  auto wrap = [n](int v) { return ((v % n) + n) % n; };
  auto at = [&](int gx, int gy) { return Hash01(wrap(gx), wrap(gy), seed); };
  const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  const double top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * sx;
  const double bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * sx;
  return top + (bottom - top) * sy;
}

// ---- Quantisation ----------------------------------------------------------------------------

double Bayer4(int x, int y) {
  static constexpr int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kMatrix[y & 3][x & 3] + 0.5) / 16.0;
}

std::uint32_t Quantise(double r, double g, double b, int x, int y) {
  // Ordered dithering a little under one quantisation step: enough to break up bands on
  // gradients, too little to show as a pattern on flat colours.
  const double offset = (Bayer4(x, y) - 0.5) * 0.9;
  auto level = [offset](double v, int maxLevel) {
    const double q = std::floor(std::clamp(v, 0.0, 255.0) / 255.0 * maxLevel + 0.5 + offset);
    return static_cast<int>(std::clamp(q, 0.0, static_cast<double>(maxLevel)));
  };
  const int r5 = level(r, 31), b5 = level(b, 31);
  int g6 = level(g, 63);
  // Keep opaque pixels out of the 16-bit bucket of the key 0xFF00FF.
  if (r5 == 31 && b5 == 31 && g6 < 2) g6 = 2;
  const std::uint32_t r8 = (r5 << 3) | (r5 >> 2), g8 = (g6 << 2) | (g6 >> 4), b8 = (b5 << 3) | (b5 >> 2);
  return (r8 << 16) | (g8 << 8) | b8;
}

}  // namespace kestrune::art
