// One race frame as the game runs it, without the display's copy of the back surface: fill the
// 800 x 600 surface with black and draw the sprite tree (drawing), then the race frame and the
// freeing of dead sprites (logic). Levels 1 to 5, car 1, seed 5, 85 frames a second, with the
// game's own pictures; on level 5 all 200 traffic slots are in use and all 600 pedestrian slots
// are filled (the level's own pedestrians, and copies of them half a cell further on for the
// slots its rows leave over). The scripted drive holds the accelerator, weaves left and right,
// picks up a weapon every 1000 frames and fires it, and never runs out of lives. Each frame is
// timed on its own, in CPU time of this thread; the medians, the 99th percentile and the worst frame are
// printed at the end (targets on level 5: median <= 0.1 ms, 99th percentile <= 0.2 ms; growing no more than
// linearly with the level). Every picture is converted for drawing before the first timed frame, as the game
// has done by the time a race runs. Run from build/ (reads Data/Res/Res1.dxg and Res2.dxg).

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

#include "framework/PictureCollection.h"
#include "framework/Random.h"
#include "framework/Sprite.h"
#include "game/GameState.h"
#include "game/MyImageSprite.h"
#include "game/RaceServices.h"
#include "race/Pedestrians.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"
#include "race/vehicles/Traffic.h"

namespace kestrune {
namespace {

constexpr int kFrames = 6000;

// This thread's CPU time in milliseconds: frames are timed by the CPU they take, so a busy
// machine that preempts the benchmark does not count against the game.
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
constexpr int kStateUp = 0, kStateLeft = 2, kStateRight = 3, kStateFire = 15;

// The value below which the given fraction of the frames lie (0.5: the median).
double Percentile(std::vector<double> v, double fraction) {
  if (v.empty()) return 0;
  const auto k = static_cast<std::size_t>(fraction * static_cast<double>(v.size() - 1) + 0.5);
  std::nth_element(v.begin(), v.begin() + static_cast<long>(k), v.end());
  return v[k];
}
double Median(const std::vector<double>& v) { return Percentile(v, 0.5); }

struct Figures {
  std::vector<double> drawMs, logicMs, frameMs;
  int carsAtStart = 0, carsAtEnd = 0, rowsDriven = 0, score = 0, crashes = 0, pedestrians = 0;
};
std::map<int, Figures> figuresByLevel;

// Fills every pedestrian slot: the empty ones take a copy of a placed pedestrian, half a cell
// further along its pavement.
void FillPedestrianSlots() {
  TMan& men = *RaceMen;
  std::vector<int> placed;
  for (int n = 1; n <= TMan::Slots; ++n)
    if (men.Slot(n).Active) placed.push_back(n);
  if (placed.empty()) return;
  std::size_t next = 0;
  for (int n = 1; n <= TMan::Slots; ++n) {
    TPedestrian& p = men.Slot(n);
    if (p.Active) continue;
    p = men.Slot(placed[next++ % placed.size()]);
    p.Y += 36;
  }
}

void BM_RaceFrame(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  TPictureCollection lib1, lib2;
  try {
    lib1.LoadFromFile("Data/Res/Res1.dxg");
    lib2.LoadFromFile("Data/Res/Res2.dxg");
  } catch (const std::exception& e) {
    state.SkipWithError(
        ("cannot read the data set (run from the build directory): " + std::string(e.what())).c_str());
    return;
  }
  lib1.Restore();
  lib2.Restore();
  // Pictures are converted when first used; convert them all now, outside the timed frames.
  for (TPictureCollection* lib : {&lib1, &lib2})
    for (int i = 0; i < lib->Count(); ++i) lib->Items(i).Blocks();
  TDirectDrawSurface surface(800, 600);
  TSpriteEngine engine;
  engine.SetSurface(&surface);
  GameState = TGameState{};
  GameState.FrameTimeMs = 11;
  GameState.SpeedScale = 1.0;
  GameSpriteWorld() = {&engine, &lib1, &lib2, &GameState.FrameTimeMs};
  std::set<int> held;
  RaceServices() = TRaceServices{};
  RaceServices().InputHeld = [&held](int s) { return held.count(s) > 0; };

  RandomSeed(5);
  StartRaceAt(level, 1);
  if (level >= 5) FillPedestrianSlots();
  Figures& figures = figuresByLevel[level];
  figures = {};
  figures.carsAtStart = RaceTraffic->CarsAlive();
  figures.pedestrians = RaceMen->CountWalking();

  int frame = 0;
  for (auto _ : state) {
    // The script: accelerate throughout, weave every few seconds, fire a fresh weapon.
    held = {kStateUp};
    const int phase = frame % 400;
    if (phase >= 100 && phase < 130) held.insert(kStateLeft);
    if (phase >= 300 && phase < 330) held.insert(kStateRight);
    if (frame % 1000 == 10) RacePlayer->GiveBonus(frame % 2000 == 10 ? 3 : 4);
    if (frame % 1000 > 100 && frame % 1000 < 600) held.insert(kStateFire);
    if (GameState.Lives < 2) GameState.Lives = 3;
    const bool wasCrashed = RacePlayer->Crashed;

    const double t0 = ThreadCpuMs();
    surface.Fill(0);
    engine.Draw();
    const double t1 = ThreadCpuMs();
    RaceFrame(static_cast<std::uint32_t>(GameState.FrameTimeMs));
    engine.FreeDead();
    const double t2 = ThreadCpuMs();

    const double draw = t1 - t0;
    const double logic = t2 - t1;
    figures.drawMs.push_back(draw);
    figures.logicMs.push_back(logic);
    figures.frameMs.push_back(draw + logic);
    benchmark::DoNotOptimize(surface.Pixels());
    figures.crashes += RacePlayer->Crashed && !wasCrashed;
    ++frame;
  }
  state.counters["median_ms"] = Median(figures.frameMs);
  figures.carsAtEnd = RaceTraffic->CarsAlive();
  figures.rowsDriven = 1488 - MapRowOffset;
  figures.score = GameState.Score;
  EndRace();
  engine.Clear();
  GameSpriteWorld() = {};
  RaceServices() = TRaceServices{};
}

}  // namespace
}  // namespace kestrune

BENCHMARK(kestrune::BM_RaceFrame)
    ->DenseRange(1, 5)
    ->Iterations(kestrune::kFrames)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  using kestrune::Median;
  using kestrune::Percentile;
  for (const auto& [level, figures] : kestrune::figuresByLevel) {
    const double draw = Median(figures.drawMs), logic = Median(figures.logicMs),
                 frame = Median(figures.frameMs);
    const double p99 = Percentile(figures.frameMs, 0.99);
    const double worst =
        figures.frameMs.empty() ? 0 : *std::max_element(figures.frameMs.begin(), figures.frameMs.end());
    std::printf(
        "race frame, level %d (%d cars, %d pedestrians at the start), %zu frames:\n"
        "  median %.4f ms, 99th percentile %.4f ms, worst %.4f ms%s\n"
        "  drawing %.4f ms (%.0f %%), logic %.4f ms (%.0f %%) (medians)\n"
        "  the drive: %d rows up the road, %d crashes, score %d, %d cars left\n",
        level, figures.carsAtStart, figures.pedestrians, figures.frameMs.size(), frame, p99, worst,
        level == 5 ? " (targets: median <= 0.1 ms, 99th percentile <= 0.2 ms)" : "", draw,
        frame > 0 ? 100 * draw / (draw + logic) : 0, logic, frame > 0 ? 100 * logic / (draw + logic) : 0,
        figures.rowsDriven, figures.crashes, figures.score, figures.carsAtEnd);
  }
  return 0;
}
