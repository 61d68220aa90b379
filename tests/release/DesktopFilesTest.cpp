// The menu entry and the AppStream metainfo pass their validators (skipped where the
// validators are not installed), and the icons are drawn at the sizes their folders name.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace kestrune {
namespace {

namespace fs = std::filesystem;

const std::string kDesktopDir = std::string(KESTRUNE_TEST_SOURCE_DIR) + "/../assets/desktop/";

bool OnPath(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(DesktopFiles, PassTheirValidators) {
  struct Case {
    std::string program, command;
  };
  const Case cases[] = {
      {"desktop-file-validate", "desktop-file-validate '" + kDesktopDir + "org.kestrune.Kestrune.desktop'"},
      {"appstreamcli",
       "appstreamcli validate --no-net '" + kDesktopDir + "org.kestrune.Kestrune.metainfo.xml'"},
  };
  int ran = 0;
  for (const Case& c : cases) {
    if (!OnPath(c.program)) continue;
    ++ran;
    EXPECT_EQ(std::system((c.command + " >&2").c_str()), 0) << c.command;
  }
  if (ran == 0) GTEST_SKIP() << "neither desktop-file-validate nor appstreamcli is installed";
}

// "version date" for each match of pattern (two groups) in the file, in order.
std::vector<std::string> Releases(const fs::path& file, const std::regex& pattern) {
  std::ifstream in(file);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  std::vector<std::string> found;
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
    found.push_back((*it)[1].str() + " " + (*it)[2].str());
  return found;
}

// The metainfo's release notes follow CHANGELOG.md: the same versions and dates, newest first.
TEST(DesktopFiles, MetainfoReleasesFollowTheChangelog) {
  const auto changelog = Releases(fs::path(KESTRUNE_TEST_SOURCE_DIR) / ".." / "CHANGELOG.md",
                                  std::regex(R"(\n## ([0-9.]+) \S+ ([0-9]{4}-[0-9]{2}-[0-9]{2}))"));
  const auto metainfo = Releases(kDesktopDir + "org.kestrune.Kestrune.metainfo.xml",
                                 std::regex(R"re(<release version="([^"]+)" date="([^"]+)")re"));
  ASSERT_FALSE(changelog.empty());
  EXPECT_EQ(metainfo, changelog);
}

// Width and height from a PNG file's header chunk (big-endian, bytes 16..23).
bool PngSize(const fs::path& file, int& width, int& height) {
  std::ifstream in(file, std::ios::binary);
  unsigned char header[24] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
  if (header[1] != 'P' || header[2] != 'N' || header[3] != 'G') return false;
  auto be32 = [&](int at) {
    return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3];
  };
  width = be32(16);
  height = be32(20);
  return true;
}

TEST(DesktopFiles, IconsComeInTheUsualSizes) {
  for (const int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    const fs::path file =
        fs::path(KESTRUNE_BUILD_DIR) / "icons" / name / "apps" / "org.kestrune.Kestrune.png";
    int width = 0, height = 0;
    ASSERT_TRUE(PngSize(file, width, height)) << file;
    EXPECT_EQ(width, size);
    EXPECT_EQ(height, size);
  }
}

// The metainfo's screenshots are the pictures the build draws from the replays in
// assets/screenshots/, kept in assets/desktop/screenshots/ where the metainfo's addresses point.
// KESTRUNE_UPDATE_GOLDEN=1 copies the build's pictures there after an intended change (look at
// them first).
TEST(DesktopFiles, MetainfoScreenshotsAreWhatTheBuildDraws) {
  std::ifstream in(kDesktopDir + "org.kestrune.Kestrune.metainfo.xml");
  const std::string metainfo{std::istreambuf_iterator<char>(in), {}};
  const std::regex image(R"(<image[^>]*>[^<]*/assets/desktop/screenshots/([a-z]+\.png)</image>)");
  std::vector<std::string> names;
  for (std::sregex_iterator it(metainfo.begin(), metainfo.end(), image), end; it != end; ++it)
    names.push_back((*it)[1].str());
  EXPECT_EQ(names, (std::vector<std::string>{"intro.png", "race.png", "highscores.png"}));
  const bool update = std::getenv("KESTRUNE_UPDATE_GOLDEN") != nullptr;
  auto bytes = [](const fs::path& file) {
    std::ifstream picture(file, std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(picture), {}};
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const fs::path drawn = fs::path(KESTRUNE_BUILD_DIR) / "screenshots" / name;
    const fs::path kept = fs::path(kDesktopDir) / "screenshots" / name;
    ASSERT_TRUE(fs::is_regular_file(drawn)) << drawn;
    if (update) fs::copy_file(drawn, kept, fs::copy_options::overwrite_existing);
    EXPECT_TRUE(bytes(drawn) == bytes(kept)) << kept << " differs from the build's " << drawn
                                             << " (KESTRUNE_UPDATE_GOLDEN=1 to take the new one)";
  }
}

}  // namespace
}  // namespace kestrune
