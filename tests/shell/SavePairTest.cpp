// The options file holds the table's check string, so the two are one save: whatever instant a
// kill (or a failure) cuts the exit's save at, the next start loads the old pair or the new one,
// never the default table.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "fixtures/Files.h"
#include "game/GameState.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/HighScoreTable.h"
#include "shell/SaveFileIO.h"
#include "shell/SavedFiles.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

// The generations the tests reach stay below this. Scores must not overflow (they once did, past
// generation 21474, and consecutive tables then shared a check string, so a pair split by a kill
// looked whole), and no two consecutive generations below it share a check string.
constexpr int kMaxGeneration = 1000000;

// Generation g of a sitting: its country and a table that is g's alone.
void MakeGeneration(int g) {
  GameState.Country = "G" + std::to_string(g);
  for (int k = 1; k <= 10; ++k)
    GameState.HighScores[k] = {"P" + std::to_string(g) + "R" + std::to_string(k), 1000 * g - 10 * k + 7};
}

// The generation the loaded state is, or -1 when options and table are not one generation's
// pair (0 is the default table).
int LoadedGeneration() {
  const std::string& country = GameState.Country;
  if (country.size() < 2 || country[0] != 'G') return -1;
  const int g = std::stoi(country.substr(1));
  const THighScoreTable loaded = GameState.HighScores;
  MakeGeneration(g);
  const bool same = [&] {
    for (int k = 1; k <= 10; ++k)
      if (loaded[k].Name != GameState.HighScores[k].Name || loaded[k].Score != GameState.HighScores[k].Score)
        return false;
    return true;
  }();
  GameState.HighScores = loaded;
  return same ? g : -1;
}

using TFolderImage = std::map<std::string, std::string>;

TFolderImage TakeImage(const fs::path& folder) {
  TFolderImage image;
  for (const auto& entry : fs::directory_iterator(folder)) image[entry.path().filename().string()] = ReadAll(entry.path());
  return image;
}

void PutImage(const fs::path& folder, const TFolderImage& image) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const auto& [name, bytes] : image) std::ofstream(folder / name, std::ios::binary) << bytes;
}

class SavePairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // In memory where /dev/shm exists: the kills need many saves, and a kill acts the same there.
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    folder_ = base /
              ("kestrune-savepair-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    SetSaveFolder(folder_.string());
    GameState = TGameState{};
  }
  void TearDown() override {
    SetSaveFolder("Data/Save");
    SetSaveStepHook(nullptr);
    fs::remove_all(folder_);
  }
  // Loads what the folder holds as a new start would and says which generation it is; the
  // start also leaves no temporary file behind.
  int StartAndLoad(const TFolderImage& image) {
    PutImage(folder_, image);
    GameState = TGameState{};
    ReadSaveFiles();
    for (const auto& entry : fs::directory_iterator(folder_)) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name == "options" || name == "hs") << name;
    }
    return LoadedGeneration();
  }

  fs::path folder_;
  HeadlessPlatform platform_;
};

// The files as a kill just before each step of the exit save (and after its end) would leave
// them, and with a temporary file cut off while it was written.
TEST_F(SavePairTest, AKillAtAnyStepOfTheExitSaveLeavesTheOldPairOrTheNew) {
  MakeGeneration(1);
  ASSERT_TRUE(WriteSaveFiles(platform_));
  std::vector<std::pair<std::string, TFolderImage>> images;
  SetSaveStepHook([&](TSaveStep step) {
    images.emplace_back("before step " + std::to_string(static_cast<int>(step)), TakeImage(folder_));
  });
  MakeGeneration(2);
  ASSERT_TRUE(WriteSaveFiles(platform_));
  SetSaveStepHook(nullptr);
  images.emplace_back("after the save", TakeImage(folder_));
  ASSERT_EQ(images.size(), 6u);
  // A temporary table cut off part-way, beside the new options: it cannot complete the pair.
  TFolderImage cut = images[1].second;
  for (auto& [name, bytes] : cut)
    if (name.rfind("hs.", 0) == 0) bytes.resize(bytes.size() - 3);
  images.emplace_back("table cut off", cut);

  for (const auto& [when, image] : images) {
    SCOPED_TRACE(when);
    const int g = StartAndLoad(image);
    EXPECT_TRUE(g == 1 || g == 2) << g;
  }
  // From the options' rename on, the new pair is what loads.
  EXPECT_EQ(StartAndLoad(images[3].second), 2);
  EXPECT_EQ(StartAndLoad(images[1].second), 1);
}

// A start-up completes an interrupted save only with the staged table the new options vouch
// for: a whole table left by an older save, beside the right one or alone, is never taken for
// it, and never replaces the table on disk.
TEST_F(SavePairTest, AStaleStagedTableIsNeverTakenForTheOneTheOptionsVouchFor) {
  MakeGeneration(1);
  ASSERT_TRUE(WriteSaveFiles(platform_));
  const std::string stale = ReadAll(folder_ / "hs");
  MakeGeneration(2);
  ASSERT_TRUE(WriteSaveFiles(platform_));
  const std::string second = ReadAll(folder_ / "hs");
  // Generation 3's options in place, its table staged beside generation 2's.
  TFolderImage interrupted;
  SetSaveStepHook([&](TSaveStep step) {
    if (step == TSaveStep::ReplaceTable) interrupted = TakeImage(folder_);
  });
  MakeGeneration(3);
  ASSERT_TRUE(WriteSaveFiles(platform_));
  SetSaveStepHook(nullptr);
  ASSERT_EQ(interrupted.size(), 3u);

  for (const char* staleName : {"hs.000000", "hs.zzzzzz"}) {
    SCOPED_TRACE(staleName);
    TFolderImage image = interrupted;
    image[staleName] = stale;
    EXPECT_EQ(StartAndLoad(image), 3);
  }
  TFolderImage staleAlone;
  for (const auto& [name, bytes] : interrupted)
    if (name.rfind("hs.", 0) != 0) staleAlone[name] = bytes;
  staleAlone["hs.AbC123"] = stale;
  StartAndLoad(staleAlone);
  EXPECT_NE(GameState.HighScores[1].Name, "P1R1");
  EXPECT_EQ(ReadAll(folder_ / "hs"), second);
}

// A step that fails (the hook raises the error a full disk would) leaves a pair that loads,
// and the failure is reported.
TEST_F(SavePairTest, AFailureAtAnyStepOfTheExitSaveLeavesAPairThatLoads) {
  for (int failing = 0; failing <= static_cast<int>(TSaveStep::ReplaceTable); ++failing) {
    SCOPED_TRACE(failing);
    fs::remove_all(folder_);
    SetSaveStepHook(nullptr);
    GameState = TGameState{};
    MakeGeneration(1);
    ASSERT_TRUE(WriteSaveFiles(platform_));
    SetSaveStepHook([failing](TSaveStep step) {
      if (static_cast<int>(step) == failing) throw ESaveFileError("somewhere", "the disk is full");
    });
    MakeGeneration(2);
    HeadlessPlatform platform;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteSaveFiles(platform));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(platform.MessageBoxes().size(), 1u);
    SetSaveStepHook(nullptr);
    GameState = TGameState{};
    ReadSaveFiles();
    // The table is one of the two saved ones, never the default.
    const std::string name = GameState.HighScores[1].Name;
    EXPECT_TRUE(name == "P1R1" || name == "P2R1") << name;
    EXPECT_EQ(HighScoreCheck(), GameState.StoredCheck);
  }
}

// What a folder held, for a failure's message: each file with its bytes (CR and LF shown, other
// control bytes escaped), staged temporary files included.
std::string Describe(const TFolderImage& image) {
  std::string text;
  for (const auto& [name, bytes] : image) {
    text += "  " + name + " (" + std::to_string(bytes.size()) + " bytes): ";
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      if (c == '\r') text += "\\r";
      else if (c == '\n') text += "\\n ";
      else if (byte < 32) text += "\\x" + std::string(1, "0123456789ABCDEF"[byte >> 4]) + "0123456789ABCDEF"[byte & 15];
      else text += c;
    }
    text += "\n";
  }
  return text.empty() ? "  (nothing)\n" : text;
}

// Reads one byte from the child's pipe: false once the child has gone.
bool ReadSignal(int fd) {
  char byte = 0;
  return ::read(fd, &byte, 1) == 1;
}

// Real saves killed with SIGKILL at random instants, again and again on the same folder: a
// child process starts as the game does (reading and repairing the files), then saves one
// generation after another until it is killed. Every start after a kill finds a whole pair of
// one generation, never an older one than before and never the default table.
//
// The kills are placed by what the child has done, not by the clock alone: the child tells
// through a pipe when its start-up read is over and when each save has finished, and the kill
// comes a random time, within a few saves' time, after the start-up or after one or two finished
// saves. However slowly a loaded machine runs the child, the kills fall among its saves.
TEST_F(SavePairTest, TwoHundredKillsAtRandomInstantsOfRealSavesNeverLoseTheTable) {
  MakeGeneration(1);
  const auto saveStart = std::chrono::steady_clock::now();
  ASSERT_TRUE(WriteSaveFiles(platform_));
  // How long a save takes, as last seen: the kills' random delays reach a few of them.
  auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - saveStart);
  std::mt19937 random(25);
  int last = 1;
  int advanced = 0;
  for (int kill = 0; kill < 200; ++kill) {
    int signals[2];
    ASSERT_EQ(::pipe(signals), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(signals[0]);
      ReadSaveFiles();
      int g = LoadedGeneration();
      if (g < 1) ::_exit(3);
      // The start-up read is done: from here on every instant is inside a save.
      if (::write(signals[1], "r", 1) != 1) ::_exit(5);
      for (;;) {
        MakeGeneration(++g);
        if (!WriteSaveFiles(platform_)) ::_exit(4);
        if (::write(signals[1], "s", 1) != 1) ::_exit(5);
      }
    }
    ::close(signals[1]);
    // One kill in eight may fall in the start-up read as well, where an interrupted pair is
    // repaired; the others come after the start-up and after zero, one or two finished saves.
    const bool inStartUp = random() % 8 == 0;
    const int finishedSaves = static_cast<int>(random() % 3);
    // A few saves' time, but never so long that the generations run past kMaxGeneration.
    const auto window = std::min<long long>(1000 + 4 * saveTime.count(), 50000);
    const auto delay = static_cast<useconds_t>(random() % static_cast<unsigned>(window));
    if (!inStartUp) {
      ASSERT_TRUE(ReadSignal(signals[0])) << "the child ended in its start-up";
      const auto savesStart = std::chrono::steady_clock::now();
      for (int i = 0; i < finishedSaves; ++i) ASSERT_TRUE(ReadSignal(signals[0])) << "the child ended in a save";
      if (finishedSaves > 0)
        saveTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - savesStart) /
                   finishedSaves;
    }
    ::usleep(delay);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(signals[0]);
    const TFolderImage killed = TakeImage(folder_);
    GameState = TGameState{};
    ReadSaveFiles();
    const int g = LoadedGeneration();
    const auto explain = [&] {
      return "after kill " + std::to_string(kill) + ", the folder held:\n" + Describe(killed) +
             "and after the start-up read:\n" + Describe(TakeImage(folder_)) + "the options' check: " +
             GameState.StoredCheck + "\nthe loaded table's check: " + HighScoreCheck() + "\n";
    };
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself with status " << WEXITSTATUS(status)
                                     << " (3: its start-up lost the table)\n"
                                     << explain();
    ASSERT_GE(g, last) << explain();
    ASSERT_LT(g, kMaxGeneration);
    // A kill after a finished save finds that save's generation or a later one.
    if (!inStartUp && finishedSaves > 0) {
      ASSERT_GE(g, last + finishedSaves) << explain();
    }
    advanced += g > last ? 1 : 0;
    last = g;
  }
  // Most kills came after a finished save, so the saves went on from kill to kill.
  EXPECT_GE(advanced, 100);
}

}  // namespace
}  // namespace kestrune
