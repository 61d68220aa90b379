// `cmake --install` gives a relocatable tree whose game finds its data from its own location and
// keeps the player's files in the per-user folders.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kestrune {
namespace {

namespace fs = std::filesystem;

class InstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new fs::path(fs::temp_directory_path() / ("kestrune-install-" + std::to_string(::getpid())));
    fs::remove_all(*prefix_);
    const std::string command =
        "cmake --install '" KESTRUNE_BUILD_DIR "' --prefix '" + prefix_->string() + "' >/dev/null";
    status_ = std::system(command.c_str());
  }
  static void TearDownTestSuite() {
    fs::remove_all(*prefix_);
    delete prefix_;
  }
  static fs::path* prefix_;
  static int status_;
};
fs::path* InstallTest::prefix_ = nullptr;
int InstallTest::status_ = -1;

TEST_F(InstallTest, InstallsProgramsDataAndDocumentsIntoOneMovableTree) {
  ASSERT_EQ(status_, 0);
  for (const char* file :
       {"bin/kestrune", "bin/kestrune-pack", "bin/kestrune-replay", "bin/kestrune-roadview",
        "share/kestrune/Data/Res/Res1.dxg", "share/kestrune/Data/Res/Res2.dxg",
        "share/kestrune/Data/Res/Sounds.dxw", "share/kestrune/Data/Music/Menu.xm",
        "share/kestrune/Data/Music/Race.xm", "share/kestrune/Docs/README.md",
        "share/applications/org.kestrune.Kestrune.desktop",
        "share/metainfo/org.kestrune.Kestrune.metainfo.xml",
        "share/icons/hicolor/48x48/apps/org.kestrune.Kestrune.png",
        "share/icons/hicolor/256x256/apps/org.kestrune.Kestrune.png", "share/man/man6/kestrune.6.gz",
        "share/man/man1/kestrune-pack.1.gz", "share/man/man1/kestrune-replay.1.gz",
        "share/man/man1/kestrune-roadview.1.gz", "share/bash-completion/completions/kestrune",
        "share/bash-completion/completions/kestrune-replay", "share/doc/kestrune/copyright",
        "share/doc/kestrune/changelog.gz"}) {
    EXPECT_TRUE(fs::is_regular_file(*prefix_ / file)) << file;
  }
  // The package's copyright is the machine-readable one, fonts and all.
  {
    std::ifstream installed(*prefix_ / "share/doc/kestrune/copyright");
    std::string first;
    std::getline(installed, first);
    EXPECT_EQ(first, "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/");
  }
  // The developer tools stay in the build.
  for (const char* file : {"bin/soundcheck", "bin/kestrune-monkey"})
    EXPECT_FALSE(fs::exists(*prefix_ / file)) << file;
  // Nothing of the build's own bookkeeping or saves.
  EXPECT_FALSE(fs::exists(*prefix_ / "share/kestrune/Data/Res/pictures.stamp"));
  EXPECT_FALSE(fs::exists(*prefix_ / "share/kestrune/Data/Save"));

  // Moved elsewhere and started from another folder, the game finds its data: it is still
  // running (not failed at start-up for a missing archive) when the time-out ends it.
  const fs::path moved = prefix_->string() + "-moved";
  fs::remove_all(moved);
  fs::rename(*prefix_, moved);
  const std::string command = "cd / && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 3 '" +
                              (moved / "bin/kestrune").string() + "' >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  fs::rename(moved, *prefix_);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 124) << status;
}

// The game's text faces travel with the data, with their licences, and the links' guide with the
// documents.
TEST_F(InstallTest, InstallsTheFontsAndThePlayersGuide) {
  ASSERT_EQ(status_, 0);
  for (const char* file :
       {"share/kestrune/Data/Fonts/BebasNeue-Bold.otf", "share/kestrune/Data/Fonts/BebasNeue-Regular.otf",
        "share/kestrune/Data/Fonts/DSEG7Classic-Regular.ttf", "share/kestrune/Data/Fonts/LiberationMono-Regular.ttf",
        "share/kestrune/Data/Fonts/LiberationSans-Regular.ttf", "share/kestrune/Data/Fonts/LiberationSans-Bold.ttf",
        "share/kestrune/Data/Fonts/BebasNeue-LICENSE.txt", "share/kestrune/Data/Fonts/DSEG-LICENSE.txt",
        "share/kestrune/Data/Fonts/Liberation-LICENSE.txt", "share/kestrune/Docs/guide.html"})
    EXPECT_TRUE(fs::is_regular_file(*prefix_ / file)) << file;
  // The book cut letters only the generated pictures: the game has no use for it.
  EXPECT_FALSE(fs::exists(*prefix_ / "share/kestrune/Data/Fonts/BebasNeue-Book.otf"));
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Even where the data tree can be written (a prefix in the home folder), the installed game
// keeps the saves in $XDG_DATA_HOME/kestrune and its settings in $XDG_CONFIG_HOME/kestrune, and
// --verbose says so.
TEST_F(InstallTest, TheInstalledGameWritesOnlyIntoTheUserFolders) {
  ASSERT_EQ(status_, 0);
  const fs::path data = *prefix_ / "xdg-data", config = *prefix_ / "xdg-config", err = *prefix_ / "err.txt";
  const std::string command = "cd / && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_DATA_HOME='" +
                              data.string() + "' XDG_CONFIG_HOME='" + config.string() + "' timeout 3 '" +
                              (*prefix_ / "bin/kestrune").string() + "' --verbose >/dev/null 2>'" +
                              err.string() + "'";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 124) << status;
  const std::string said = ReadAll(err);
  EXPECT_NE(said.find("saves: " + (data / "kestrune" / "Save").string() + "\n"), std::string::npos) << said;
  EXPECT_NE(said.find("settings: " + (config / "kestrune").string() + "\n"), std::string::npos) << said;
  EXPECT_NE(said.find("screenshots: " + (data / "kestrune" / "Screenshots").string() + "\n"), std::string::npos)
      << said;
  // Stopped by the signal, the game saved its options: into the per-user folder only.
  EXPECT_TRUE(fs::is_regular_file(data / "kestrune" / "Save" / "options"));
  EXPECT_TRUE(fs::is_directory(config / "kestrune"));
  EXPECT_FALSE(fs::exists(*prefix_ / "share/kestrune/Data/Save"));
}

// The path from the programs to the data is fixed when the build is configured, from the install
// directories: Debian's games layout (programs in games/, data in share/games/kestrune) gets its
// own, while the desktop files stay in their standard places.
TEST(InstallLayout, ADistributionLayoutIsConfiguredFromTheInstallDirectories) {
  const fs::path build = fs::temp_directory_path() / ("kestrune-layout-" + std::to_string(::getpid()));
  fs::remove_all(build);
  const std::string command = "cmake -S '" KESTRUNE_TEST_SOURCE_DIR "/..' -B '" + build.string() +
                              "' -G Ninja -DKESTRUNE_TESTS=OFF -DKESTRUNE_BENCH=OFF"
                              " -DCMAKE_INSTALL_BINDIR=games -DKESTRUNE_DATADIR=share/games/kestrune >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string cache = ReadAll(build / "CMakeCache.txt");
  EXPECT_NE(cache.find("KESTRUNE_DATA_FROM_BIN:INTERNAL=../share/games/kestrune\n"), std::string::npos);
  const std::string install = ReadAll(build / "cmake_install.cmake");
  for (const char* place : {"/games\"", "/share/games/kestrune/Data\"", "/share/applications\"",
                            "/share/metainfo\"", "/share/icons/hicolor\"", "/share/man/man6\""})
    EXPECT_NE(install.find(place), std::string::npos) << place;
  fs::remove_all(build);
}

}  // namespace
}  // namespace kestrune
