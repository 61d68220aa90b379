#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "fixtures/RaceWorld.h"
#include "framework/Random.h"
#include "race/Collision.h"
#include "race/ScrollBackground.h"
#include "race/vehicles/Player.h"
#include "race/vehicles/Traffic.h"

namespace kestrune {
namespace {

const TQuad kSquare = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}};

TEST(PointInQuad, InsideOutsideAndCorners) {
  struct Case {
    TPointD p;
    bool inside;
  };
  const Case cases[] = {
      {{5, 5}, true},
      {{0.5, 9.5}, true},
      {{11, 5}, false},
      {{-1, 5}, false},
      {{5, 20}, false},
      // The 355-degree threshold lets a point a hair outside the middle of an edge count.
      {{-0.1, 5}, true},
      {{0, 0}, true},
      {{10, 10}, true},  // exactly on a corner: inside, and no division by zero
      {{5, 0}, true},
      {{10, 3}, true},  // on an edge the angles add up to 360
      {{15, 15}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
    EXPECT_EQ(PointInQuad(c.p, kSquare), c.inside);
  }
  // A rotated quad, corners in the other direction.
  const TQuad diamond = {{{0, -10}, {-10, 0}, {0, 10}, {10, 0}}};
  EXPECT_TRUE(PointInQuad({4, 4}, diamond));
  EXPECT_FALSE(PointInQuad({6, 6}, diamond));
}

TEST(QuadsOverlap, EitherWay) {
  const TQuad inner = {{{2, 2}, {4, 2}, {4, 4}, {2, 4}}};
  const TQuad crossing = {{{8, 8}, {20, 8}, {20, 20}, {8, 20}}};
  const TQuad apart = {{{11, 0}, {20, 0}, {20, 10}, {11, 10}}};
  // A long thin bar crossing the square with no corner inside it, nor the square's in it.
  const TQuad bar = {{{-5, 4}, {15, 4}, {15, 6}, {-5, 6}}};
  EXPECT_TRUE(QuadsOverlap(kSquare, inner));
  EXPECT_TRUE(QuadsOverlap(inner, kSquare));
  EXPECT_TRUE(QuadsOverlap(kSquare, crossing));
  EXPECT_FALSE(QuadsOverlap(kSquare, apart));
  EXPECT_FALSE(QuadsOverlap(kSquare, bar));
}

// The shapes the game tests points against: the traffic's corner orders (crossed, as the cars
// list them), the solid roadside tiles, a pedestrian's square, the player's rectangle turned to
// every heading, and shapes worn down to a line or a point.
std::vector<TQuad> GameShapes() {
  std::vector<TQuad> shapes;
  for (int kind = 1; kind <= 5; ++kind)
    for (int dir = 1; dir <= 6; ++dir) shapes.push_back(TCar::CornerOffsets(kind, dir));
  for (int code : {39, 40, 41, 42, 59}) {
    TQuad wall;
    TScrollBackground::SolidQuad(code, 0.5, -0.25, wall);
    shapes.push_back(wall);
  }
  shapes.push_back({{{-4, -4}, {30, -4}, {30, 30}, {-4, 30}}});
  for (int heading = 0; heading < 256; heading += 3) {
    const double r = 63.7, spread = 17.4;
    TQuad car;
    const double angles[4] = {heading - spread, heading + spread, heading + 128 - spread, heading + 128 + spread};
    for (int k = 0; k < 4; ++k)
      car[static_cast<std::size_t>(k)] = {40.25 + std::sin(angles[k] * std::numbers::pi / 128) * r,
                                          60.5 - std::cos(angles[k] * std::numbers::pi / 128) * r};
    shapes.push_back(car);
  }
  shapes.push_back({{{0, 0}, {10, 0}, {20, 0}, {5, 0}}});
  shapes.push_back({{{0, 0}, {10, 0}, {10, 0}, {0, 10}}});
  shapes.push_back({{{3, 3}, {3, 3}, {3, 3}, {3, 3}}});
  return shapes;
}

// Around each shape, on a grid of quarter-odd steps and on and a hair either side of every
// corner and of points along every edge.
TEST(PointInQuad, AnswersAsTheAngleSumOnTheGamesShapesTheirEdgesAndCorners) {
  int compared = 0, inside = 0, disagreements = 0;
  auto compare = [&](TPointD p, const TQuad& q) {
    const bool byAngles = PointInQuadByAngles(p, q[0], q[1], q[2], q[3]);
    ++compared;
    inside += byAngles;
    if (PointInQuad(p, q) != byAngles && ++disagreements <= 5)
      ADD_FAILURE() << "point " << p.x << "," << p.y << " quad " << q[0].x << "," << q[0].y << " "
                    << q[1].x << "," << q[1].y << " " << q[2].x << "," << q[2].y << " " << q[3].x << "," << q[3].y;
  };
  for (const TQuad& q : GameShapes()) {
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (const TPointD& c : q) left = std::min(left, c.x), right = std::max(right, c.x), top = std::min(top, c.y), bottom = std::max(bottom, c.y);
    for (double x = left - 30; x <= right + 30; x += 1.75)
      for (double y = top - 30; y <= bottom + 30; y += 1.75) compare({x, y}, q);
    for (int k = 0; k < 4; ++k) {
      const TPointD a = q[static_cast<std::size_t>(k)], b = q[static_cast<std::size_t>((k + 1) % 4)];
      for (double t : {0.0, 0.01, 0.25, 0.5, 0.99, 1.0})
        for (double dx : {-1e-9, 0.0, 1e-9, -0.05, 0.05})
          for (double dy : {-1e-9, 0.0, 1e-9, -0.05, 0.05}) compare({a.x + t * (b.x - a.x) + dx, a.y + t * (b.y - a.y) + dy}, q);
    }
  }
  compare({std::nan(""), 0}, kSquare);
  EXPECT_EQ(disagreements, 0) << "of " << compared;
  // So far away that the squared distances overflow, the angle sum sees four right angles and
  // says inside; the box decides it first.
  EXPECT_FALSE(PointInQuad({0, 1e300}, kSquare));
  EXPECT_GT(inside, compared / 20);
}

// Every question the race asks while driving levels 1 to 5 the way the race benchmark does
// (accelerating, weaving, picking up a weapon and firing it, crashing into walls, traffic and
// pedestrians): the answer given is the angle sum's.
struct Contacts {
  static inline long asked = 0, inside = 0, disagreements = 0;
  static void Observe(TPointD p, const TQuad& q, bool answer) {
    ++asked;
    inside += answer;
    disagreements += answer != PointInQuadByAngles(p, q[0], q[1], q[2], q[3]);
  }
};

TEST(PointInQuad, AnswersAsTheAngleSumOnEveryContactOfScriptedRaces) {
  testing_support::RaceWorld world;
  Contacts::asked = Contacts::inside = Contacts::disagreements = 0;
  SetContactObserver(&Contacts::Observe);
  constexpr int kUp = 0, kLeft = 2, kRight = 3, kFire = 15;
  int crashes = 0;
  for (int level = 1; level <= 5; ++level) {
    RandomSeed(5);
    StartRaceAt(level, 1 + level % 6);
    for (int frame = 0; frame < 1500; ++frame) {
      world.held = {kUp};
      const int phase = frame % 400;
      if (phase >= 100 && phase < 160) world.held.insert(kLeft);
      if (phase >= 300 && phase < 360) world.held.insert(kRight);
      if (frame % 500 == 10) RacePlayer->GiveBonus(frame % 1000 == 10 ? 3 : 4);
      if (frame % 500 > 100 && frame % 500 < 400) world.held.insert(kFire);
      if (GameState.Lives < 2) GameState.Lives = 3;
      const bool wasCrashed = RacePlayer->Crashed;
      RaceFrame(static_cast<std::uint32_t>(GameState.FrameTimeMs));
      world.engine.FreeDead();
      crashes += RacePlayer && RacePlayer->Crashed && !wasCrashed;
      if (!RacePlayer) break;
    }
    EndRace();
  }
  SetContactObserver(nullptr);
  EXPECT_EQ(Contacts::disagreements, 0) << "of " << Contacts::asked;
  // The drives met things: some answers were yes, and the car crashed.
  EXPECT_GT(Contacts::inside, 0);
  EXPECT_GT(crashes, 0);
}

}  // namespace
}  // namespace kestrune
