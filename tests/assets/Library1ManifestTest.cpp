// The generated library 1 (menus, screens and dialogs) against the list of pictures the game
// names: every picture present once with its pattern layout and transparency, plus the
// transparent regions that the screens' hit boxes and overlapping buttons rely on.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "framework/ArchiveIO.h"

namespace kestrune {
namespace {

constexpr std::uint32_t kKey = 0xFF00FF;

struct Expected {
  const char* name;
  int patterns, width, height;
  bool keyed;
};

// Pattern counts and sizes the screens depend on; two-look buttons have exactly two patterns
// (0 highlight, 1 normal).
const Expected kLibrary1[] = {
    {"Screen1", 1, 800, 600, false},       {"MMBG", 1, 800, 600, false},
    {"Continue1", 2, 292, 64, true},       {"FreeDownload", 2, 152, 40, true},
    {"190x20", 2, 190, 20, true},          {"282x20", 2, 282, 20, true},
    {"MM_1_0", 1, 232, 100, true},         {"MM_2_0", 1, 154, 100, true},
    {"MM_3_0", 1, 342, 100, true},         {"MM_4_0", 1, 232, 100, true},
    {"MM_5_0", 1, 232, 100, true},         {"MM_6_0", 1, 236, 100, true},
    {"MM_1_A", 1, 232, 100, true},         {"MM_2_A", 1, 154, 100, true},
    {"MM_3_A", 1, 342, 100, true},         {"MM_4_A", 1, 232, 100, true},
    {"MM_5_A", 1, 232, 100, true},         {"MM_6_A", 1, 236, 100, true},
    {"MM_1_I", 1, 232, 100, true},         {"MM_2_I", 1, 154, 100, true},
    {"MM_3_I", 1, 342, 100, true},         {"MM_4_I", 1, 232, 100, true},
    {"MM_5_I", 1, 232, 100, true},         {"MM_6_I", 1, 236, 100, true},
    {"SG_Bk", 1, 404, 250, true},          {"SG_Car1", 1, 338, 202, true},
    {"SG_Car2", 1, 338, 202, true},        {"SG_Car3", 1, 338, 202, true},
    {"SG_Car4", 1, 338, 202, true},        {"SG_Car5", 1, 338, 202, true},
    {"SG_Car6", 1, 338, 202, true},        {"SG_Left", 2, 34, 60, true},
    {"SG_Right", 2, 34, 60, true},         {"SG_Start", 2, 168, 50, true},
    {"SG_Back", 2, 168, 50, true},         {"CountryEditBg", 1, 420, 58, true},
    {"Null", 1, 1, 1, true},               {"Opt_1", 1, 545, 64, true},
    {"Opt_2", 1, 282, 62, true},           {"Opt_3", 1, 282, 62, true},
    {"Opt_4", 1, 681, 84, true},           {"Opt_Bk", 2, 110, 50, true},
    {"OptFullScreen", 1, 545, 50, true},   {"OptWindow", 1, 545, 50, true},
    {"OptMusicOn", 1, 282, 50, true},      {"OptMusicOff", 1, 282, 50, true},
    {"OptSoundOn", 1, 285, 50, true},      {"OptSoundOff", 1, 285, 50, true},
    {"Cursor", 1, 16, 4, true},            {"HSCaption", 1, 398, 92, true},
    {"HSTable", 1, 516, 396, true},        {"HS_Clear", 2, 250, 60, true},
    {"HS_Back", 2, 200, 60, true},         {"Help_Prev", 2, 70, 70, true},
    {"Help_Next", 2, 70, 70, true},        {"HelpLogo", 1, 80, 80, true},
    {"Window", 1, 424, 126, true},         {"Win_EG", 1, 210, 44, true},
    {"Win_ExitToMenu", 1, 248, 44, true},  {"Win_ClearHS", 1, 264, 56, true},
    {"Yes", 2, 177, 56, true},             {"No", 2, 177, 56, true},
    {"SendTable", 1, 442, 292, true},      {"Cursor2", 1, 16, 4, true},
};

class Library1 : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    archive_ = new PictureArchive(ReadPictureArchive(KESTRUNE_BUILD_DIR "/Data/Res/Res1.dxg"));
  }
  static void TearDownTestSuite() {
    delete archive_;
    archive_ = nullptr;
  }
  static const PictureItemRecord& Item(const std::string& name) {
    for (const auto& item : archive_->Items)
      if (item.Name == name) return item;
    throw std::runtime_error("no picture " + name);
  }
  // Pixel (x, y) of pattern `pattern` (patterns run row by row across the picture).
  static std::uint32_t At(const PictureItemRecord& item, int pattern, int x, int y) {
    const int columns = item.Picture.Width / item.PatternWidth;
    return item.Picture.At(pattern % columns * item.PatternWidth + x, pattern / columns * item.PatternHeight + y);
  }
  static bool RectIsKey(const PictureItemRecord& item, int pattern, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (At(item, pattern, x, y) != kKey) return false;
    return true;
  }
  static PictureArchive* archive_;
};

PictureArchive* Library1::archive_ = nullptr;

TEST_F(Library1, HoldsEveryPictureOnceWithItsPatternsAndTransparency) {
  std::map<std::string, int> count;
  for (const auto& item : archive_->Items) ++count[item.Name];
  EXPECT_EQ(archive_->Items.size(), std::size(kLibrary1));
  for (const Expected& e : kLibrary1) {
    SCOPED_TRACE(e.name);
    ASSERT_EQ(count[e.name], 1);
    const PictureItemRecord& item = Item(e.name);
    EXPECT_EQ(item.PictureKind, "TDIB");
    EXPECT_EQ(item.PatternWidth, e.width);
    EXPECT_EQ(item.PatternHeight, e.height);
    ASSERT_EQ(item.Picture.Width % e.width, 0);
    ASSERT_EQ(item.Picture.Height % e.height, 0);
    EXPECT_EQ((item.Picture.Width / e.width) * (item.Picture.Height / e.height), e.patterns);
    EXPECT_EQ(item.SkipWidth, 0);
    EXPECT_EQ(item.SkipHeight, 0);
    EXPECT_FALSE(item.SystemMemory);
    EXPECT_EQ(item.Transparent, e.keyed);
    if (e.keyed) {
      EXPECT_EQ(item.TransparentColor, kKey);
    }
  }
}

// The display keys after reducing to 16 bits, so any colour in the key's bucket would turn
// see-through; and a keyed picture must still show something.
TEST_F(Library1, OpaquePixelsStayOutOfTheKeyBucket) {
  for (const auto& item : archive_->Items) {
    SCOPED_TRACE(item.Name);
    int stray = 0, visible = 0;
    for (std::uint32_t p : item.Picture.Pixels) {
      const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      if (p != kKey && r >= 248 && b >= 248 && g < 8) ++stray;
      if (p != kKey) ++visible;
    }
    EXPECT_EQ(stray, 0);
    if (item.Name != "Null") {
      EXPECT_GT(visible, 0);
    }
  }
}

TEST_F(Library1, SeeThroughRegionsTheScreensRelyOn) {
  // Link areas are invisible until hovered; the options rows' normal look is empty.
  EXPECT_TRUE(RectIsKey(Item("190x20"), 1, 0, 0, 190, 20));
  EXPECT_TRUE(RectIsKey(Item("282x20"), 1, 0, 0, 282, 20));
  EXPECT_FALSE(RectIsKey(Item("190x20"), 0, 0, 0, 190, 20));
  EXPECT_TRUE(RectIsKey(Item("Null"), 0, 0, 0, 1, 1));
  for (int pattern : {0, 1}) {
    // Yes and No overlap by 28 columns, which show neither.
    EXPECT_TRUE(RectIsKey(Item("Yes"), pattern, 149, 0, 177, 56));
    EXPECT_TRUE(RectIsKey(Item("No"), pattern, 0, 0, 28, 56));
    // The country row's hit box covers the Back button's top 8 rows.
    EXPECT_TRUE(RectIsKey(Item("Opt_Bk"), pattern, 0, 0, 110, 8));
  }
  // Row highlights frame their value pictures without covering them.
  EXPECT_TRUE(RectIsKey(Item("Opt_1"), 0, 12, 8, 533, 56));
  EXPECT_TRUE(RectIsKey(Item("Opt_2"), 0, 12, 8, 270, 54));
  EXPECT_TRUE(RectIsKey(Item("Opt_3"), 0, 12, 8, 270, 54));
  // Opt_4 must leave "Your country:" (from x 116, row 447) and the edit box (243..663 x 6..64).
  EXPECT_TRUE(RectIsKey(Item("Opt_4"), 0, 3, 9, 669, 73));
  // The text cursors are solid.
  EXPECT_FALSE(RectIsKey(Item("Cursor"), 0, 0, 0, 1, 1));
  EXPECT_FALSE(RectIsKey(Item("Cursor2"), 0, 15, 3, 16, 4));
}

TEST_F(Library1, ButtonLooksDifferAndMenuNormalLooksMatch) {
  for (const char* name : {"Continue1", "FreeDownload", "SG_Left", "SG_Right", "SG_Start", "SG_Back", "Opt_Bk",
                           "HS_Clear", "HS_Back", "Help_Prev", "Help_Next", "Yes", "No"}) {
    SCOPED_TRACE(name);
    const PictureItemRecord& item = Item(name);
    int differing = 0;
    for (int y = 0; y < item.PatternHeight; ++y)
      for (int x = 0; x < item.PatternWidth; ++x) differing += At(item, 0, x, y) != At(item, 1, x, y);
    EXPECT_GT(differing, item.PatternWidth * item.PatternHeight / 10);
  }
  for (int n = 1; n <= 6; ++n) {
    const std::string stem = "MM_" + std::to_string(n);
    EXPECT_EQ(Item(stem + "_0").Picture.Pixels, Item(stem + "_I").Picture.Pixels) << stem;
    EXPECT_NE(Item(stem + "_0").Picture.Pixels, Item(stem + "_A").Picture.Pixels) << stem;
  }
}

}  // namespace
}  // namespace kestrune
