// The saved files as the running game uses them: read at start-up, written when it ends.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fixtures/Files.h"
#include "game/GameState.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/Game.h"
#include "shell/MainForm.h"
#include "shell/TerminationSignals.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

struct Session {
  HeadlessPlatform platform;
  std::unique_ptr<TGameSession> game;
  bool goodbyeShown = false;
  fs::path Save() const { return platform.SaveFolder(); }
  void Start() {
    game = std::make_unique<TGameSession>(platform, 99);
    game->BeforeFormCreate = [this](TMForm& form) {
      form.Handlers.OpenIntroScreen = nullptr;
      form.Handlers.ShowPromotionWindow = [this] { goodbyeShown = true; };
    };
    ASSERT_TRUE(game->Start());
  }
};

TEST(SaveStartUp, FirstStartHasMusicAndSoundAndWritesNothingUntilTheEnd) {
  Session s;
  s.Start();
  EXPECT_EQ(GameState.MusicOn, 1);
  EXPECT_EQ(GameState.SoundOn, 1);
  EXPECT_EQ(GameState.Country, "_______");
  // The headless platform makes its private save folder up front; the game puts nothing in it.
  EXPECT_TRUE(fs::is_empty(s.Save()));

  GameState.Country = "Chile";
  GameState.SoundOn = 0;
  s.game->Form()->ExitGame();
  EXPECT_TRUE(s.game->Form()->Terminated());
  const std::string options = ReadAll(s.Save() / "options");
  EXPECT_EQ(options.substr(0, 16), "0\r\n1\r\n0\r\nChile\r\n");
  EXPECT_EQ(ReadAll(s.Save() / "hs").substr(0, 17), "ANONYMOUS\r\n5000\r\n");
}

TEST(SaveStartUp, SavedFullScreenThatCannotBeAppliedFallsBackToTheWindow) {
  for (const bool refused : {false, true}) {
    SCOPED_TRACE(refused);
    Session s;
    fs::create_directories(s.Save());
    std::ofstream(s.Save() / "options", std::ios::binary) << "1\r\n1\r\n1\r\nPeru\r\n\r\n";
    s.platform.SetFullScreenFails(refused);
    s.Start();
    EXPECT_EQ(s.platform.IsFullScreen(), !refused);
    EXPECT_EQ(GameState.FullScreen, refused ? 0 : 1);
    EXPECT_TRUE(s.game->Form()->MDXDraw.Initialized());
    EXPECT_TRUE(s.platform.MessageBoxes().empty());
  }
}

// The program takes the signals from its first instant; a signal that arrives while the game is
// still starting is not forgotten when the game loop takes them too: the game saves and ends.
TEST(SaveStartUp, ASignalDuringTheStartUpEndsTheGameWithItsSaveOnceItRuns) {
  const TTerminationSignals program;
  std::raise(SIGTERM);
  Session s;
  s.Start();
  {
    const TTerminationSignals gameLoop;
    EXPECT_TRUE(TTerminationSignals::Requested());
    s.game->Step();
    EXPECT_TRUE(s.game->Finished());
  }
  EXPECT_TRUE(TTerminationSignals::Requested());
  EXPECT_FALSE(s.goodbyeShown);
  EXPECT_TRUE(fs::exists(s.Save() / "options"));
}

TEST(SaveStartUp, TerminationSignalSavesAndEndsWithoutTheGoodbyeWindow) {
  const TTerminationSignals signals;
  Session s;
  s.Start();
  s.game->Step();
  GameState.Country = "Ghana";
  std::raise(SIGTERM);
  EXPECT_TRUE(TTerminationSignals::Requested());
  s.game->Step();
  EXPECT_TRUE(s.game->Finished());
  EXPECT_FALSE(s.goodbyeShown);
  EXPECT_NE(ReadAll(s.Save() / "options").find("Ghana\r\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(s.Save() / "hs"));
}

TEST(SaveStartUp, TerminationSignalWhoseSaveFailsEndsWithAFailureStatus) {
  const TTerminationSignals signals;
  Session s;
  s.Start();
  fs::create_directories(s.Save() / "options" / "inside");
  std::raise(SIGINT);
  s.game->Step();
  EXPECT_TRUE(s.game->Finished());
  EXPECT_EQ(s.platform.MessageBoxes().size(), 1u);
  EXPECT_EQ(s.game->ExitCode(), 1);
}

// One stop request often arrives twice at once (timeout(1) signals the game and then its process
// group): that must not end the game before its save. A second signal a second or more after the
// first still ends it at once.
TEST(SaveStartUp, ASignalDeliveredTwiceAtOnceIsOneRequestAndALaterOneEndsAtOnce) {
  struct Case {
    int pauseMs;
    int status;  // the child's exit status: 0 when it lived on to end normally
  };
  for (const Case c : {Case{0, 0}, Case{50, 0}, Case{static_cast<int>(kSameRequestMs) + 200, 128 + SIGTERM}}) {
    SCOPED_TRACE(c.pauseMs);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const TTerminationSignals signals;
      std::raise(SIGTERM);
      ::usleep(static_cast<useconds_t>(c.pauseMs) * 1000);
      std::raise(SIGTERM);
      ::_exit(TTerminationSignals::Requested() ? 0 : 3);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.status);
  }
}

}  // namespace
}  // namespace kestrune
