// Rendering the race song for one buffer of the mixer (1024 frames at 44100 Hz, 23.2 ms of
// sound). It runs on the audio thread in every buffer, next to the effects, so it must take a
// small fraction of the buffer's time. Run from build/ (reads Data/Music/Race.xm).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "framework/Music.h"
#include "platform/headless/HeadlessAudio.h"

namespace {

void BM_RenderRaceSongBuffer(benchmark::State& state) {
  kestrune::HeadlessAudioOutput audio;
  kestrune::TMusicPlayer music(&audio);
  const kestrune::TSongHandle song = music.SongLoadFromFile("Data/Music/Race.xm");
  if (song == 0) {
    state.SkipWithError("Data/Music/Race.xm not found (run from the build directory)");
    return;
  }
  music.SongPlay(song);
  std::vector<std::int16_t> frames;
  for (auto _ : state) {
    frames = audio.RenderMusic(1024);
    benchmark::DoNotOptimize(frames.data());
  }
  state.counters["buffer_ms"] = 1024.0 * 1000.0 / audio.OutputRate();
}
BENCHMARK(BM_RenderRaceSongBuffer)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
