// kestrune-replay keeps the game's saves in a temporary folder of its own; however the run ends
// (finished, failed, stopped by a signal), the folder goes with it, and a signal still gives the
// summary.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kestrune {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ReplayTool, ItsSaveFolderGoesWithTheRunHoweverItEnds) {
  const fs::path base = fs::temp_directory_path() / ("kestrune-replay-tmp-" + std::to_string(::getpid()));
  const fs::path tmp = base / "tmp";
  fs::remove_all(base);
  fs::create_directories(tmp);
  // A data set whose archives are missing: the game cannot start.
  fs::create_directories(base / "broken" / "Data" / "Res");
  const std::string tool = std::string(KESTRUNE_BUILD_DIR) + "/kestrune-replay";
  std::string failingShots;
  for (int frame = 1; frame <= 12; ++frame)
    failingShots += " --screenshot " + std::to_string(frame) + ":" + (base / "missing" / "shot.png").string();
  struct Case {
    std::string name, command;
    int status;
    std::vector<std::string> said;  // in standard error
  };
  const std::vector<Case> cases = {
      {"finished", tool + " --frames 30", 0, {}},
      {"start failed", tool + " --data " + (base / "broken").string() + " --frames 30", 2, {}},
      // Twelve screenshots that cannot be written: a few are named, the rest counted.
      {"failed screenshots", tool + " --frames 12" + failingShots, 1, {"... and 7 more\n"}},
      // Still running when timeout's SIGTERM comes: the game ends as leaving it does.
      {"stopped by a signal", "timeout -s TERM 2 " + tool + " --frames 100000000", 124,
       {"stopped by a signal after "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string command = "TMPDIR=" + tmp.string() + " " + c.command + " >" + (base / "out").string() +
                                " 2>" + (base / "err").string();
    const int status = std::system(command.c_str());
    const std::string out = Slurp(base / "out"), err = Slurp(base / "err");
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << err;
    EXPECT_NE(out.find("\"Frames\""), std::string::npos) << "no summary:\n" << out << err;
    for (const std::string& words : c.said) EXPECT_NE(err.find(words), std::string::npos) << err;
    EXPECT_LE(std::count(err.begin(), err.end(), '\n'), 8) << err;
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(tmp)) left.push_back(entry.path().filename().string());
    EXPECT_TRUE(left.empty()) << left.front();
    fs::remove_all(tmp);
    fs::create_directories(tmp);
  }
  fs::remove_all(base);
}

}  // namespace
}  // namespace kestrune
