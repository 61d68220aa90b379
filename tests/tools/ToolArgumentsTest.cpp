// The replay and road-view tools refuse what they cannot do, with a message and status 1,
// instead of running with defaults or reporting success.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kestrune {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string err;
};

ToolRun RunTool(const std::string& arguments) {
  const fs::path errFile = fs::temp_directory_path() / ("kestrune-tool-err-" + std::to_string(::getpid()));
  const std::string command = "cd " + std::string(KESTRUNE_BUILD_DIR) + " && ./" + arguments +
                              " >/dev/null 2>" + errFile.string();
  const int status = std::system(command.c_str());
  std::ifstream in(errFile);
  std::stringstream text;
  text << in.rdbuf();
  fs::remove(errFile);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

TEST(ToolArguments, BadArgumentsAndUnwritableOutputsFailWithAMessage) {
  struct Case {
    std::string arguments, message;
  };
  std::vector<Case> cases = {
      {"kestrune-replay Data", "Is a directory"},
      {"kestrune-roadview --level 0", "--level must be"},
      {"kestrune-roadview --level -5", "--level must be"},
      {"kestrune-roadview --level 3x", "--level must be"},
  };
  // A script's screenshot outside the output folder is refused before anything runs.
  const fs::path script = fs::temp_directory_path() / ("kestrune-tool-script-" + std::to_string(::getpid()));
  std::ofstream(script) << "frames 2\nscreenshot 1 ../escaped.png\n";
  cases.push_back({"kestrune-replay " + script.string() + " --out Data", "refused: a '..' in the path"});
  if (fs::exists("/dev/full")) {
    cases.push_back({"kestrune-replay --frames 2 --summary /dev/full", "cannot write /dev/full"});
    cases.push_back({"kestrune-replay --frames 2 --screenshot 1:/dev/full", "cannot write screenshot"});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  fs::remove(script);
  // The device given as an output is still a device.
  if (fs::exists("/dev/full")) {
    EXPECT_FALSE(fs::is_regular_file("/dev/full"));
  }
}

// Every installed tool says its version, finds the data set named by --data (or says where it
// looked), and reads --opt=value as --opt value.
TEST(ToolArguments, VersionDataAndAttachedValues) {
  for (const char* tool : {"kestrune-pack", "kestrune-replay", "kestrune-roadview"}) {
    SCOPED_TRACE(tool);
    const fs::path out = fs::temp_directory_path() / ("kestrune-tool-out-" + std::to_string(::getpid()));
    const int status = std::system(("cd " KESTRUNE_BUILD_DIR " && ./" + std::string(tool) + " --version >" +
                                    out.string()).c_str());
    std::ifstream in(out);
    std::string line;
    std::getline(in, line);
    fs::remove(out);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(line.rfind(std::string(tool) + " ", 0), 0u) << line;
  }
  struct Case {
    std::string arguments;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {"kestrune-roadview --data=/nonexistent-kestrune", 1, "no data set found"},
      {"kestrune-replay --data /nonexistent-kestrune --frames 2", 1, "/nonexistent-kestrune"},
      {"kestrune-pack --data=/nonexistent-kestrune list Res1.dxg", 1, "no data set found"},
      {"kestrune-replay --frames=2 --data=Data", 0, ""},
      {"kestrune-pack --data . list Res1.dxg", 0, ""},
      {"kestrune-replay --frames=x", 1, "bad --frames"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace kestrune
