// The mute key: M silences the music and the effects as heard and brings them back, in the
// menus and in a race, without touching the options' music and sound switches; while a name or
// the country is typed, M is a letter.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/GameState.h"
#include "platform/headless/HeadlessAudio.h"
#include "platform/headless/HeadlessPlatform.h"
#include "race/Race.h"
#include "shell/Game.h"
#include "shell/Input.h"
#include "shell/MainForm.h"
#include "shell/Menus.h"
#include "shell/Screens.h"

namespace kestrune {
namespace {

struct MutedGame {
  HeadlessAudioOutput speakers;
  HeadlessPlatform platform;
  TGameSession game{platform, 7};
  MutedGame() {
    platform.UseAudioOutput(speakers);
    EXPECT_TRUE(game.Start());
  }
  TMForm& Form() { return *game.Form(); }
  // M as the keyboard sends it: the key, then the letter it types.
  void PressM(bool alt = false, bool ctrl = false) {
    Form().FormKeyDown('M', false, ctrl, alt);
    Form().FormKeyPress('m');
    Form().FormKeyUp('M', false, ctrl, alt);
  }
  std::size_t Plays() const {
    return static_cast<std::size_t>(std::count_if(speakers.Calls().begin(), speakers.Calls().end(),
                                                  [](const AudioCall& c) { return c.Type == AudioCall::Kind::Play; }));
  }
};

TEST(MuteKey, MTogglesWhatIsHeardAndLeavesTheOptionsBe) {
  MutedGame g;
  CloseCurrentScreen();
  OpenMainMenu(false, 1, false);
  GameState.MusicOn = 1;
  GameState.SoundOn = 1;
  g.PressM();
  EXPECT_TRUE(g.speakers.Muted());
  EXPECT_EQ(GameState.MusicOn, 1);
  EXPECT_EQ(GameState.SoundOn, 1);
  // The game plays its sounds as before; only the output is silent.
  const std::size_t before = g.Plays();
  g.Form().PlaySound("Button");
  EXPECT_GT(g.Plays(), before);
  // With Alt or Ctrl it is not the mute key.
  g.PressM(true, false);
  g.PressM(false, true);
  EXPECT_TRUE(g.speakers.Muted());
  g.PressM();
  EXPECT_FALSE(g.speakers.Muted());

  // In a race too.
  StartRaceAt(1, 1);
  g.PressM();
  EXPECT_TRUE(g.speakers.Muted());
  EXPECT_EQ(GameState.SoundOn, 1);
}

TEST(MuteKey, TypedTextTakesMAsALetter) {
  MutedGame g;
  CloseCurrentScreen();
  OpenMainMenu(false, 1, false);
  GameState.Score = 777;
  g.Form().OpenOverlay(OverlayNameEntry);
  g.game.Step();
  EXPECT_TRUE(g.platform.TextEntry());
  const std::string name = GameState.PlayerName;
  g.PressM();
  EXPECT_EQ(GameState.PlayerName, name + "m");
  EXPECT_FALSE(g.speakers.Muted());
  g.Form().CloseOverlay();
  g.game.Step();
  EXPECT_FALSE(g.platform.TextEntry());

  // The country field of the options screen.
  CloseCurrentScreen();
  OpenOptions();
  GameState.Country = "";
  GameState.Selected = 4;
  g.Form().FormKeyPress('\r');
  ASSERT_TRUE(GameState.CountryEditing);
  g.PressM();
  EXPECT_EQ(GameState.Country, "m");
  EXPECT_FALSE(g.speakers.Muted());
}

}  // namespace
}  // namespace kestrune
