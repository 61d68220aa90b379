#include "SongPlayback.h"

#include <fstream>
#include <libopenmpt/libopenmpt.hpp>

namespace kestrune::audio {

SongReport InspectSong(const std::vector<std::uint8_t>& xm) {
  SongReport report;
  try {
    openmpt::module module(xm);
    report.Loaded = true;
    report.Channels = module.get_num_channels();
    report.Seconds = module.get_duration_seconds();
  } catch (const std::exception& e) {
    report.Error = e.what();
  }
  return report;
}

std::vector<std::int16_t> RenderSong(const std::vector<std::uint8_t>& xm, double seconds, int rate,
                                     bool loop) {
  openmpt::module module(xm);
  module.set_repeat_count(loop ? -1 : 0);
  const std::size_t frames = static_cast<std::size_t>(seconds * rate);
  std::vector<std::int16_t> out(frames * 2, 0);
  std::size_t done = 0;
  while (done < frames) {
    const std::size_t chunk = std::min<std::size_t>(4096, frames - done);
    const std::size_t got = module.read_interleaved_stereo(rate, chunk, out.data() + done * 2);
    if (got == 0) break;
    done += got;
  }
  out.resize(done * 2);
  return out;
}

void WriteWavFile(const std::string& path, const std::vector<std::int16_t>& samples, int channels, int rate) {
  std::ofstream out(path, std::ios::binary);
  const auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  const auto u16 = [&](std::uint16_t v) {
    out.put(static_cast<char>(v & 0xFF));
    out.put(static_cast<char>(v >> 8));
  };
  const std::uint32_t bytes = static_cast<std::uint32_t>(samples.size() * 2);
  out.write("RIFF", 4);
  u32(36 + bytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(static_cast<std::uint16_t>(channels));
  u32(static_cast<std::uint32_t>(rate));
  u32(static_cast<std::uint32_t>(rate * channels * 2));
  u16(static_cast<std::uint16_t>(channels * 2));
  u16(16);
  out.write("data", 4);
  u32(bytes);
  for (std::int16_t s : samples) u16(static_cast<std::uint16_t>(s));
}

}  // namespace kestrune::audio
