// soundcheck: listens to the game's sounds the way the game plays them, through the same
// sound library, music player and SDL2_mixer output.
//
//   soundcheck [--archive Sounds.dxw] [--song Menu.xm] [--seconds N] [--list] [name ...]
//
// Starts the song (if given), then plays each named sound one after another (a looped sound
// for two seconds), and keeps the song going for --seconds in all. With SDL_AUDIODRIVER=disk
// and SDL_DISKAUDIOFILE=out.raw the mix is written to a file (44100 Hz, 16-bit stereo) instead,
// e.g. to check levels with `sox -t raw -r 44100 -e signed -b 16 -c 2 out.raw -n stats`.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "framework/DXSound.h"
#include "framework/Music.h"
#include "framework/WaveList.h"
#include "platform/sdl/SdlAudio.h"

namespace {

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

int Usage() {
  std::fprintf(
      stderr,
      "usage: soundcheck [--archive Sounds.dxw] [--song file.xm] [--seconds N] [--list] [name ...]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kestrune;
  std::string archive = "Data/Res/Sounds.dxw", song;
  double seconds = 0;
  bool list = false;
  std::vector<std::string> names;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--archive" && hasValue) {
      archive = argv[++i];
    } else if (arg == "--song" && hasValue) {
      song = argv[++i];
    } else if (arg == "--seconds" && hasValue) {
      seconds = std::atof(argv[++i]);
    } else if (arg == "--list") {
      list = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else {
      names.push_back(arg);
    }
  }

  auto audio = CreateSdlAudioOutput();
  try {
    TDXSound sound(audio.get());
    sound.Loaded();
    TDXWaveList waves;
    waves.SetDXSound(&sound);
    TMusicPlayer music(audio.get());
    if (list || !names.empty()) waves.Items.LoadFromFile(archive);
    if (list) {
      for (int i = 0; i < waves.Items.Count(); ++i) {
        const TWaveCollectionItem& item = waves.Items.Items(i);
        const double length = item.Wave.Format.AvgBytesPerSec
                                  ? static_cast<double>(item.Wave.Size()) / item.Wave.Format.AvgBytesPerSec
                                  : 0.0;
        std::printf("%-20s %6.2f s  looped %d  max %d\n", item.Name().c_str(), length, item.Looped() ? 1 : 0,
                    item.MaxPlayingCount());
      }
    }

    const auto start = std::chrono::steady_clock::now();
    TSongHandle handle = 0;
    if (!song.empty()) {
      handle = music.SongLoadFromFile(song);
      if (handle == 0) {
        std::fprintf(stderr, "soundcheck: %s is not a module that can be played\n", song.c_str());
        return 1;
      }
      music.SongPlay(handle);
    }
    for (const std::string& name : names) {
      TWaveCollectionItem& item = waves.Items.FindWave(name);
      std::printf("playing %s\n", item.Name().c_str());
      item.Stop();
      item.Play(!item.Looped());
      if (item.Looped()) {
        Sleep(2.0);
        item.Stop();
      }
      Sleep(0.2);
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds > elapsed) Sleep(seconds - elapsed);
    music.SongFree(handle);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "soundcheck: %s\n", e.what());
    return 1;
  }
  return 0;
}
