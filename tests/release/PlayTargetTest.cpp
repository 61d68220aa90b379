// The play command builds the target `game`: the program and its data, and none of the tests,
// benchmarks, fuzz checks or tools, which take most of a full build's time.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace kestrune {
namespace {

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

TEST(PlayTarget, BuildsTheGameAndItsDataOnly) {
  if (!std::filesystem::exists(KESTRUNE_BUILD_DIR "/build.ninja")) GTEST_SKIP() << "not a Ninja build";
  // Every command building the target would run, whatever is built already.
  const std::string commands = Output("ninja -C '" KESTRUNE_BUILD_DIR "' -t commands game 2>/dev/null");
  ASSERT_FALSE(commands.empty());
  for (const char* needed : {" -o kestrune ", "kestrune-pictures " KESTRUNE_BUILD_DIR "/Data/Res",
                             "kestrune-audiogen ", KESTRUNE_BUILD_DIR "/Data/Fonts", KESTRUNE_BUILD_DIR "/Data/Res/Icon.bmp",
                             "CopyDocs.cmake"})
    EXPECT_NE(commands.find(needed), std::string::npos) << needed;
  // Objects of the other folders are named relative to the build folder.
  for (const char* unwanted : {" tests/CMakeFiles/", " bench/CMakeFiles/", " fuzz/CMakeFiles/", " tools/", "libgtest",
                               "libbenchmark"})
    EXPECT_EQ(commands.find(unwanted), std::string::npos) << unwanted;
}

// The store screenshots replay the game, whose text is drawn with Data/Fonts: a parallel build
// must copy the fonts before it draws them, or the pictures letter with whatever is installed.
TEST(PlayTarget, StoreScreenshotsWaitForTheFonts) {
  if (!std::filesystem::exists(KESTRUNE_BUILD_DIR "/build.ninja")) GTEST_SKIP() << "not a Ninja build";
  const std::string commands =
      Output("ninja -C '" KESTRUNE_BUILD_DIR "' -t commands '" KESTRUNE_BUILD_DIR "/screenshots/intro.png' 2>/dev/null");
  ASSERT_NE(commands.find("kestrune-replay"), std::string::npos) << commands;
  EXPECT_NE(commands.find(KESTRUNE_BUILD_DIR "/Data/Fonts"), std::string::npos);
}

}  // namespace
}  // namespace kestrune
