#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Errors.h"
#include "framework/PictureCollection.h"
#include "framework/Sprite.h"

namespace kestrune {
namespace {

// A sprite that records its moves, draws and destruction in a shared log.
class TLogSprite : public TSprite {
 public:
  TLogSprite(TSprite* parent, std::string name, std::vector<std::string>& log, int size = 10)
      : TSprite(parent), name_(std::move(name)), log_(log) {
    Width = Height = size;
  }
  ~TLogSprite() override { log_.push_back("free " + name_); }
  void DrawSelf() override { log_.push_back("draw " + name_); }
  void MoveSelf(std::int32_t) override { log_.push_back("move " + name_); }

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

struct EngineFixture : ::testing::Test {
  EngineFixture() { engine.SetSurface(&surface); }
  std::vector<std::string> Drawn() {
    log.clear();
    engine.Draw();
    return log;
  }
  std::vector<std::string> log;  // outlives the engine, whose sprites log their destruction
  TDirectDrawSurface surface{100, 80};
  TSpriteEngine engine;
};

using V = std::vector<std::string>;

TEST_F(EngineFixture, EqualZDrawsNewestFirstAndSetZReinserts) {
  new TLogSprite(&engine, "A", log);
  auto* b = new TLogSprite(&engine, "B", log);
  new TLogSprite(&engine, "C", log);
  EXPECT_EQ(Drawn(), (V{"draw C", "draw B", "draw A"}));
  b->SetZ(5);
  EXPECT_EQ(Drawn(), (V{"draw C", "draw A", "draw B"}));
  b->SetZ(0);
  EXPECT_EQ(Drawn(), (V{"draw B", "draw C", "draw A"}));
  b->SetZ(0);  // unchanged Z keeps the place
  EXPECT_EQ(Drawn(), (V{"draw B", "draw C", "draw A"}));
  auto* low = new TLogSprite(&engine, "low", log);
  low->SetZ(-3);
  (new TLogSprite(b, "child", log))->SetZ(-100);  // children follow their parent whatever their Z
  EXPECT_EQ(Drawn(), (V{"draw low", "draw B", "draw child", "draw C", "draw A"}));
}

TEST_F(EngineFixture, MovesAndVisibleCoverTheSubtree) {
  auto* parent = new TLogSprite(&engine, "P", log);
  new TLogSprite(parent, "K", log);
  new TLogSprite(&engine, "Q", log);
  parent->Moves = false;
  log.clear();
  engine.MoveTree(1);
  EXPECT_EQ(log, (V{"move Q"}));
  parent->Moves = true;
  parent->Visible = false;
  EXPECT_EQ(Drawn(), (V{"draw Q"}));
  EXPECT_NE(engine.SpriteAt(5, 5), nullptr);  // the hidden parent's child is still found
  EXPECT_NE(engine.SpriteAt(5, 5), parent);
}

TEST_F(EngineFixture, PassesVisitOnlyTheChildrenPresentAtTheStart) {
  class TSpawner : public TSprite {
   public:
    using TSprite::TSprite;
    void MoveSelf(std::int32_t) override { new TSprite(Parent); }
  };
  new TSpawner(&engine);
  new TSpawner(&engine);
  engine.MoveTree(1);
  EXPECT_EQ(engine.Count(), 4);  // the two new sprites were not moved (they would have spawned more)
  engine.MoveTree(1);
  EXPECT_EQ(engine.Count(), 6);
}

TEST_F(EngineFixture, BoundsRoundHalfToEvenAndCullAgainstTheSurface) {
  auto* s = new TSprite(&engine);
  s->Width = 4;
  s->Height = 4;
  const struct {
    double x;
    int left;
  } cases[] = {{-0.5, 0}, {2.5, 2}, {3.5, 4}, {-1.5, -2}, {0.49, 0}};
  for (const auto& c : cases) {
    s->X = c.x;
    EXPECT_EQ(s->GetBounds().Left, c.left) << c.x;
  }
  auto* parent = new TSprite(&engine);
  parent->X = 10;
  parent->Y = 20;
  auto* child = new TSprite(parent);
  child->X = 1.5;
  child->Y = -3;
  EXPECT_DOUBLE_EQ(child->WorldX(), 11.5);
  EXPECT_EQ(child->Engine, &engine);

  // Culling: a sprite touching the surface only along an edge, or of size 0, is not drawn.
  const struct {
    double x, y;
    int size;
    bool drawn;
  } culls[] = {{-10, 0, 10, false}, {-9, 0, 10, true}, {100, 0, 10, false}, {99, 79, 10, true},
               {0, 80, 10, false}, {5, 5, 0, false}};
  for (const auto& c : culls) {
    auto* t = new TLogSprite(&engine, "t", log, c.size);
    t->X = c.x;
    t->Y = c.y;
    V got = Drawn();
    EXPECT_EQ(got.size(), c.drawn ? 1u : 0u) << c.x << "," << c.y;
    delete t;
  }
}

TEST_F(EngineFixture, SpriteAtIncludesEdgesAndPrefersHigherZThenCreationOrder) {
  auto* a = new TLogSprite(&engine, "A", log);  // (0,0)-(10,10)
  auto* b = new TLogSprite(&engine, "B", log);
  b->X = 5;
  b->Y = 5;  // (5,5)-(15,15)
  EXPECT_EQ(engine.SpriteAt(10, 10), a);  // equal Z: the first met in creation order
  EXPECT_EQ(engine.SpriteAt(15, 15), b);  // right and bottom edges belong to the sprite
  EXPECT_EQ(engine.SpriteAt(16, 15), nullptr);
  b->SetZ(1);
  EXPECT_EQ(engine.SpriteAt(10, 10), b);
  // A child is searched in its parent's coordinates; Z values of levels compare directly.
  auto* c = new TLogSprite(a, "C", log, 2);
  c->X = 8;
  c->Y = 8;
  c->SetZ(2);
  EXPECT_EQ(engine.SpriteAt(9, 9), c);
  a->Visible = false;
  EXPECT_EQ(engine.SpriteAt(2, 2), nullptr);
}

TEST_F(EngineFixture, DeadSpritesAreFreedOnceEvenWhenTheirParentGoesFirst) {
  auto* a = new TLogSprite(&engine, "A", log);
  a->MarkDead();
  a->MarkDead();
  auto* p = new TLogSprite(&engine, "P", log);
  auto* k = new TLogSprite(p, "K", log);
  k->MarkDead();
  EXPECT_EQ(engine.DeadList().size(), 2u);
  log.clear();
  delete p;  // frees K too, which leaves the dead list
  EXPECT_EQ(log, (V{"free P", "free K"}));
  log.clear();
  engine.FreeDead();
  EXPECT_EQ(log, (V{"free A"}));
  EXPECT_EQ(engine.Count(), 0);
  EXPECT_EQ(engine.Children(), nullptr);  // the child lists go with the last child

  TSprite orphan(nullptr);
  orphan.MarkDead();  // no engine: ignored
  EXPECT_FALSE(orphan.Dead);
  try {
    engine.Items(3);
    FAIL() << "no exception";
  } catch (const ESpriteError& e) {
    EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (3)");
  }
  new TSprite(&engine);
  EXPECT_THROW(engine.Items(1), EListError);
}

TEST(ImageSpriteTest, AnimationLoopsOrStopsAtItsEnds) {
  struct Case {
    bool looped;
    int count;
    double pos, speed;
    int moveCount;
    double wantPos, wantSpeed;
  };
  const Case cases[] = {
      {true, 4, 3.5, 1, 1, 0.5, 1},     // wraps into [0, count)
      {false, 4, 3.5, 1, 1, 3, 0},      // stops on the last frame
      {false, 4, 0.5, -1, 1, 0, 0},     // stops on the first frame going backwards
      {true, 4, 0.5, -1, 1, 3.5, -1},   // wraps backwards
      {true, 4, 1, 0.5, 20, 3, 0.5},    // several turns in one move
      {true, 0, 2, 1, 1, 0, 1},         // no frames: stays at 0
  };
  for (const Case& c : cases) {
    TImageSprite s(nullptr);
    s.AnimLooped = c.looped;
    s.AnimCount = c.count;
    s.AnimPos = c.pos;
    s.AnimSpeed = c.speed;
    s.MoveSelf(c.moveCount);
    EXPECT_DOUBLE_EQ(s.AnimPos, c.wantPos) << c.looped << " " << c.pos << " " << c.speed;
    EXPECT_DOUBLE_EQ(s.AnimSpeed, c.wantSpeed) << c.looped << " " << c.pos << " " << c.speed;
  }
  TImageSprite s(nullptr);
  s.AnimStart = 10;
  s.AnimPos = 0.5;
  EXPECT_EQ(s.DrawIndex(), 10);
  s.AnimPos = 1.5;
  EXPECT_EQ(s.DrawIndex(), 12);
}

// Three 4 x 4 patterns of solid colours 1, 2 and 3 side by side.
TPictureCollectionItem& MakeTiles(TPictureCollection& c) {
  TPictureCollectionItem& item = c.Add();
  item.SetName("tiles");
  item.Picture.Width = 12;
  item.Picture.Height = 4;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 12; ++x) item.Picture.Pixels.push_back(0x000008u * static_cast<std::uint32_t>(x / 4 + 1));
  item.PatternWidth = 4;
  item.Transparent = false;
  item.Restore();
  return item;
}

TEST_F(EngineFixture, ImageSpriteCentresItsPatternInItsBox) {
  TPictureCollection c;
  TPictureCollectionItem& tiles = MakeTiles(c);
  auto* s = new TImageSprite(&engine);
  s->SetPicture(&tiles);
  EXPECT_EQ(s->Width, 4);
  s->X = 2;
  s->Y = 3;
  s->Width = 9;  // box wider than the pattern: drawn (9 - 4) div 2 = 2 to the right
  s->AnimPos = 1;
  engine.Draw();
  EXPECT_EQ(surface.Row(3)[3], 0);
  EXPECT_EQ(surface.Row(3)[4], 2);
  EXPECT_EQ(surface.Row(6)[7], 2);
  s->SetPicture(nullptr);
  EXPECT_EQ(s->Width, 0);
}

TEST_F(EngineFixture, BackgroundDrawsItsMapAndSkipsCellsOffTheLeft) {
  TPictureCollection c;
  TPictureCollectionItem& tiles = MakeTiles(c);
  auto* bg = new TBackgroundSprite(&engine);
  bg->SetMapSize(30, 2);
  for (int col = 0; col < 30; ++col) {
    bg->SetChip(col, 0, col % 3);
    bg->SetChip(col, 1, col == 12 ? -1 : 2);
  }
  bg->SetChip(30, 0, 1);  // outside: ignored
  EXPECT_EQ(bg->GetChip(30, 0), -1);
  EXPECT_EQ(bg->GetChip(0, -1), -1);
  bg->SetMapPicture(&tiles);
  EXPECT_EQ(bg->Width, 120);
  EXPECT_EQ(bg->Height, 8);
  bg->X = -10;  // column 2 starts at x -2
  bg->Y = 1;
  engine.Draw();
  EXPECT_EQ(surface.Row(1)[0], 3);   // column 2, pattern 2
  EXPECT_EQ(surface.Row(1)[2], 1);   // column 3, pattern 0
  EXPECT_EQ(surface.Row(5)[38], 0);  // column 12 of row 1 is empty
  EXPECT_EQ(surface.Row(5)[37], 3);
  EXPECT_EQ(surface.Row(9)[0], 0);   // below the map

  bg->SetMapSize(30, 2);  // same size: the map is kept
  EXPECT_EQ(bg->GetChip(1, 0), 1);
  bg->SetMapSize(0, 5);
  EXPECT_EQ(bg->MapWidth(), 0);
  EXPECT_EQ(bg->MapHeight(), 0);
  surface.Fill(0);
  bg->Width = 100;  // even with a size, an empty map draws nothing
  engine.Draw();
  EXPECT_EQ(surface.Row(1)[0], 0);
}

TEST(BackgroundSpriteTest, ColumnOneOfThirtyTwoPixelTilesLandsAtMinusEightFromXMinusForty) {
  TPictureCollection c;
  TPictureCollectionItem& item = c.Add();
  item.Picture.Width = 64;
  item.Picture.Height = 32;
  for (int i = 0; i < 64 * 32; ++i) item.Picture.Pixels.push_back(i % 64 < 32 ? 0x0000F8u : 0xF80000u);
  item.PatternWidth = 32;
  item.Transparent = false;
  item.Restore();
  TDirectDrawSurface surface(64, 32);
  TSpriteEngine engine;
  engine.SetSurface(&surface);
  auto* bg = new TBackgroundSprite(&engine);
  bg->SetMapSize(3, 1);
  bg->SetChip(0, 0, 0);
  bg->SetChip(1, 0, 1);
  bg->SetChip(2, 0, 0);
  bg->SetMapPicture(&item);
  bg->X = -40;
  engine.Draw();
  EXPECT_EQ(surface.Row(0)[0], RGB565(255, 0, 0));   // column 1 covers x -8..23
  EXPECT_EQ(surface.Row(0)[23], RGB565(255, 0, 0));
  EXPECT_EQ(surface.Row(0)[24], RGB565(0, 0, 255));  // column 2 from x 24
}

// A 16 x 12 surface under a 6 x 5 map of 4 x 4 cells at (-2, -1), reaching 22 x 19: patterns 0
// and 1 are opaque, pattern 2 has one transparent (black) pixel. Each case changes one thing;
// whenever the engine says the surface is covered, drawing leaves no pixel of what was there.
TEST(BackgroundSpriteTest, CoversTheSurfaceOnlyWithOpaqueCellsFromEdgeToEdge) {
  TPictureCollection c;
  TPictureCollectionItem& item = c.Add();
  item.Picture.Width = 12;
  item.Picture.Height = 4;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 12; ++x) item.Picture.Pixels.push_back(x == 9 && y == 2 ? 0u : 0x000008u * static_cast<std::uint32_t>(x / 4 + 1));
  item.PatternWidth = 4;
  item.Restore();
  struct Case {
    const char* what;
    void (*change)(TBackgroundSprite&, TSpriteEngine&, TPictureCollectionItem&);
    bool covered;
    bool allDrawn = covered;  // every pixel overwritten, whether or not the engine can tell
  };
  const Case cases[] = {
      {"the whole map of opaque cells", [](TBackgroundSprite&, TSpriteEngine&, TPictureCollectionItem&) {}, true},
      {"a column left bare on the left", [](TBackgroundSprite& bg, TSpriteEngine&, TPictureCollectionItem&) { bg.X = 1; }, false},
      {"the map ending above the bottom", [](TBackgroundSprite& bg, TSpriteEngine&, TPictureCollectionItem&) { bg.Y = -9; }, false},
      {"an empty cell in view", [](TBackgroundSprite& bg, TSpriteEngine&, TPictureCollectionItem&) { bg.SetChip(2, 2, -1); }, false},
      {"a pattern that does not exist", [](TBackgroundSprite& bg, TSpriteEngine&, TPictureCollectionItem&) { bg.SetChip(2, 2, 7); }, false},
      {"a cell with a transparent pixel", [](TBackgroundSprite& bg, TSpriteEngine&, TPictureCollectionItem&) { bg.SetChip(3, 1, 2); }, false},
      {"that cell off the surface", [](TBackgroundSprite& bg, TSpriteEngine&, TPictureCollectionItem&) { bg.SetChip(5, 1, 2); }, true},
      {"that cell drawn whole, the picture not keyed",
       [](TBackgroundSprite& bg, TSpriteEngine&, TPictureCollectionItem& pic) { bg.SetChip(3, 1, 2); pic.Transparent = false; }, true},
      {"the map hidden", [](TBackgroundSprite& bg, TSpriteEngine&, TPictureCollectionItem&) { bg.Visible = false; }, false},
      {"a sprite drawn before the map",
       [](TBackgroundSprite& bg, TSpriteEngine& engine, TPictureCollectionItem&) {
         auto* under = new TSprite(&engine);
         under->Width = under->Height = 4;
         bg.SetZ(1);
       }, false, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    item.Transparent = true;
    TDirectDrawSurface surface(16, 12);
    TSpriteEngine engine;
    engine.SetSurface(&surface);
    auto* bg = new TBackgroundSprite(&engine);
    bg->SetMapSize(6, 5);
    for (int row = 0; row < 5; ++row)
      for (int col = 0; col < 6; ++col) bg->SetChip(col, row, (col + row) % 2);
    bg->SetMapPicture(&item);
    bg->X = -2;
    bg->Y = -1;
    k.change(*bg, engine, item);
    EXPECT_EQ(engine.SurfaceCovered(), k.covered);
    surface.Fill(0xABCD);
    engine.Draw();
    int left = 0;
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x) left += surface.Row(y)[x] == 0xABCD;
    EXPECT_EQ(left == 0, k.allDrawn) << left << " pixels not drawn";
  }
}

}  // namespace
}  // namespace kestrune
