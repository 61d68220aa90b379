#pragma once
// The game's command line and where a started game finds its files: the folder holding Data/
// and Docs/ (the build folder, an installed share/kestrune, or one named on the command line)
// and the folder its saves go to.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

struct LaunchOptions {
  bool ShowHelp = false;
  bool ShowVersion = false;
  std::string DataDir;  // --data: the folder holding Data/ (or the Data folder itself)
  // --scale fit|integer and --filter linear|nearest; unset where the display file decides.
  std::optional<bool> IntegerScale;
  std::optional<bool> NearestFilter;
  // --fullscreen / --window: the mode for this session, whatever the options file says (which
  // keeps its own switch); unset where the options decide.
  std::optional<bool> FullScreen;
  // --vsync on|off; unset where the display file decides.
  std::optional<bool> Vsync;
  std::string RecordFile;  // --record: the session is written to it as a replay script
  std::string ReplayFile;  // --replay: a replay script played back in the window
};

// How the picture is scaled to the window or screen: to fit with its shape kept, or to the
// largest whole multiple that fits (black borders around it); smoothed or with sharp pixels.
struct DisplayOptions {
  bool IntegerScale = false;
  bool NearestFilter = false;
  // Presenting waits for the display's vertical blank; off, the game paces itself.
  bool Vsync = true;
  // The window's place and size when the last session ended (window coordinates of the desktop).
  struct Window {
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool operator==(const Window&) const = default;
  };
  std::optional<Window> LastWindow;
};

// The display options file (Display.cfg beside the saves, kept apart from the options file so
// that keeps its format): "scale fit|integer", "filter linear|nearest", "vsync on|off" and
// "window X Y WIDTH HEIGHT" lines, "#" comments. A line it does not understand is skipped with a
// warning; the rest still counts.
DisplayOptions ReadDisplayOptions(const std::string& text, std::vector<std::string>& warnings);

// The display settings of this session: the command line's choices where it makes them, the
// display file's otherwise.
DisplayOptions DisplayForSession(const LaunchOptions& options, const DisplayOptions& file);

// The display file's text with its "window" line saying this place and size (replaced where the
// file has one, added at the end otherwise); every other line is kept as it was.
std::string WithLastWindow(const std::string& text, const DisplayOptions::Window& window);

// Reads the arguments after the program name. Returns false with a one-line reason for an
// unknown option or a missing or bad value.
bool ParseLaunchOptions(const std::vector<std::string>& args, LaunchOptions& options, std::string& error);

std::string LaunchHelpText();
std::string LaunchVersionText();

// The folder the game runs in (it holds Data/ and Docs/). Tried in turn: the --data folder
// (or the parent of a Data folder given there), the working directory when it holds the data
// set, the installed layout beside the executable (<prefix>/bin -> <prefix>/share/kestrune),
// the executable's own folder (the build folder). Returns nothing when a --data folder holds
// no data set; with no --data and no data set found, the working directory.
std::optional<std::filesystem::path> FindGameRoot(const std::string& dataDir,
                                                  const std::filesystem::path& exeDir,
                                                  const std::filesystem::path& workingDir);

// Where saves live: Data/Save below the game root when that can be written (it is made when
// missing), else the Save folder inside the per-user folder (asked of userDir only then; made when
// missing).
std::filesystem::path ChooseSaveFolder(const std::filesystem::path& gameRoot,
                                       const std::function<std::filesystem::path()>& userDir);

}  // namespace kestrune
