#include "framework/PictureCollection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/Errors.h"
#include "framework/PatternLayout.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrune {
namespace {

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
  // Each pixel is written once, converted, straight into the block: rows are appended through a
  // small buffer rather than into a block zeroed first.
  block.Pixels.reserve(static_cast<std::size_t>(width) * height);
  constexpr int kChunk = 256;
  std::uint16_t converted[kChunk];
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* src = picture.Pixels.data() + static_cast<std::size_t>(top + y) * picture.Width + left;
    for (int x = 0; x < width; x += kChunk) {
      const int n = std::min(kChunk, width - x);
      for (int i = 0; i < n; ++i) converted[i] = Rgb565FromRgb(src[x + i]);
      block.Pixels.insert(block.Pixels.end(), converted, converted + n);
    }
  }
  return block;
}

// A picture already in the display's format: its rows are only copied.
TImageBlock ConvertBlock(const TPicture16& picture, int left, int top, int width, int height) {
  TImageBlock block;
  block.Width = width;
  block.Height = height;
  block.Pixels.reserve(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const std::uint16_t* src = picture.Pixels.data() + static_cast<std::size_t>(top + y) * picture.Width + left;
    block.Pixels.insert(block.Pixels.end(), src, src + width);
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
  pattern.Opaque = pattern.Runs.size() == static_cast<std::size_t>(h) && w > 0 && w < 65536;
  for (std::size_t i = 0; pattern.Opaque && i < pattern.Runs.size(); ++i)
    pattern.Opaque = pattern.Runs[i].X == 0 && pattern.Runs[i].Length == w;
}

// Copies n pixels. Pattern rows are short (tiles of 72, sprite runs of a few dozen pixels), where
// inline 16-byte moves with an overlapping last move beat a library call.
inline void CopyPixels(std::uint16_t* d, const std::uint16_t* s, std::size_t n) {
#if defined(__SSE2__)
  const std::size_t bytes = n * sizeof(std::uint16_t);
  if (bytes >= 16 && bytes <= 1024) {
    auto* dst = reinterpret_cast<char*>(d);
    const auto* src = reinterpret_cast<const char*>(s);
    std::size_t i = 0;
    for (; i + 64 <= bytes; i += 64) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 16));
      const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 32));
      const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 48));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), a);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 16), b);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 32), c);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 48), e);
    }
    for (; i + 16 <= bytes; i += 16)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
    if (i < bytes)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + bytes - 16),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + bytes - 16)));
    return;
  }
  if (bytes < 16) {
    for (; n > 0; --n) *d++ = *s++;
    return;
  }
#endif
  std::memcpy(d, s, n * sizeof(std::uint16_t));
}

// The three channels of an RGB565 pixel widened to 8 bits, each in its own 16-bit field of a
// 64-bit word (red at bit 32, green at 16, blue at 0), so one multiply weighs all three and the
// sums (at most 255 * 255) stay inside their fields.
inline std::uint64_t Spread8(std::uint16_t p) {
  const std::uint64_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
  return (((r << 3) | (r >> 2)) << 32) | (((g << 2) | (g >> 4)) << 16) | ((b << 3) | (b >> 2));
}

// Each channel: (S * A + D * (255 - A)) div 256 on 8-bit values, narrowed back to RGB565.
inline std::uint16_t Blend(std::uint16_t s, std::uint16_t d, std::uint64_t a) {
  const std::uint64_t m = Spread8(s) * a + Spread8(d) * (255 - a);
  return static_cast<std::uint16_t>((((m >> 40) & 0xF8) << 8) | (((m >> 26) & 0x3F) << 5) | ((m >> 11) & 0x1F));
}

// Blends n source pixels over dst by Blend; with keyed set, key pixels leave dst unchanged.
// Eight pixels at a time where SSE2 exists (every channel sum fits a 16-bit lane), with the
// same results as the one-pixel path.
void BlendRow(const std::uint16_t* src, std::uint16_t* dst, int n, int alpha, bool keyed, std::uint16_t key) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i a = _mm_set1_epi16(static_cast<short>(alpha)), na = _mm_set1_epi16(static_cast<short>(255 - alpha));
  const __m128i k = _mm_set1_epi16(static_cast<short>(key));
  const __m128i m31 = _mm_set1_epi16(31), m63 = _mm_set1_epi16(63);
  const auto widen5 = [](__m128i c) { return _mm_or_si128(_mm_slli_epi16(c, 3), _mm_srli_epi16(c, 2)); };
  const auto widen6 = [](__m128i c) { return _mm_or_si128(_mm_slli_epi16(c, 2), _mm_srli_epi16(c, 4)); };
  const auto mix = [&](__m128i sc, __m128i dc) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(sc, a), _mm_mullo_epi16(dc, na)), 8);
  };
  for (; i + 8 <= n; i += 8) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i r = mix(widen5(_mm_srli_epi16(s, 11)), widen5(_mm_srli_epi16(d, 11)));
    const __m128i g = mix(widen6(_mm_and_si128(_mm_srli_epi16(s, 5), m63)), widen6(_mm_and_si128(_mm_srli_epi16(d, 5), m63)));
    const __m128i b = mix(widen5(_mm_and_si128(s, m31)), widen5(_mm_and_si128(d, m31)));
    __m128i out = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_srli_epi16(r, 3), 11), _mm_slli_epi16(_mm_srli_epi16(g, 2), 5)),
                               _mm_srli_epi16(b, 3));
    if (keyed) {
      const __m128i isKey = _mm_cmpeq_epi16(s, k);
      out = _mm_or_si128(_mm_and_si128(isKey, d), _mm_andnot_si128(isKey, out));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
  }
#endif
  const std::uint64_t a64 = static_cast<std::uint64_t>(alpha);
  for (; i < n; ++i)
    if (!keyed || src[i] != key) dst[i] = Blend(src[i], dst[i], a64);
}

// The range of t (t0 <= t < t1, within [0, n)) for which 0 <= f0 + t * d < limit.
void SpanInside(long long f0, long long d, long long limit, long long n, long long& t0, long long& t1) {
  auto floorDiv = [](long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
  };
  auto ceilDiv = [&](long long a, long long b) { return -floorDiv(-a, b); };
  long long lo = 0, hi = n;
  if (d == 0) {
    if (f0 < 0 || f0 >= limit) hi = 0;
  } else if (d > 0) {
    lo = std::max(lo, ceilDiv(-f0, d));
    hi = std::min(hi, floorDiv(limit - 1 - f0, d) + 1);
  } else {
    lo = std::max(lo, ceilDiv(limit - 1 - f0, d));
    hi = std::min(hi, floorDiv(-f0, d) + 1);
  }
  t0 = std::max(t0, lo);
  t1 = std::min(t1, hi);
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

int TPictureCollectionItem::PictureWidth() const { return Picture16.Empty() ? Picture.Width : Picture16.Width; }
int TPictureCollectionItem::PictureHeight() const { return Picture16.Empty() ? Picture.Height : Picture16.Height; }
int TPictureCollectionItem::GetWidth() const { return PatternWidth > 0 ? PatternWidth : PictureWidth(); }
int TPictureCollectionItem::GetHeight() const { return PatternHeight > 0 ? PatternHeight : PictureHeight(); }

TRect TPictureCollectionItem::PatternRect(int index) const {
  EnsureBuilt();
  if (index < 0 || index >= PatternCount()) return {};
  return patterns_[static_cast<std::size_t>(index)].Rect;
}

void TPictureCollectionItem::SetTransparentColor(std::uint32_t color) {
  if (color == transparentColor_) return;
  transparentColor_ = color;
  ApplyKey();
}

void TPictureCollectionItem::ApplyKey() const {
  const std::uint16_t key = PixelFromColorRef(transparentColor_);
  for (TImageBlock& block : blocks_) block.Key = key;
  for (TPattern& pattern : patterns_) ComputeRuns(pattern, blocks_[static_cast<std::size_t>(pattern.Block)]);
}

void TPictureCollectionItem::Finalize() {
  buildPending_ = false;
  blocks_.clear();
  patterns_.clear();
  initialized_ = false;
}

void TPictureCollectionItem::Restore() {
  Finalize();
  buildPending_ = true;
}

void TPictureCollectionItem::Build() const {
  buildPending_ = false;
  if (Picture16.Empty())
    BuildFrom(Picture);
  else
    BuildFrom(Picture16);
}

template <class Source>
void TPictureCollectionItem::BuildFrom(const Source& picture) const {
  if (picture.Empty() ||
      picture.Pixels.size() < static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height))
    return;
  const int W = picture.Width, H = picture.Height;
  const int SW = SkipWidth, SH = SkipHeight;
  const TPatternGrid grid = LayPatterns(W, H, PatternWidth, PatternHeight, SW, SH);
  const int PW = grid.Width, PH = grid.Height;

  if (PW == W && PH == H) {
    blocks_.push_back(ConvertBlock(picture, 0, 0, W, H));
    TPattern pattern;
    pattern.Rect = {0, 0, W, H};
    patterns_.push_back(std::move(pattern));
  } else {
    const long long a = static_cast<long long>(PW) + SW, c = static_cast<long long>(PH) + SH;
    // A cell of no size (from a negative skip) cannot be laid out: nothing is built.
    if (a <= 0 || c <= 0) return;
    const long long cols = grid.Columns, rows = grid.Rows;
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
        blocks_.push_back(ConvertBlock(picture, left, top, static_cast<int>(std::min<long long>(f, W - left)),
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
  EnsureBuilt();
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
    if (!Transparent || p->Opaque) {
      CopyPixels(row + (x + sx0), src + sx0, static_cast<std::size_t>(sx1 - sx0));
      continue;
    }
    const TOpaqueRun* run = p->Runs.data() + p->RowStart[static_cast<std::size_t>(sy)];
    const TOpaqueRun* end = p->Runs.data() + p->RowStart[static_cast<std::size_t>(sy) + 1];
    for (; run != end; ++run) {
      const int a = std::max<int>(run->X, sx0), b = std::min<int>(run->X + run->Length, sx1);
      if (a < b) CopyPixels(row + (x + a), src + a, static_cast<std::size_t>(b - a));
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

  // Every row samples the same source columns: look them up once.
  std::vector<std::uint32_t> columns(static_cast<std::size_t>(cw));
  for (long long i = 0, u = U; i < cw; ++i, u += sx) columns[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(u >> 16);

  const std::uint16_t key = block.Key;
  const bool keyed = Transparent;
  const std::uint32_t* col = columns.data();
  std::vector<std::uint16_t> samples(static_cast<std::size_t>(cw));
  const int n = static_cast<int>(cw);
  long long v = V;
  for (long long dy = top; dy < bottom; ++dy, v += sy) {
    const std::uint16_t* src = block.Pixels.data() + static_cast<std::size_t>(v >> 16) * block.Width;
    std::uint16_t* dst = dest.Row(static_cast<int>(dy)) + left;
    if (alpha >= 255) {
      for (int i = 0; i < n; ++i) {
        const std::uint16_t p = src[col[i]];
        if (!keyed || p != key) dst[i] = p;
      }
    } else {
      for (int i = 0; i < n; ++i) samples[static_cast<std::size_t>(i)] = src[col[i]];
      BlendRow(samples.data(), dst, n, alpha, keyed, key);
    }
  }
}

void TPictureCollectionItem::DrawRotate(TDirectDrawSurface& dest, int x, int y, int width, int height,
                                        int patternIndex, double centerX, double centerY, int angle) const {
  const TPattern* p = DrawablePattern(patternIndex);
  if (!p || width == 0 || height == 0 || dest.Width() <= 0 || dest.Height() <= 0) return;
  const TImageBlock& block = blocks_[static_cast<std::size_t>(p->Block)];
  if (block.Width <= 0 || block.Height <= 0) return;
  // A centre that is not a number or lies absurdly far outside the image would overflow the
  // fixed-point arithmetic below; such a call draws nothing.
  if (!std::isfinite(centerX) || !std::isfinite(centerY) || std::fabs(centerX) > 1e6 || std::fabs(centerY) > 1e6)
    return;

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

  // Each destination pixel centre is turned back by -Angle and scaled into the pattern. Unturned,
  // the box above starts at the whole pixel x + trunc(-pivotX); turning about the point x + gx,
  // where the image point gx - trunc(-pivotX) sits, keeps every pixel for any g. g is the fraction
  // that truncation dropped (a pixel corner for even sizes, a pixel centre for odd ones). Quarter
  // turns map whole pixels onto whole pixels only about a corner or a centre in both axes, so an
  // odd side next to an even one turns about a pixel centre: about the exact pivot, half a pixel
  // would fall outside the box and a row or column would be lost.
  const double fracX = pivotX + std::trunc(-pivotX), fracY = pivotY + std::trunc(-pivotY);
  const bool sameWay = fracX - fracY == std::round(fracX - fracY);
  const double gx = sameWay ? fracX : 0.5, gy = sameWay ? fracY : 0.5;
  const double imageX = gx - std::trunc(-pivotX), imageY = gy - std::trunc(-pivotY);
  const int na = (256 - a) % 256;
  const double c = table[na], s = table[(na + 192) % 256];
  const int pw = p->Rect.Width(), ph = p->Rect.Height();
  const double kx = static_cast<double>(pw) / width, ky = static_cast<double>(ph) / height;
  const long long dudx = std::llround(c * kx * 65536.0), dvdx = std::llround(s * ky * 65536.0);
  const long long dudy = std::llround(-s * kx * 65536.0), dvdy = std::llround(c * ky * 65536.0);
  const double rx = x0 + 0.5 - (x + gx), ry = y0 + 0.5 - (y + gy);
  long long rowU = std::llround(((rx * c - ry * s) + imageX) * kx * 65536.0);
  long long rowV = std::llround(((rx * s + ry * c) + imageY) * ky * 65536.0);
  const long long limitU = static_cast<long long>(pw) << 16, limitV = static_cast<long long>(ph) << 16;

  const std::uint16_t key = block.Key;
  const bool keyed = Transparent;
  const std::uint16_t* base = block.Pixels.data() + static_cast<std::size_t>(p->OffY) * block.Width + p->OffX;
  const long long boxWidth = x1 - x0;
  for (long long dy = y0; dy < y1; ++dy, rowU += dudy, rowV += dvdy) {
    // Only the columns whose sample falls inside the pattern: found exactly from the linear steps.
    long long t0 = 0, t1 = boxWidth;
    SpanInside(rowU, dudx, limitU, boxWidth, t0, t1);
    SpanInside(rowV, dvdx, limitV, boxWidth, t0, t1);
    if (t0 >= t1) continue;
    std::uint16_t* dst = dest.Row(static_cast<int>(dy)) + x0;
    long long u = rowU + t0 * dudx, v = rowV + t0 * dvdx;
    for (long long t = t0; t < t1; ++t, u += dudx, v += dvdx) {
      const std::uint16_t px = base[static_cast<std::size_t>(v >> 16) * block.Width + static_cast<std::size_t>(u >> 16)];
      if (!keyed || px != key) dst[t] = px;
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
  if (!item) {
    EPictureCollectionError error("Image '" + name + "' not found");
    error.SourceFile = SourceFile();
    throw error;
  }
  return static_cast<TPictureCollectionItem&>(*item);
}

void TPictureCollection::LoadFromArchive(const PictureArchive& archive) {
  PictureArchive copy = archive;
  LoadFromArchive(std::move(copy));
}

void TPictureCollection::LoadFromArchive(PictureArchive&& archive) {
  Clear();
  SetSourceFile("");
  ColorTable = std::move(archive.ColorTable);
  for (PictureItemRecord& record : archive.Items) {
    TPictureCollectionItem& item = Add();
    item.Picture = std::move(record.Picture);
    item.Picture16 = std::move(record.Picture16);
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
