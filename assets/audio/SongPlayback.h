#pragma once
// Plays generated songs back through libopenmpt, to check them and to listen to them.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune::audio {

struct SongReport {
  bool Loaded = false;
  int Channels = 0;
  double Seconds = 0.0;  // length of one pass, up to where the song loops
  std::string Error;
};

SongReport InspectSong(const std::vector<std::uint8_t>& xm);

// Renders `seconds` of interleaved stereo 16-bit audio; with `loop` the song repeats forever
// (as the game plays it), otherwise rendering stops at its end.
std::vector<std::int16_t> RenderSong(const std::vector<std::uint8_t>& xm, double seconds, int rate,
                                     bool loop);

// A 16-bit PCM RIFF WAVE file.
void WriteWavFile(const std::string& path, const std::vector<std::int16_t>& samples, int channels, int rate);

}  // namespace kestrune::audio
