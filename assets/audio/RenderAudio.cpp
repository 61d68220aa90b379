// Renders every effect and the first minute of each song to WAV files for listening and
// measuring (sox stat, spectrogram). Usage: kestrune-audio-render <songs folder> <out folder> [seconds]

#include <exception>
#include <iostream>

#include "AudioData.h"
#include "SongPlayback.h"
#include "SoundRecipes.h"

int main(int argc, char** argv) {
  using namespace kestrune::audio;
  if (argc < 3) {
    std::cerr << "usage: kestrune-audio-render <songs folder> <out folder> [seconds]\n";
    return 2;
  }
  const std::string songs = argv[1], out = argv[2];
  const double seconds = argc > 3 ? std::stod(argv[3]) : 60.0;
  try {
    for (const SoundRecipe& recipe : SoundRecipes()) {
      WriteWavFile(out + "/" + recipe.Name + ".wav", ToInt16(recipe.Make()), 1, kRate);
    }
    for (const SongFile& song : SongFiles()) {
      const auto xm = BuildSong(songs + "/" + song.Source);
      const SongReport report = InspectSong(xm);
      std::cout << song.Output << ": " << report.Channels << " channels, " << report.Seconds
                << " s per pass\n";
      WriteWavFile(out + "/" + song.Output + ".wav", RenderSong(xm, seconds, 44100, true), 2, 44100);
    }
  } catch (const std::exception& e) {
    std::cerr << "kestrune-audio-render: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
