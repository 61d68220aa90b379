#include "framework/PictureCollection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/Errors.h"

namespace kestrune {
namespace {

std::uint16_t PixelFromRgb(std::uint32_t rgb) {
  return RGB565(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>(rgb & 0xFF));
}

// Archive colours are 0x00BBGGRR; converting them through the same path as the pixels makes a
// pixel of the transparent colour equal to the key.
std::uint16_t PixelFromColorRef(std::uint32_t bgr) {
  return RGB565(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

TImageBlock ConvertBlock(const TPictureData& picture, int left, int top, int width, int height) {
  TImageBlock block;
  block.Width = width;
  block.Height = height;
  block.Pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* src = picture.Pixels.data() + static_cast<std::size_t>(top + y) * picture.Width + left;
    std::uint16_t* dst = block.Pixels.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) dst[x] = PixelFromRgb(src[x]);
  }
  return block;
}

void ComputeRuns(TPattern& pattern, const TImageBlock& block) {
  const int w = pattern.Rect.Width(), h = pattern.Rect.Height();
  pattern.RowStart.assign(static_cast<std::size_t>(h) + 1, 0);
  pattern.Runs.clear();
  for (int y = 0; y < h; ++y) {
    pattern.RowStart[static_cast<std::size_t>(y)] = static_cast<std::uint32_t>(pattern.Runs.size());
    const std::uint16_t* row = block.Pixels.data() + static_cast<std::size_t>(pattern.OffY + y) * block.Width + pattern.OffX;
    int x = 0;
    while (x < w) {
      while (x < w && row[x] == block.Key) ++x;
      const int start = x;
      while (x < w && row[x] != block.Key) ++x;
      // Runs are kept below 65536 pixels so they fit the 16-bit fields.
      for (int s = start; s < x; s += 65535) {
        TOpaqueRun run;
        run.X = static_cast<std::uint16_t>(s);
        run.Length = static_cast<std::uint16_t>(std::min(65535, x - s));
        pattern.Runs.push_back(run);
      }
    }
  }
  pattern.RowStart[static_cast<std::size_t>(h)] = static_cast<std::uint32_t>(pattern.Runs.size());
}

// 8-bit channel values of an RGB565 pixel and back.
inline int Red8(std::uint16_t p) { const int r = p >> 11; return (r << 3) | (r >> 2); }
inline int Green8(std::uint16_t p) { const int g = (p >> 5) & 63; return (g << 2) | (g >> 4); }
inline int Blue8(std::uint16_t p) { const int b = p & 31; return (b << 3) | (b >> 2); }

inline std::uint16_t Blend(std::uint16_t s, std::uint16_t d, int a) {
  const int na = 255 - a;
  const int r = (Red8(s) * a + Red8(d) * na) >> 8;
  const int g = (Green8(s) * a + Green8(d) * na) >> 8;
  const int b = (Blue8(s) * a + Blue8(d) * na) >> 8;
  return RGB565(r, g, b);
}

}  // namespace

const double* CosineTable() {
  static const auto table = [] {
    std::vector<double> t(256);
    for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = std::cos(i * 2.0 * M_PI / 256.0);
    return t;
  }();
  return table.data();
}

// ---------------------------------------------------------------------------------------------
// TPictureCollectionItem

int TPictureCollectionItem::GetWidth() const { return PatternWidth > 0 ? PatternWidth : Picture.Width; }
int TPictureCollectionItem::GetHeight() const { return PatternHeight > 0 ? PatternHeight : Picture.Height; }

TRect TPictureCollectionItem::PatternRect(int index) const {
  if (index < 0 || index >= PatternCount()) return {};
  return patterns_[static_cast<std::size_t>(index)].Rect;
}

void TPictureCollectionItem::SetTransparentColor(std::uint32_t color) {
  if (color == transparentColor_) return;
  transparentColor_ = color;
  ApplyKey();
}

void TPictureCollectionItem::ApplyKey() {
  const std::uint16_t key = PixelFromColorRef(transparentColor_);
  for (TImageBlock& block : blocks_) block.Key = key;
  for (TPattern& pattern : patterns_) ComputeRuns(pattern, blocks_[static_cast<std::size_t>(pattern.Block)]);
}

void TPictureCollectionItem::Finalize() {
  blocks_.clear();
  patterns_.clear();
  initialized_ = false;
}

void TPictureCollectionItem::Restore() {
  Finalize();
  if (Picture.Empty() ||
      Picture.Pixels.size() < static_cast<std::size_t>(Picture.Width) * static_cast<std::size_t>(Picture.Height))
    return;
  const int W = Picture.Width, H = Picture.Height;
  const int PW = GetWidth(), PH = GetHeight();
  const int SW = SkipWidth, SH = SkipHeight;

  if (PW == W && PH == H) {
    blocks_.push_back(ConvertBlock(Picture, 0, 0, W, H));
    TPattern pattern;
    pattern.Rect = {0, 0, W, H};
    patterns_.push_back(std::move(pattern));
  } else {
    const long long a = static_cast<long long>(PW) + SW, c = static_cast<long long>(PH) + SH;
    // A cell of no size (from a negative skip) cannot be laid out: nothing is built.
    if (a <= 0 || c <= 0) return;
    const long long cols = (W + static_cast<long long>(SW)) / a, rows = (H + static_cast<long long>(SH)) / c;
    if (cols <= 0 || rows <= 0) {
      initialized_ = true;
      return;
    }
    // Overlapping cells (negative skips) do not fit whole into cell-aligned blocks, so they use
    // one block like system-memory items; the drawing is the same either way.
    const bool oneBlock = SystemMemory || SW < 0 || SH < 0;
    long long f = W, g = H;
    if (!oneBlock) {
      f = std::min(a * ((512 + a - 1) / a), a * cols);
      g = std::min(c * ((512 + c - 1) / c), c * rows);
      if (f <= 0 || g <= 0) return;
    }
    const long long blocksAcross = (W + f - 1) / f;
    for (long long by = 0; by * g < H; ++by) {
      for (long long bx = 0; bx < blocksAcross; ++bx) {
        const int left = static_cast<int>(bx * f), top = static_cast<int>(by * g);
        blocks_.push_back(ConvertBlock(Picture, left, top, static_cast<int>(std::min<long long>(f, W - left)),
                                       static_cast<int>(std::min<long long>(g, H - top))));
      }
    }
    patterns_.reserve(static_cast<std::size_t>(rows * cols));
    for (long long row = 0; row < rows; ++row) {
      for (long long col = 0; col < cols; ++col) {
        TPattern pattern;
        const int left = static_cast<int>(col * a), top = static_cast<int>(row * c);
        pattern.Rect = {left, top, left + PW, top + PH};
        pattern.Block = static_cast<int>((top / g) * blocksAcross + left / f);
        pattern.OffX = static_cast<int>(left % f);
        pattern.OffY = static_cast<int>(top % g);
        patterns_.push_back(std::move(pattern));
      }
    }
  }
  initialized_ = true;
  ApplyKey();
}

const TPattern* TPictureCollectionItem::DrawablePattern(int index) const {
  if (!initialized_ || index < 0 || index >= PatternCount()) return nullptr;
  return &patterns_[static_cast<std::size_t>(index)];
}

void TPictureCollectionItem::Draw(TDirectDrawSurface& dest, int x, int y, int patternIndex) const {
  const TPattern* p = DrawablePattern(patternIndex);
  if (!p) return;
  const TImageBlock& block = blocks_[static_cast<std::size_t>(p->Block)];
  const long long w = p->Rect.Width(), h = p->Rect.Height();
  const long long x0 = std::max<long long>(x, 0), x1 = std::min<long long>(x + w, dest.Width());
  const long long y0 = std::max<long long>(y, 0), y1 = std::min<long long>(y + h, dest.Height());
  if (x0 >= x1 || y0 >= y1) return;
  const int sx0 = static_cast<int>(x0 - x), sx1 = static_cast<int>(x1 - x);
  for (long long dy = y0; dy < y1; ++dy) {
    const int sy = static_cast<int>(dy - y);
    const std::uint16_t* src =
        block.Pixels.data() + static_cast<std::size_t>(p->OffY + sy) * block.Width + p->OffX;
    std::uint16_t* row = dest.Row(static_cast<int>(dy));
    if (!Transparent) {
      std::memcpy(row + (x + sx0), src + sx0, static_cast<std::size_t>(sx1 - sx0) * 2);
      continue;
    }
    const TOpaqueRun* run = p->Runs.data() + p->RowStart[static_cast<std::size_t>(sy)];
    const TOpaqueRun* end = p->Runs.data() + p->RowStart[static_cast<std::size_t>(sy) + 1];
    for (; run != end; ++run) {
      const int a = std::max<int>(run->X, sx0), b = std::min<int>(run->X + run->Length, sx1);
      if (a < b) std::memcpy(row + (x + a), src + a, static_cast<std::size_t>(b - a) * 2);
    }
  }
}

void TPictureCollectionItem::DrawAlpha(TDirectDrawSurface& dest, const TRect& destRect, int patternIndex,
                                       int alpha) const {
  const TPattern* p = DrawablePattern(patternIndex);
  if (!p || alpha <= 0 || dest.Width() <= 0 || dest.Height() <= 0) return;
  const TImageBlock& block = blocks_[static_cast<std::size_t>(p->Block)];
  if (block.Width <= 0 || block.Height <= 0) return;
  if (destRect.Left >= destRect.Right || destRect.Top >= destRect.Bottom) return;

  // Source rectangle in block coordinates.
  const long long sLeft = p->OffX, sTop = p->OffY, sWidth = p->Rect.Width(), sHeight = p->Rect.Height();
  const long long dWidth = static_cast<long long>(destRect.Right) - destRect.Left;
  const long long dHeight = static_cast<long long>(destRect.Bottom) - destRect.Top;
  const long long sx = (sWidth << 16) / dWidth, sy = (sHeight << 16) / dHeight;

  long long left = destRect.Left, top = destRect.Top, skipCols = 0, skipRows = 0;
  if (left < 0) { skipCols = -left; left = 0; }
  if (top < 0) { skipRows = -top; top = 0; }
  const long long right = std::min<long long>(destRect.Right, dest.Width());
  const long long bottom = std::min<long long>(destRect.Bottom, dest.Height());
  if (left >= right || top >= bottom) return;
  const long long cw = right - left, ch = bottom - top;

  const long long U = sx * skipCols + (sLeft << 16), V = sy * skipRows + (sTop << 16);
  if (U < 0 || V < 0 || ((U + sx * cw) >> 16) > block.Width || ((V + sy * ch) >> 16) > block.Height) return;

  const std::uint16_t key = block.Key;
  const bool keyed = Transparent;
  long long v = V;
  for (long long dy = top; dy < bottom; ++dy, v += sy) {
    const std::uint16_t* src = block.Pixels.data() + static_cast<std::size_t>(v >> 16) * block.Width;
    std::uint16_t* dst = dest.Row(static_cast<int>(dy));
    long long u = U;
    if (alpha >= 255) {
      for (long long dx = left; dx < right; ++dx, u += sx) {
        const std::uint16_t s = src[u >> 16];
        if (!keyed || s != key) dst[dx] = s;
      }
    } else {
      for (long long dx = left; dx < right; ++dx, u += sx) {
        const std::uint16_t s = src[u >> 16];
        if (!keyed || s != key) dst[dx] = Blend(s, dst[dx], alpha);
      }
    }
  }
}

void TPictureCollectionItem::DrawRotate(TDirectDrawSurface& dest, int x, int y, int width, int height,
                                        int patternIndex, double centerX, double centerY, int angle) const {
  const TPattern* p = DrawablePattern(patternIndex);
  if (!p || width == 0 || height == 0 || dest.Width() <= 0 || dest.Height() <= 0) return;
  const TImageBlock& block = blocks_[static_cast<std::size_t>(p->Block)];
  if (block.Width <= 0 || block.Height <= 0) return;

  const double* table = CosineTable();
  const int a = ((angle % 256) + 256) % 256;
  const double cosA = table[a], sinA = table[(a + 192) % 256];

  // Bounding box of the four turned corners of the scaled image.
  const double pivotX = width * centerX, pivotY = height * centerY;
  long long minX = 0, maxX = 0, minY = 0, maxY = 0;
  const double cornersX[4] = {0.0, static_cast<double>(width), 0.0, static_cast<double>(width)};
  const double cornersY[4] = {0.0, 0.0, static_cast<double>(height), static_cast<double>(height)};
  for (int i = 0; i < 4; ++i) {
    const double cx = std::trunc(cornersX[i] - pivotX), cy = std::trunc(cornersY[i] - pivotY);
    const long long tx = static_cast<long long>(std::trunc(cx * cosA - cy * sinA)) + x;
    const long long ty = static_cast<long long>(std::trunc(cx * sinA + cy * cosA)) + y;
    if (i == 0 || tx < minX) minX = tx;
    if (i == 0 || tx > maxX) maxX = tx;
    if (i == 0 || ty < minY) minY = ty;
    if (i == 0 || ty > maxY) maxY = ty;
  }
  // The box is inclusive of its far corner; pixels there that map outside the pattern are skipped.
  const long long x0 = std::max<long long>(minX, 0), x1 = std::min<long long>(maxX + 1, dest.Width());
  const long long y0 = std::max<long long>(minY, 0), y1 = std::min<long long>(maxY + 1, dest.Height());
  if (x0 >= x1 || y0 >= y1) return;

  // Each destination pixel centre is turned back by -Angle and scaled into the pattern.
  const int na = (256 - a) % 256;
  const double c = table[na], s = table[(na + 192) % 256];
  const int pw = p->Rect.Width(), ph = p->Rect.Height();
  const double kx = static_cast<double>(pw) / width, ky = static_cast<double>(ph) / height;
  const long long dudx = std::llround(c * kx * 65536.0), dvdx = std::llround(s * ky * 65536.0);
  const long long dudy = std::llround(-s * kx * 65536.0), dvdy = std::llround(c * ky * 65536.0);
  const double rx = x0 + 0.5 - x, ry = y0 + 0.5 - y;
  long long rowU = std::llround(((rx * c - ry * s) + pivotX) * kx * 65536.0);
  long long rowV = std::llround(((rx * s + ry * c) + pivotY) * ky * 65536.0);
  const long long limitU = static_cast<long long>(pw) << 16, limitV = static_cast<long long>(ph) << 16;

  const std::uint16_t key = block.Key;
  const bool keyed = Transparent;
  const std::uint16_t* base = block.Pixels.data() + static_cast<std::size_t>(p->OffY) * block.Width + p->OffX;
  for (long long dy = y0; dy < y1; ++dy, rowU += dudy, rowV += dvdy) {
    std::uint16_t* dst = dest.Row(static_cast<int>(dy));
    long long u = rowU, v = rowV;
    for (long long dx = x0; dx < x1; ++dx, u += dudx, v += dvdx) {
      if (u < 0 || v < 0 || u >= limitU || v >= limitV) continue;
      const std::uint16_t px = base[static_cast<std::size_t>(v >> 16) * block.Width + static_cast<std::size_t>(u >> 16)];
      if (!keyed || px != key) dst[dx] = px;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// TPictureCollection

TPictureCollectionItem& TPictureCollection::Add() {
  return static_cast<TPictureCollectionItem&>(AddItem(std::make_unique<TPictureCollectionItem>()));
}

TPictureCollectionItem& TPictureCollection::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return static_cast<TPictureCollectionItem&>(ItemAt(index));
}

TPictureCollectionItem& TPictureCollection::FindPicture(const std::string& name) const {
  THashCollectionItem* item = FindItem(name);
  if (!item) throw EPictureCollectionError("Image '" + name + "' not found");
  return static_cast<TPictureCollectionItem&>(*item);
}

void TPictureCollection::LoadFromArchive(const PictureArchive& archive) {
  Clear();
  ColorTable = archive.ColorTable;
  for (const PictureItemRecord& record : archive.Items) {
    TPictureCollectionItem& item = Add();
    item.Picture = record.Picture;
    item.PictureKind = record.PictureKind;
    item.PatternWidth = record.PatternWidth;
    item.PatternHeight = record.PatternHeight;
    item.SkipWidth = record.SkipWidth;
    item.SkipHeight = record.SkipHeight;
    item.SystemMemory = record.SystemMemory;
    item.Transparent = record.Transparent;
    item.SetTransparentColor(record.TransparentColor);
    item.SetName(record.Name);
  }
  if (displayLinked_) Restore();
}

void TPictureCollection::Initialize(bool displayInitialized) {
  displayLinked_ = true;
  for (int i = 0; i < Count(); ++i) Items(i).Finalize();
  if (!displayInitialized) {
    displayLinked_ = false;
    throw EPictureCollectionError("TPictureCollection cannot be initialized");
  }
}

void TPictureCollection::Restore() {
  for (int i = 0; i < Count(); ++i) Items(i).Restore();
}

void TPictureCollection::Finalize() {
  for (int i = 0; i < Count(); ++i) Items(i).Finalize();
  displayLinked_ = false;
}

}  // namespace kestrune
