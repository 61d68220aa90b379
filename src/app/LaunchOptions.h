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
  bool Verbose = false;  // --verbose: the folders in use are said on standard error
  bool ShowControls = false;  // --controls: print the keys and pad controls in use
  std::string DataDir;  // --data: the folder holding Data/ (or the Data folder itself)
  // --scale fit|integer and --filter linear|nearest; unset where the display file decides.
  std::optional<bool> IntegerScale;
  std::optional<bool> NearestFilter;
  // --fullscreen / --window: the mode for this session, whatever the options file says (which
  // keeps its own switch); unset where the options decide.
  std::optional<bool> FullScreen;
  // --vsync on|off; unset where the display file decides.
  std::optional<bool> Vsync;
  // --renderer software|accelerated; unset where the game chooses at start-up.
  std::optional<bool> AcceleratedRenderer;
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
std::string LaunchVersionNumber();  // the version alone, as the build set it

// Where an installed game's data set lies relative to its executable's folder, fixed when the
// build is configured from its install directories ("../share/kestrune" by default).
std::filesystem::path InstalledDataFromExecutable();

// The folder the game runs in (it holds Data/ and Docs/) and how it was found.
struct GameRootSearch {
  std::optional<std::filesystem::path> Root;  // nothing when no data set was found
  // True when the data set is the installed one beside the executable or lies below a folder
  // named share: the player's files then go to the per-user folders, never into the data tree.
  bool Installed = false;
  std::vector<std::filesystem::path> Searched;  // every folder tried, absolute, in order
};

// Tried in turn: the --data folder (or the parent of a Data folder given there) and nothing else
// when it is given; otherwise the working directory, the installed data beside the executable
// (exeDir / installedData), the executable's own folder (the build folder).
GameRootSearch FindGameRoot(const std::string& dataDir, const std::filesystem::path& exeDir,
                            const std::filesystem::path& workingDir,
                            const std::filesystem::path& installedData = InstalledDataFromExecutable());

// The folders a started game writes to.
struct PlayerFolders {
  std::filesystem::path Saves;        // options, hs, form
  std::filesystem::path Settings;     // Display.cfg and the other settings files
  std::filesystem::path Screenshots;  // F12 pictures
};

// The home folder the password database gives this process's user; empty when it names none
// (or not an absolute one).
std::filesystem::path AccountHome();

// The per-user base folders, from $XDG_DATA_HOME and $XDG_CONFIG_HOME when they hold absolute
// paths, else ~/.local/share and ~/.config. getEnv returns nullptr for an unset variable. The
// home folder is $HOME when it is an absolute path, else the account's home in the password
// database (accountHome; empty when there is none). Without either, a base folder the XDG
// variables do not name is empty: nothing per-user is written then, never a shared temporary
// folder, where another user could plant links to the player's own files.
struct UserBaseFolders {
  std::filesystem::path Data, Config;
};
UserBaseFolders UserBaseFoldersFrom(const std::function<const char*(const char*)>& getEnv,
                                    const std::function<std::filesystem::path()>& accountHome = AccountHome);


// Why files cannot be made in the folder (made first when missing), in plain words; empty when
// they can.
std::string FolderWriteProblem(const std::filesystem::path& folder);

// A folder that would lie in an empty base folder is empty itself: the game does without it (no
// saves, settings or screenshots), as main says at the start.
//
// Installed: saves in <data>/kestrune/Save, screenshots in <data>/kestrune/Screenshots, settings in
// <config>/kestrune (made when missing); a save file or Display.cfg that an earlier version kept
// in the data tree's Data/Save is copied over when the per-user folder lacks it. Otherwise (build
// or portable folder): saves and settings in Data/Save below the game root when that can be
// written, else in the per-user Save folder; screenshots beside the saves.
PlayerFolders ChoosePlayerFolders(const std::filesystem::path& gameRoot, bool installed,
                                  const UserBaseFolders& user);

}  // namespace kestrune
