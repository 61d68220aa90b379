#include <gtest/gtest.h>

#include "platform/WindowFit.h"

namespace kestrune {
namespace {

TEST(WindowFit, FirstWindowIsTheLargestWholeMultipleInMostOfTheUsableArea) {
  struct Case {
    PixelRect usable;
    PixelRect window;
  };
  const Case cases[] = {
      // 1920x1080 less a panel: 2x (1600x1200) is taller than 85% of 1040; 1x it is.
      {{0, 40, 1920, 1040}, {560, 260, 800, 600}},
      // 2560x1440 desktop: 2x is 1600x1200, at most 0.85*1400 = 1190 high: still 1x.
      {{0, 0, 2560, 1400}, {880, 400, 800, 600}},
      // 4K: 2x fits (3264 x 1836 room), 3x (1800 high) fits too.
      {{0, 0, 3840, 2160}, {720, 180, 2400, 1800}},
      // A second monitor to the right keeps its offset.
      {{1920, 0, 3840, 2160}, {2640, 180, 2400, 1800}},
      // Smaller than one picture: the picture's shape shrunk into 85% (680x510 of 800x600).
      {{0, 0, 800, 600}, {60, 45, 680, 510}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FirstWindowRect(c.usable, 800, 600), c.window) << c.usable.W << "x" << c.usable.H;
}

TEST(WindowFit, ARememberedPlaceCountsOnlyWhereItsTopEdgeCanBeReached) {
  const std::vector<PixelRect> displays = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  struct Case {
    PixelRect window;
    bool reachable;
  };
  const Case cases[] = {
      {{100, 100, 800, 600}, true},
      {{2000, 50, 800, 600}, true},     // on the second monitor
      {{-700, 100, 800, 600}, true},    // mostly off the left edge, 100 pixels still on
      {{-780, 100, 800, 600}, false},   // only 20 pixels left to grab
      {{3300, 100, 800, 600}, false},   // where a third monitor used to be
      {{100, -30, 800, 600}, false},    // title bar above the screen
      {{100, 1075, 800, 600}, true},    // title bar at the very bottom: still grabbable
      {{2000, 1030, 800, 600}, false},  // below the shorter second monitor
      {{100, 100, 0, 0}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WindowReachable(c.window, displays), c.reachable) << c.window.X << "," << c.window.Y;
  EXPECT_FALSE(WindowReachable({100, 100, 800, 600}, {}));
}

// A remembered window that no longer fits its display (remembered from a larger monitor) opens
// as a first start would on that display, not shrunk to the whole display with its title bar
// off the top.
TEST(WindowFit, ARememberedWindowLargerThanItsDisplayOpensAsAFirstStartThere) {
  const std::vector<PixelRect> displays = {{0, 0, 1920, 1040}, {1920, 0, 1280, 1024}};
  struct Case {
    PixelRect last;
    std::optional<PixelRect> reopened;
  };
  const Case cases[] = {
      {{100, 100, 800, 600}, PixelRect{100, 100, 800, 600}},     // fits: as it was
      {{-700, 100, 800, 600}, PixelRect{-700, 100, 800, 600}},   // fits in size: left where put
      {{0, 0, 1920, 1040}, PixelRect{0, 0, 1920, 1040}},         // the whole display: still fits
      {{720, 180, 2400, 1800}, PixelRect{560, 220, 800, 600}},   // from a 4K monitor
      {{100, 200, 1000, 1100}, PixelRect{560, 220, 800, 600}},   // too tall only
      {{2000, 10, 1600, 1200}, PixelRect{2160, 212, 800, 600}},  // on the smaller second display
      {{3300, 100, 800, 600}, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReopenedWindowRect(c.last, displays, 800, 600), c.reopened) << c.last.X << "," << c.last.Y;
    if (c.reopened && c.reopened != c.last) {
      EXPECT_EQ(*c.reopened, FirstWindowRect(*(c.last.X >= 1920 ? &displays[1] : &displays[0]), 800, 600));
    }
  }
}

TEST(WindowFit, PictureKeepsItsShapeWithBarsAroundIt) {
  struct Case {
    int w, h;
    bool integer;
    PixelRect picture;
  };
  const Case cases[] = {
      {800, 600, false, {0, 0, 800, 600}},
      {1600, 1200, false, {0, 0, 1600, 1200}},
      {1920, 1080, false, {240, 0, 1440, 1080}},   // wide: bars left and right
      {1000, 1000, false, {0, 125, 1000, 750}},    // tall: bars above and below
      {1920, 1080, true, {560, 240, 800, 600}},    // only 1x fits whole
      {3840, 2160, true, {720, 180, 2400, 1800}},  // 3x
      {400, 300, true, {0, 0, 400, 300}},          // smaller than one picture: shrunk whole
      {700, 700, true, {0, 87, 700, 525}},
      {400, 300, false, {0, 0, 400, 300}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PictureRect(c.w, c.h, 800, 600, c.integer), c.picture) << c.w << "x" << c.h << " " << c.integer;
}

TEST(WindowFit, MousePositionsMapBackToPicturePixels) {
  struct Case {
    int x, y;              // window coordinates
    int winW, winH;        // window size
    int outW, outH;        // drawable size
    bool inside;
    int px, py;
  };
  const Case cases[] = {
      {0, 0, 800, 600, 800, 600, true, 0, 0},
      {799, 599, 800, 600, 800, 600, true, 799, 599},
      {240, 0, 1920, 1080, 1920, 1080, true, 0, 0},        // left edge of a letterboxed picture
      {239, 500, 1920, 1080, 1920, 1080, false, 0, 0},     // on the left bar
      {1680, 500, 1920, 1080, 1920, 1080, false, 0, 0},    // on the right bar
      {960, 540, 1920, 1080, 1920, 1080, true, 400, 300},  // centre
      {1679, 1079, 1920, 1080, 1920, 1080, true, 799, 599},
      // High-DPI: the window has 960x540 coordinates and 1920x1080 pixels.
      {120, 0, 960, 540, 1920, 1080, true, 0, 0},
      {480, 270, 960, 540, 1920, 1080, true, 400, 300},
      {119, 270, 960, 540, 1920, 1080, false, 0, 0},
  };
  for (const Case& c : cases) {
    const PixelRect picture = PictureRect(c.outW, c.outH, 800, 600, false);
    int px = -1, py = -1;
    const bool inside = WindowToPicture(c.x, c.y, c.winW, c.winH, picture, c.outW, c.outH, 800, 600, px, py);
    EXPECT_EQ(inside, c.inside) << c.x << "," << c.y << " in " << c.winW << "x" << c.winH;
    if (inside && c.inside) {
      EXPECT_EQ(px, c.px) << c.x << "," << c.y;
      EXPECT_EQ(py, c.py) << c.x << "," << c.y;
    }
  }
}

}  // namespace
}  // namespace kestrune
