#include "app/ToolCommandLine.h"

#include "app/LaunchOptions.h"
#include "framework/DisplayText.h"

#include <system_error>

namespace kestrune {
namespace fs = std::filesystem;

std::vector<std::string> SplitAttachedValues(const std::vector<std::string>& args) {
  std::vector<std::string> split;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    const std::size_t equals = arg.find('=');
    if (optionsEnded || !arg.starts_with("--") || equals == std::string::npos) {
      optionsEnded = optionsEnded || arg == "--";
      split.push_back(arg);
      continue;
    }
    split.push_back(arg.substr(0, equals));
    split.push_back(arg.substr(equals + 1));
  }
  return split;
}

std::string VersionText(const std::string& program) { return program + " " + LaunchVersionNumber() + "\n"; }

fs::path RunningProgramFolder(const char* argv0) {
  std::error_code error;
  const auto self = fs::read_symlink("/proc/self/exe", error);
  if (!error) return self.parent_path();
  return fs::absolute(argv0, error).parent_path();
}

std::optional<fs::path> FindToolDataRoot(const std::string& dataDir, const char* argv0, std::string& reason) {
  std::error_code error;
  const GameRootSearch search = FindGameRoot(dataDir, RunningProgramFolder(argv0), fs::current_path(error));
  if (search.Root) return search.Root;
  reason = "no data set found (a folder holding Data/Res); searched:";
  for (const fs::path& folder : search.Searched) reason += " " + EscapeForDisplay(folder.string());
  return std::nullopt;
}

}  // namespace kestrune
