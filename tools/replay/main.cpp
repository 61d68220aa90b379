// kestrune-replay: runs the game without a display from an input script and prints a JSON
// summary of the final state. See docs/replays.md for the script format.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "app/ReplayRunner.h"
#include "app/ToolCommandLine.h"
#include "framework/DisplayText.h"
#include "shell/TerminationSignals.h"

namespace {

void Usage() {
  std::cerr << "usage: kestrune-replay [SCRIPT] [--frames N] [--seed S] [--refresh HZ]\n"
               "                      [--screenshot FRAME:FILE.png]... [--summary FILE.json]\n"
               "                      [--save-dir DIR] [--goodbye-shot FILE.png] [--out DIR]\n"
               "                      [--data DIR] [--version] [--help]\n"
               "Runs the game headless and prints a JSON summary of the game state after the last\n"
               "frame. The data set is the one in --data DIR (the folder holding Data/), else the\n"
               "current folder's, else the installed one. Options override the script's settings;\n"
               "without a script the game runs with no input. The script's own screenshots are\n"
               "written inside the --out folder (default: the current one). Every option taking a\n"
               "value may also be written --option=VALUE.\n";
}

bool ParseCount(const char* text, long long max, long long& out) {
  char* end = nullptr;
  const long long v = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || v < 0 || v > max) return false;
  out = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kestrune;
  // Ctrl+C or a kill ends the run as the game's own leaving does: its summary is printed and its
  // temporary save folder removed, instead of the tool dying with the folder left behind.
  const TTerminationSignals signals;
  std::string scriptPath, summaryPath, saveDir, goodbyeShot, outDir = ".", dataDir;
  TReplayScript overrides;
  bool setFrames = false, setSeed = false, setRefresh = false;
  const std::vector<std::string> args = SplitAttachedValues({argv + 1, argv + argc});
  try {
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& arg = args[i];
      auto value = [&]() -> const char* {
        if (i + 1 >= args.size()) throw EReplayScriptError(arg + " needs a value");
        return args[++i].c_str();
      };
      long long n = 0;
      if (arg == "--help" || arg == "-h") {
        Usage();
        return 0;
      } else if (arg == "--version") {
        std::cout << VersionText("kestrune-replay");
        return 0;
      } else if (arg == "--data") {
        dataDir = value();
      } else if (arg == "--frames") {
        if (!ParseCount(value(), 100000000, n)) throw EReplayScriptError("bad --frames");
        overrides.Frames = n;
        setFrames = true;
      } else if (arg == "--seed") {
        if (!ParseCount(value(), 0xFFFFFFFFll, n)) throw EReplayScriptError("bad --seed");
        overrides.Seed = static_cast<std::uint32_t>(n);
        setSeed = true;
      } else if (arg == "--refresh") {
        if (!ParseCount(value(), 1000, n)) throw EReplayScriptError("bad --refresh");
        overrides.RefreshRate = static_cast<int>(n);
        setRefresh = true;
      } else if (arg == "--screenshot") {
        const std::string shot = value();
        const auto colon = shot.find(':');
        if (colon == std::string::npos || !ParseCount(shot.substr(0, colon).c_str(), 100000000, n) || n < 1 ||
            colon + 1 == shot.size())
          throw EReplayScriptError("--screenshot wants FRAME:FILE, frames counting from 1");
        overrides.Screenshots.push_back({n, shot.substr(colon + 1), true});
      } else if (arg == "--summary") {
        summaryPath = value();
      } else if (arg == "--save-dir") {
        saveDir = value();
      } else if (arg == "--out") {
        outDir = value();
      } else if (arg == "--goodbye-shot") {
        goodbyeShot = value();
      } else if (!arg.empty() && arg[0] != '-' && scriptPath.empty()) {
        scriptPath = arg;
      } else {
        Usage();
        return 1;
      }
    }

    // The game reads its data relative to the working folder: the run moves into the data set's
    // folder, the files named on the command line staying where they were meant.
    std::string reason;
    const auto root = FindToolDataRoot(dataDir, argv[0], reason);
    if (!root) throw EReplayScriptError(reason);
    namespace fs = std::filesystem;
    auto keep = [](std::string& path) {
      if (!path.empty()) path = fs::absolute(path).lexically_normal().string();
    };
    for (std::string* path : {&scriptPath, &summaryPath, &saveDir, &goodbyeShot, &outDir}) keep(*path);
    for (auto& shot : overrides.Screenshots) keep(shot.Path);
    std::error_code error;
    fs::current_path(*root, error);
    if (error) throw EReplayScriptError("cannot enter " + root->string() + ": " + error.message());

    TReplayScript script = scriptPath.empty() ? TReplayScript{} : LoadReplayScript(scriptPath);
    if (setFrames) script.Frames = overrides.Frames;
    if (setSeed) script.Seed = overrides.Seed;
    if (setRefresh) script.RefreshRate = overrides.RefreshRate;
    for (const auto& shot : overrides.Screenshots) script.Screenshots.push_back(shot);

    TReplayRunner runner(script);
    runner.OutputFolder = outDir;
    // Without --save-dir the saved files go to a temporary folder that goes with the run.
    if (!saveDir.empty()) runner.Platform().SetSaveFolder(saveDir);
    TReplayResult result = runner.Run();
    if (!goodbyeShot.empty() && !runner.Platform().WriteSecondWindowPng(goodbyeShot))
      result.Errors.push_back("cannot write the goodbye window's picture '" + goodbyeShot +
                              "' (the window was never shown)");
    const std::string json = ReplaySummaryJson(result);
    std::cout << json;
    if (!summaryPath.empty()) {
      // Checked after closing: a full disk shows only when the buffer is written out.
      std::ofstream out(summaryPath, std::ios::binary);
      out << json;
      out.close();
      if (!out) {
        std::cerr << "kestrune-replay: cannot write " << EscapeForDisplay(summaryPath) << "\n";
        return 1;
      }
    }
    for (const std::string& e : CapWarnings(result.Errors)) std::cerr << "kestrune-replay: " << e << "\n";
    if (!result.Started) return 2;
    if (TTerminationSignals::Requested()) {
      std::cerr << "kestrune-replay: stopped by a signal after " << result.FramesRun << " frames\n";
      return 1;
    }
    return result.Errors.empty() ? 0 : 1;
  } catch (const std::exception& e) {
    // The script's errors and anything else (no temporary folder for the saves): one line, and
    // the run's own folder is already gone with the runner.
    std::cerr << "kestrune-replay: " << EscapeForDisplay(e.what()) << "\n";
    return 1;
  }
}
