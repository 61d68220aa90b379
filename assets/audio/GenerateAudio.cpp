// Writes the default data set's audio: Res/Sounds.dxw and the songs in Music/.
// Usage: kestrune-audiogen <songs folder> <data folder>

#include <exception>
#include <fstream>
#include <iostream>

#include "AudioData.h"
#include "framework/ArchiveIO.h"

namespace {

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: kestrune-audiogen <songs folder> <data folder>\n";
    return 2;
  }
  const std::string songs = argv[1], data = argv[2];
  try {
    kestrune::WriteWaveArchive(data + "/Res/Sounds.dxw", kestrune::audio::BuildSoundArchive());
    for (const auto& song : kestrune::audio::SongFiles()) {
      WriteFile(data + "/Music/" + song.Output, kestrune::audio::BuildSong(songs + "/" + song.Source));
    }
  } catch (const std::exception& e) {
    std::cerr << "kestrune-audiogen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
