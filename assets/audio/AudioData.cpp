#include "AudioData.h"

#include <fstream>
#include <sstream>

#include "SongCompiler.h"
#include "SoundRecipes.h"

namespace kestrune::audio {

WaveArchive BuildSoundArchive() {
  WaveArchive archive;
  for (const SoundRecipe& recipe : SoundRecipes()) {
    WaveItemRecord item;
    item.Name = recipe.Name;
    item.Looped = recipe.Looped;
    item.MaxPlayingCount = recipe.MaxPlayingCount;
    item.Format = WaveFormat{};  // PCM, mono, 22050 Hz, 16-bit
    item.Format.SamplesPerSec = kRate;
    item.Format.AvgBytesPerSec = kRate * 2;
    item.Data = ToPcm16(recipe.Make());
    item.HasWave = true;
    archive.Items.push_back(std::move(item));
  }
  return archive;
}

std::vector<std::uint8_t> BuildSong(const std::string& songPath) {
  std::ifstream in(songPath, std::ios::binary);
  if (!in) throw SongError("cannot open song source " + songPath);
  std::ostringstream text;
  text << in.rdbuf();
  const std::size_t slash = songPath.find_last_of('/');
  return WriteXm(CompileSong(text.str(), slash == std::string::npos ? songPath : songPath.substr(slash + 1)));
}

const std::vector<SongFile>& SongFiles() {
  static const std::vector<SongFile> kSongs = {{"Menu.song", "Menu.xm"}, {"Race.song", "Race.xm"}};
  return kSongs;
}

}  // namespace kestrune::audio
