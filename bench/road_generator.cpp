// Generating the map of a long level (level 6 and up: 1300 rows of road). It runs between two
// frames when a level starts, so it should stay well under a frame's worth of hitches.

#include <benchmark/benchmark.h>

#include "framework/Random.h"
#include "race/RoadGenerator.h"

namespace {

void BM_GenerateLevel6Map(benchmark::State& state) {
  std::uint32_t seed = 1;
  for (auto _ : state) {
    kestrune::RandomSeed(seed++);
    kestrune::GenerateRoadMap(1300);
    benchmark::DoNotOptimize(kestrune::RoadMap.RowData(1));
  }
}
BENCHMARK(BM_GenerateLevel6Map)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
