// Screenshot files: their names, their folder, and that taking one never overwrites another.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "app/Screenshots.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

TEST(Screenshots, NamesAndFolder) {
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 11;
  t.tm_mday = 10;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 7;
  EXPECT_EQ(ScreenshotFileName(t), "Kestrune 2026-12-10 09-05-07.png");
  EXPECT_EQ(ScreenshotFileName(t, 3), "Kestrune 2026-12-10 09-05-07 (3).png");
  EXPECT_EQ(ScreenshotFolderFor("Data/Save"), fs::path("Data/Screenshots"));
  EXPECT_EQ(ScreenshotFolderFor("/home/a/.local/share/kestrune/Save/"),
            fs::path("/home/a/.local/share/kestrune/Screenshots"));
}

TEST(Screenshots, PicturesInTheSameSecondEachGetTheirOwnFile) {
  const fs::path folder = fs::temp_directory_path() / ("kestrune-shots-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  // A picture with a wider row pitch than its width: only the picture is written.
  std::vector<std::uint16_t> pixels(20 * 10, 0x07E0);
  std::vector<fs::path> files;
  {
    ScreenshotTaker taker(folder);
    for (int i = 0; i < 3; ++i) files.push_back(taker.Take(pixels.data(), 16, 10, 20, 1000000000));
  }
  ASSERT_EQ(files.size(), 3u);
  EXPECT_NE(files[0], files[1]);
  EXPECT_NE(files[1], files[2]);
  EXPECT_EQ(files[1].filename().string().find(" (2).png") != std::string::npos, true) << files[1];
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    unsigned char header[24] = {};
    ASSERT_TRUE(in.read(reinterpret_cast<char*>(header), sizeof header)) << file;
    EXPECT_EQ(header[1], 'P');
    EXPECT_EQ(header[19], 16);  // width
    EXPECT_EQ(header[23], 10);  // height
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace kestrune
