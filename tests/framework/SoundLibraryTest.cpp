#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "framework/ArchiveIO.h"
#include "framework/DXSound.h"
#include "framework/Errors.h"
#include "framework/WaveList.h"
#include "platform/headless/HeadlessAudio.h"

namespace kestrune {
namespace {

using Kind = AudioCall::Kind;

WaveItemRecord Sound(const std::string& name, bool looped = false, int maxPlaying = 0) {
  WaveItemRecord r;
  r.Name = name;
  r.Looped = looped;
  r.MaxPlayingCount = maxPlaying;
  r.HasWave = true;
  r.Format = WaveFormat{};  // 16-bit mono 22050 Hz
  r.Data = {1, 0, 2, 0, 3, 0, 4, 0};
  return r;
}

// A device on the recording output with a library bound to it, loaded with the given items.
struct Rig {
  explicit Rig(std::vector<WaveItemRecord> items, bool deviceOpen = true) : Audio(deviceOpen), Sound(&Audio) {
    Sound.Loaded();
    List.SetDXSound(&Sound);
    List.Items.LoadFromArchive(WaveArchive{std::move(items)});
    Audio.ClearCalls();
  }
  TWaveCollectionItem& Item(const std::string& name) { return List.Items.FindWave(name); }
  HeadlessAudioOutput Audio;
  TDXSound Sound;
  TDXWaveList List;
};

AudioCall PlayCall(int channel, int chunk, bool looped = false) {
  return {.Type = Kind::Play, .Chunk = chunk, .Channel = channel, .Looped = looped};
}
AudioCall StopCall(int channel) { return {.Type = Kind::Stop, .Channel = channel}; }

TEST(SoundLibrary, CopiesAreReusedCappedAndRotatedByMaxPlayingCount) {
  struct Case {
    int MaxPlaying;
    int Plays;
    std::vector<int> CopiesAfter;  // channels, in list order
    int CutOff;                    // channel restarted by the last play, or -1 when it was new/free
  };
  // Channels are handed out 0, 1, 2... as copies are made.
  const Case cases[] = {
      {2, 2, {0, 1}, -1},
      {2, 3, {1, 0}, 0},      // third play restarts the first copy and moves it behind the second
      {2, 4, {0, 1}, 1},      // fourth play cuts off the (now first) second copy
      {0, 3, {0, 1, 2}, -1},  // no limit: one more copy per play while all sound
      {1, 3, {0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "MaxPlayingCount " << c.MaxPlaying << ", plays " << c.Plays);
    Rig rig({Sound("Shot", false, c.MaxPlaying)});
    TWaveCollectionItem& shot = rig.Item("Shot");
    for (int i = 0; i < c.Plays; ++i) shot.Play();
    EXPECT_EQ(shot.Copies(), c.CopiesAfter);
    EXPECT_EQ(rig.Audio.PlayingCount(), static_cast<int>(c.CopiesAfter.size()));
    const std::vector<AudioCall> calls = rig.Audio.PlayStopCalls();
    ASSERT_GE(calls.size(), 2u);
    if (c.CutOff >= 0) {
      EXPECT_EQ(calls[calls.size() - 2], StopCall(c.CutOff));
      EXPECT_EQ(calls.back(), PlayCall(c.CutOff, shot.MasterChunk()));
    }
  }
}

TEST(SoundLibrary, FinishedCopiesAreReusedBeforeNewOnesAreMade) {
  Rig rig({Sound("Shot")});
  TWaveCollectionItem& shot = rig.Item("Shot");
  shot.Play();
  shot.Play();
  shot.Play();
  rig.Audio.FinishChannel(1);
  shot.Play();
  EXPECT_EQ(shot.Copies(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(rig.Audio.PlayStopCalls().back(), PlayCall(1, shot.MasterChunk()));
}

TEST(SoundLibrary, StopThenPlayAlwaysRestartsOnTheFirstCopy) {
  Rig rig({Sound("Crash", false, 2)});
  TWaveCollectionItem& crash = rig.Item("Crash");
  for (int round = 0; round < 3; ++round) {
    crash.Stop();
    crash.Play();
    EXPECT_EQ(rig.Audio.PlayStopCalls().back(), PlayCall(0, crash.MasterChunk()));
    EXPECT_EQ(rig.Audio.PlayingCount(), 1);
  }
  EXPECT_EQ(crash.Copies(), std::vector<int>{0});
}

TEST(SoundLibrary, LoopedItemRestartsItsMasterAndRepeatsUntilStopped) {
  Rig rig({Sound("Engine", true)});
  TWaveCollectionItem& engine = rig.Item("Engine");
  engine.Play();
  engine.Play();
  const int ch = engine.MasterChannel();
  ASSERT_GE(ch, 0);
  EXPECT_TRUE(engine.Copies().empty());
  const int chunk = engine.MasterChunk();
  EXPECT_EQ(rig.Audio.PlayStopCalls(), (std::vector<AudioCall>{StopCall(ch), PlayCall(ch, chunk, true),
                                                               StopCall(ch), PlayCall(ch, chunk, true)}));
  rig.Audio.FinishAll();  // a looped sound does not end by itself
  EXPECT_TRUE(rig.Audio.IsPlaying(ch));
  engine.Stop();
  EXPECT_FALSE(rig.Audio.IsPlaying(ch));
}

TEST(SoundLibrary, ChangingLoopedStopsAndChangingTheLimitFreesCopies) {
  Rig rig({Sound("Horn")});
  TWaveCollectionItem& horn = rig.Item("Horn");
  horn.Play();
  horn.Play();
  horn.SetMaxPlayingCount(2);  // frees both copies
  EXPECT_TRUE(horn.Copies().empty());
  EXPECT_EQ(rig.Audio.PlayingCount(), 0);
  horn.SetMaxPlayingCount(-5);
  EXPECT_EQ(horn.MaxPlayingCount(), 0);

  horn.Play();
  horn.SetLooped(true);
  EXPECT_EQ(rig.Audio.PlayingCount(), 0);
  rig.Audio.ClearCalls();
  horn.SetLooped(true);  // same value: nothing happens
  EXPECT_TRUE(rig.Audio.Calls().empty());
}

TEST(SoundLibrary, FrequencyPanAndVolumeAreAppliedBeforeEveryBufferPlays) {
  Rig rig({Sound("Skid"), Sound("Siren", true)});
  for (const char* name : {"Skid", "Siren"}) {
    TWaveCollectionItem& item = rig.Item(name);
    item.Frequency = 11025;
    item.Pan = -2000;
    item.Volume = -600;
    item.Play();
    item.Play();
  }
  const std::vector<AudioCall>& calls = rig.Audio.Calls();
  int plays = 0;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].Type != Kind::Play) continue;
    ++plays;
    ASSERT_GE(i, 1u);
    EXPECT_EQ(calls[i - 1], (AudioCall{.Type = Kind::SetParameters,
                                       .Channel = calls[i].Channel,
                                       .Volume = -600,
                                       .Pan = -2000,
                                       .Frequency = 11025}));
  }
  EXPECT_EQ(plays, 4);
}

TEST(SoundLibrary, ChunksAreTheItemsWholeRiffWaves) {
  Rig rig({Sound("Coin")});
  TWaveCollectionItem& coin = rig.Item("Coin");
  ASSERT_NE(coin.MasterChunk(), 0);
  EXPECT_EQ(rig.Audio.ChunkBytes(coin.MasterChunk()), MakeRiffWave(coin.Wave.Format, coin.Wave.Data));
}

TEST(SoundLibrary, LoadingAnArchiveTakesItsSamplesOverWithoutACopy) {
  WaveArchive archive{{Sound("Coin")}};
  archive.Items[0].Data.resize(4096, 7);
  const std::uint8_t* samples = archive.Items[0].Data.data();
  TWaveCollection waves;
  waves.LoadFromArchive(std::move(archive));
  EXPECT_EQ(waves.FindWave("Coin").Wave.Data.data(), samples);
  EXPECT_EQ(waves.FindWave("Coin").Wave.Size(), 4096u);

  // An archive that is only lent keeps its samples.
  const WaveArchive kept{{Sound("Hit")}};
  waves.LoadFromArchive(kept);
  EXPECT_EQ(kept.Items[0].Data.size(), 8u);
  EXPECT_EQ(waves.FindWave("Hit").Wave.Data, kept.Items[0].Data);
}

TEST(SoundLibrary, LoadsASoundArchiveFileAndPreparesItsItems) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("kestrune_sounds_" + std::to_string(::getpid()) + ".dxw");
  WaveItemRecord negative = Sound("Hit", false, -3);
  WriteWaveArchive(path.string(), WaveArchive{{Sound("Motor", true), negative}});
  Rig rig({Sound("Old")});
  rig.List.Items.LoadFromFile(path.string());
  std::filesystem::remove(path);
  ASSERT_EQ(rig.List.Items.Count(), 2);
  EXPECT_THROW(rig.Item("Old"), EWaveCollectionError);
  EXPECT_TRUE(rig.Item("Motor").Looped());
  EXPECT_EQ(rig.Item("Hit").MaxPlayingCount(), 0);
  EXPECT_EQ(rig.Audio.LiveChunks(), 2);
  EXPECT_EQ(rig.Audio.ChunkBytes(rig.Item("Hit").MasterChunk()),
            MakeRiffWave(negative.Format, negative.Data));

  EXPECT_THROW(rig.List.Items.LoadFromFile(path.string()), EFOpenError);
}

TEST(SoundLibrary, FindWaveIgnoresCaseAndNamesTheMissingWave) {
  Rig rig({Sound("Explosion"), Sound("Coin")});
  EXPECT_EQ(&rig.List.Items.FindWave("EXPLOSION"), &rig.List.Items.Items(0));
  EXPECT_EQ(&rig.List.Items.FindWave("coin"), &rig.List.Items.Items(1));
  try {
    rig.List.Items.FindWave("Nitro");
    FAIL() << "no error";
  } catch (const EWaveCollectionError& e) {
    EXPECT_STREQ(e.what(), "Wave 'Nitro' not found");
  }
}

TEST(SoundLibrary, WithoutADeviceEverythingIsSilentAndNothingFails) {
  Rig rig({Sound("Shot"), Sound("Engine", true)}, /*deviceOpen=*/false);
  EXPECT_FALSE(rig.Sound.Initialized());
  EXPECT_THROW(rig.Sound.Initialize(), EDirectSoundError);
  for (const char* name : {"Shot", "Engine"}) {
    TWaveCollectionItem& item = rig.Item(name);
    EXPECT_FALSE(item.Initialized());
    item.Stop();
    item.Play();
    item.Play(/*wait=*/true);  // must not block either
  }
  EXPECT_TRUE(rig.Audio.Calls().empty());

  TDXSound noOutput(nullptr);
  EXPECT_NO_THROW(noOutput.Loaded());
  EXPECT_FALSE(noOutput.Initialized());
}

TEST(SoundLibrary, ItemWithoutSamplesNeverPlays) {
  WaveItemRecord empty = Sound("Silent");
  empty.HasWave = false;
  empty.Data.clear();
  Rig rig({empty});
  TWaveCollectionItem& silent = rig.Item("Silent");
  silent.Play();
  EXPECT_EQ(silent.MasterChunk(), 0);
  EXPECT_TRUE(rig.Audio.Calls().empty());
}

TEST(SoundLibrary, BufferTheMixerRefusesIsReportedOnLoading) {
  HeadlessAudioOutput audio;
  audio.RefuseChunks = true;
  TDXSound sound(&audio);
  sound.Initialize();
  TDXWaveList list;
  list.SetDXSound(&sound);
  try {
    list.Items.LoadFromArchive(WaveArchive{{Sound("Odd")}});
    FAIL() << "no error";
  } catch (const EDirectSoundBufferError& e) {
    EXPECT_STREQ(e.what(), "Sound Buffer cannot be made");
  }
}

// The device tells its listeners when it comes and goes; the library makes its buffers after
// the device initialises and frees them when it finalises.
TEST(SoundDevice, ListenersFollowTheDeviceLifecycle) {
  // The logs outlive the device: its destructor still notifies the listeners.
  std::vector<int> codes, late;
  HeadlessAudioOutput audio;
  TDXSound sound(&audio);
  int key = 0;
  sound.RegisterNotifyEvent(&key,
                            [&](TDXSound&, TDXSoundNotifyType t) { codes.push_back(static_cast<int>(t)); });
  sound.Initialize();
  EXPECT_EQ(codes, (std::vector<int>{1, 2, 4}));

  int lateKey = 0;
  sound.RegisterNotifyEvent(&lateKey,
                            [&](TDXSound&, TDXSoundNotifyType t) { late.push_back(static_cast<int>(t)); });
  sound.UnRegisterNotifyEvent(&lateKey);
  EXPECT_EQ(late, (std::vector<int>{2, 4, 3}));

  codes.clear();
  sound.Restore();
  sound.Finalize();
  sound.Finalize();
  EXPECT_EQ(codes, (std::vector<int>{4, 3}));
}

TEST(SoundDevice, LibraryPreparesItemsAfterTheDeviceInitialisesAndFreesThemAtTheEnd) {
  HeadlessAudioOutput audio;
  {
    TDXSound sound(&audio);
    TDXWaveList list;
    list.SetDXSound(&sound);
    list.Items.LoadFromArchive(WaveArchive{{Sound("A"), Sound("B", true)}});
    EXPECT_EQ(audio.LiveChunks(), 0);  // loaded before the device: data only

    sound.Initialize();
    EXPECT_EQ(audio.LiveChunks(), 2);
    list.Items.FindWave("A").Play();
    list.Items.FindWave("B").Play();
    EXPECT_EQ(audio.PlayingCount(), 2);

    sound.Finalize();
    EXPECT_EQ(audio.LiveChunks(), 0);
    EXPECT_EQ(audio.PlayingCount(), 0);
    list.Items.FindWave("A").Play();  // silent again, no error
    EXPECT_EQ(audio.PlayingCount(), 0);

    sound.Initialize();
    list.Items.LoadFromArchive(WaveArchive{{Sound("C")}});  // reload frees the old buffers
    EXPECT_EQ(audio.LiveChunks(), 1);
  }
  // Library and device gone (in either order): nothing left in the output.
  EXPECT_EQ(audio.LiveChunks(), 0);

  TDXWaveList outlived;
  {
    TDXSound shortLived(&audio);
    shortLived.Initialize();
    outlived.SetDXSound(&shortLived);
    outlived.Items.LoadFromArchive(WaveArchive{{Sound("D")}});
    EXPECT_EQ(audio.LiveChunks(), 1);
  }
  EXPECT_EQ(outlived.DXSound(), nullptr);
  EXPECT_EQ(audio.LiveChunks(), 0);
  outlived.Items.FindWave("D").Play();
}

TEST(SoundDevice, EffectsAreMutedWhileTheWindowIsInTheBackground) {
  HeadlessAudioOutput audio;
  TDXSound sound(&audio);
  sound.Initialize();
  sound.SetWindowActive(false);
  EXPECT_TRUE(audio.EffectsMuted());
  sound.SetWindowActive(true);
  EXPECT_FALSE(audio.EffectsMuted());
  sound.Options = soGlobalFocus;
  sound.SetWindowActive(false);
  EXPECT_FALSE(audio.EffectsMuted());
}

}  // namespace
}  // namespace kestrune
