#include "ContactSheet.h"

#include <algorithm>
#include <string>
#include <vector>

#include "PatternGrid.h"
#include "TinyFont.h"

namespace kestrune::pack {
namespace {

constexpr std::uint32_t kBackground = 0x303030;
constexpr std::uint32_t kCaption = 0xFFFFFF;
constexpr std::uint32_t kCheckerLight = 0xC8C8C8, kCheckerDark = 0x9A9A9A;
constexpr std::uint32_t kGridLine = 0x00E0FF;
constexpr int kMargin = 8, kCaptionScale = 2, kChecker = 8;

// The game draws at 16 bits per pixel, so a pixel is transparent when it equals the key after
// both are narrowed to 5-6-5.
std::uint32_t To565(std::uint32_t rgb) {
  return ((rgb >> 19) & 31) << 11 | ((rgb >> 10) & 63) << 5 | ((rgb >> 3) & 31);
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b) { return ((a >> 1) & 0x7F7F7F) + ((b >> 1) & 0x7F7F7F); }

struct Entry {
  const PictureItemRecord* item;
  int index;
  std::vector<std::string> caption;
  int width, height;  // the whole entry: caption and picture
  int x = 0, y = 0;
};

void Fill(TPictureData& canvas, int x, int y, int w, int h, std::uint32_t color) {
  for (int py = std::max(0, y); py < std::min(canvas.Height, y + h); ++py)
    for (int px = std::max(0, x); px < std::min(canvas.Width, x + w); ++px)
      canvas.Pixels[static_cast<std::size_t>(py) * canvas.Width + px] = color;
}

void DrawPicture(TPictureData& canvas, const PictureItemRecord& item, int x0, int y0, int scale) {
  const TPictureData& pic = item.Picture;
  const std::vector<PatternRect> rects = PatternRects(item);
  // With too many patterns to list, every pixel counts as used.
  std::vector<bool> used(pic.Pixels.size(), rects.empty() && PatternCount(item) > 0);
  for (const PatternRect& r : rects)
    for (int y = std::max(0, r.Top); y < std::min(pic.Height, r.Bottom); ++y)
      for (int x = std::max(0, r.Left); x < std::min(pic.Width, r.Right); ++x)
        used[static_cast<std::size_t>(y) * pic.Width + x] = true;

  const std::uint32_t keyRgb = ((item.TransparentColor & 0xFF) << 16) | (item.TransparentColor & 0xFF00) |
                               ((item.TransparentColor >> 16) & 0xFF);
  const std::uint32_t key565 = To565(keyRgb);
  for (int y = 0; y < pic.Height; ++y)
    for (int x = 0; x < pic.Width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * pic.Width + x;
      for (int sy = 0; sy < scale; ++sy)
        for (int sx = 0; sx < scale; ++sx) {
          const int px = x0 + x * scale + sx, py = y0 + y * scale + sy;
          std::uint32_t c = pic.Pixels[i];
          if (item.Transparent && To565(c) == key565)
            c = (((px - x0) / kChecker + (py - y0) / kChecker) & 1) ? kCheckerDark : kCheckerLight;
          if (!used[i]) c = Mix(c, 0x000000);
          canvas.Pixels[static_cast<std::size_t>(py) * canvas.Width + px] = c;
        }
    }

  if (rects.size() <= 1) return;
  auto blend = [&](int px, int py) {
    if (px < x0 || py < y0 || px >= x0 + pic.Width * scale || py >= y0 + pic.Height * scale) return;
    std::uint32_t& p = canvas.Pixels[static_cast<std::size_t>(py) * canvas.Width + px];
    p = Mix(p, kGridLine);
  };
  for (std::size_t n = 0; n < rects.size(); ++n) {
    const PatternRect& r = rects[n];
    const int left = x0 + r.Left * scale, top = y0 + r.Top * scale;
    const int right = x0 + r.Right * scale - 1, bottom = y0 + r.Bottom * scale - 1;
    for (int px = left; px <= right; ++px) blend(px, top), blend(px, bottom);
    for (int py = top + 1; py < bottom; ++py) blend(left, py), blend(right, py);
    const std::string label = std::to_string(n);
    const int labelW = TextWidth(label, 1) + 2, labelH = kGlyphHeight + 2;
    if (labelW + 2 <= right - left && labelH + 2 <= bottom - top) {
      Fill(canvas, left + 1, top + 1, labelW, labelH, 0x000000);
      DrawText(canvas, left + 2, top + 2, label, 0xFFFFFF, 1);
    }
  }
}

}  // namespace

TPictureData MakeContactSheet(const PictureArchive& archive, const SheetOptions& options) {
  const int scale = std::clamp(options.Scale, 1, 8);
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < archive.Items.size(); ++i) {
    const PictureItemRecord& item = archive.Items[i];
    Entry e{&item, static_cast<int>(i), {}, 0, 0};
    e.caption.push_back(std::to_string(i) + " " + item.Name);
    if (item.Picture.Empty()) {
      e.caption.push_back("EMPTY (" + item.PictureKind + ")");
    } else {
      const int pw = item.PatternWidth > 0 ? item.PatternWidth : item.Picture.Width;
      const int ph = item.PatternHeight > 0 ? item.PatternHeight : item.Picture.Height;
      e.caption.push_back(std::to_string(item.Picture.Width) + "x" + std::to_string(item.Picture.Height) +
                          " P " + std::to_string(pw) + "x" + std::to_string(ph) + " N " +
                          std::to_string(PatternCount(item)));
    }
    int captionW = 0;
    for (const std::string& line : e.caption) captionW = std::max(captionW, TextWidth(line, kCaptionScale));
    const int captionH = static_cast<int>(e.caption.size()) * kLineHeight * kCaptionScale;
    e.width = std::max(captionW, item.Picture.Empty() ? 0 : item.Picture.Width * scale);
    e.height = captionH + (item.Picture.Empty() ? 0 : item.Picture.Height * scale);
    entries.push_back(e);
  }

  // Rows of entries, each row as high as its highest entry.
  int x = kMargin, y = kMargin, rowHeight = 0, sheetWidth = 2 * kMargin, sheetHeight = 2 * kMargin;
  for (Entry& e : entries) {
    if (x > kMargin && x + e.width + kMargin > options.MaxWidth) {
      x = kMargin;
      y += rowHeight + kMargin;
      rowHeight = 0;
    }
    e.x = x;
    e.y = y;
    x += e.width + kMargin;
    rowHeight = std::max(rowHeight, e.height);
    sheetWidth = std::max(sheetWidth, x);
    sheetHeight = std::max(sheetHeight, y + rowHeight + kMargin);
  }

  TPictureData sheet;
  sheet.Width = sheetWidth;
  sheet.Height = sheetHeight;
  sheet.Pixels.assign(static_cast<std::size_t>(sheetWidth) * sheetHeight, kBackground);
  for (const Entry& e : entries) {
    int ty = e.y;
    for (const std::string& line : e.caption) {
      DrawText(sheet, e.x, ty, line, kCaption, kCaptionScale);
      ty += kLineHeight * kCaptionScale;
    }
    if (!e.item->Picture.Empty()) DrawPicture(sheet, *e.item, e.x, ty, scale);
  }
  return sheet;
}

}  // namespace kestrune::pack
