#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "ContactSheet.h"
#include "Manifest.h"
#include "PackError.h"
#include "framework/ArchiveIO.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

class PackTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrune-pack-test-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the tool; returns its exit status and keeps its standard error.
  int Run(const std::string& arguments) {
    const std::string command = std::string(KESTRUNE_BUILD_DIR) + "/kestrune-pack " + arguments + " >" +
                                (dir_ / "stdout").string() + " 2>" + (dir_ / "stderr").string();
    const int status = std::system(command.c_str());
    stdout_ = Slurp(dir_ / "stdout");
    stderr_ = Slurp(dir_ / "stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  std::map<std::string, std::string> Files(const std::string& sub) const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir_ / sub))
      files[e.path().filename().string()] = Slurp(e.path());
    return files;
  }

  fs::path dir_;
  std::string stdout_, stderr_;
};

PictureArchive SamplePictures() {
  PictureArchive a;
  a.ColorTable.resize(1024);
  for (std::size_t i = 0; i < 1024; ++i) a.ColorTable[i] = static_cast<std::uint8_t>(i * 3);
  PictureItemRecord tiles;
  tiles.Name = "Road tiles\n#2\\";  // needs escaping in the manifest
  tiles.Picture.Width = 7;
  tiles.Picture.Height = 3;
  for (int i = 0; i < 21; ++i) tiles.Picture.Pixels.push_back(static_cast<std::uint32_t>(i * 0x0A0B0C));
  tiles.PatternWidth = 3;
  tiles.PatternHeight = 3;
  tiles.SkipWidth = 1;
  tiles.TransparentColor = 0x1FFFFFFF;  // clNone: not a plain colour
  PictureItemRecord bitmap = tiles;
  bitmap.Name = "Bitmap";
  bitmap.PictureKind = "TBitmap";
  bitmap.Transparent = false;
  bitmap.SystemMemory = true;
  bitmap.TransparentColor = 0xFF00FF;
  PictureItemRecord icon;
  icon.Name = "Icon";
  icon.PictureKind = "TIcon";
  a.Items = {tiles, bitmap, icon};
  return a;
}

WaveArchive SampleWaves() {
  WaveArchive a;
  WaveItemRecord horn;
  horn.Name = "Horn";
  horn.HasWave = true;
  horn.Looped = true;
  horn.MaxPlayingCount = 3;
  horn.Format.Extra = {0, 0};
  horn.Data = {1, 2, 3};
  WaveItemRecord none;
  none.Name = "None";
  a.Items = {horn, none};
  return a;
}

TEST_F(PackTool, ExtractBuildExtractGivesIdenticalFiles) {
  WritePictureArchive(Path("a.dxg"), SamplePictures());
  WriteWaveArchive(Path("a.dxw"), SampleWaves());
  for (const std::string kind : {"dxg", "dxw"}) {
    SCOPED_TRACE(kind);
    ASSERT_EQ(Run("extract " + Path("a." + kind) + " " + Path(kind + "1")), 0) << stderr_;
    ASSERT_EQ(Run("build " + Path(kind + "1/manifest.txt") + " " + Path("b." + kind)), 0) << stderr_;
    ASSERT_EQ(Run("extract " + Path("b." + kind) + " " + Path(kind + "2")), 0) << stderr_;
    EXPECT_EQ(Files(kind + "1"), Files(kind + "2"));
    // The rebuilt archive holds the same items.
    ASSERT_EQ(Run("list " + Path("a." + kind)), 0);
    const std::string before = stdout_;
    ASSERT_EQ(Run("list " + Path("b." + kind)), 0);
    EXPECT_EQ(stdout_, before);
  }
  // Empty pictures and waveless items get no file.
  EXPECT_EQ(Files("dxg1").size(), 3u);  // two PNGs and the manifest
  EXPECT_EQ(Files("dxw1").size(), 2u);

  const PictureArchive rebuilt = ReadPictureArchive(Path("b.dxg"));
  const PictureArchive original = SamplePictures();
  ASSERT_EQ(rebuilt.Items.size(), 3u);
  EXPECT_EQ(rebuilt.ColorTable, original.ColorTable);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(rebuilt.Items[i].Name, original.Items[i].Name);
    EXPECT_EQ(rebuilt.Items[i].PictureKind, original.Items[i].PictureKind);
    EXPECT_EQ(rebuilt.Items[i].Picture.Pixels, original.Items[i].Picture.Pixels);
    EXPECT_EQ(rebuilt.Items[i].TransparentColor, original.Items[i].TransparentColor);
  }
  const WaveArchive waves = ReadWaveArchive(Path("b.dxw"));
  EXPECT_EQ(waves.Items[0].Data, SampleWaves().Items[0].Data);
  EXPECT_EQ(waves.Items[0].MaxPlayingCount, 3);
  EXPECT_FALSE(waves.Items[1].HasWave);
}

TEST_F(PackTool, ListShowsItemProperties) {
  WritePictureArchive(Path("a.dxg"), SamplePictures());
  ASSERT_EQ(Run("list " + Path("a.dxg")), 0);
  EXPECT_NE(
      stdout_.find(
          "1 \"Bitmap\" TBitmap 7x3 pattern 3x3 count 2 skip 1x0 transparent no #FF00FF systemmemory yes"),
      std::string::npos)
      << stdout_;
  WriteWaveArchive(Path("a.dxw"), SampleWaves());
  ASSERT_EQ(Run("list " + Path("a.dxw")), 0);
  EXPECT_EQ(stdout_,
            "0 \"Horn\" 1ch 22050Hz 16bit data 3 looped yes maxplayingcount 3\n"
            "1 \"None\" no wave looped no maxplayingcount 0\n");
}

TEST_F(PackTool, BadInputAndUsageExitStatus) {
  std::ofstream(Path("junk.dxg")) << "not an archive";
  std::ofstream(Path("bad.txt")) << "kestrune-pack manifest 1\narchive pictures\nitem\npattern 3\n";
  struct Case {
    std::string arguments;
    int status;
    std::string message;  // expected in standard error
  };
  const std::vector<Case> cases = {
      {"", 2, "no command"},
      {"frobnicate", 2, "unknown command"},
      {"list", 2, "list takes ARCHIVE"},
      {"sheet a b --scale 9", 2, "--scale must be 1 to 8"},
      {"list " + Path("missing.dxg"), 1,
       "Cannot open file \"" + Path("missing.dxg") + "\". No such file or directory"},
      {"list " + Path("junk.dxg"), 1, Path("junk.dxg") + ": Invalid stream format\n"},
      {"build " + Path("bad.txt") + " " + Path("out.dxg"), 1,
       Path("bad.txt") + ":4: pattern needs WIDTH HEIGHT\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    EXPECT_EQ(Run(c.arguments), c.status);
    EXPECT_NE(stderr_.find(c.message), std::string::npos) << stderr_;
    if (c.status == 1) {
      EXPECT_EQ(std::count(stderr_.begin(), stderr_.end(), '\n'), 1) << stderr_;
    }
  }
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(stdout_.find("extract ARCHIVE DIR"), std::string::npos);
}

// Outputs are written whole or not at all: a failed write keeps the old file, a failed extract
// removes what it wrote, and output that cannot be written is an error with a message.
TEST_F(PackTool, FailedWritesLeaveNoPartialOutput) {
  WritePictureArchive(Path("a.dxg"), SamplePictures());
  ASSERT_EQ(Run("extract " + Path("a.dxg") + " " + Path("x")), 0) << stderr_;
  const std::string oldArchive = Slurp(Path("a.dxg"));

  // A folder in the output's place is not replaced.
  fs::create_directory(Path("out.dxg"));
  EXPECT_EQ(Run("build " + Path("x/manifest.txt") + " " + Path("out.dxg")), 1);
  EXPECT_NE(stderr_.find("Cannot create file"), std::string::npos) << stderr_;
  EXPECT_TRUE(fs::is_directory(Path("out.dxg")));

  // An extract whose manifest cannot be written removes the pictures it wrote before.
  fs::create_directories(dir_ / "y" / "manifest.txt");
  EXPECT_EQ(Run("extract " + Path("a.dxg") + " " + Path("y")), 1);
  EXPECT_NE(stderr_.find("2 files already written were removed"), std::string::npos) << stderr_;
  EXPECT_EQ(Files("y").size(), 1u);  // only the folder that was in the way

  // Standard output that cannot take the listing.
  if (fs::exists("/dev/full")) {
    const std::string command = std::string(KESTRUNE_BUILD_DIR) + "/kestrune-pack list " + Path("a.dxg") +
                                " >/dev/full 2>" + Path("stderr");
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(Slurp(Path("stderr")).find("cannot write the output"), std::string::npos);
  }
  EXPECT_EQ(Slurp(Path("a.dxg")), oldArchive);
}

TEST_F(PackTool, AlphaInPngBecomesTheTransparentColour) {
  // A 2 x 1 RGBA PNG: one opaque red pixel, one fully transparent one.
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = 2;
  image.height = 1;
  image.format = PNG_FORMAT_RGBA;
  const png_byte rgba[] = {255, 0, 0, 255, 9, 9, 9, 0};
  ASSERT_TRUE(png_image_write_to_file(&image, Path("sprite.png").c_str(), 0, rgba, 0, nullptr));
  std::ofstream(Path("manifest.txt")) << "kestrune-pack manifest 1\n# comment\narchive pictures\n\nitem\n"
                                         "name Sprite\nfile sprite.png\ntransparentcolor clLime\n";
  ASSERT_EQ(Run("build " + Path("manifest.txt") + " " + Path("out.dxg")), 0) << stderr_;
  const PictureArchive a = ReadPictureArchive(Path("out.dxg"));
  ASSERT_EQ(a.Items.size(), 1u);
  EXPECT_EQ(a.Items[0].TransparentColor, 0x00FF00u);
  EXPECT_EQ(a.Items[0].Picture.Pixels, (std::vector<std::uint32_t>{0xFF0000, 0x00FF00}));
}

// The tool builds no archive the game would refuse: past the pixel budget of an archive's
// pictures, or the budgets of the patterns they are cut into, it stops naming the picture and the
// budget. An archive right at a budget is built, and reads back.
TEST_F(PackTool, BuildsNoArchiveOverTheReadersBudgets) {
  auto grey = [&](const std::string& name, int width, int height) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_GRAY;
    const std::vector<png_byte> pixels(static_cast<std::size_t>(width) * height, 0);
    ASSERT_TRUE(png_image_write_to_file(&image, Path(name).c_str(), 0, pixels.data(), 0, nullptr));
  };
  grey("huge.png", 4096, 4096);  // 16 M pixels: four fill the budget
  grey("square.png", 512, 512);  // in 1 x 1 patterns: 262144, all the budget allows
  grey("dot.png", 1, 1);
  grey("wide.png", 16383, 2);  // 4096-pixel patterns a pixel apart: 50 M pixels a row
  auto item = [](const std::string& name, const std::string& file, const std::string& more = "") {
    return "\nitem\nname " + name + "\nfile " + file + "\n" + more;
  };
  struct Case {
    std::string name, items;
    std::string refused;  // in the message; empty when the archive is built
  };
  const std::vector<Case> cases = {
      {"pixels", item("A", "huge.png") + item("B", "huge.png") + item("C", "huge.png") + item("D", "huge.png") +
                     item("E", "dot.png"),
       "manifest.txt:20: picture \"E\" (1 x 1) takes the archive past its pixel budget: at most 67108864 pixels"},
      {"pattern count at the budget", item("Grid", "square.png", "pattern 1 1\n"), ""},
      {"pattern count", item("Grid", "square.png", "pattern 1 1\n") + item("Dot", "dot.png"),
       "manifest.txt:9: picture \"Dot\" (1 x 1) cut into 1 pattern of 1 x 1 takes the archive past its pattern budget: "
       "Too many patterns (at most 262144 in an archive)"},
      {"pattern area", item("Strip", "wide.png", "pattern 4096 1\nskip -4095 0\n"),
       "manifest.txt:4: picture \"Strip\" (16383 x 2) cut into 24576 patterns of 4096 x 1 takes the archive past its "
       "pattern budget: Patterns too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(Path("manifest.txt")) << "kestrune-pack manifest 1\narchive pictures\n" << c.items;
    fs::remove(Path("out.dxg"));
    if (c.refused.empty()) {
      ASSERT_EQ(Run("build " + Path("manifest.txt") + " " + Path("out.dxg")), 0) << stderr_;
      EXPECT_EQ(Run("list " + Path("out.dxg")), 0) << stderr_;
      continue;
    }
    EXPECT_EQ(Run("build " + Path("manifest.txt") + " " + Path("out.dxg")), 1);
    EXPECT_NE(stderr_.find(Path(c.refused)), std::string::npos) << stderr_;
    EXPECT_FALSE(fs::exists(Path("out.dxg")));
  }
}

TEST(ContactSheet, ShowsTransparencyAndUnusedPixels) {
  // 5 x 1 picture, patterns 2 x 1 with a skip of 1: pixels 0-1 and 3-4 are patterns, pixel 2 is a
  // gap. Pixel 0 has the transparent colour.
  PictureArchive a;
  PictureItemRecord item;
  item.Name = "P";
  item.Picture.Width = 5;
  item.Picture.Height = 1;
  item.Picture.Pixels = {0xFF00FF, 0x102030, 0x804020, 0x102030, 0x102030};
  item.PatternWidth = 2;
  item.SkipWidth = 1;
  item.TransparentColor = 0xFF00FF;
  a.Items = {item};
  pack::SheetOptions options;
  options.Scale = 8;
  const TPictureData sheet = pack::MakeContactSheet(a, options);
  // Entries start at the 8-pixel margin; two caption lines of 14 pixels precede the picture.
  const int x0 = 8, y0 = 8 + 28;
  auto at = [&](int px, int py) { return sheet.At(x0 + px, y0 + py); };
  EXPECT_TRUE(at(3, 3) == 0xC8C8C8 || at(3, 3) == 0x9A9A9A) << std::hex << at(3, 3);  // checkerboard
  EXPECT_EQ(at(8 * 2 + 3, 3), 0x402010u);  // the gap pixel, darkened to half
  EXPECT_EQ(at(8 * 3 + 3, 3), 0x102030u);  // inside pattern 1, away from its grid lines
}

}  // namespace
}  // namespace kestrune
