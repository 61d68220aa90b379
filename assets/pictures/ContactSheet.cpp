#include "ContactSheet.h"

#include <cairo.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace kestrune::art {
namespace {

constexpr int kSheetWidth = 1400, kGap = 12, kLabel = 16;

// The item's pixels as a cairo surface, key pixels transparent.
cairo_surface_t* ItemSurface(const PictureItemRecord& item) {
  const TPictureData& p = item.Picture;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, p.Width, p.Height);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  // The stored key is 0x00BBGGRR; pixels are 0x00RRGGBB.
  const std::uint32_t c = item.TransparentColor;
  const std::uint32_t key = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  for (int y = 0; y < p.Height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < p.Width; ++x) {
      const std::uint32_t px = p.At(x, y) & 0xFFFFFF;
      row[x] = (item.Transparent && px == key) ? 0 : (0xFF000000u | px);
    }
  }
  cairo_surface_mark_dirty(s);
  return s;
}

}  // namespace

void WriteContactSheet(const PictureArchive& all, const std::string& pngPath, int zoom, std::size_t first,
                       std::size_t count) {
  PictureArchive archive;
  for (std::size_t i = first; i < all.Items.size() && (count == 0 || i < first + count); ++i)
    archive.Items.push_back(all.Items[i]);
  zoom = std::max(1, zoom);
  // Flow layout: pictures left to right, wrapping into rows.
  struct Place {
    int x, y;
  };
  std::vector<Place> places;
  int x = kGap, y = kGap, rowHeight = 0;
  for (const auto& item : archive.Items) {
    const int w = std::max(item.Picture.Width * zoom, 60), h = item.Picture.Height * zoom + kLabel;
    if (x + w + kGap > kSheetWidth && x > kGap) {
      x = kGap;
      y += rowHeight + kGap;
      rowHeight = 0;
    }
    places.push_back({x, y});
    x += w + kGap;
    rowHeight = std::max(rowHeight, h);
  }
  const int height = y + rowHeight + kGap;
  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, std::max(height, 1));
  cairo_t* cr = cairo_create(sheet);
  cairo_set_source_rgb(cr, 0.16, 0.17, 0.19);
  cairo_paint(cr);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  for (std::size_t i = 0; i < archive.Items.size(); ++i) {
    const auto& item = archive.Items[i];
    const double px = places[i].x, py = places[i].y + kLabel;
    const int w = item.Picture.Width * zoom, h = item.Picture.Height * zoom;
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
    cairo_set_font_size(cr, 11);
    cairo_move_to(cr, px, py - 4);
    cairo_show_text(cr, item.Name.c_str());
    // Checkerboard under the picture.
    for (int cy = 0; cy < h; cy += 8)
      for (int cx = 0; cx < w; cx += 8) {
        const bool dark = ((cx / 8) + (cy / 8)) % 2;
        cairo_set_source_rgb(cr, dark ? 0.55 : 0.75, dark ? 0.55 : 0.75, dark ? 0.58 : 0.78);
        cairo_rectangle(cr, px + cx, py + cy, std::min(8, w - cx), std::min(8, h - cy));
        cairo_fill(cr);
      }
    if (w > 0 && h > 0) {
      cairo_surface_t* pic = ItemSurface(item);
      cairo_save(cr);
      cairo_translate(cr, px, py);
      cairo_scale(cr, zoom, zoom);
      cairo_set_source_surface(cr, pic, 0, 0);
      cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
      cairo_paint(cr);
      cairo_restore(cr);
      cairo_surface_destroy(pic);
    }
    // Pattern grid and numbers.
    const int pw = item.PatternWidth > 0 ? item.PatternWidth * zoom : w;
    const int ph = item.PatternHeight > 0 ? item.PatternHeight * zoom : h;
    if (pw > 0 && ph > 0 && (pw < w || ph < h)) {
      cairo_set_source_rgba(cr, 0, 1, 1, 0.8);
      cairo_set_line_width(cr, 1);
      for (int gx = 0; gx <= w; gx += pw) {
        cairo_move_to(cr, px + gx + 0.5, py);
        cairo_line_to(cr, px + gx + 0.5, py + h);
      }
      for (int gy = 0; gy <= h; gy += ph) {
        cairo_move_to(cr, px, py + gy + 0.5);
        cairo_line_to(cr, px + w, py + gy + 0.5);
      }
      cairo_stroke(cr);
      cairo_set_font_size(cr, 9);
      int n = 0;
      for (int gy = 0; gy + ph <= h; gy += ph)
        for (int gx = 0; gx + pw <= w; gx += pw) {
          cairo_set_source_rgb(cr, 1, 1, 0);
          cairo_move_to(cr, px + gx + 2, py + gy + 10);
          cairo_show_text(cr, std::to_string(n++).c_str());
        }
    }
  }
  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(sheet, pngPath.c_str());
  cairo_surface_destroy(sheet);
  if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + pngPath);
}

}  // namespace kestrune::art
