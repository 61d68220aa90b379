#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fixtures/Files.h"
#include "platform/TextRenderer.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/GameState.h"
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
    folder_ = fs::temp_directory_path() /
              ("kestrune-savedfiles-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    SetSaveFolder((folder_ / "Save").string());
    GameState = TGameState{};
  }
  void TearDown() override {
    SetSaveFolder("Data/Save");
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

TEST_F(SavedFilesTest, FilesWithLineFeedsOnlyLoadAndAnyNonZeroFlagIsOn) {
  ResetHighScores();
  WriteFiles("0\n7\n-1\nNorway\n" + HighScoreCheck() + "\n", DefaultTableFile("\n"));
  GameState = TGameState{};
  ReadSaveFiles();
  EXPECT_EQ(GameState.FullScreen, 0);
  EXPECT_EQ(GameState.MusicOn, 1);
  EXPECT_EQ(GameState.SoundOn, 1);
  EXPECT_EQ(GameState.Country, "Norway");
  EXPECT_EQ(GameState.HighScores[10].Score, 500);
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

TEST_F(SavedFilesTest, AFileThatCannotBeWrittenIsReportedAndTheOtherIsStillSaved) {
  ResetHighScores();
  // A folder with something in it where the options file should be: the rename onto it fails.
  fs::create_directories(Save() / "options" / "inside");
  HeadlessPlatform platform;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(WriteSaveFiles(platform));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("options cannot be written"), std::string::npos) << err;
  ASSERT_EQ(platform.MessageBoxes().size(), 1u);
  EXPECT_NE(platform.MessageBoxes()[0].Text.find("options cannot be written"), std::string::npos);
  EXPECT_EQ(ReadAll(Save() / "hs"), DefaultTableFile("\r\n"));
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
