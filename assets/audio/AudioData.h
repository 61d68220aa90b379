#pragma once
// The generated audio of the default data set: the sound archive and the songs.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ArchiveTypes.h"

namespace kestrune::audio {

// Every effect as a 16-bit, 22050 Hz mono wave item with its loop flag and copy limit.
WaveArchive BuildSoundArchive();

// Compiles a song source file into XM bytes. Throws SongError / XmError with the reason.
std::vector<std::uint8_t> BuildSong(const std::string& songPath);

// The songs the game plays, by file name below Data/Music, with their source file names.
struct SongFile {
  const char* Source;  // below the songs folder
  const char* Output;  // below Data/Music
};
const std::vector<SongFile>& SongFiles();

}  // namespace kestrune::audio
