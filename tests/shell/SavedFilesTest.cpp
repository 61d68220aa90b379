#include <gtest/gtest.h>
#include <unistd.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "fixtures/Files.h"
#include "framework/Errors.h"
#include "game/GameState.h"
#include "platform/TextRenderer.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/HighScoreTable.h"
#include "shell/SaveFileIO.h"
#include "shell/SavedFiles.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class SavedFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // In memory where /dev/shm exists: some tests save hundreds of times, each flushed to disk.
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    folder_ = base /
              ("kestrune-savedfiles-" + std::to_string(::getpid()) + "-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    SetSaveFolder((folder_ / "Save").string());
    GameState = TGameState{};
  }
  void TearDown() override {
    SetSaveFolder("Data/Save");
    SetFullScreenForSession(std::nullopt);
    fs::remove_all(folder_);
  }
  fs::path Save() const { return folder_ / "Save"; }
  // The table's files as a hand-written save folder would hold them.
  void WriteFiles(const std::string& options, const std::string& highScores) {
    fs::create_directories(Save());
    WriteAll(Save() / "options", options);
    WriteAll(Save() / "hs", highScores);
  }
  static std::string DefaultTableFile(const std::string& eol) {
    std::string text;
    for (int i = 1; i <= 10; ++i) text += "ANONYMOUS" + eol + std::to_string(5500 - 500 * i) + eol;
    return text;
  }

  fs::path folder_;
};

// --fullscreen and --window choose the mode for one session: the options file keeps its own
// switch unless the player changes the mode during the session.
TEST_F(SavedFilesTest, TheCommandLinesModeIsForThisSessionOnly) {
  struct Case {
    const char* file;  // the options file's switch
    bool forced;       // the command line's mode
    bool toggled;      // the player switched the mode during the session
    const char* saved;
  };
  const Case cases[] = {
      {"0", true, false, "0"}, {"1", false, false, "1"}, {"0", false, false, "0"},
      {"0", true, true, "0"},  {"1", true, true, "0"},   {"0", false, true, "1"},
  };
  for (const Case& c : cases) {
    WriteFiles(std::string(c.file) + "\r\n1\r\n1\r\nFrance\r\n\r\n", DefaultTableFile("\r\n"));
    SetFullScreenForSession(c.forced);
    GameState = TGameState{};
    LoadOptions();
    EXPECT_EQ(GameState.FullScreen, c.forced ? 1 : 0) << c.file << c.forced;
    if (c.toggled) GameState.FullScreen = static_cast<std::uint8_t>(1 - GameState.FullScreen);
    SaveOptions();
    EXPECT_EQ(ReadAll(Save() / "options").substr(0, 1), c.saved) << c.file << c.forced << c.toggled;
  }
  // Without a choice on the command line the options decide again.
  SetFullScreenForSession(std::nullopt);
  WriteFiles("1\r\n1\r\n1\r\nFrance\r\n\r\n", DefaultTableFile("\r\n"));
  LoadOptions();
  EXPECT_EQ(GameState.FullScreen, 1);
  GameState.FullScreen = 0;
  SaveOptions();
  EXPECT_EQ(ReadAll(Save() / "options").substr(0, 1), "0");
}

TEST_F(SavedFilesTest, BothFilesRoundTripByteForByteWithWindows1252Names) {
  ReadSaveFiles();  // nothing saved yet: defaults
  EXPECT_EQ(GameState.MusicOn, 1);
  EXPECT_EQ(GameState.SoundOn, 1);
  EXPECT_EQ(GameState.Country, "_______");
  GameState.FullScreen = 1;
  GameState.MusicOn = 0;
  GameState.Country = "\xD6sterreich \x80";  // "Österreich €" in Windows-1252
  InsertHighScore("J\xFCrgen", 4200);        // "Jürgen"
  SaveOptions();
  SaveHighScores();

  const std::string check = HighScoreCheck();
  EXPECT_EQ(ReadAll(Save() / "options"), "1\r\n0\r\n1\r\n\xD6sterreich \x80\r\n" + check + "\r\n");
  std::string expected = "ANONYMOUS\r\n5000\r\nANONYMOUS\r\n4500\r\nJ\xFCrgen\r\n4200\r\n";
  for (int score = 4000; score >= 1000; score -= 500)
    expected += "ANONYMOUS\r\n" + std::to_string(score) + "\r\n";
  EXPECT_EQ(ReadAll(Save() / "hs"), expected);

  const auto table = GameState.HighScores;
  GameState = TGameState{};
  ReadSaveFiles();
  EXPECT_EQ(GameState.FullScreen, 1);
  EXPECT_EQ(GameState.MusicOn, 0);
  EXPECT_EQ(GameState.SoundOn, 1);
  EXPECT_EQ(GameState.Country, "\xD6sterreich \x80");
  EXPECT_EQ(GameState.StoredCheck, check);
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(GameState.HighScores[k].Name, table[k].Name) << k;
    EXPECT_EQ(GameState.HighScores[k].Score, table[k].Score) << k;
  }
}

// Hundreds of tables as players make them (names of up to twelve characters, Windows-1252
// letters too, any scores) go out through the exit's save and come back unchanged, whatever
// bytes their check strings hold (127 among them).
TEST_F(SavedFilesTest, GeneratedTablesRoundTripThroughTheExitSave) {
  std::mt19937 random(2026);
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 \xC4\xD6\xDC\xE9\xFF\x80";
  HeadlessPlatform platform;
  int checksWith127 = 0;
  for (int n = 0; n < 300; ++n) {
    SCOPED_TRACE(n);
    GameState = TGameState{};
    GameState.Country = "C" + std::to_string(n);
    for (int k = 1; k <= 10; ++k) {
      std::string name(random() % 13, ' ');
      for (char& c : name) c = letters[random() % letters.size()];
      GameState.HighScores[k] = {name, static_cast<std::int32_t>(random())};
    }
    const auto table = GameState.HighScores;
    const std::string check = HighScoreCheck();
    checksWith127 += check.find('\x7F') != std::string::npos ? 1 : 0;
    ASSERT_TRUE(WriteSaveFiles(platform));
    GameState = TGameState{};
    ReadSaveFiles();
    EXPECT_EQ(GameState.StoredCheck, check);
    EXPECT_EQ(GameState.Country, "C" + std::to_string(n));
    for (int k = 1; k <= 10; ++k) {
      EXPECT_EQ(GameState.HighScores[k].Name, table[k].Name) << k;
      EXPECT_EQ(GameState.HighScores[k].Score, table[k].Score) << k;
    }
  }
  EXPECT_GT(checksWith127, 0);  // the byte that once made a good table look edited
  EXPECT_TRUE(platform.MessageBoxes().empty());
}

// Whatever line ends an editor left (CR LF, LF, or CR alone as old Mac editors write), the
// files read the same; any non-zero flag is on.
TEST_F(SavedFilesTest, LinesEndingInCrLfOrLfOrCrAloneReadAlike) {
  for (const std::string& eol : {std::string("\r\n"), std::string("\n"), std::string("\r")}) {
    SCOPED_TRACE(testing::PrintToString(eol));
    ResetHighScores();
    WriteFiles("0" + eol + "7" + eol + "-1" + eol + "Norway" + eol + HighScoreCheck() + eol,
               DefaultTableFile(eol));
    GameState = TGameState{};
    ::testing::internal::CaptureStderr();
    ReadSaveFiles();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(GameState.FullScreen, 0);
    EXPECT_EQ(GameState.MusicOn, 1);
    EXPECT_EQ(GameState.SoundOn, 1);
    EXPECT_EQ(GameState.Country, "Norway");
    EXPECT_EQ(GameState.HighScores[10].Score, 500);
    EXPECT_EQ(GameState.StoredCheck, HighScoreCheck());
  }
  // An empty line between CR and CR LF is a line of its own.
  WriteFiles("1\r\r\n0\rPeru\r", DefaultTableFile("\r"));
  GameState = TGameState{};
  ReadSaveFiles();
  EXPECT_EQ(GameState.FullScreen, 1);
  EXPECT_EQ(GameState.MusicOn, 0);
  EXPECT_EQ(GameState.SoundOn, 0);
  EXPECT_EQ(GameState.Country, "Peru");
}

// With no save folder (the player has no home folder) the game runs on the defaults and writes
// nothing anywhere: not into the working directory, not beside the root.
TEST_F(SavedFilesTest, WithoutASaveFolderNothingIsReadOrWritten) {
  const fs::path work = folder_ / "work";
  fs::create_directories(work);
  WriteAll(work / "options", "1\r\n0\r\n0\r\nChad\r\n");  // not the player's: never read
  WriteAll(work / ".AbC123", "a file of the folder's own");    // never taken for a staged file
  const fs::path before = fs::current_path();
  fs::current_path(work);
  SetSaveFolder("");
  ReadSaveFiles();
  EXPECT_EQ(GameState.Country, "_______");
  EXPECT_EQ(GameState.MusicOn, 1);
  GameState.Country = "Kept nowhere";
  InsertHighScore("NOBODY", 999999);
  HeadlessPlatform platform;
  EXPECT_TRUE(WriteSaveFiles(platform));
  WritePromotionSwitch(true);
  SaveOptions();
  SaveHighScores();
  EXPECT_FALSE(ReadPromotionSwitch());
  fs::current_path(before);
  EXPECT_TRUE(platform.MessageBoxes().empty());
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(work)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".AbC123", "options"}));
  for (const char* file : {"/options", "/hs", "/form"}) EXPECT_FALSE(fs::exists(file)) << file;
}

// Temporary files of saves that a kill cut off go at the next start: exactly the names the
// writer makes ("options.", "hs.", "form." and six letters or digits), and only regular files.
TEST_F(SavedFilesTest, LeftoverTemporaryFilesOfKilledSavesAreRemovedAtStartUp) {
  fs::create_directories(Save() / "hs.Folder");
  const char* const removed[] = {"options.AbC123", "hs.x9Y8z7", "form.QQQQQQ"};
  const char* const kept[] = {"options.abc", "options.ABCDEFG", "hs.12345_", "notes.ABCDEF", "form.ABCDE",
                              "Display.cfg", "xoptions.AbC123"};
  for (const char* name : removed) WriteAll(Save() / name, "partial");
  for (const char* name : kept) WriteAll(Save() / name, "mine");
  WriteAll(folder_ / "elsewhere", "not the game's");
  fs::create_symlink(folder_ / "elsewhere", Save() / "form.Linked");
  ReadSaveFiles();
  for (const char* name : removed) EXPECT_FALSE(fs::exists(Save() / name)) << name;
  for (const char* name : kept) EXPECT_EQ(ReadAll(Save() / name), "mine") << name;
  EXPECT_TRUE(fs::is_directory(Save() / "hs.Folder"));
  EXPECT_TRUE(fs::is_symlink(Save() / "form.Linked"));
  EXPECT_EQ(ReadAll(folder_ / "elsewhere"), "not the game's");
}

// Save files kept elsewhere through links (a dotfiles manager) are written through them: the
// links stay, their targets get the new content, and no temporary file stays in either folder.
TEST_F(SavedFilesTest, SaveFilesThatAreLinksAreWrittenThroughToTheirTargets) {
  const fs::path dots = folder_ / "dots";
  fs::create_directories(dots);
  fs::create_directories(Save());
  WriteAll(dots / "kestrune-options", "old");
  fs::create_symlink(dots / "kestrune-options", Save() / "options");  // absolute link
  fs::create_symlink("../dots/kestrune-hs", Save() / "hs");           // relative, target missing
  fs::create_symlink("kestrune-form", dots / "form-link");            // a link to a link
  fs::create_symlink(dots / "form-link", Save() / "form");
  GameState.Country = "Linked";
  ResetHighScores();
  InsertHighScore("LINK", 4700);
  HeadlessPlatform platform;
  EXPECT_TRUE(WriteSaveFiles(platform));
  WritePromotionSwitch(true);
  EXPECT_TRUE(platform.MessageBoxes().empty());
  for (const char* name : {"options", "hs", "form"}) EXPECT_TRUE(fs::is_symlink(Save() / name)) << name;
  EXPECT_NE(ReadAll(dots / "kestrune-options").find("Linked\r\n"), std::string::npos);
  EXPECT_NE(ReadAll(dots / "kestrune-hs").find("LINK\r\n4700\r\n"), std::string::npos);
  EXPECT_EQ(ReadAll(dots / "kestrune-form"), std::string(1, '\x01'));
  EXPECT_EQ(std::distance(fs::directory_iterator(Save()), fs::directory_iterator()), 3);
  EXPECT_EQ(std::distance(fs::directory_iterator(dots), fs::directory_iterator()), 4);

  GameState = TGameState{};
  ReadSaveFiles();
  EXPECT_EQ(GameState.Country, "Linked");
  EXPECT_EQ(GameState.HighScores[2].Name, "LINK");
  EXPECT_TRUE(ReadPromotionSwitch());
}

TEST_F(SavedFilesTest, TableEditedOutsideTheGameOrWithoutOptionsIsReplacedByTheDefault) {
  InsertHighScore("CHEATER", 1000000);
  ResetHighScores();
  InsertHighScore("ADA", 4800);
  SaveOptions();
  SaveHighScores();
  const std::string hs = ReadAll(Save() / "hs");

  // The score raised by hand no longer matches the stored check.
  std::string edited = hs;
  edited.replace(edited.find("4800"), 4, "9800");
  WriteAll(Save() / "hs", edited);
  GameState = TGameState{};
  ReadSaveFiles();
  EXPECT_EQ(GameState.HighScores[2].Name, "ANONYMOUS");
  EXPECT_EQ(GameState.HighScores[2].Score, 4500);

  // The options file deleted: default options, and the table goes with them.
  WriteAll(Save() / "hs", hs);
  fs::remove(Save() / "options");
  GameState = TGameState{};
  ReadSaveFiles();
  EXPECT_EQ(GameState.HighScores[2].Name, "ANONYMOUS");
  EXPECT_EQ(GameState.Country, "_______");
  EXPECT_EQ(GameState.MusicOn, 1);
  EXPECT_TRUE(GameState.StoredCheck.empty());
}

TEST_F(SavedFilesTest, EmptyOptionsFileTurnsEverythingOff) {
  ResetHighScores();
  WriteFiles("", DefaultTableFile("\r\n"));
  GameState = TGameState{};
  ReadSaveFiles();
  EXPECT_EQ(GameState.FullScreen, 0);
  EXPECT_EQ(GameState.MusicOn, 0);
  EXPECT_EQ(GameState.SoundOn, 0);
  EXPECT_EQ(GameState.Country, "");
  EXPECT_EQ(GameState.HighScores[1].Score, 5000);  // empty check: the default table
}

TEST_F(SavedFilesTest, MalformedFilesFallBackToTheDefaultsWithOneLineOnStandardError) {
  ResetHighScores();
  const std::string check = HighScoreCheck();
  const std::string goodOptions = "1\r\n0\r\n0\r\nPeru\r\n" + check + "\r\n";
  const std::string goodTable = DefaultTableFile("\r\n");
  struct Case {
    const char* What;
    std::string Options, Table;
    bool OptionsIsFolder = false, TableIsFolder = false;
    // Expected after loading.
    std::uint8_t FullScreen, MusicOn;
    std::string Country;
    std::string Message;
  };
  const Case cases[] = {
      {"bad number", "1\r\nloud\r\n0\r\nPeru\r\n" + check + "\r\n", goodTable, false, false, 1, 1, "Peru",
       "options line 2 is not a number"},
      {"number too large", "99999999999\r\n0\r\n0\r\nPeru\r\n", goodTable, false, false, 0, 0, "Peru",
       "options line 1 is not a number"},
      {"binary junk", std::string("\x00\x9C\xFF\x01\r\n\x02\x03\n\x7F\n\x1B[2J\n", 16), goodTable, false,
       false, 0, 1, "_______", "options line 1 holds control characters"},
      {"overlong country", "1\r\n0\r\n0\r\n" + std::string(100000, 'x') + "\r\n", goodTable, false, false, 1,
       0, "_______", "options line 4 is too long"},
      {"options is a folder", "", goodTable, true, false, 0, 1, "_______", "options is a folder"},
      {"bad score", goodOptions, "ANONYMOUS\r\n5000\r\nANONYMOUS\r\n45x0\r\n", false, false, 1, 0, "Peru",
       "hs line 4 is not a number"},
      {"table is a folder", goodOptions, "", false, true, 1, 0, "Peru", "hs is a folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    fs::remove_all(Save());
    fs::create_directories(Save());
    if (c.OptionsIsFolder) {
      fs::create_directories(Save() / "options");
    } else {
      WriteAll(Save() / "options", c.Options);
    }
    if (c.TableIsFolder) {
      fs::create_directories(Save() / "hs");
    } else {
      WriteAll(Save() / "hs", c.Table);
    }
    GameState = TGameState{};
    ::testing::internal::CaptureStderr();
    ReadSaveFiles();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(GameState.FullScreen, c.FullScreen);
    EXPECT_EQ(GameState.MusicOn, c.MusicOn);
    EXPECT_EQ(GameState.Country, c.Country);
    // A table that could not be read, or is not vouched for by the check, is the default one.
    EXPECT_EQ(GameState.HighScores[2].Name, "ANONYMOUS");
    EXPECT_EQ(GameState.HighScores[2].Score, 4500);
    EXPECT_NE(err.find(c.Message), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
}

TEST_F(SavedFilesTest, SavingCreatesTheFolderAndAFailedWriteLeavesTheOldFileWhole) {
  ResetHighScores();
  SaveHighScores();  // the folder did not exist
  const std::string old = ReadAll(Save() / "hs");
  ASSERT_EQ(old, DefaultTableFile("\r\n"));

  // A disk that fills up part-way through the file: the size limit cuts the write after
  // 16 bytes.
  InsertHighScore("NEW", 9000);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  ::getrlimit(RLIMIT_FSIZE, &before);
  rlimit small = before;
  small.rlim_cur = 16;
  ::setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(SaveHighScores(), ESaveFileError);
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(ReadAll(Save() / "hs"), old);
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(Save()), fs::directory_iterator()), 1);
}

TEST_F(SavedFilesTest, OptionsThatCannotBeWrittenKeepTheOldTableInPlaceAndAreReported) {
  ResetHighScores();
  SaveHighScores();
  const std::string oldTable = ReadAll(Save() / "hs");
  // A folder with something in it where the options file should be.
  fs::create_directories(Save() / "options" / "inside");
  InsertHighScore("NEW", 9000);
  HeadlessPlatform platform;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(WriteSaveFiles(platform));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Your options were not saved in " + (Save() / "options").string() + ": a folder is in its place."),
            std::string::npos)
      << err;
  ASSERT_EQ(platform.MessageBoxes().size(), 1u);
  const std::string& box = platform.MessageBoxes()[0].Text;
  EXPECT_NE(box.find("Your options were not saved"), std::string::npos) << box;
  // A new table beside the old options would not match their check: it is not written either.
  EXPECT_NE(box.find("Your high-score table was not saved"), std::string::npos) << box;
  EXPECT_EQ(ReadAll(Save() / "hs"), oldTable);
  EXPECT_EQ(std::distance(fs::directory_iterator(Save()), fs::directory_iterator()), 2);
}

// A full disk at the end: every write that failed (the goodbye window's switch, the options,
// the table) is in one message box, each saying what was not saved, where and why.
TEST_F(SavedFilesTest, EveryFailedWriteOfTheExitIsInOneMessageBoxInPlainWords) {
  fs::create_directories(Save() / "form" / "inside");
  ResetHighScores();
  HeadlessPlatform platform;
  try {
    WritePromotionSwitch(true);
    ADD_FAILURE() << "the switch was written";
  } catch (const ESaveFileError& e) {
    DeferSaveFailure("Your choice about this goodbye window was not saved", e);
  }
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  ::getrlimit(RLIMIT_FSIZE, &before);
  rlimit small = before;
  small.rlim_cur = 8;
  ::setrlimit(RLIMIT_FSIZE, &small);
  // (Standard error is not captured: the size limit would cut its capture file too.)
  const bool saved = WriteSaveFiles(platform);
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_FALSE(saved);
  ASSERT_EQ(platform.MessageBoxes().size(), 1u);
  const std::string& box = platform.MessageBoxes()[0].Text;
  for (const std::string& line :
       {"- Your choice about this goodbye window was not saved in " + (Save() / "form").string() +
            ": a folder is in its place.",
        "- Your high-score table was not saved in " + (Save() / "hs").string() +
            ": the file is larger than the system allows.",
        "- Your options were not saved in " + (Save() / "options").string() +
            ": the file is larger than the system allows."})
    EXPECT_NE(box.find(line), std::string::npos) << box;
  EXPECT_FALSE(fs::exists(Save() / "options"));
  EXPECT_EQ(std::distance(fs::directory_iterator(Save()), fs::directory_iterator()), 1);

  // The next exit that works reports nothing old.
  HeadlessPlatform next;
  EXPECT_TRUE(WriteSaveFiles(next));
  EXPECT_TRUE(next.MessageBoxes().empty());
}

TEST(SaveFailureWords, SystemErrorsAreToldInPlainWords) {
  const std::pair<int, const char*> cases[] = {
      {ENOSPC, "the disk is full"},         {EDQUOT, "the disk quota is used up"},
      {EROFS, "the disk is read-only"},     {EACCES, "the game is not allowed to write there"},
      {EISDIR, "a folder is in its place"}, {ENOENT, "its folder is missing"},
  };
  for (const auto& [error, words] : cases) {
    EWriteError e("Cannot write file \"x\". technical");
    e.SystemError = error;
    EXPECT_EQ(PlainReason(e), words);
  }
}

TEST_F(SavedFilesTest, PromotionSwitchHasThreeStates) {
  EXPECT_FALSE(FileExists(PromotionSwitchPath()));
  EXPECT_FALSE(ReadPromotionSwitch());  // missing: the window shows
  WritePromotionSwitch(true);
  EXPECT_EQ(ReadAll(Save() / "form"), std::string(1, '\x01'));
  EXPECT_TRUE(ReadPromotionSwitch());
  WritePromotionSwitch(false);
  EXPECT_EQ(ReadAll(Save() / "form"), std::string(1, '\x00'));
  EXPECT_FALSE(ReadPromotionSwitch());
  EXPECT_TRUE(FileExists(PromotionSwitchPath()));
  EXPECT_FALSE(FileExists(""));
}

// Names and countries keep their Windows-1252 bytes in the files; on screen they are those
// characters, not Latin-1's control codes.
TEST(SavedText, Windows1252BytesAreDrawnAsTheirCharacters) {
  const std::pair<std::string, std::string> cases[] = {
      {"ANONYMOUS", "ANONYMOUS"},
      {"J\xFCrgen", "J\xC3\xBCrgen"},                      // u umlaut: the same in Latin-1
      {"\x80 \x8A\x9F", "\xE2\x82\xAC \xC5\xA0\xC5\xB8"},  // euro, S caron, Y umlaut
      {"\x93hi\x94", "\xE2\x80\x9Chi\xE2\x80\x9D"},        // curly quotes
      {"\x81", "\xC2\x81"},                                // unassigned: stays as it is
  };
  for (const auto& [bytes, utf8] : cases) EXPECT_EQ(Windows1252ToUtf8(bytes), utf8) << bytes;
  const auto renderer = CreateTextRenderer();
  const FontRequest font{"Arial", 12, true};
  EXPECT_GT(renderer->Width(font, "\x80"), 0);
  EXPECT_FALSE(renderer->Render(font, "\x80").Coverage.empty());
}

}  // namespace
}  // namespace kestrune
