#include "shell/WindowShape.h"

#include <algorithm>

namespace kestrune {

TWindowShape ComputeWindowShape(const TPictureData& art) {
  TWindowShape shape;
  shape.Width = art.Width;
  shape.Height = art.Height;
  const int w = art.Width, h = art.Height;
  shape.Inner = {kShapeFrame, kShapeFrame, std::max(w - kShapeFrame, kShapeFrame),
                 std::max(h - kShapeFrame, kShapeFrame)};
  if (w < 2 || h < 2) return shape;
  const std::uint32_t key = art.At(1, 1);

  // Cuts rows [top, bottom) of columns [left, right) into runs of equal colour and keeps the
  // runs of the key colour.
  auto scan = [&](int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, w);
    bottom = std::min(bottom, h);
    for (int y = top; y < bottom; ++y) {
      int x = left;
      while (x < right) {
        const std::uint32_t colour = art.At(x, y);
        int end = x + 1;
        while (end < right && art.At(end, y) == colour) ++end;
        if (colour == key) shape.RemovedRuns.push_back({x, y, end, y + 1});
        x = end;
      }
    }
  };
  scan(0, 0, w, kShapeFrame);                              // top strip
  scan(0, kShapeFrame, kShapeFrame, h - kShapeFrame);      // left strip
  scan(w - kShapeFrame, kShapeFrame, w, h - kShapeFrame);  // right strip
  scan(0, std::max(h - kShapeFrame, kShapeFrame), w, h);   // bottom strip
  return shape;
}

std::vector<std::uint8_t> TWindowShape::Mask() const {
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(Width) * Height, 1);
  for (const TRect& run : RemovedRuns)
    for (int x = run.Left; x < run.Right; ++x) mask[static_cast<std::size_t>(run.Top) * Width + x] = 0;
  for (int y = Inner.Top; y < std::min(Inner.Bottom, Height); ++y)
    for (int x = Inner.Left; x < std::min(Inner.Right, Width); ++x)
      mask[static_cast<std::size_t>(y) * Width + x] = 1;
  return mask;
}

}  // namespace kestrune
