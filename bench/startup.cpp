// The cost of a start to the first frame: the real game on the headless back end (the same
// start-up as `kestrune-replay` with `frames 1`), run in this process several times.
//
// It prints
// - where the bytes go: for each step from the archive files to the first frame, what it
//   allocates (counted by this program's operator new), and what it zeroes and copies;
// - the CPU time (user + system) of a start, median and fastest of the runs;
// - the floor, measured in the same run: reading the archive files once and writing every
//   decoded pixel once in the back surface's format, into fresh memory;
// - the peak memory (maximum resident set) of a start in a fresh process, median of several.
// Targets: a start costs at most 20 ms of CPU and at most 3 times the floor, and peaks at most at
// 30 MB. Run from build/ (reads Data/Res and Data/Music). `bench_startup --once` runs one start
// and exits, which is what the peak-memory children do; `--starts N` runs N starts and nothing
// else, for a profiler.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "app/ReplayRunner.h"
#include "app/ReplayScript.h"
#include "framework/ArchiveIO.h"
#include "framework/DXSound.h"
#include "framework/FileAccess.h"
#include "framework/Music.h"
#include "framework/PictureCollection.h"
#include "framework/WaveList.h"
#include "platform/headless/HeadlessAudio.h"

// Every allocation of the program is counted, so each step's allocated bytes are measured, not
// estimated.
namespace {
std::atomic<std::uint64_t> allocatedBytes{0};
}  // namespace

void* operator new(std::size_t n) {
  allocatedBytes += n;
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace kestrune {
namespace {

constexpr const char* kArchives[] = {"Data/Res/Res1.dxg", "Data/Res/Res2.dxg", "Data/Res/Sounds.dxw"};
constexpr int kRuns = 15;
constexpr int kMemoryRuns = 5;

double CpuMs() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double MB(double bytes) { return bytes / (1024.0 * 1024.0); }

// One start to the first presented frame; false when the game did not start. With shownAt, the
// CPU time (CpuMs) when the first frame had been presented is stored there: what comes after it
// (the runner's hash of the last frame for its report, and the teardown) is not the start.
bool StartOnce(double* shownAt = nullptr) {
  TReplayRunner runner(ParseReplayScript("frames 1\n"));
  runner.AfterFrame = [shownAt](TMForm&, std::int64_t frame) {
    if (shownAt && frame == 1) *shownAt = CpuMs();
  };
  const TReplayResult result = runner.Run();
  return result.Started && result.Presented >= 1;
}

// --- Where the bytes go ----------------------------------------------------------------------

struct Step {
  std::string Name;
  double Allocated = 0, Zeroed = 0, Copied = 0;
  double Ms = 0;  // CPU time of the step, run on its own
  bool InStart = true;  // part of a start (not: converting every picture, which a start does not)
};

double lastStepMs = 0;

template <class F>
double AllocatedBy(F&& f) {
  const std::uint64_t before = allocatedBytes;
  const double t0 = CpuMs();
  f();
  lastStepMs = CpuMs() - t0;
  return static_cast<double>(allocatedBytes - before);
}

// The steps of a start, each run on its own. Allocated bytes are counted; zeroed and copied bytes
// follow from what each step does with what it measured:
// - a file is read once, by the kernel, straight into its buffer (one copy from the page cache);
// - a picture is decoded once into its 32-bit pixels (run-length pictures are first filled with
//   their colour 0, since runs may leave pixels out);
// - the image library takes the pictures over, and converts each to RGB565 once, when first used;
// - the sound archive's samples are copied out of the file once, then taken over by the sound
//   library; the sound device gets each as a whole RIFF WAVE (made, then copied by the device);
// - the menu song is read and handed to the module player, which builds its own copy.
std::vector<Step> AccountForBytes(double wholeStart) {
  std::vector<Step> steps;
  double counted = 0;
  auto add = [&](Step s) {
    counted += s.Allocated;
    s.Ms = lastStepMs;
    steps.push_back(std::move(s));
  };
  for (const char* path : {kArchives[0], kArchives[1]}) {
    const std::string name = std::string(path).substr(9);
    TFileBytes bytes;
    add({name + ": read the file",
         AllocatedBy([&] { bytes = ReadRegularFileBytes(path, kMaxArchiveFileBytes); }), 0,
         static_cast<double>(bytes.size())});
    PictureArchive archive;
    const double decoded =
        AllocatedBy([&] { archive = ReadPictureArchiveFromMemory(bytes.data(), bytes.size(), PictureDepth::Display16); });
    add({name + ": decode the pictures (RGB565)", decoded, 0, 0});
    bytes = TFileBytes();
    TPictureCollection collection;
    add({name + ": into the image library",
         AllocatedBy([&] { collection.LoadFromArchive(std::move(archive)); }), 0, 0});
    collection.Initialize(true);
    // Not part of the sum: a start converts only the pictures its first screen shows.
    steps.push_back({name + ": all to RGB565, each when first shown", AllocatedBy([&] {
                       collection.Restore();
                       for (int i = 0; i < collection.Count(); ++i) collection.Items(i).Blocks();
                     }),
                     0, 0});
    steps.back().Ms = lastStepMs;
    steps.back().InStart = false;
  }
  {
    TFileBytes bytes;
    add({"Sounds.dxw: read the file",
         AllocatedBy([&] { bytes = ReadRegularFileBytes(kArchives[2], kMaxArchiveFileBytes); }), 0,
         static_cast<double>(bytes.size())});
    WaveArchive archive;
    const double parsed =
        AllocatedBy([&] { archive = ReadWaveArchiveFromMemory(bytes.data(), bytes.size()); });
    double samples = 0;
    for (const WaveItemRecord& r : archive.Items) samples += static_cast<double>(r.Data.size());
    add({"Sounds.dxw: parse the waves", parsed, 0, samples});
    HeadlessAudioOutput audio(true);
    TDXSound sound(&audio);
    sound.Loaded();
    TDXWaveList list;
    list.SetDXSound(&sound);
    add({"Sounds.dxw: into the sound library",
         AllocatedBy([&] { list.Items.LoadFromArchive(std::move(archive)); }), 0, 2 * samples});
    steps.back().Name = "Sounds.dxw: into the library and the device";
  }
  {
    TMusicPlayer music(nullptr);
    TSongHandle song = 0;
    const double loaded = AllocatedBy([&] { song = music.SongLoadFromFile("Data/Music/Menu.xm"); });
    add({"Menu.xm: read and load the song", loaded, 0, 0});
    music.SongFree(song);
  }
  add({"the rest (first screen's pictures, surfaces, text)", wholeStart - counted, 0, 0});
  return steps;
}

// --- The floor -------------------------------------------------------------------------------

// Reading every archive once into memory of its own and writing every decoded pixel once, in the
// back surface's 16-bit format, into fresh memory: what no start-up can avoid.
double FloorMs(double pixelBytes16) {
  const double t0 = CpuMs();
  for (const char* path : kArchives) {
    std::vector<std::uint8_t> bytes = ReadArchiveFile(path);
    volatile std::uint8_t sink = bytes.empty() ? 0 : bytes[bytes.size() / 2];
    (void)sink;
  }
  auto* pixels = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(pixelBytes16)));
  std::memset(pixels, 0x5A, static_cast<std::size_t>(pixelBytes16));
  volatile std::uint8_t sink = pixels[static_cast<std::size_t>(pixelBytes16) / 2];
  (void)sink;
  std::free(pixels);
  return CpuMs() - t0;
}

// --- Peak memory in a fresh process ----------------------------------------------------------

// The child's maximum resident set in MB, or -1 when it could not run.
double ChildPeakMB(const char* mode) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return -1;
  self[n] = 0;
  char* argv[] = {self, const_cast<char*>(mode), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self, nullptr, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  rusage u{};
  if (wait4(pid, &status, 0, &u) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return u.ru_maxrss / 1024.0;
}

int Main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--once") == 0) return StartOnce() ? 0 : 1;
  if (argc > 1 && std::strcmp(argv[1], "--idle") == 0) return 0;
  // `--starts N`: N starts and nothing else, for a profiler.
  if (argc > 2 && std::strcmp(argv[1], "--starts") == 0) {
    for (int i = std::atoi(argv[2]); i > 0; --i)
      if (!StartOnce()) return 1;
    return 0;
  }

  std::vector<double> peaks, idle;
  for (int i = 0; i < kMemoryRuns; ++i) {
    peaks.push_back(ChildPeakMB("--once"));
    idle.push_back(ChildPeakMB("--idle"));
  }
  if (Median(peaks) < 0) {
    std::fprintf(stderr, "bench_startup: the game did not start (run it from build/)\n");
    return 1;
  }

  // The pixels written once: every picture of both libraries in 16-bit pixels.
  double pixelBytes16 = 0;
  for (const char* path : {kArchives[0], kArchives[1]}) {
    const PictureArchive archive = ReadPictureArchive(path);
    for (const PictureItemRecord& r : archive.Items) pixelBytes16 += 2.0 * r.Picture.Pixels.size();
  }

  std::vector<double> starts, floors, allocations;
  StartOnce();  // warms the file cache and the libraries
  for (int i = 0; i < kRuns; ++i) {
    const std::uint64_t a0 = allocatedBytes;
    const double t0 = CpuMs();
    double shown = 0;
    if (!StartOnce(&shown)) return 1;
    starts.push_back(shown - t0);
    allocations.push_back(static_cast<double>(allocatedBytes - a0));
    floors.push_back(FloorMs(pixelBytes16));
  }

  std::printf(
      "Where the bytes go in a start (MB; each step run on its own, the rest is what the whole start\n"
      "allocates beyond them):\n");
  std::printf("  %-48s %10s %10s %10s %8s\n", "step", "allocated", "zeroed", "copied", "CPU ms");
  // Each step's CPU time is the median of several passes (the first pass also pays for the
  // libraries' own first use).
  std::vector<Step> steps = AccountForBytes(Median(allocations));
  std::vector<std::vector<double>> stepMs(steps.size());
  for (int pass = 0; pass < 5; ++pass) {
    const std::vector<Step> again = AccountForBytes(Median(allocations));
    for (std::size_t i = 0; i < again.size() && i + 1 < steps.size(); ++i) stepMs[i].push_back(again[i].Ms);
  }
  double summed = 0;
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    steps[i].Ms = Median(stepMs[i]);
    if (steps[i].InStart) summed += steps[i].Ms;
  }
  steps.back().Ms = Median(starts) - summed;
  for (const Step& s : steps)
    // The rest's time is what the whole start takes beyond its steps timed alone; steps timed
    // alone can cost more than inside a start (colder caches), and then it is not shown.
    if (s.Ms >= 0)
      std::printf("  %-48s %10.2f %10.2f %10.2f %8.2f\n", s.Name.c_str(), MB(s.Allocated), MB(s.Zeroed),
                  MB(s.Copied), s.Ms);
    else
      std::printf("  %-48s %10.2f %10.2f %10.2f %8s\n", s.Name.c_str(), MB(s.Allocated), MB(s.Zeroed),
                  MB(s.Copied), "-");
  std::printf("  (the back surface, 0.92 MB, is zeroed when made and cleared before every frame)\n");

  const double start = Median(starts), floor = Median(floors);
  std::printf("\nStart to the first frame shown (the game's set-up to the end of its first frame), %d runs in this process:\n", kRuns);
  std::printf("  CPU (user + system): median %.2f ms, fastest %.2f ms (target <= 20 ms)\n", start,
              *std::min_element(starts.begin(), starts.end()));
  std::printf("  allocated per start: %.2f MB\n", MB(Median(allocations)));
  std::printf("  floor (read the archives once, write %.2f MB of 16-bit pixels once): median %.2f ms\n",
              MB(pixelBytes16), floor);
  std::printf("  start / floor: %.1f (target <= 3)\n", floor > 0 ? start / floor : 0);
  std::printf(
      "  peak memory of a start in a fresh process: median %.1f MB of %d (target <= 30 MB);"
      " the same process without a start: %.1f MB\n",
      Median(peaks), kMemoryRuns, Median(idle));
  return 0;
}

}  // namespace
}  // namespace kestrune

int main(int argc, char** argv) { return kestrune::Main(argc, argv); }
