#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "framework/Errors.h"
#include "framework/PictureCollection.h"

namespace kestrune {
namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;  // 0x00RRGGBB picture colour used as the key

// A picture whose every pixel has a distinct colour, with key pixels where keyed(x, y) says.
template <typename Keyed>
TPictureData MakePicture(int w, int h, Keyed keyed) {
  TPictureData pic;
  pic.Width = w;
  pic.Height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pic.Pixels.push_back(keyed(x, y) ? kMagenta : static_cast<std::uint32_t>(((x * 8) << 16) | ((y * 4) << 8) | 0x40));
  return pic;
}
TPictureData MakePicture(int w, int h) {
  return MakePicture(w, h, [](int, int) { return false; });
}

TPictureCollectionItem& AddItem(TPictureCollection& c, const std::string& name, TPictureData pic, int pw = 0,
                                int ph = 0) {
  TPictureCollectionItem& item = c.Add();
  item.SetName(name);
  item.Picture = std::move(pic);
  item.PatternWidth = pw;
  item.PatternHeight = ph;
  item.SetTransparentColor(0xFF00FF);  // magenta, 0x00BBGGRR
  return item;
}

std::uint16_t Px(const TPictureData& pic, int x, int y) {
  const std::uint32_t c = pic.At(x, y);
  return RGB565(static_cast<int>(c >> 16), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF));
}

// Straightforward per-pixel keyed copy, the reference for the run-based drawing.
void ReferenceDraw(const TPictureCollectionItem& item, TDirectDrawSurface& dest, int x, int y, int index) {
  const TRect r = item.PatternRect(index);
  for (int sy = r.Top; sy < r.Bottom; ++sy)
    for (int sx = r.Left; sx < r.Right; ++sx) {
      const int dx = x + sx - r.Left, dy = y + sy - r.Top;
      if (dx < 0 || dy < 0 || dx >= dest.Width() || dy >= dest.Height()) continue;
      const std::uint16_t p = Px(item.Picture, sx, sy);
      if (item.Transparent && p == RGB565(255, 0, 255)) continue;
      dest.Row(dy)[dx] = p;
    }
}

bool SameSurface(const TDirectDrawSurface& a, const TDirectDrawSurface& b) {
  return std::equal(a.Pixels(), a.Pixels() + a.Width() * a.Height(), b.Pixels());
}

TEST(PictureCollectionTest, PatternGridFollowsPatternAndSkipSizes) {
  struct Case {
    int pw, ph, sw, sh, count, index;
    TRect rect;
  };
  const Case cases[] = {
      {20, 20, 0, 0, 10, 7, {40, 20, 60, 40}},   // 5 x 2 cells
      {20, 20, 5, 0, 8, 5, {25, 20, 45, 40}},    // cols = (100 + 5) div 25 = 4
      {0, 0, 0, 0, 1, 0, {0, 0, 100, 40}},       // whole picture
      {100, 40, 0, 0, 1, 0, {0, 0, 100, 40}},    // pattern as large as the picture
      {30, 0, 0, 0, 3, 2, {60, 0, 90, 40}},      // leftover columns at the right are dropped
      {120, 20, 0, 0, 0, 0, {}},                 // wider than the picture: no pattern
  };
  for (const Case& k : cases) {
    TPictureCollection c;
    TPictureCollectionItem& item = AddItem(c, "grid", MakePicture(100, 40), k.pw, k.ph);
    item.SkipWidth = k.sw;
    item.SkipHeight = k.sh;
    item.Restore();
    EXPECT_EQ(item.PatternCount(), k.count) << k.pw << "x" << k.ph << " skip " << k.sw;
    EXPECT_EQ(item.PatternRect(k.index), k.rect) << k.pw << "x" << k.ph << " skip " << k.sw;
    EXPECT_EQ(item.PatternRect(-1), TRect{});
    EXPECT_EQ(item.PatternRect(k.count), TRect{});
  }
}

TEST(PictureCollectionTest, BlocksOfWholeCellsDrawLikeOneBlock) {
  // 1300 x 70 in 100 x 30 patterns with 5-pixel skips: cells of 105 x 35, blocks of 525 x 70.
  TPictureCollection c;
  TPictureCollectionItem& split = AddItem(c, "split", MakePicture(1300, 70, [](int x, int y) { return (x + y) % 7 == 0; }), 100, 30);
  split.SkipWidth = split.SkipHeight = 5;
  TPictureCollectionItem& whole = AddItem(c, "whole", split.Picture, 100, 30);
  whole.SkipWidth = whole.SkipHeight = 5;
  whole.SystemMemory = true;
  c.Restore();
  ASSERT_EQ(split.PatternCount(), 24);  // (1300 + 5) div 105 = 12 columns, 2 rows
  EXPECT_EQ(whole.Blocks().size(), 1u);
  EXPECT_EQ(split.Blocks().size(), 3u);
  EXPECT_EQ(split.Blocks()[0].Width, 525);
  EXPECT_EQ(split.PatternAt(17).Block, 1);
  EXPECT_EQ(split.PatternAt(17).OffX, 0);
  for (int i = 0; i < split.PatternCount(); ++i) {
    TDirectDrawSurface a(120, 50), b(120, 50);
    split.Draw(a, 7, 9, i);
    whole.Draw(b, 7, 9, i);
    EXPECT_TRUE(SameSurface(a, b)) << "pattern " << i;
    TDirectDrawSurface ref(120, 50);
    ReferenceDraw(whole, ref, 7, 9, i);
    EXPECT_TRUE(SameSurface(a, ref)) << "pattern " << i;
  }
}

TEST(PictureCollectionTest, FindPictureIgnoresCaseAndPrefersTheLaterDuplicate) {
  TPictureCollection c;
  AddItem(c, "Car", MakePicture(2, 2));
  TPictureCollectionItem& second = AddItem(c, "Car", MakePicture(3, 3));
  AddItem(c, "Road", MakePicture(4, 4));
  EXPECT_EQ(&c.FindPicture("car"), &second);
  EXPECT_EQ(&c.FindPicture("ROAD"), &c.Items(2));
  try {
    c.FindPicture("Tree");
    FAIL() << "no exception";
  } catch (const EPictureCollectionError& e) {
    EXPECT_STREQ(e.what(), "Image 'Tree' not found");
  }
  EXPECT_THROW(c.Items(3), EListError);
}

TEST(PictureCollectionTest, KeyIsConvertedLikeThePixelsAndFollowsTransparentColor) {
  TPictureCollection c;
  TPictureData pic;
  pic.Width = 3;
  pic.Height = 1;
  // Pure red, a red that narrows to the same RGB565 value, and blue.
  pic.Pixels = {0xFF0000, 0xFC0304, 0x0000FF};
  TPictureCollectionItem& item = AddItem(c, "keys", pic);
  item.SetTransparentColor(0x0000FF);  // clRed in 0x00BBGGRR
  item.Restore();
  TDirectDrawSurface s(3, 1);
  s.Fill(1);
  item.Draw(s, 0, 0, 0);
  EXPECT_EQ(s.Row(0)[0], 1);
  EXPECT_EQ(s.Row(0)[1], 1);
  EXPECT_EQ(s.Row(0)[2], RGB565(0, 0, 255));

  item.SetTransparentColor(0xFF0000);  // clBlue: re-keys the built blocks
  s.Fill(1);
  item.Draw(s, 0, 0, 0);
  EXPECT_EQ(s.Row(0)[0], RGB565(255, 0, 0));
  EXPECT_EQ(s.Row(0)[2], 1);

  item.Transparent = false;
  item.Draw(s, 0, 0, 0);
  EXPECT_EQ(s.Row(0)[2], RGB565(0, 0, 255));
}

TEST(PictureCollectionTest, DrawClipsAtEveryEdge) {
  TPictureCollection c;
  TPictureCollectionItem& item =
      AddItem(c, "sprite", MakePicture(32, 24, [](int x, int y) { return x == y || x == 31 - y || x < 3; }));
  item.Restore();
  const struct {
    int x, y;
  } positions[] = {{-10, 5}, {30, 5}, {5, -7}, {5, 30}, {-20, -20}, {35, 30}, {-32, 0}, {40, 0}, {0, 40}, {4, 4}};
  for (const auto& p : positions) {
    TDirectDrawSurface got(40, 40), want(40, 40);
    got.Fill(0x1234);
    want.Fill(0x1234);
    item.Draw(got, p.x, p.y, 0);
    ReferenceDraw(item, want, p.x, p.y, 0);
    EXPECT_TRUE(SameSurface(got, want)) << p.x << "," << p.y;
  }
  // X = -10 of a 32-wide pattern: its right 22 columns land at x 0..21.
  TDirectDrawSurface s(40, 40);
  item.Transparent = false;
  item.Draw(s, -10, 0, 0);
  EXPECT_EQ(s.Row(0)[0], Px(item.Picture, 10, 0));
  EXPECT_EQ(s.Row(0)[21], Px(item.Picture, 31, 0));
  EXPECT_EQ(s.Row(0)[22], 0);
  // Out-of-range patterns and unbuilt items draw nothing.
  TDirectDrawSurface empty(40, 40);
  item.Draw(empty, 0, 0, 1);
  item.Draw(empty, 0, 0, -1);
  item.Finalize();
  item.Draw(empty, 0, 0, 0);
  EXPECT_TRUE(SameSurface(empty, TDirectDrawSurface(40, 40)));
}

TEST(PictureCollectionTest, DrawAlphaStretchesBlendsAndClips) {
  TPictureCollection c;
  // 2 x 2 pattern: white, magenta (key) / red, green.
  TPictureData pic;
  pic.Width = 2;
  pic.Height = 2;
  pic.Pixels = {0xFFFFFF, kMagenta, 0xFF0000, 0x00FF00};
  TPictureCollectionItem& item = AddItem(c, "alpha", pic);
  item.Restore();
  const std::uint16_t white = RGB565(255, 255, 255), red = RGB565(255, 0, 0), green = RGB565(0, 255, 0);

  TDirectDrawSurface s(6, 6);
  item.DrawAlpha(s, {0, 0, 4, 4}, 0, 0);
  item.DrawAlpha(s, {0, 0, 4, 4}, 0, -5);
  EXPECT_TRUE(SameSurface(s, TDirectDrawSurface(6, 6)));

  // 255: a keyed, stretched copy; each source pixel covers 2 x 2 destination pixels.
  item.DrawAlpha(s, {0, 0, 4, 4}, 0, 255);
  const std::uint16_t want[4][4] = {{white, white, 0, 0}, {white, white, 0, 0}, {red, red, green, green}, {red, red, green, green}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(s.Row(y)[x], want[y][x]) << x << "," << y;

  // 128 over black: each channel (S * 128 + 0) div 256.
  TDirectDrawSurface b(2, 2);
  item.DrawAlpha(b, {0, 0, 2, 2}, 0, 128);
  EXPECT_EQ(b.Row(0)[0], RGB565(127, 127, 127));
  EXPECT_EQ(b.Row(0)[1], 0);
  EXPECT_EQ(b.Row(1)[0], RGB565(127, 0, 0));

  // Clipped at the top-left: the source is entered at the clipped offset.
  TDirectDrawSurface k(6, 6);
  item.DrawAlpha(k, {-2, -2, 2, 2}, 0, 255);
  EXPECT_EQ(k.Row(0)[0], green);
  EXPECT_EQ(k.Row(1)[1], green);
  EXPECT_EQ(k.Row(2)[2], 0);
  // Clipped at the bottom-right.
  item.DrawAlpha(k, {4, 4, 8, 8}, 0, 255);
  EXPECT_EQ(k.Row(5)[5], white);
  EXPECT_EQ(k.Row(4)[4], white);
  // An empty destination rectangle draws nothing.
  TDirectDrawSurface e(6, 6);
  item.DrawAlpha(e, {3, 3, 3, 5}, 0, 255);
  item.DrawAlpha(e, {3, 5, 4, 3}, 0, 255);
  EXPECT_TRUE(SameSurface(e, TDirectDrawSurface(6, 6)));
}

TEST(PictureCollectionTest, DrawAlphaMixesEveryChannelByTheFormula) {
  // Rows long enough for the eight-pixel path plus a tail, over a varied background.
  TPictureCollection c;
  TPictureCollectionItem& item = AddItem(c, "mix", MakePicture(21, 5, [](int x, int y) { return (x * 3 + y) % 5 == 0; }));
  item.Restore();
  auto widen = [](int v, int bits) { return bits == 5 ? (v << 3) | (v >> 2) : (v << 2) | (v >> 4); };
  for (int alpha : {1, 77, 128, 200, 254}) {
    TDirectDrawSurface s(21, 5);
    for (int i = 0; i < 21 * 5; ++i) s.Pixels()[i] = static_cast<std::uint16_t>(i * 2654435761u >> 13);
    TDirectDrawSurface before(21, 5);
    std::copy(s.Pixels(), s.Pixels() + 21 * 5, before.Pixels());
    item.DrawAlpha(s, {0, 0, 21, 5}, 0, alpha);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 21; ++x) {
        const std::uint16_t src = Px(item.Picture, x, y), dst = before.Row(y)[x];
        std::uint16_t want = dst;
        if (src != RGB565(255, 0, 255)) {
          const int shifts[3] = {11, 5, 0}, bits[3] = {5, 6, 5};
          want = 0;
          for (int ch = 0; ch < 3; ++ch) {
            const int mask = (1 << bits[ch]) - 1;
            const int s8 = widen((src >> shifts[ch]) & mask, bits[ch]), d8 = widen((dst >> shifts[ch]) & mask, bits[ch]);
            const int m = (s8 * alpha + d8 * (255 - alpha)) / 256;
            want = static_cast<std::uint16_t>(want | ((m >> (8 - bits[ch])) << shifts[ch]));
          }
        }
        ASSERT_EQ(s.Row(y)[x], want) << "alpha " << alpha << " at " << x << "," << y;
      }
  }
}

TEST(PictureCollectionTest, DrawRotateTurnsClockwiseAndWrapsTheAngle) {
  TPictureCollection c;
  TPictureCollectionItem& item = AddItem(c, "rot", MakePicture(6, 4, [](int x, int y) { return x == 5 && y == 0; }));
  item.Restore();
  // Angle 0 at the pattern's own size is a plain keyed Draw.
  TDirectDrawSurface plain(20, 20), turned0(20, 20);
  item.Draw(plain, 7, 8, 0);
  item.DrawRotate(turned0, 10, 10, 6, 4, 0, 0.5, 0.5, 0);
  EXPECT_TRUE(SameSurface(plain, turned0));

  // A quarter turn clockwise about (10, 10): source column col, row row lands at
  // (10 + 1 - row, 10 - 3 + col); the top row ends on the right, the left column on top.
  TDirectDrawSurface q(20, 20);
  q.Fill(1);
  item.DrawRotate(q, 10, 10, 6, 4, 0, 0.5, 0.5, 64);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 6; ++col) {
      const std::uint16_t want = (col == 5 && row == 0) ? 1 : Px(item.Picture, col, row);
      EXPECT_EQ(q.Row(7 + col)[11 - row], want) << col << "," << row;
    }
  int drawn = 0;
  for (int i = 0; i < 400; ++i) drawn += q.Pixels()[i] != 1;
  EXPECT_EQ(drawn, 23);

  TDirectDrawSurface q320(20, 20), qneg(20, 20);
  q320.Fill(1);
  qneg.Fill(1);
  item.DrawRotate(q320, 10, 10, 6, 4, 0, 0.5, 0.5, 320);
  item.DrawRotate(qneg, 10, 10, 6, 4, 0, 0.5, 0.5, -192);
  EXPECT_TRUE(SameSurface(q, q320));
  EXPECT_TRUE(SameSurface(q, qneg));

  // Scaled to twice the size, unturned: each source pixel covers 2 x 2 pixels.
  TDirectDrawSurface big(20, 20);
  item.DrawRotate(big, 6, 4, 12, 8, 0, 0.5, 0.5, 0);
  EXPECT_EQ(big.Row(0)[0], Px(item.Picture, 0, 0));
  EXPECT_EQ(big.Row(7)[11], Px(item.Picture, 5, 3));
  EXPECT_EQ(big.Row(1)[3], Px(item.Picture, 1, 0));

  // Partly off the surface and zero sizes are safe.
  TDirectDrawSurface edge(20, 20);
  item.DrawRotate(edge, 0, 0, 6, 4, 0, 0.5, 0.5, 19);
  item.DrawRotate(edge, 19, 19, 60, 40, 0, 0.5, 0.5, 200);
  item.DrawRotate(edge, 5, 5, 0, 4, 0, 0.5, 0.5, 19);
}

// Odd sizes have their centre on a pixel centre; unturned and at every quarter turn each source
// pixel must still land on exactly one destination pixel, the first column and row included.
TEST(PictureCollectionTest, DrawRotateDrawsEveryPixelOfOddAndEvenSizes) {
  struct Case {
    int w, h;
    int left, top;     // unturned: where the pattern's top-left lands, relative to (X, Y)
    int qRight, qTop;  // quarter turn: where row 0 ends up (a column) and column 0 (a row)
  };
  const Case cases[] = {
      {9, 9, -4, -4, 4, -4}, {33, 21, -16, -10, 10, -16}, {6, 4, -3, -2, 1, -3}, {8, 5, -4, -2, 2, -4}};
  constexpr int X = 40, Y = 40;
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.w) + " x " + std::to_string(k.h));
    // Every pixel a colour of its own (none of them the key), to tell where each one went.
    TPictureData pic;
    pic.Width = k.w;
    pic.Height = k.h;
    for (int i = 0; i < k.w * k.h; ++i)
      pic.Pixels.push_back(((i >> 11) << 19) | (((i >> 5) & 63) << 10) | ((i & 31) << 3));
    TPictureCollection c;
    TPictureCollectionItem& item = AddItem(c, "odd", std::move(pic));
    item.Restore();

    TDirectDrawSurface plain(80, 80), unturned(80, 80);
    plain.Fill(0xFFFF);
    unturned.Fill(0xFFFF);
    item.Draw(plain, X + k.left, Y + k.top, 0);
    item.DrawRotate(unturned, X, Y, k.w, k.h, 0, 0.5, 0.5, 0);
    EXPECT_TRUE(SameSurface(plain, unturned));

    auto timesDrawn = [&](int width, int height, int angle) {
      TDirectDrawSurface s(80, 80);
      s.Fill(0xFFFF);
      item.DrawRotate(s, X, Y, width, height, 0, 0.5, 0.5, angle);
      std::vector<int> seen(static_cast<std::size_t>(k.w * k.h), 0);
      for (int i = 0; i < 80 * 80; ++i)
        if (s.Pixels()[i] != 0xFFFF) ++seen.at(s.Pixels()[i]);
      return seen;
    };
    for (int angle : {64, 128, 192}) {
      const std::vector<int> seen = timesDrawn(k.w, k.h, angle);
      EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), k.w * k.h) << "angle " << angle;
    }
    // Stretched to an odd size one and a half times as large, no source pixel is left out.
    const std::vector<int> stretched = timesDrawn(k.w * 3 / 2 | 1, k.h * 3 / 2 | 1, 0);
    EXPECT_EQ(std::count(stretched.begin(), stretched.end(), 0), 0);
    // Clockwise: row 0 becomes the right-most column, column 0 the top row.
    TDirectDrawSurface q(80, 80);
    item.DrawRotate(q, X, Y, k.w, k.h, 0, 0.5, 0.5, 64);
    int misplaced = 0;
    for (int row = 0; row < k.h; ++row)
      for (int col = 0; col < k.w; ++col)
        misplaced += q.Row(Y + k.qTop + col)[X + k.qRight - row] != Px(item.Picture, col, row);
    EXPECT_EQ(misplaced, 0);
  }
}

TEST(PictureCollectionTest, ExtremeArgumentsDrawSafely) {
  TPictureCollection c;
  TPictureCollectionItem& item = AddItem(c, "x", MakePicture(9, 7, [](int x, int) { return x == 4; }));
  item.Restore();
  TDirectDrawSurface s(16, 12);
  constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
  const int coords[] = {kMin, kMin + 1, -100000, -9, -1, 0, 15, 16, 100000, kMax - 1, kMax};
  for (int a : coords)
    for (int b : coords) {
      item.Draw(s, a, b, 0);
      item.DrawAlpha(s, {a, b, kMax, kMax}, 0, 100);
      item.DrawAlpha(s, {kMin, kMin, a, b}, 0, 255);
      item.DrawAlpha(s, {a, a, b, b}, 0, 128);
      item.DrawRotate(s, a, b, 9, 7, 0, 0.5, 0.5, 19);
      item.DrawRotate(s, 8, 6, a, b, 0, 0.5, 0.5, a);
    }
  const double centres[] = {-1e300, -5.0, 0.0, 0.5, 3.0, 1e300, std::nan(""), std::numeric_limits<double>::infinity()};
  for (double cx : centres)
    for (double cy : centres) item.DrawRotate(s, 8, 6, 90, 70, 0, cx, cy, 77);
  SUCCEED();  // reaching here without a crash or a sanitizer report is the test
}

TEST(PictureCollectionTest, FollowsTheDisplayLifeCycle) {
  TPictureCollection c;
  TPictureCollectionItem& item = AddItem(c, "a", MakePicture(8, 8), 4, 4);
  try {
    c.Initialize(false);
    FAIL() << "no exception";
  } catch (const EPictureCollectionError& e) {
    EXPECT_STREQ(e.what(), "TPictureCollection cannot be initialized");
  }
  c.Initialize(true);
  EXPECT_FALSE(item.Initialized());
  c.Restore();
  EXPECT_EQ(item.PatternCount(), 4);
  c.Finalize();
  EXPECT_FALSE(item.Initialized());
  EXPECT_EQ(item.PatternCount(), 0);

  // Loading while the display is up builds at once; the pictures survive finalisation.
  c.Initialize(true);
  PictureArchive archive;
  PictureItemRecord rec;
  rec.Name = "Tile";
  rec.Picture = MakePicture(16, 8);
  rec.PatternWidth = 8;
  archive.Items.push_back(rec);
  c.LoadFromArchive(archive);
  ASSERT_EQ(c.Count(), 1);
  EXPECT_EQ(c.FindPicture("tile").PatternCount(), 2);
  c.Finalize();
  c.Initialize(true);
  c.Restore();
  EXPECT_EQ(c.FindPicture("tile").PatternCount(), 2);

  // An empty picture builds nothing and draws nothing.
  TPictureCollectionItem& empty = c.Add();
  empty.Restore();
  EXPECT_EQ(empty.PatternCount(), 0);
}

// Bytes the program holds from the allocator right now.
std::size_t HeldBytes() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

TEST(PictureCollectionTest, BuildsDisplayBlocksOnFirstUseOnly) {
  TPictureCollection c;
  TPictureCollectionItem& item = AddItem(c, "big", MakePicture(1024, 1024), 32, 32);
  const std::size_t blockBytes = 1024 * 1024 * sizeof(std::uint16_t);
  c.Initialize(true);
  // Setting the display up twice in a row, as the start-up does, converts nothing yet.
  const std::size_t before = HeldBytes();
  c.Restore();
  c.Finalize();
  c.Initialize(true);
  c.Restore();
  EXPECT_LT(HeldBytes(), before + blockBytes / 8);
  // The first use builds everything, the same as building at once would.
  TDirectDrawSurface drawn(64, 64), reference(64, 64);
  item.Draw(drawn, -5, -7, 33);
  EXPECT_GE(HeldBytes(), before + blockBytes);
  EXPECT_TRUE(item.Initialized());
  EXPECT_EQ(item.PatternCount(), 32 * 32);
  ReferenceDraw(item, reference, -5, -7, 33);
  EXPECT_TRUE(SameSurface(drawn, reference));
  // Finalising drops a build that was asked for but never used.
  c.Restore();
  c.Finalize();
  EXPECT_FALSE(item.Initialized());
  EXPECT_EQ(item.PatternCount(), 0);
}

TEST(PictureCollectionTest, LoadingAnArchiveTakesItsPicturesOverWithoutACopy) {
  PictureArchive archive;
  archive.Items.resize(2);
  archive.Items[0].Name = "first";
  archive.Items[0].Picture = MakePicture(64, 32);
  archive.Items[1].Name = "second";
  archive.Items[1].Picture = MakePicture(8, 8);
  const TPictureData expected = archive.Items[0].Picture;
  const std::uint32_t* pixels = archive.Items[0].Picture.Pixels.data();
  TPictureCollection c;
  c.LoadFromArchive(std::move(archive));
  ASSERT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Items(0).Picture.Pixels.data(), pixels);
  EXPECT_EQ(c.Items(0).Picture.Pixels, expected.Pixels);
  EXPECT_EQ(c.Items(1).Picture.Width, 8);

  // An archive that is only lent keeps its pictures.
  PictureArchive kept;
  kept.Items.resize(1);
  kept.Items[0].Picture = MakePicture(4, 4);
  c.LoadFromArchive(kept);
  EXPECT_EQ(kept.Items[0].Picture.Pixels.size(), 16u);
  EXPECT_EQ(c.Items(0).Picture.Pixels, kept.Items[0].Picture.Pixels);
}

}  // namespace
}  // namespace kestrune
