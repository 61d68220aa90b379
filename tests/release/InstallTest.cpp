// `cmake --install` gives a relocatable tree whose game finds its data from its own location.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
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
       {"bin/kestrune", "bin/kestrune-pack", "bin/kestrune-replay", "bin/kestrune-roadview", "bin/soundcheck",
        "share/kestrune/Data/Res/Res1.dxg", "share/kestrune/Data/Res/Res2.dxg",
        "share/kestrune/Data/Res/Sounds.dxw", "share/kestrune/Data/Music/Menu.xm",
        "share/kestrune/Data/Music/Race.xm", "share/kestrune/Docs/README.md",
        "share/applications/org.kestrune.Kestrune.desktop",
        "share/metainfo/org.kestrune.Kestrune.metainfo.xml",
        "share/icons/hicolor/48x48/apps/org.kestrune.Kestrune.png",
        "share/icons/hicolor/256x256/apps/org.kestrune.Kestrune.png"}) {
    EXPECT_TRUE(fs::is_regular_file(*prefix_ / file)) << file;
  }
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
}

}  // namespace
}  // namespace kestrune
