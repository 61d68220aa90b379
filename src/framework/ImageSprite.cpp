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

// Draws the cells that can show on the surface, row by row, left to right: map cell (col, row)
// lands at (x + col * w, y + row * h) with w x h the size of pattern 0.
void TBackgroundSprite::DrawSelf() {
  if (!Picture || !Engine || !Engine->Surface() || mapWidth_ <= 0 || mapHeight_ <= 0) return;
  const TRect p0 = Picture->PatternRect(0);
  const long long w = p0.Width(), h = p0.Height();
  if (w <= 0 || h <= 0) return;  // not built: nothing to draw
  TDirectDrawSurface& surface = *Engine->Surface();
  const long long R = Engine->SurfaceRect().Right, B = Engine->SurfaceRect().Bottom;
  const long long cols = (R + w) / w + 1, rows = (B + h) / h;
  const long long x = Round(WorldX()), y = Round(WorldY());
  const long long ox = x % w, oy = y % h;
  long long cx = x / w, cy = y / h, skipx = 0, skipy = 0;
  if (cx < 0) { skipx = -cx; cx = 0; }
  if (cy < 0) { skipy = -cy; cy = 0; }
  const long long endx = std::min(cx + mapWidth_ - skipx, cols);
  const long long endy = std::min(cy + mapHeight_ - skipy, rows + 1);
  for (long long j = cy; j < endy; ++j) {
    for (long long i = cx; i < endx; ++i) {
      const std::int32_t c = GetChip(static_cast<std::int32_t>(i + skipx - cx), static_cast<std::int32_t>(j + skipy - cy));
      if (c >= 0) Picture->Draw(surface, static_cast<int>(i * w + ox), static_cast<int>(j * h + oy), c);
    }
  }
}

}  // namespace kestrune
