#include <gtest/gtest.h>

#include "framework/Errors.h"
#include "framework/PictureCollection.h"
#include "game/MyImageSprite.h"

namespace kestrune {
namespace {

// A world with a 40 x 30 surface, library 1 holding "Boom" (4 patterns of 5 x 3, each a solid
// colour 1..4 in blue) and library 2 holding "Odd" (one 7 x 4 pattern).
struct WorldFixture : ::testing::Test {
  WorldFixture() {
    engine.SetSurface(&surface);
    AddSolid(lib1, "Boom", 20, 3, 5);
    AddSolid(lib2, "Odd", 7, 4, 0);
    lib1.Restore();
    lib2.Restore();
    GameSpriteWorld() = {&engine, &lib1, &lib2, &frameTimeMs};
  }
  ~WorldFixture() override {
    engine.Clear();
    GameSpriteWorld() = {};
  }
  static void AddSolid(TPictureCollection& lib, const std::string& name, int w, int h, int pw) {
    TPictureCollectionItem& item = lib.Add();
    item.SetName(name);
    item.Picture.Width = w;
    item.Picture.Height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) item.Picture.Pixels.push_back(static_cast<std::uint32_t>(8 * (pw ? x / pw + 1 : 1)));
    item.PatternWidth = pw;
    item.Transparent = false;
  }

  std::int32_t frameTimeMs = 10;
  TPictureCollection lib1, lib2;
  TDirectDrawSurface surface{40, 30};
  TSpriteEngine engine;
};

TEST_F(WorldFixture, CreatesUnderTheRootWithPicturesByName) {
  auto* s = TMyImageSprite::CreateAt(1, "boom", 3.5, 4, 7);
  EXPECT_EQ(s->Parent, &engine);
  EXPECT_EQ(s->Width, 5);
  EXPECT_EQ(s->Height, 3);
  EXPECT_EQ(s->AnimCount, 4);
  EXPECT_TRUE(s->AnimLooped);
  EXPECT_EQ(s->Z(), 7);
  EXPECT_DOUBLE_EQ(s->X, 3.5);

  auto* c = TMyImageSprite::CreateCentred(2, "Odd", 10, 10, 0);
  EXPECT_DOUBLE_EQ(c->X, 6.5);  // odd width: a half pixel
  EXPECT_DOUBLE_EQ(c->Y, 8);
  c->SetPictureCentred("Odd", 20, 20);
  EXPECT_DOUBLE_EQ(c->X, 16.5);

  EXPECT_THROW(TMyImageSprite::CreateAt(1, "Odd", 0, 0, 0), EPictureCollectionError);  // library 2's picture
  auto* none = new TMyImageSprite(3);  // no such library: lookups do nothing
  none->SetPictureByName("Boom");
  EXPECT_EQ(none->Picture, nullptr);
}

TEST_F(WorldFixture, DieAtAnimEndKillsOnTheWrapAndOnlyOnce) {
  auto* s = TMyImageSprite::CreateAt(1, "Boom", 0, 0, 0);
  s->AnimRate = 100;
  s->DieAtAnimEnd = true;
  // One move per 10 ms frame: the speed set on the first move makes one pattern per frame.
  std::vector<double> positions;
  for (int frame = 0; frame < 5; ++frame) {
    s->MoveSelf(10);
    positions.push_back(s->AnimPos);
    EXPECT_EQ(s->KillMarked, frame == 4) << frame;
  }
  EXPECT_EQ(positions, (std::vector<double>{0, 1, 2, 3, 0}));
  for (int frame = 0; frame < 8; ++frame) s->MoveSelf(10);  // wraps again before the engine frees it
  EXPECT_EQ(engine.DeadList().size(), 1u);
  engine.FreeDead();
  EXPECT_EQ(engine.Count(), 0);
}

TEST_F(WorldFixture, AnimationStepsFollowTheOrderOfTheMove) {
  auto* s = TMyImageSprite::CreateAt(1, "Boom", 1.9, 2, 0);
  // AnimRate 0: the owner's speed stays.
  s->AnimSpeed = 0.25;
  s->MoveSelf(2);
  EXPECT_DOUBLE_EQ(s->AnimSpeed, 0.25);
  EXPECT_DOUBLE_EQ(s->PrevAnimPos, 0);
  EXPECT_DOUBLE_EQ(s->AnimPos, 0.5);
  EXPECT_EQ(s->CentreX, 4);  // Trunc(1.9 + 2.5)
  EXPECT_EQ(s->CentreY, 3);
  // A position past AnimCount - 0.5 restarts at once: 3 + 0.6 = 3.6 > 3.5.
  s->AnimPos = 3;
  s->AnimSpeed = 0.6;
  s->HideAtAnimEnd = true;
  s->MoveSelf(1);
  EXPECT_DOUBLE_EQ(s->AnimPos, 0);
  EXPECT_FALSE(s->Visible);  // it wrapped: hidden, not killed
  EXPECT_FALSE(s->KillMarked);

  s->StartAnimation("Boom", 15);
  EXPECT_EQ(s->AnimRate, 15);
  s->MoveSelf(10);
  EXPECT_DOUBLE_EQ(s->AnimSpeed, 0.1 * 15 / 100.0);
}

TEST_F(WorldFixture, AlphaDrawingUsesTheTruncatedPositionAndPattern) {
  auto* s = TMyImageSprite::CreateAt(1, "Boom", 2.7, 3.2, 0);
  s->AnimPos = 2.9;  // alpha drawing takes pattern 2, plain drawing would round to 3
  s->AlphaDraw = true;
  s->Alpha = 255;  // 255: plain drawing of pattern DrawIndex
  engine.Draw();
  EXPECT_EQ(surface.Row(3)[3], RGB565(0, 0, 32));
  surface.Fill(0);
  s->Alpha = 254;  // blended over black into (2, 3)-(7, 6)
  engine.Draw();
  EXPECT_EQ(surface.Row(3)[2], RGB565(0, 0, (24 * 254) >> 8));
  EXPECT_EQ(surface.Row(5)[6], RGB565(0, 0, (24 * 254) >> 8));
  EXPECT_EQ(surface.Row(3)[7], 0);
  surface.Fill(0);
  s->Alpha = -20;  // a fade that overshot: nothing is drawn
  engine.Draw();
  EXPECT_EQ(surface.Row(3)[3], 0);
}

}  // namespace
}  // namespace kestrune
