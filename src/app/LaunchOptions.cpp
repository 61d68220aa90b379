#include "app/LaunchOptions.h"

#include <pwd.h>
#include <unistd.h>

#include "app/SettingsLines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>
#include <system_error>
#include <vector>

#ifndef KESTRUNE_VERSION
#define KESTRUNE_VERSION "unknown"
#endif
#ifndef KESTRUNE_DATA_FROM_BIN
#define KESTRUNE_DATA_FROM_BIN "../share/kestrune"
#endif

namespace kestrune {
namespace fs = std::filesystem;

namespace {

bool HoldsDataSet(const fs::path& root) {
  std::error_code error;
  return fs::is_directory(root / "Data" / "Res", error);
}

// True when files can be made in the folder, making it (and its parents) first when missing.
bool WritableFolder(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// "window X Y WIDTH HEIGHT": whole numbers, a size of at least one pixel and no more than a
// desktop could hold, nothing after them.
bool ReadWindowLine(const std::string& line, std::optional<DisplayOptions::Window>& out) {
  std::istringstream words(line);
  std::string key, rest;
  long long x = 0, y = 0, w = 0, h = 0;
  if (!(words >> key >> x >> y >> w >> h) || (words >> rest)) return false;
  constexpr long long kLimit = 1 << 15;  // SDL's window coordinates are 16-bit on X11
  const auto within = [](long long v) { return v > -kLimit && v < kLimit; };
  if (!within(x) || !within(y) || w < 1 || h < 1 || w >= kLimit || h >= kLimit) return false;
  out = DisplayOptions::Window{static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h)};
  return true;
}

bool BelowShare(const fs::path& root) {
  for (const fs::path& part : root)
    if (part == "share") return true;
  return false;
}

// Copies a file an earlier version kept in the data tree into the per-user folder, unless the
// player already has one there: a table saved by an earlier install is not lost.
void CopyWhenMissing(const fs::path& from, const fs::path& to) {
  std::error_code error;
  if (fs::exists(to, error) || !fs::is_regular_file(from, error)) return;
  fs::copy_file(from, to, error);
}

}  // namespace

bool ParseLaunchOptions(const std::vector<std::string>& args, LaunchOptions& options, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    // "--opt=value" is read as "--opt value".
    std::string arg = args[i];
    std::optional<std::string> attached;
    if (const std::size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
      attached = arg.substr(equals + 1);
      arg.resize(equals);
    }
    auto value = [&](std::string& out) {
      if (attached) {
        out = *attached;
        attached.reset();
        return true;
      }
      if (i + 1 >= args.size()) {
        error = "option " + arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      options.ShowHelp = true;
    } else if (arg == "--version") {
      options.ShowVersion = true;
    } else if (arg == "--verbose") {
      options.Verbose = true;
    } else if (arg == "--controls") {
      options.ShowControls = true;
    } else if (arg == "--data") {
      if (!value(options.DataDir)) return false;
    } else if (arg == "--record") {
      if (!value(options.RecordFile)) return false;
    } else if (arg == "--replay") {
      if (!value(options.ReplayFile)) return false;
    } else if (arg == "--fullscreen" || arg == "--window") {
      options.FullScreen = arg == "--fullscreen";
    } else if (arg == "--vsync") {
      std::string choice;
      if (!value(choice)) return false;
      if (choice != "on" && choice != "off") {
        error = "--vsync must be on or off, not " + choice;
        return false;
      }
      options.Vsync = choice == "on";
    } else if (arg == "--renderer") {
      std::string choice;
      if (!value(choice)) return false;
      if (choice != "software" && choice != "accelerated") {
        error = "--renderer must be software or accelerated, not " + choice;
        return false;
      }
      options.AcceleratedRenderer = choice == "accelerated";
    } else if (arg == "--scale" || arg == "--filter") {
      std::string choice;
      if (!value(choice)) return false;
      const bool scale = arg == "--scale";
      const char* on = scale ? "integer" : "nearest";
      const char* off = scale ? "fit" : "linear";
      if (choice != on && choice != off) {
        error = arg + " must be " + off + " or " + on + ", not " + choice;
        return false;
      }
      (scale ? options.IntegerScale : options.NearestFilter) = choice == on;
    } else {
      error = (arg.starts_with("-") ? "unknown option " : "unexpected argument ") + arg;
      return false;
    }
    if (attached) {
      error = "option " + arg + " takes no value";
      return false;
    }
  }
  if (!options.RecordFile.empty() && !options.ReplayFile.empty()) {
    error = "--record and --replay cannot be used together";
    return false;
  }
  return true;
}

std::string LaunchHelpText() {
  return "Usage: kestrune [OPTIONS]\n"
         "A top-down arcade racing game.\n"
         "\n"
         "Options:\n"
         "  --data DIR     read the data set from DIR (the folder holding Data/, or Data/ itself)\n"
         "  --record FILE  write the session (seed, refresh rate, every input) to FILE as a\n"
         "                 replay script for kestrune-replay\n"
         "  --replay FILE  play a replay script back in the window (Esc leaves)\n"
         "  --scale fit|integer\n"
         "                 scale the picture to fit (the default) or by the largest whole multiple\n"
         "  --filter linear|nearest\n"
         "                 smooth the scaled picture (the default) or keep its pixels sharp\n"
         "  --fullscreen, --window\n"
         "                 start in full screen or in a window this time (the options keep\n"
         "                 their own choice)\n"
         "  --vsync on|off wait for the display's refresh (the default) or pace the game itself\n"
         "  --renderer software|accelerated\n"
         "                 show the picture through the window's own pixels or through the\n"
         "                 GPU renderer (OpenGL); by default the window's pixels unless OpenGL\n"
         "                 runs on a real GPU\n"
         "  --verbose      say on standard error which folders the game reads and writes\n"
         "                 and how it shows the picture\n"
         "  --controls     print the keys and pad controls in use (the controls file's\n"
         "                 format) and exit\n"
         "  --help, -h     show this help and exit\n"
         "  --version      show the version and exit\n"
         "\n"
         "Every option taking a value may also be written --option=VALUE.\n";
}

std::string LaunchVersionNumber() { return KESTRUNE_VERSION; }
std::string LaunchVersionText() { return std::string("kestrune ") + KESTRUNE_VERSION + "\n"; }

fs::path InstalledDataFromExecutable() { return KESTRUNE_DATA_FROM_BIN; }

GameRootSearch FindGameRoot(const std::string& dataDir, const fs::path& exeDir, const fs::path& workingDir,
                            const fs::path& installedData) {
  GameRootSearch search;
  auto tryRoot = [&](const fs::path& candidate, bool installedPlace = false) {
    const fs::path root = fs::absolute(candidate).lexically_normal();
    search.Searched.push_back(root);
    if (!HoldsDataSet(root)) return false;
    search.Root = root;
    search.Installed = installedPlace || BelowShare(root);
    return true;
  };
  if (!dataDir.empty()) {
    const fs::path dir = fs::absolute(workingDir / dataDir).lexically_normal();
    if (tryRoot(dir)) return search;
    // The Data folder itself was named.
    const fs::path named = dir.has_filename() ? dir : dir.parent_path();
    if (named.filename() == "Data") tryRoot(named.parent_path());
    return search;
  }
  if (tryRoot(workingDir)) return search;
  if (tryRoot(exeDir / installedData, true)) return search;
  tryRoot(exeDir);
  return search;
}

fs::path AccountHome() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
  passwd entry{};
  passwd* found = nullptr;
  while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < (1u << 20))
    buffer.resize(buffer.size() * 2);
  if (found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') return {};
  return fs::path(found->pw_dir);
}

UserBaseFolders UserBaseFoldersFrom(const std::function<const char*(const char*)>& getEnv,
                                    const std::function<fs::path()>& accountHome) {
  auto absoluteVariable = [&](const char* name) -> std::optional<fs::path> {
    const char* value = getEnv(name);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    return fs::path(value);
  };
  const std::optional<fs::path> home = [&]() -> std::optional<fs::path> {
    if (auto variable = absoluteVariable("HOME")) return variable;
    fs::path account = accountHome ? accountHome() : fs::path();
    if (account.empty() || !account.is_absolute()) return std::nullopt;
    return account;
  }();
  auto under = [&](const char* variable, const fs::path& inHome) {
    if (auto set = absoluteVariable(variable)) return *set;
    return home ? *home / inHome : fs::path();
  };
  return {under("XDG_DATA_HOME", fs::path(".local") / "share"), under("XDG_CONFIG_HOME", ".config")};
}

std::string FolderWriteProblem(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return error.message();
  if (!fs::is_directory(folder, error)) return "it is not a folder";
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
  return {};
}

PlayerFolders ChoosePlayerFolders(const fs::path& gameRoot, bool installed, const UserBaseFolders& user) {
  const fs::path local = gameRoot / "Data" / "Save";
  const fs::path userData = user.Data.empty() ? fs::path() : user.Data / "kestrune";
  const auto inUserData = [&](const char* name) { return userData.empty() ? fs::path() : userData / name; };
  PlayerFolders folders;
  if (installed) {
    folders = {inUserData("Save"), user.Config.empty() ? fs::path() : user.Config / "kestrune",
               inUserData("Screenshots")};
    if (!folders.Saves.empty()) {
      WritableFolder(folders.Saves);
      for (const char* file : {"options", "hs", "form"}) CopyWhenMissing(local / file, folders.Saves / file);
    }
    if (!folders.Settings.empty()) {
      WritableFolder(folders.Settings);
      // Display.cfg lay beside the saves before: in the data tree or in the per-user Save folder.
      if (!folders.Saves.empty()) CopyWhenMissing(folders.Saves / "Display.cfg", folders.Settings / "Display.cfg");
      CopyWhenMissing(local / "Display.cfg", folders.Settings / "Display.cfg");
    }
    return folders;
  }
  folders.Saves = WritableFolder(local) ? local : inUserData("Save");
  if (folders.Saves.empty()) return folders;
  if (folders.Saves != local) WritableFolder(folders.Saves);
  folders.Settings = folders.Saves;
  folders.Screenshots = folders.Saves.parent_path() / "Screenshots";
  return folders;
}

DisplayOptions ReadDisplayOptions(const std::string& text, std::vector<std::string>& warnings) {
  DisplayOptions options;
  ForEachSettingsLine(text, [&](const SettingsLine& line) {
    const std::string& key = line.Key;
    const std::string& value = line.Value;
    const bool alone = line.Extra.empty();
    if (key == "scale" && (value == "fit" || value == "integer") && alone) {
      options.IntegerScale = value == "integer";
    } else if (key == "filter" && (value == "linear" || value == "nearest") && alone) {
      options.NearestFilter = value == "nearest";
    } else if (key == "vsync" && (value == "on" || value == "off") && alone) {
      options.Vsync = value == "on";
    } else if (key == "window" && ReadWindowLine(line.Content, options.LastWindow)) {
    } else {
      warnings.push_back("line " + std::to_string(line.Number) + " is not understood: " + line.Quoted());
    }
  });
  return options;
}

DisplayOptions DisplayForSession(const LaunchOptions& options, const DisplayOptions& file) {
  DisplayOptions session = file;
  session.IntegerScale = options.IntegerScale.value_or(file.IntegerScale);
  session.NearestFilter = options.NearestFilter.value_or(file.NearestFilter);
  session.Vsync = options.Vsync.value_or(file.Vsync);
  return session;
}

std::string WithLastWindow(const std::string& text, const DisplayOptions::Window& window) {
  const std::string line = "window " + std::to_string(window.X) + " " + std::to_string(window.Y) + " " +
                           std::to_string(window.Width) + " " + std::to_string(window.Height);
  std::string out;
  bool replaced = false;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string content = text.substr(start, end - start);
    start = end + 1;
    std::string key;
    std::istringstream(content.substr(0, content.find('#'))) >> key;
    if (key == "window") {
      // One window line: the first becomes the new place, any later ones go.
      if (!replaced) out += line + "\n";
      replaced = true;
    } else {
      out += content + "\n";
    }
  }
  if (!replaced) out += line + "\n";
  return out;
}

}  // namespace kestrune
