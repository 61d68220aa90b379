#include <algorithm>

#include "framework/PictureCollection.h"
#include "framework/Rounding.h"
#include "framework/Sprite.h"

namespace kestrune {

// ---------------------------------------------------------------------------------------------
// TImageSprite

TImageSprite::TImageSprite(TSprite* parent) : TSprite(parent) {}

void TImageSprite::SetPicture(TPictureCollectionItem* picture) {
  Picture = picture;
  Width = picture ? picture->GetWidth() : 0;
  Height = picture ? picture->GetHeight() : 0;
}

std::int32_t TImageSprite::DrawIndex() const { return ClampToInt32(RoundHalfEvenD(AnimPos) + AnimStart); }

TRect TImageSprite::DrawRect() const {
  TRect r = GetBounds();
  if (!Picture) return r;
  const std::int32_t dx = (Width - Picture->GetWidth()) / 2, dy = (Height - Picture->GetHeight()) / 2;
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

TRect TImageSprite::GetBounds() const { return TSprite::GetBounds(); }

void TImageSprite::MoveSelf(std::int32_t moveCount) {
  AnimPos += AnimSpeed * moveCount;
  if (AnimLooped) {
    if (AnimCount > 0) {
      AnimPos -= RoundHalfEvenD(AnimPos / AnimCount) * AnimCount;
      if (AnimPos < 0) AnimPos += AnimCount;
    } else {
      AnimPos = 0;
    }
  } else {
    if (AnimPos >= AnimCount) {
      AnimPos = AnimCount - 1;
      AnimSpeed = 0;
    }
    if (AnimPos < 0) {
      AnimPos = 0;
      AnimSpeed = 0;
    }
  }
}

void TImageSprite::DrawSelf() {
  if (!Picture || !Engine || !Engine->Surface()) return;
  const TRect r = DrawRect();
  Picture->Draw(*Engine->Surface(), r.Left, r.Top, DrawIndex());
}

// ---------------------------------------------------------------------------------------------
// TBackgroundSprite

TBackgroundSprite::TBackgroundSprite(TSprite* parent) : TSprite(parent) {}

TBackgroundSprite::~TBackgroundSprite() { SetMapSize(0, 0); }

TRect TBackgroundSprite::GetBounds() const { return TSprite::GetBounds(); }

void TBackgroundSprite::SetMapSize(std::int32_t width, std::int32_t height) {
  if (width == mapWidth_ && height == mapHeight_) return;
  if (width <= 0 || height <= 0) width = height = 0;
  mapWidth_ = width;
  mapHeight_ = height;
  chipMap_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
}

void TBackgroundSprite::SetChip(std::int32_t col, std::int32_t row, std::int32_t value) {
  if (col < 0 || col >= mapWidth_ || row < 0 || row >= mapHeight_) return;
  chipMap_[static_cast<std::size_t>(col) + static_cast<std::size_t>(row) * static_cast<std::size_t>(mapWidth_)] = value;
}

std::int32_t TBackgroundSprite::GetChip(std::int32_t col, std::int32_t row) const {
  if (col < 0 || col >= mapWidth_ || row < 0 || row >= mapHeight_) return -1;
  return chipMap_[static_cast<std::size_t>(col) + static_cast<std::size_t>(row) * static_cast<std::size_t>(mapWidth_)];
}

void TBackgroundSprite::SetMapPicture(TPictureCollectionItem* picture) {
  Picture = picture;
  if (!picture) {
    Width = Height = 0;  // a background without picture is never drawn
    return;
  }
  Width = ClampToInt32(static_cast<double>(picture->GetWidth()) * mapWidth_);
  Height = ClampToInt32(static_cast<double>(picture->GetHeight()) * mapHeight_);
}

// Calls f(x, y, chip) for the cells that can show on the surface, row by row, left to right: map
// cell (col, row) lands at (x + col * w, y + row * h) with w x h the size of pattern 0. Returns
// the pattern size, or false when nothing is drawn at all.
template <typename F>
bool TBackgroundSprite::ForEachShownCell(long long& w, long long& h, F&& f) const {
  if (!Picture || !Engine || !Engine->Surface() || mapWidth_ <= 0 || mapHeight_ <= 0) return false;
  const TRect p0 = Picture->PatternRect(0);
  w = p0.Width(), h = p0.Height();
  if (w <= 0 || h <= 0) return false;  // not built: nothing to draw
  const long long R = Engine->SurfaceRect().Right, B = Engine->SurfaceRect().Bottom;
  const long long cols = (R + w) / w + 1, rows = (B + h) / h;
  const long long x = Round(WorldX()), y = Round(WorldY());
  const long long ox = x % w, oy = y % h;
  long long cx = x / w, cy = y / h, skipx = 0, skipy = 0;
  if (cx < 0) { skipx = -cx; cx = 0; }
  if (cy < 0) { skipy = -cy; cy = 0; }
  const long long endx = std::min(cx + mapWidth_ - skipx, cols);
  const long long endy = std::min(cy + mapHeight_ - skipy, rows + 1);
  for (long long j = cy; j < endy; ++j)
    for (long long i = cx; i < endx; ++i)
      f(i * w + ox, j * h + oy, GetChip(static_cast<std::int32_t>(i + skipx - cx), static_cast<std::int32_t>(j + skipy - cy)));
  return true;
}

void TBackgroundSprite::DrawSelf() {
  long long w = 0, h = 0;
  TDirectDrawSurface* surface = Engine ? Engine->Surface() : nullptr;
  ForEachShownCell(w, h, [&](long long x, long long y, std::int32_t c) {
    if (c >= 0) Picture->Draw(*surface, static_cast<int>(x), static_cast<int>(y), c);
  });
}

bool TBackgroundSprite::CoversSurface() const {
  long long w = 0, h = 0;
  const TRect& s = Engine ? Engine->SurfaceRect() : TRect{};
  // Each row of cells must be whole; the rows of opaque cells must meet edge to edge from the
  // surface's left to its right and top to bottom. Cells lie on a grid, so counting the columns
  // and rows the surface needs is enough.
  long long left = 0, right = 0, top = 0, bottom = 0;
  bool first = true, opaque = true;
  const bool drawn = ForEachShownCell(w, h, [&](long long x, long long y, std::int32_t c) {
    if (x + w <= s.Left || x >= s.Right || y + h <= s.Top || y >= s.Bottom) return;  // off the surface
    const TRect r = Picture->PatternRect(c);
    if (c < 0 || c >= Picture->PatternCount() || r.Width() != w || r.Height() != h ||
        (Picture->Transparent && !Picture->PatternAt(c).Opaque))
      opaque = false;
    if (first) left = x, top = y, right = x + w, bottom = y + h, first = false;
    left = std::min(left, x), top = std::min(top, y);
    right = std::max(right, x + w), bottom = std::max(bottom, y + h);
  });
  if (!drawn || first || !opaque) return false;
  // The cells on the surface form a full grid from (left, top) to (right, bottom) in steps of
  // the cell size, as the loop above visits every cell between them.
  return left <= s.Left && top <= s.Top && right >= s.Right && bottom >= s.Bottom;
}

}  // namespace kestrune
