#include "PatternGrid.h"

#include <algorithm>

namespace kestrune::pack {
namespace {

struct Grid {
  std::int64_t pw, ph, a, c, cols, rows;
};

Grid MakeGrid(const PictureItemRecord& item) {
  const std::int64_t w = item.Picture.Width, h = item.Picture.Height;
  Grid g{};
  g.pw = item.PatternWidth > 0 ? item.PatternWidth : w;
  g.ph = item.PatternHeight > 0 ? item.PatternHeight : h;
  if (g.pw == w && g.ph == h) {
    g.a = w, g.c = h, g.cols = 1, g.rows = 1;
    return g;
  }
  g.a = g.pw + item.SkipWidth;
  g.c = g.ph + item.SkipHeight;
  if (g.a <= 0 || g.c <= 0) return g;
  g.cols = std::max<std::int64_t>(0, (w + item.SkipWidth) / g.a);
  g.rows = std::max<std::int64_t>(0, (h + item.SkipHeight) / g.c);
  return g;
}

}  // namespace

std::int64_t PatternCount(const PictureItemRecord& item) {
  if (item.Picture.Empty()) return 0;
  const Grid g = MakeGrid(item);
  return g.cols * g.rows;
}

std::vector<PatternRect> PatternRects(const PictureItemRecord& item, std::int64_t limit) {
  std::vector<PatternRect> rects;
  const std::int64_t count = PatternCount(item);
  if (count == 0 || count > limit) return rects;
  const Grid g = MakeGrid(item);
  for (std::int64_t i = 0; i < count; ++i) {
    const std::int64_t left = (i % g.cols) * g.a, top = (i / g.cols) * g.c;
    rects.push_back({static_cast<int>(left), static_cast<int>(top), static_cast<int>(left + g.pw),
                     static_cast<int>(top + g.ph)});
  }
  return rects;
}

}  // namespace kestrune::pack
