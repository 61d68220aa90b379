// The generated library 2 (Res2.dxg): every picture the race draws is there once, with the
// pattern grid, size and transparency the game relies on.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

#include "framework/ArchiveIO.h"

namespace kestrune {
namespace {

const PictureArchive& Library2() {
  static const PictureArchive archive = ReadPictureArchive(KESTRUNE_BUILD_DIR "/Data/Res/Res2.dxg");
  return archive;
}

struct Expected {
  const char* name;
  int patterns, width, height;
  bool keyed;
};

// Pattern counts and sizes follow from how the game draws each picture: map cells are 72 px,
// car pictures are twice the wreck half sizes, traffic has one pattern per direction state,
// the energy gauge one per hits-left value, and so on.
constexpr Expected kExpected[] = {
    {"Tiles", 64, 72, 72, false},
    {"Car1", 1, 64, 156, true}, {"Car2", 1, 62, 148, true}, {"Car3", 1, 82, 156, true},
    {"Car4", 1, 62, 134, true}, {"Car5", 1, 68, 154, true}, {"Car6", 1, 64, 144, true},
    {"Car7", 6, 98, 134, true}, {"Car8", 6, 120, 170, true}, {"Car9", 6, 34, 58, true},
    {"Car10", 6, 92, 152, true}, {"Car11", 6, 168, 240, true},
    {"ExplosionBig", 14, 64, 64, true}, {"Explosion", 8, 64, 64, true},
    {"NitroAnim", 4, 16, 51, true}, {"EngineFire", 4, 18, 44, true},
    {"GunAnim_1", 1, 112, 114, true}, {"GunAnim_2", 1, 112, 114, true}, {"GunAnim_3", 1, 112, 114, true},
    {"GunAnim_4", 1, 112, 114, true}, {"GunAnim_5", 1, 112, 114, true}, {"GunAnim_6", 1, 112, 114, true},
    {"RocketAnim_1", 1, 112, 114, true}, {"RocketAnim_2", 1, 112, 114, true},
    {"RocketAnim_3", 1, 112, 114, true}, {"RocketAnim_4", 1, 112, 114, true},
    {"RocketAnim_5", 1, 112, 114, true}, {"RocketAnim_6", 1, 112, 114, true},
    {"GunShooting", 1, 112, 147, true}, {"Rocket", 1, 12, 20, true},
    {"Handbrake", 1, 10, 14, true}, {"Blood", 1, 10, 14, true},
    {"Man_Up", 4, 23, 23, true}, {"Man_Down", 4, 23, 23, true}, {"Man_Left", 4, 23, 23, true},
    {"Man_Right", 4, 23, 23, true}, {"Man_Laying", 1, 43, 43, true},
    {"Girl_Up", 4, 23, 23, true}, {"Girl_Down", 4, 23, 23, true}, {"Girl_Left", 4, 23, 23, true},
    {"Girl_Right", 4, 23, 23, true}, {"Girl_Laying", 1, 43, 43, true},
    {"Lamp_L", 1, 85, 20, true}, {"Lamp_R", 1, 85, 20, true}, {"Lamp_RL", 1, 76, 44, true},
    {"Lamp_RR", 1, 76, 44, true}, {"Lamp_LR", 1, 76, 44, true}, {"Lamp_LL", 1, 76, 44, true},
    {"Bonus10", 1, 35, 34, true}, {"Bonus20", 1, 35, 34, true}, {"Bonus50", 1, 35, 34, true},
    {"Bonus100", 1, 35, 34, true}, {"BonusL", 1, 35, 34, true}, {"BonusN", 1, 35, 34, true},
    {"BonusMGnp", 1, 35, 34, true}, {"BonusRnp", 1, 35, 34, true},
    {"FinishLine", 1, 72, 24, false},
    {"Panel", 1, 190, 600, false}, {"Pointer", 1, 64, 8, true}, {"SmallCar", 1, 16, 24, true},
    {"Energy", 4, 66, 20, true}, {"BonusNitro", 1, 100, 42, true}, {"BonusM", 1, 100, 42, true},
    {"BonusR", 1, 100, 42, true},
};

constexpr std::uint32_t kKey = 0xFF00FF;

// The display keys pictures after reducing them to 16 bits, so an opaque pixel in the key's
// RGB565 bucket would turn see-through.
bool InKeyBucket(std::uint32_t rgb) {
  return ((rgb >> 19) & 0x1F) == 0x1F && ((rgb >> 10) & 0x3F) == 0 && ((rgb >> 3) & 0x1F) == 0x1F;
}

TEST(Library2Pictures, EveryNameOnceWithItsPatternGridSizeAndTransparency) {
  std::map<std::string, int> seen;
  for (const auto& item : Library2().Items) ++seen[item.Name];
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.name);
    ASSERT_EQ(seen[e.name], 1);
    const PictureItemRecord& item =
        *std::find_if(Library2().Items.begin(), Library2().Items.end(),
                      [&](const PictureItemRecord& i) { return i.Name == e.name; });
    EXPECT_EQ(item.PictureKind, "TDIB");
    EXPECT_EQ(item.PatternWidth, e.width);
    EXPECT_EQ(item.PatternHeight, e.height);
    EXPECT_EQ(item.SkipWidth, 0);
    EXPECT_EQ(item.SkipHeight, 0);
    ASSERT_GT(item.Picture.Width, 0);
    EXPECT_EQ(item.Picture.Width % e.width, 0);
    EXPECT_EQ(item.Picture.Height % e.height, 0);
    EXPECT_EQ((item.Picture.Width / e.width) * (item.Picture.Height / e.height), e.patterns);
    EXPECT_EQ(item.Transparent, e.keyed);
    if (e.keyed) {
      EXPECT_EQ(item.TransparentColor, kKey);
    }
  }
  EXPECT_EQ(Library2().Items.size(), std::size(kExpected)) << "a picture the race does not use";
}

TEST(Library2Pictures, KeyedPatternsShowSomethingAndNoOpaquePixelTurnsSeeThrough) {
  for (const auto& item : Library2().Items) {
    SCOPED_TRACE(item.Name);
    const TPictureData& p = item.Picture;
    const int pw = item.PatternWidth, ph = item.PatternHeight;
    for (int py = 0; py + ph <= p.Height; py += ph)
      for (int px = 0; px + pw <= p.Width; px += pw) {
        int opaque = 0, bucket = 0;
        for (int y = py; y < py + ph; ++y)
          for (int x = px; x < px + pw; ++x) {
            const std::uint32_t c = p.At(x, y) & 0xFFFFFF;
            if (item.Transparent && c == kKey) continue;
            ++opaque;
            bucket += InKeyBucket(c);
          }
        EXPECT_GT(opaque, 0) << "empty pattern at " << px << "," << py;
        EXPECT_EQ(bucket, 0) << "pattern at " << px << "," << py;
      }
  }
}

TEST(PictureGenerator, TwoRunsWriteIdenticalArchives) {
  const std::string tool = KESTRUNE_BUILD_DIR "/assets/pictures/kestrune-pictures";
  // Fresh directories of our own: other builds on the machine may run this test at the same time.
  std::string a = testing::TempDir() + "pictures-XXXXXX", b = a;
  for (std::string* dir : {&a, &b}) {
    ASSERT_NE(mkdtemp(dir->data()), nullptr);
    ASSERT_EQ(std::system(("'" + tool + "' '" + *dir + "'").c_str()), 0);
  }
  for (const char* file : {"/Res1.dxg", "/Res2.dxg"}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(std::system(("cmp -s '" + a + file + "' '" + b + file + "'").c_str()), 0);
    EXPECT_EQ(std::system(("cmp -s '" + a + file + "' '" KESTRUNE_BUILD_DIR "/Data/Res" + file + "'").c_str()),
              0);
  }
  EXPECT_EQ(std::system(("rm -rf '" + a + "' '" + b + "'").c_str()), 0);
}

}  // namespace
}  // namespace kestrune
