// The packages cpack makes from the build: a .deb (section games, library dependencies found by
// dpkg-shlibdeps) and a portable .tar.gz, each unpacked and started. The .deb checks are skipped
// where dpkg-deb is missing; lintian runs where it is installed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kestrune {
namespace {

namespace fs = std::filesystem;

bool OnPath(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Standard output of a shell command, and its exit status.
std::string Output(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  const int raw = ::pclose(pipe);
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrune-package-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs cpack with one generator into dir_; the package file made, or an empty path.
  fs::path Pack(const std::string& generator, const std::string& extension) {
    const std::string command = "cpack --config '" KESTRUNE_BUILD_DIR "/CPackConfig.cmake' -G " + generator +
                                " -B '" + dir_.string() + "' >&2";
    if (std::system(command.c_str()) != 0) return {};
    for (const auto& entry : fs::directory_iterator(dir_))
      if (entry.path().string().ends_with(extension)) return entry.path();
    return {};
  }

  // Starts an unpacked game with the per-user folders inside dir_: it must still be running when
  // the time-out ends it (so it found its data) and have saved its options per user.
  void ExpectStarts(const fs::path& game) {
    int status = -1;
    const std::string version = Output("'" + game.string() + "' --version", status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(version.starts_with("kestrune ")) << version;
    // --preserve-status: the game's own status, 0 once the time-out's signal has ended it with
    // its save; what it said goes into the failure message.
    const fs::path said = dir_ / "game-stderr.txt";
    const std::string command = "cd / && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_DATA_HOME='" +
                                (dir_ / "xdg-data").string() + "' XDG_CONFIG_HOME='" +
                                (dir_ / "xdg-config").string() + "' timeout --preserve-status 3 '" +
                                game.string() + "' >/dev/null 2>'" + said.string() + "'";
    const int raw = std::system(command.c_str());
    int ignored = 0;
    const std::string stderrText = Output("cat '" + said.string() + "'", ignored);
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << raw << "\n" << stderrText;
    EXPECT_TRUE(fs::is_regular_file(dir_ / "xdg-data" / "kestrune" / "Save" / "options")) << stderrText;
  }

  fs::path dir_;
};

TEST_F(PackageTest, TheDebianPackageDependsOnItsLibrariesAndStarts) {
  if (!OnPath("dpkg-deb") || !OnPath("dpkg-shlibdeps")) GTEST_SKIP() << "dpkg-deb or dpkg-shlibdeps is missing";
  const fs::path deb = Pack("DEB", ".deb");
  ASSERT_FALSE(deb.empty());
  int status = -1;
  const std::string fields = Output("dpkg-deb -f '" + deb.string() + "' Package Section Depends", status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(fields.find("Package: kestrune\n"), std::string::npos) << fields;
  EXPECT_NE(fields.find("Section: games\n"), std::string::npos) << fields;
  for (const char* library : {"libsdl2-2.0-0", "libsdl2-mixer-2.0-0", "libopenmpt0", "libc6"})
    EXPECT_NE(fields.find(library), std::string::npos) << library << " in " << fields;
  const fs::path root = dir_ / "root";
  ASSERT_EQ(std::system(("dpkg-deb -x '" + deb.string() + "' '" + root.string() + "'").c_str()), 0);
  for (const char* file : {"usr/share/applications/org.kestrune.Kestrune.desktop",
                           "usr/share/man/man6/kestrune.6.gz", "usr/share/doc/kestrune/copyright"})
    EXPECT_TRUE(fs::is_regular_file(root / file)) << file;
  // Debian keeps games in /usr/games; the tools stay in /usr/bin.
  ExpectStarts(root / "usr" / "games" / "kestrune");
  EXPECT_TRUE(fs::is_regular_file(root / "usr" / "bin" / "kestrune-pack"));
  if (OnPath("lintian")) {
    const std::string report = Output("lintian --fail-on error '" + deb.string() + "' 2>&1", status);
    EXPECT_EQ(status, 0) << report;
    // Built with the distribution's hardening: lintian finds no program without it.
    const std::string hardening =
        Output("lintian -I --tags hardening-no-fortify-functions,hardening-no-bindnow,hardening-no-relro,"
               "hardening-no-pie '" + deb.string() + "' 2>/dev/null", status);
    EXPECT_EQ(hardening.find("hardening-"), std::string::npos) << hardening;
  }
}

TEST_F(PackageTest, ThePortableArchiveUnpacksAnywhereAndStarts) {
  const fs::path archive = Pack("TGZ", ".tar.gz");
  ASSERT_FALSE(archive.empty());
  const fs::path root = dir_ / "unpacked";
  fs::create_directories(root);
  ASSERT_EQ(std::system(("tar -xzf '" + archive.string() + "' -C '" + root.string() + "'").c_str()), 0);
  // One top folder named after the package, the installed tree below it.
  fs::path top;
  for (const auto& entry : fs::directory_iterator(root)) top = entry.path();
  ASSERT_FALSE(top.empty());
  EXPECT_TRUE(fs::is_regular_file(top / "share" / "kestrune" / "Data" / "Res" / "Res1.dxg"));
  ExpectStarts(top / "bin" / "kestrune");
}

}  // namespace
}  // namespace kestrune
