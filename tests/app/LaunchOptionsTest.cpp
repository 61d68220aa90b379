// The game's command line, and where a started game finds its data set and puts its saves.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <cctype>
#include <map>
#include <set>
#include <sstream>

#include "app/LaunchOptions.h"
#include "framework/DisplayText.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

TEST(LaunchOptions, ParsesOptionsAndRefusesUnknownOnes) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    std::string errorPart;
  };
  const std::vector<Case> cases = {
      {{}, true, ""},
      {{"--help"}, true, ""},
      {{"-h", "--version"}, true, ""},
      {{"--data", "/opt/games"}, true, ""},
      {{"--data"}, false, "--data needs a value"},
      {{"--full"}, false, "unknown option --full"},
      {{"--fullscreen", "--vsync", "off"}, true, ""},
      {{"--vsync"}, false, "--vsync needs a value"},
      {{"--vsync", "yes"}, false, "--vsync must be on or off, not yes"},
      {{"level3"}, false, "unexpected argument level3"},
      {{"--renderer", "software"}, true, ""},
      {{"--renderer=accelerated"}, true, ""},
      {{"--renderer", "opengl"}, false, "--renderer must be software or accelerated, not opengl"},
      {{"--renderer"}, false, "--renderer needs a value"},
      {{"--scale", "integer", "--filter", "nearest"}, true, ""},
      {{"--scale", "2"}, false, "--scale must be fit or integer, not 2"},
      {{"--filter"}, false, "--filter needs a value"},
      {{"--record", "run.txt"}, true, ""},
      {{"--replay", "run.txt", "--record", "b.txt"}, false, "cannot be used together"},
      {{"--record", "run.txt"}, true, ""},
      {{"--replay", "run.txt", "--record", "b.txt"}, false, "cannot be used together"},
      // --opt=value reads as --opt value; options without a value refuse one.
      {{"--data=/opt/games", "--scale=integer", "--filter=nearest", "--verbose"}, true, ""},
      {{"--scale=2"}, false, "--scale must be fit or integer, not 2"},
      {{"--version=3"}, false, "option --version takes no value"},
      {{"--bogus=1"}, false, "unknown option --bogus"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
    LaunchOptions options;
    std::string error;
    EXPECT_EQ(ParseLaunchOptions(c.args, options, error), c.ok);
    EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
  }
  LaunchOptions options;
  std::string error;
  ASSERT_TRUE(ParseLaunchOptions({"--data", "x", "--version"}, options, error));
  EXPECT_EQ(options.DataDir, "x");
  EXPECT_TRUE(options.ShowVersion);
  EXPECT_FALSE(options.ShowHelp);
  EXPECT_FALSE(options.IntegerScale.has_value());  // left to the display file
  EXPECT_FALSE(options.AcceleratedRenderer.has_value());  // left to the start-up rule
  ASSERT_TRUE(ParseLaunchOptions({"--renderer", "accelerated", "--renderer", "software"}, options, error));
  EXPECT_EQ(options.AcceleratedRenderer, false);  // the last one counts
  ASSERT_TRUE(ParseLaunchOptions({"--scale", "fit", "--filter", "nearest"}, options, error));
  EXPECT_EQ(options.IntegerScale, false);
  EXPECT_EQ(options.NearestFilter, true);
  LaunchOptions attached;
  ASSERT_TRUE(ParseLaunchOptions({"--data=/a=b", "--record=run.txt", "--verbose"}, attached, error));
  EXPECT_EQ(attached.DataDir, "/a=b");  // split at the first '=' only
  EXPECT_EQ(attached.RecordFile, "run.txt");
  EXPECT_TRUE(attached.Verbose);
}

TEST(LaunchOptions, DisplayFileSetsScalingAndSkipsWhatItDoesNotUnderstand) {
  std::vector<std::string> warnings;
  DisplayOptions d = ReadDisplayOptions("# picture\nscale integer\n\n  filter nearest   # sharp\n", warnings);
  EXPECT_TRUE(d.IntegerScale);
  EXPECT_TRUE(d.NearestFilter);
  EXPECT_TRUE(warnings.empty());
  d = ReadDisplayOptions("scale 3\nfilter nearest\nscale integer extra\nzoom 2", warnings);
  EXPECT_FALSE(d.IntegerScale);
  EXPECT_TRUE(d.NearestFilter);
  ASSERT_EQ(warnings.size(), 3u);
  EXPECT_NE(warnings[0].find("line 1"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[2].find("line 4"), std::string::npos) << warnings[2];
  warnings.clear();
  d = ReadDisplayOptions(std::string("\0\xff\r\n", 4), warnings);
  EXPECT_FALSE(d.IntegerScale || d.NearestFilter);
}

// --fullscreen, --window and --vsync: the last of --fullscreen and --window counts; the command
// line wins over Display.cfg, which decides what the command line leaves open.
TEST(LaunchOptions, DisplayChoicesOfTheCommandLineWinOverTheDisplayFile) {
  struct Case {
    std::vector<std::string> args;
    std::string file;
    std::optional<bool> fullScreen;
    bool vsync, integer, nearest;
  };
  const std::vector<Case> cases = {
      {{}, "", std::nullopt, true, false, false},
      {{"--fullscreen"}, "vsync off\n", true, false, false, false},
      {{"--window"}, "scale integer\n", false, true, true, false},
      {{"--window", "--fullscreen"}, "", true, true, false, false},
      {{"--vsync", "on"}, "vsync off\nfilter nearest\n", std::nullopt, true, false, true},
      {{"--vsync", "off", "--scale", "fit"}, "vsync on\nscale integer\n", std::nullopt, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    LaunchOptions options;
    std::string error;
    ASSERT_TRUE(ParseLaunchOptions(c.args, options, error)) << error;
    std::vector<std::string> warnings;
    const DisplayOptions session = DisplayForSession(options, ReadDisplayOptions(c.file, warnings));
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(options.FullScreen, c.fullScreen);
    EXPECT_EQ(session.Vsync, c.vsync);
    EXPECT_EQ(session.IntegerScale, c.integer);
    EXPECT_EQ(session.NearestFilter, c.nearest);
  }
}

// The window's last place and size survive a round trip through Display.cfg without disturbing
// its other lines; damaged window lines are skipped with a warning.
TEST(DisplayOptions, TheLastWindowRoundTripsAndKeepsTheOtherLines) {
  const DisplayOptions::Window placed{-1200, 35, 1600, 1200};
  const std::string file = "# mine\nscale integer\nwindow 1 2 3 4  # old\nvsync off\nwindow 5 6 7 8\n";
  const std::string updated = WithLastWindow(file, placed);
  EXPECT_EQ(updated, "# mine\nscale integer\nwindow -1200 35 1600 1200\nvsync off\n");
  std::vector<std::string> warnings;
  DisplayOptions d = ReadDisplayOptions(updated, warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(d.LastWindow, placed);
  EXPECT_TRUE(d.IntegerScale);
  EXPECT_FALSE(d.Vsync);
  // No file yet, or none with a window line: the line is added.
  EXPECT_EQ(WithLastWindow("", placed), "window -1200 35 1600 1200\n");
  EXPECT_EQ(WithLastWindow("filter nearest", placed), "filter nearest\nwindow -1200 35 1600 1200\n");

  for (const char* bad : {"window 1 2 3", "window 1 2 0 600", "window 1 2 800 -600", "window a b c d",
                          "window 1 2 800 600 9", "window 99999 0 800 600", "window 0 0 800 99999999999"}) {
    warnings.clear();
    d = ReadDisplayOptions(bad, warnings);
    EXPECT_FALSE(d.LastWindow.has_value()) << bad;
    EXPECT_EQ(warnings.size(), 1u) << bad;
  }
}

// A scratch tree: an installed prefix (bin/, share/kestrune/Data/Res) and a bare folder.
class GameRootTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("kestrune-root-" + std::to_string(::getpid()));
    fs::remove_all(base_);
    fs::create_directories(base_ / "prefix" / "bin");
    fs::create_directories(base_ / "prefix" / "share" / "kestrune" / "Data" / "Res");
    fs::create_directories(base_ / "elsewhere");
  }
  void TearDown() override { fs::remove_all(base_); }
  fs::path base_;
};

TEST_F(GameRootTest, FindsTheDataSetFromTheOptionTheWorkingFolderOrTheExecutable) {
  const fs::path installed = base_ / "prefix" / "share" / "kestrune";
  const fs::path bin = base_ / "prefix" / "bin";
  const fs::path bare = base_ / "elsewhere";
  const fs::path standard = "../share/kestrune";
  // Installed game started from anywhere.
  EXPECT_EQ(FindGameRoot("", bin, bare, standard).Root, installed);
  // The working folder holding a data set wins (the build folder's play command).
  EXPECT_EQ(FindGameRoot("", bare, installed, standard).Root, installed);
  // --data as the folder holding Data/, or as Data/ itself, relative or absolute.
  EXPECT_EQ(FindGameRoot(installed.string(), bare, bare, standard).Root, installed);
  EXPECT_EQ(FindGameRoot((installed / "Data").string() + "/", bare, bare, standard).Root, installed);
  EXPECT_EQ(FindGameRoot("../prefix/share/kestrune", bare, bare, standard).Root, installed);
  // A --data folder without a data set is an error, not a silent fallback.
  EXPECT_FALSE(FindGameRoot(bare.string(), bin, installed, standard).Root.has_value());
}

TEST_F(GameRootTest, SaysWhetherTheDataSetIsInstalledAndWhereItSearched) {
  const fs::path bare = base_ / "elsewhere";
  // Debian's games layout: the program in games/, the data in share/games/kestrune.
  fs::create_directories(base_ / "usr" / "games");
  fs::create_directories(base_ / "usr" / "share" / "games" / "kestrune" / "Data" / "Res");
  GameRootSearch found = FindGameRoot("", base_ / "usr" / "games", bare, "../share/games/kestrune");
  EXPECT_EQ(found.Root, base_ / "usr" / "share" / "games" / "kestrune");
  EXPECT_TRUE(found.Installed);
  // A build or portable folder (no share/ above it) is not an installed game.
  fs::create_directories(base_ / "portable" / "Data" / "Res");
  found = FindGameRoot("", base_ / "portable", bare, "../share/kestrune");
  EXPECT_EQ(found.Root, base_ / "portable");
  EXPECT_FALSE(found.Installed);
  // Nothing found anywhere: no root, and every folder tried, in order, written plainly.
  found = FindGameRoot("", bare, bare, "../share/kestrune");
  EXPECT_FALSE(found.Root.has_value());
  EXPECT_EQ(found.Searched, (std::vector<fs::path>{bare, base_ / "share" / "kestrune", bare}));
}

// Every option the game's help names is in its manual page and its bash completion too.
TEST(GameCommandLine, TheManualPageAndCompletionNameEveryOptionOfTheHelp) {
  const auto read = [](const fs::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const fs::path assets = fs::path(KESTRUNE_TEST_SOURCE_DIR) / ".." / "assets";
  const std::string manual = read(assets / "man" / "kestrune.6");
  const std::string completion = read(assets / "completion" / "kestrune");
  ASSERT_FALSE(manual.empty());
  ASSERT_FALSE(completion.empty());
  const std::string help = LaunchHelpText();
  std::set<std::string> options;
  for (std::size_t at = help.find('-'); at != std::string::npos; at = help.find('-', at + 1)) {
    if (at > 0 && help[at - 1] != ' ' && help[at - 1] != ',') continue;
    std::size_t end = at;
    while (end < help.size() && (help[end] == '-' || std::isalpha(static_cast<unsigned char>(help[end])))) ++end;
    const std::string option = help.substr(at, end - at);
    if (option.size() >= 2 && option != "--option") options.insert(option);
    at = end;
  }
  EXPECT_GE(options.size(), 12u);
  for (const std::string& option : options) {
    std::string escaped;  // as troff writes it: every '-' as "\-"
    for (const char c : option) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(manual.find(escaped), std::string::npos) << option << " is not in the manual page";
    const auto isWord = [&](std::size_t at) {
      const std::size_t end = at + option.size();
      return std::isspace(static_cast<unsigned char>(completion[at - 1])) &&
             (end == completion.size() || (completion[end] != '-' && !std::isalnum(static_cast<unsigned char>(completion[end]))));
    };
    bool completed = false;
    for (std::size_t at = completion.find(option); at != std::string::npos && !completed; at = completion.find(option, at + 1))
      completed = at > 0 && isWord(at);
    EXPECT_TRUE(completed) << option << " is not in the completion";
  }
}

TEST(UserBaseFolders, FollowXdgVariablesWhenAbsoluteElseTheHomeFolder) {
  struct Case {
    std::map<std::string, std::string> env;
    fs::path data, config;
  };
  const Case cases[] = {
      {{{"HOME", "/home/a"}}, "/home/a/.local/share", "/home/a/.config"},
      {{{"HOME", "/home/a"}, {"XDG_DATA_HOME", "/d"}, {"XDG_CONFIG_HOME", "/c"}}, "/d", "/c"},
      // Relative or empty values are to be ignored, by the XDG rules.
      {{{"HOME", "/home/a"}, {"XDG_DATA_HOME", "rel"}, {"XDG_CONFIG_HOME", ""}}, "/home/a/.local/share",
       "/home/a/.config"},
  };
  for (const Case& c : cases) {
    const UserBaseFolders folders = UserBaseFoldersFrom([&](const char* name) -> const char* {
      const auto it = c.env.find(name);
      return it == c.env.end() ? nullptr : it->second.c_str();
    });
    EXPECT_EQ(folders.Data, c.data);
    EXPECT_EQ(folders.Config, c.config);
  }
}

// Without a usable HOME the account's home folder from the password database stands in; without
// that either, the base folders the XDG variables do not name are empty. Never a shared
// temporary folder, where another user could plant links to the player's own files.
TEST(UserBaseFolders, WithoutHomeTheAccountsHomeElseNothing) {
  struct Case {
    const char* what;
    std::map<std::string, std::string> env;
    fs::path account;  // what the password database says
    fs::path data, config;
  };
  const Case cases[] = {
      {"HOME unset", {}, "/home/p", "/home/p/.local/share", "/home/p/.config"},
      {"HOME empty", {{"HOME", ""}}, "/home/p", "/home/p/.local/share", "/home/p/.config"},
      {"HOME relative", {{"HOME", "p"}}, "/home/p", "/home/p/.local/share", "/home/p/.config"},
      {"HOME set", {{"HOME", "/home/h"}}, "/home/p", "/home/h/.local/share", "/home/h/.config"},
      {"no home at all", {}, "", "", ""},
      {"a relative account home", {}, "home/p", "", ""},
      {"no home, one XDG folder", {{"XDG_DATA_HOME", "/d"}}, "", "/d", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const UserBaseFolders folders = UserBaseFoldersFrom(
        [&](const char* name) -> const char* {
          const auto it = c.env.find(name);
          return it == c.env.end() ? nullptr : it->second.c_str();
        },
        [&] { return c.account; });
    EXPECT_EQ(folders.Data, c.data);
    EXPECT_EQ(folders.Config, c.config);
  }
  // The real lookup gives this process's user an absolute home folder, or nothing.
  const fs::path home = AccountHome();
  EXPECT_TRUE(home.empty() || home.is_absolute()) << home;
}

// Empty base folders give empty player folders, and nothing is made anywhere for them.
TEST_F(GameRootTest, WithoutUserFoldersNothingIsKeptAndNothingMade) {
  const fs::path root = base_ / "prefix" / "share" / "kestrune";
  fs::create_directories(root / "Data" / "Save");
  std::ofstream(root / "Data" / "Save" / "hs") << "old table";
  const fs::path work = base_ / "work";
  fs::create_directories(work);
  const fs::path before = fs::current_path();
  fs::current_path(work);
  const PlayerFolders installed = ChoosePlayerFolders(root, true, UserBaseFolders{});
  std::ofstream(base_ / "blocked") << "x";
  const PlayerFolders portable = ChoosePlayerFolders(base_ / "blocked", false, UserBaseFolders{});
  fs::current_path(before);
  for (const PlayerFolders& folders : {installed, portable}) {
    EXPECT_TRUE(folders.Saves.empty()) << folders.Saves;
    EXPECT_TRUE(folders.Settings.empty()) << folders.Settings;
    EXPECT_TRUE(folders.Screenshots.empty()) << folders.Screenshots;
  }
  EXPECT_TRUE(fs::is_empty(work));
  // A portable game that can write its own Data/Save still keeps its files there.
  EXPECT_EQ(ChoosePlayerFolders(root, false, UserBaseFolders{}).Saves, root / "Data" / "Save");
}

TEST_F(GameRootTest, AnInstalledGameKeepsPlayerFilesInTheUserFoldersNeverInTheDataTree) {
  const fs::path root = base_ / "prefix" / "share" / "kestrune";  // writable, yet not written
  const UserBaseFolders user{base_ / "xdg-data", base_ / "xdg-config"};
  // An earlier version saved into the data tree, and kept Display.cfg beside the per-user saves.
  fs::create_directories(root / "Data" / "Save");
  std::ofstream(root / "Data" / "Save" / "hs") << "old table";
  fs::create_directories(user.Data / "kestrune" / "Save");
  std::ofstream(user.Data / "kestrune" / "Save" / "options") << "player's options";
  std::ofstream(user.Data / "kestrune" / "Save" / "Display.cfg") << "scale integer\n";

  const PlayerFolders folders = ChoosePlayerFolders(root, true, user);
  EXPECT_EQ(folders.Saves, user.Data / "kestrune" / "Save");
  EXPECT_EQ(folders.Settings, user.Config / "kestrune");
  EXPECT_EQ(folders.Screenshots, user.Data / "kestrune" / "Screenshots");
  EXPECT_TRUE(fs::is_directory(folders.Settings));
  auto read = [](const fs::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  // The old table is carried over, the player's own options are kept, Display.cfg moves to the
  // settings folder; nothing new appears in the data tree.
  EXPECT_EQ(read(folders.Saves / "hs"), "old table");
  EXPECT_EQ(read(folders.Saves / "options"), "player's options");
  EXPECT_EQ(read(folders.Settings / "Display.cfg"), "scale integer\n");
  EXPECT_FALSE(fs::exists(root / "Data" / "Save" / "options"));
  // A later start does not overwrite what the player has since saved.
  std::ofstream(folders.Saves / "hs") << "new table";
  ChoosePlayerFolders(root, true, user);
  EXPECT_EQ(read(folders.Saves / "hs"), "new table");
}

TEST_F(GameRootTest, APortableGameKeepsItsFilesInDataSaveWhenItCanBeWritten) {
  const UserBaseFolders user{base_ / "xdg-data", base_ / "xdg-config"};
  const fs::path root = base_ / "prefix" / "share" / "kestrune";
  PlayerFolders folders = ChoosePlayerFolders(root, false, user);
  EXPECT_EQ(folders.Saves, root / "Data" / "Save");
  EXPECT_EQ(folders.Settings, root / "Data" / "Save");
  EXPECT_EQ(folders.Screenshots, root / "Data" / "Screenshots");
  EXPECT_TRUE(fs::is_directory(root / "Data" / "Save"));
  EXPECT_FALSE(fs::exists(user.Data));
  // A game folder where no Save folder can be made (here a file stands in its way).
  std::ofstream(base_ / "blocked") << "x";
  folders = ChoosePlayerFolders(base_ / "blocked", false, user);
  EXPECT_EQ(folders.Saves, user.Data / "kestrune" / "Save");
  EXPECT_EQ(folders.Settings, folders.Saves);
  EXPECT_TRUE(fs::is_directory(folders.Saves));
}

struct ProgramRun {
  int status = -1;
  std::string out, err;
};

ProgramRun RunProgram(const std::string& command) {
  const fs::path outFile = fs::temp_directory_path() / ("kestrune-out-" + std::to_string(::getpid()));
  const fs::path errFile = fs::temp_directory_path() / ("kestrune-err-" + std::to_string(::getpid()));
  const int status = std::system((command + " >" + outFile.string() + " 2>" + errFile.string()).c_str());
  auto slurp = [](const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  };
  ProgramRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(outFile), slurp(errFile)};
  fs::remove(outFile);
  fs::remove(errFile);
  return run;
}

TEST(GameCommandLine, HelpVersionAndUnknownOptionsNeedNoDisplay) {
  const std::string game = std::string(KESTRUNE_BUILD_DIR) + "/kestrune";
  ProgramRun run = RunProgram("env -u DISPLAY -u WAYLAND_DISPLAY " + game + " --version");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.starts_with("kestrune ")) << run.out;
  run = RunProgram(game + " --help");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("--data DIR"), std::string::npos);
  run = RunProgram(game + " --bogus");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("unknown option --bogus"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty());
  run = RunProgram(game + " --data /nonexistent-kestrune");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no data set found"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("  /nonexistent-kestrune\n"), std::string::npos) << run.err;
}

// Started where no data set is to be found (the program alone, away from its build folder), the
// game names every folder it searched, as absolute paths, and leaves no Data/Save behind.
TEST(GameCommandLine, WithoutADataSetItListsTheFoldersSearchedAndCreatesNothing) {
  const fs::path base = fs::temp_directory_path() / ("kestrune-nodata-" + std::to_string(::getpid()));
  fs::remove_all(base);
  fs::create_directories(base / "bin");
  fs::create_directories(base / "work");
  fs::copy_file(fs::path(KESTRUNE_BUILD_DIR) / "kestrune", base / "bin" / "kestrune");
  const ProgramRun run = RunProgram("cd '" + (base / "work").string() +
                                    "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 10 ../bin/kestrune");
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("  " + (base / "work").string() + "\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("  " + (base / "bin").string() + "\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("  " + (base / "share" / "kestrune").string() + "\n"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(base / "work" / "Data"));
  EXPECT_FALSE(fs::exists(base / "bin" / "Data"));
  fs::remove_all(base);
}

// --controls prints the table in use, read from the controls file beside the display settings,
// with one line on standard error for each name it does not know; no display is needed.
TEST(GameCommandLine, ControlsPrintsTheTableInUse) {
  const fs::path root = fs::temp_directory_path() / ("kestrune-controls-" + std::to_string(::getpid()));
  fs::create_directories(root / "Data" / "Save");
  fs::create_directory_symlink(fs::absolute(std::string(KESTRUNE_BUILD_DIR) + "/Data/Res"), root / "Data" / "Res");
  std::ofstream(root / "Data" / "Save" / "Controls.cfg") << "up = W\nfire = Nokey | a\n";
  const std::string game = std::string(KESTRUNE_BUILD_DIR) + "/kestrune";
  const ProgramRun run =
      RunProgram("env -u DISPLAY -u WAYLAND_DISPLAY " + game + " --data " + root.string() + " --controls");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("up = W | dpup, righttrigger"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("fire = Z | a"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("Controls.cfg: line 2: unknown key \"Nokey\"; fire keeps its default"), std::string::npos)
      << run.err;
  fs::remove_all(root);
}

// Settings files full of junk (64 KB of lines none of which means anything) report a few of their
// problems each and count the rest, instead of a line for every line of the file.
TEST(GameCommandLine, SettingsFilesOfJunkReportAFewLinesEach) {
  const fs::path root = fs::temp_directory_path() / ("kestrune-junk-settings-" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "Data" / "Save");
  fs::create_directory_symlink(fs::absolute(std::string(KESTRUNE_BUILD_DIR) + "/Data/Res"), root / "Data" / "Res");
  std::string junk;
  for (int i = 0; i < 32000; ++i) junk += "x\n";
  for (const char* file : {"Display.cfg", "Controls.cfg", "Sound.cfg"}) std::ofstream(root / "Data" / "Save" / file) << junk;
  const std::string game = std::string(KESTRUNE_BUILD_DIR) + "/kestrune";
  const ProgramRun run =
      RunProgram("env -u DISPLAY -u WAYLAND_DISPLAY " + game + " --data " + root.string() + " --controls");
  EXPECT_EQ(run.status, 0) << run.err.substr(0, 2000);
  for (const std::string file : {"Display.cfg", "Controls.cfg", "Sound.cfg"}) {
    SCOPED_TRACE(file);
    std::size_t lines = 0;
    for (std::size_t at = run.err.find(file + ": "); at != std::string::npos; at = run.err.find(file + ": ", at + 1))
      ++lines;
    EXPECT_EQ(lines, kWarningsShownPerFile + 1) << run.err.substr(0, 2000);
    EXPECT_NE(run.err.find(file + ": ... and " + std::to_string(32000 - kWarningsShownPerFile) + " more\n"),
              std::string::npos)
        << run.err.substr(0, 2000);
  }
  fs::remove_all(root);
}

// A settings file that is there but cannot be read (a folder in its place) is said in one line
// each, and the defaults stand in.
TEST(GameCommandLine, SettingsFilesThatCannotBeReadAreSaid) {
  const fs::path root = fs::temp_directory_path() / ("kestrune-folder-settings-" + std::to_string(::getpid()));
  fs::remove_all(root);
  for (const char* file : {"Display.cfg", "Controls.cfg", "Sound.cfg"})
    fs::create_directories(root / "Data" / "Save" / file);
  fs::create_directory_symlink(fs::absolute(std::string(KESTRUNE_BUILD_DIR) + "/Data/Res"), root / "Data" / "Res");
  const std::string game = std::string(KESTRUNE_BUILD_DIR) + "/kestrune";
  const ProgramRun run =
      RunProgram("env -u DISPLAY -u WAYLAND_DISPLAY " + game + " --data " + root.string() + " --controls");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("fire = Z"), std::string::npos) << run.out;
  for (const std::string file : {"Display.cfg", "Controls.cfg", "Sound.cfg"})
    EXPECT_NE(run.err.find("kestrune: " + file + " cannot be read ("), std::string::npos) << file << "\n" << run.err;
  fs::remove_all(root);
}

// A save folder that cannot be written is said at the start, not found out at the end; the game
// plays on.
TEST(GameCommandLine, ASaveFolderThatCannotBeWrittenIsSaidAtTheStart) {
  const fs::path root = fs::temp_directory_path() / ("kestrune-unwritable-" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "Data");
  fs::create_directories(root / "xdg");
  fs::create_directory_symlink(fs::absolute(std::string(KESTRUNE_BUILD_DIR) + "/Data/Res"), root / "Data" / "Res");
  // Files stand where both the portable Data/Save and the per-user folder would be made.
  std::ofstream(root / "Data" / "Save") << "x";
  std::ofstream(root / "xdg" / "kestrune") << "x";
  const ProgramRun run = RunProgram("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_DATA_HOME='" +
                                    (root / "xdg").string() + "' timeout -s TERM 3 " +
                                    std::string(KESTRUNE_BUILD_DIR) + "/kestrune --data '" + root.string() + "'");
  EXPECT_EQ(run.status, 124) << run.err;  // still playing when the time-out ended it
  const std::string said = "kestrune: the save folder " + (root / "xdg" / "kestrune" / "Save").string() +
                           " cannot be written (";
  EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
  EXPECT_LT(run.err.find(said), run.err.find("audio driver")) << "said only after the start:\n" << run.err;
  fs::remove_all(root);
}

// A recorded game stopped by a signal ends as a played one does: its options are saved, and the
// recording is complete, closing frame count included, so it replays without --frames.
TEST(GameCommandLine, ARecordingStoppedBySignalIsSavedAndComplete) {
  const fs::path base = fs::temp_directory_path() / ("kestrune-record-" + std::to_string(::getpid()));
  fs::remove_all(base);
  fs::create_directories(base / "Data");
  for (const char* folder : {"Res", "Music"})
    fs::copy(fs::path(KESTRUNE_BUILD_DIR) / "Data" / folder, base / "Data" / folder, fs::copy_options::recursive);
  const fs::path record = base / "run.txt";
  const ProgramRun run = RunProgram("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -s TERM 3 " +
                                    std::string(KESTRUNE_BUILD_DIR) + "/kestrune --data '" +
                                    (base / "Data").string() + "' --record '" + record.string() + "'");
  EXPECT_EQ(run.status, 124) << run.err;  // still running when the signal came
  std::ifstream in(record);
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  EXPECT_TRUE(last.starts_with("frames ")) << last << "\n" << run.err;
  EXPECT_TRUE(fs::is_regular_file(base / "Data" / "Save" / "options"));
  fs::remove_all(base);
}

// A recording that cannot be written (a full disk) is reported at once, the game is played on,
// and the exit status says the recording failed.
TEST(GameCommandLine, AnUnwritableRecordingIsReportedAndFailsTheExit) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const ProgramRun run = RunProgram("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout --preserve-status -s TERM 3 " +
                                    std::string(KESTRUNE_BUILD_DIR) + "/kestrune --record /dev/full");
  EXPECT_NE(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("cannot write the recording /dev/full"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("recorded "), std::string::npos) << run.err;
}

// Display.cfg's lines are quoted escaped in its warnings.
TEST(DisplayOptions, WarningsQuoteTheFileEscaped) {
  std::vector<std::string> warnings;
  ReadDisplayOptions("scale integer\n\x1b]0;owned\x07\n", warnings);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "line 2 is not understood: \\x1B]0;owned\\x07");
}

}  // namespace
}  // namespace kestrune
