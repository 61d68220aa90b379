// The pictures are lettered only with the fonts kept in the repository: the same bytes whatever
// the machine has installed, and a clear failure when a shipped face is missing.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "ShippedFonts.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TempDir {
  TempDir() : path(fs::temp_directory_path() / ("kestrune-fonts-" + std::to_string(::getpid()))) {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() { fs::remove_all(path); }
  fs::path path;
};

// A machine without a single installed font (fontconfig set up with no font folders) draws the
// very pictures the build drew.
TEST(ShippedFonts, PicturesAreTheSameWithoutAnyInstalledFont) {
  TempDir temp;
  std::ofstream(temp.path / "fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
  const std::string command = "FONTCONFIG_FILE='" + (temp.path / "fonts.conf").string() + "' XDG_CONFIG_HOME='" +
                              temp.path.string() + "' '" KESTRUNE_PICTURES_EXE "' '" + temp.path.string() +
                              "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* file : {"Res1.dxg", "Res2.dxg", "Goodbye.bmp"}) {
    const std::string drawn = ReadAll(temp.path / file);
    EXPECT_FALSE(drawn.empty()) << file;
    EXPECT_TRUE(drawn == ReadAll(fs::path(KESTRUNE_BUILD_DIR) / "Data/Res" / file)) << file << " differs";
  }
}

TEST(ShippedFonts, AMissingFaceStopsTheDrawingNamingItsFile) {
  TempDir temp;
  for (const char* name : {"BebasNeue-Bold.otf", "BebasNeue-Book.otf", "LiberationSans-Regular.ttf"})
    fs::copy_file(fs::path(KESTRUNE_FONT_DIR) / name, temp.path / name);
  try {
    art::UseShippedFonts(temp.path.string());
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find((temp.path / "LiberationSans-Bold.ttf").string()), std::string::npos)
        << e.what();
  }
}

}  // namespace
}  // namespace kestrune
