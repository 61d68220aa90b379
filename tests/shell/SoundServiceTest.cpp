#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <libopenmpt/libopenmpt.hpp>
#include <string>

#include "framework/ArchiveIO.h"
#include "framework/Errors.h"
#include "game/GameState.h"
#include "platform/headless/HeadlessAudio.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/Game.h"
#include "shell/MainForm.h"
#include "shell/SoundService.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;
using Kind = AudioCall::Kind;

// A started game on the headless platform, in the build directory with the built data.
struct Session {
  HeadlessPlatform platform;
  TGameSession game{platform, 99};
  Session() { EXPECT_TRUE(game.Start()); }
  TMForm& Form() { return *game.Form(); }
  HeadlessAudioOutput& Audio() { return dynamic_cast<HeadlessAudioOutput&>(platform.Audio()); }
};

// Runs a block in another working directory and comes back.
struct InDirectory {
  explicit InDirectory(const fs::path& dir) : previous(fs::current_path()) { fs::current_path(dir); }
  ~InDirectory() { fs::current_path(previous); }
  fs::path previous;
};

double SongLength(const std::string& path) {
  TMusicPlayer player(nullptr);
  const TSongHandle h = player.SongLoadFromFile(path);
  return h ? player.Song(h)->get_duration_seconds() : -1;
}

TEST(SoundService, StartUpLoadsTheSoundArchiveAndPreparesEveryItem) {
  Session s;
  TWaveCollection& items = s.Form().MDXWaveList.Items;
  ASSERT_GT(items.Count(), 0);
  for (int i = 0; i < items.Count(); ++i) {
    SCOPED_TRACE(items.Items(i).Name());
    EXPECT_TRUE(items.Items(i).Initialized());
    EXPECT_NE(items.Items(i).MasterChunk(), 0);
  }
  EXPECT_TRUE(s.platform.MessageBoxes().empty());
}

TEST(SoundService, StartUpWithoutTheSoundArchiveFailsWithTheOpenError) {
  const fs::path empty = fs::temp_directory_path() / ("kestrune_nosounds_" + std::to_string(::getpid()));
  fs::create_directories(empty / "Data/Res");
  // The image archives, loaded before the sound archive, are there (empty).
  WritePictureArchive((empty / "Data/Res/Res1.dxg").string(), PictureArchive{});
  WritePictureArchive((empty / "Data/Res/Res2.dxg").string(), PictureArchive{});
  {
    InDirectory there(empty);
    HeadlessPlatform platform;
    TGameSession game(platform, 1);
    EXPECT_FALSE(game.Start());
    ASSERT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_NE(platform.MessageBoxes()[0].Text.find("Cannot open file \"Data/Res/Sounds.dxw\""),
              std::string::npos)
        << platform.MessageBoxes()[0].Text;
  }
  fs::remove_all(empty);
}

TEST(SoundService, PlaySoundStopsThenPlaysAndNothingHappensWhileSoundIsOff) {
  Session s;
  TWaveCollectionItem& item = s.Form().MDXWaveList.Items.Items(0);
  const std::string name = item.Name();
  HeadlessAudioOutput& audio = s.Audio();

  GameState.SoundOn = 0;
  audio.ClearCalls();
  s.Form().PlaySound(name);
  s.Form().StopSound(name);
  s.Form().PlaySound("No such sound");  // not even looked up
  EXPECT_TRUE(audio.Calls().empty());

  GameState.SoundOn = 1;
  s.Form().PlaySound(name);
  s.Form().PlaySound(name);
  // Each play restarts the same buffer from the beginning: the first copy, or the master of a
  // looped sound.
  const int channel = item.Looped() ? item.MasterChannel() : item.Copies().at(0);
  const std::vector<AudioCall> calls = audio.PlayStopCalls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(
      calls.back(),
      (AudioCall{
          .Type = Kind::Play, .Chunk = item.MasterChunk(), .Channel = channel, .Looped = item.Looped()}));
  EXPECT_EQ(audio.PlayingCount(), 1);
  s.Form().StopSound(name);
  EXPECT_EQ(audio.PlayingCount(), 0);

  EXPECT_THROW(s.Form().PlaySound("No such sound"), EWaveCollectionError);
  EXPECT_THROW(s.Form().StopSound("No such sound"), EWaveCollectionError);
}

TEST(SoundService, ScreenMusicPicksTheSongByScreenAndReplacesThePlayingOne) {
  Session s;
  HeadlessAudioOutput& audio = s.Audio();
  TMForm& form = s.Form();
  // Music is on from the first start: whatever song the start-up began goes first.
  form.StopMusic();

  GameState.MusicOn = 0;
  GameState.Screen = ScreenMainMenu;
  form.PlayScreenMusic();
  EXPECT_EQ(GameState.MusicHandle, 0);
  EXPECT_FALSE(audio.HasMusicSource());

  GameState.MusicOn = 1;
  form.PlayScreenMusic();
  ASSERT_NE(GameState.MusicHandle, 0);
  EXPECT_EQ(form.Music.Playing(), GameState.MusicHandle);
  EXPECT_DOUBLE_EQ(form.Music.Song(GameState.MusicHandle)->get_duration_seconds(), SongLength(kMenuSongPath));
  EXPECT_TRUE(audio.HasMusicSource());

  GameState.Screen = ScreenRace;
  form.PlayScreenMusic();
  EXPECT_EQ(form.Music.LoadedCount(), 1);  // the menu song was freed
  EXPECT_DOUBLE_EQ(form.Music.Song(GameState.MusicHandle)->get_duration_seconds(), SongLength(kRaceSongPath));
  EXPECT_NE(SongLength(kMenuSongPath), SongLength(kRaceSongPath));

  form.StopMusic();
  EXPECT_EQ(GameState.MusicHandle, 0);
  EXPECT_EQ(form.Music.LoadedCount(), 0);
  EXPECT_FALSE(audio.HasMusicSource());
  form.StopMusic();  // nothing playing: harmless
}

TEST(SoundService, SongThatCannotBeLoadedLeavesNoMusicAndNoMessage) {
  Session s;
  GameState.MusicOn = 1;
  GameState.Screen = ScreenMainMenu;
  s.Form().PlayScreenMusic();
  ASSERT_NE(GameState.MusicHandle, 0);
  const fs::path empty = fs::temp_directory_path() / ("kestrune_nosongs_" + std::to_string(::getpid()));
  fs::create_directories(empty / "Data/Res");
  // The image archives, loaded before the sound archive, are there (empty).
  WritePictureArchive((empty / "Data/Res/Res1.dxg").string(), PictureArchive{});
  WritePictureArchive((empty / "Data/Res/Res2.dxg").string(), PictureArchive{});
  {
    InDirectory there(empty);
    s.Form().PlayScreenMusic();
  }
  fs::remove_all(empty);
  EXPECT_EQ(GameState.MusicHandle, 0);
  EXPECT_EQ(s.Form().Music.LoadedCount(), 0);
  EXPECT_FALSE(s.Audio().HasMusicSource());
  EXPECT_TRUE(s.platform.MessageBoxes().empty());
}

}  // namespace
}  // namespace kestrune
