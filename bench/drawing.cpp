// Drawing speed of the image library against SDL doing the same work on the same RGB565
// surfaces, measured in one run so the figures compare as ratios (printed at the end):
//   road      a grid of 154 opaque 72 x 72 tiles over 800 x 600, clipped at the edges,
//             against SDL_BlitSurface with colour key and RLE (target: ratio <= 1.0)
//   sprite    a 168 x 240 sprite with about 20 % key pixels, against SDL's RLE colour-key
//             blit (target: ratio <= 1.2)
//   alpha     a 64 x 64 keyed pattern stretched to 128 x 128 at alpha 128, against
//             SDL_BlitScaled with colour key and alpha 128 (target: SDL at least 5 times slower)
//   rotate    a 98 x 134 keyed pattern turned by angle 19, against SDL2_gfx rotozoomSurface and
//             a keyed blit of its result (target: SDL2_gfx at least 4 times slower)
//   fill      Surface.Fill of the frame against memset of its 960,000 bytes (target: <= 1.1)

#include <SDL.h>
#include <SDL2_rotozoom.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "framework/PictureCollection.h"

namespace kestrune {
namespace {

constexpr std::uint32_t kKeyRgb = 0xFF00FF;
const std::uint16_t kKey565 = RGB565(255, 0, 255);

// A picture of w x h pixels; keyed(x, y) marks the key pixels, the others get varied colours.
template <typename Keyed>
TPictureData MakePicture(int w, int h, Keyed keyed) {
  TPictureData pic;
  pic.Width = w;
  pic.Height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pic.Pixels.push_back(keyed(x, y) ? kKeyRgb : static_cast<std::uint32_t>(((x * 37) & 0xFF) << 16 | ((y * 11) & 0xFF) << 8 | 0x30));
  return pic;
}

// The same picture as an SDL RGB565 surface with the same colour key.
SDL_Surface* MakeSdlSurface(const TPictureData& pic, bool rle) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, pic.Width, pic.Height, 16, SDL_PIXELFORMAT_RGB565);
  for (int y = 0; y < pic.Height; ++y) {
    auto* row = reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch);
    for (int x = 0; x < pic.Width; ++x) {
      const std::uint32_t c = pic.At(x, y);
      row[x] = RGB565(static_cast<int>(c >> 16), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF));
    }
  }
  SDL_SetColorKey(s, SDL_TRUE, kKey565);
  if (rle) SDL_SetSurfaceRLE(s, 1);
  return s;
}

struct Item {
  explicit Item(TPictureData pic) {
    item = &collection.Add();
    item->Picture = std::move(pic);
    item->SetTransparentColor(0xFF00FF);
    item->Restore();
  }
  TPictureCollection collection;
  TPictureCollectionItem* item;
};

SDL_Surface* MakeScreen() { return SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 16, SDL_PIXELFORMAT_RGB565); }

// 14 x 11 tiles from (-36, -36): partly off every edge of the frame.
template <typename DrawTile>
void DrawRoadGrid(DrawTile draw) {
  for (int row = 0; row < 11; ++row)
    for (int col = 0; col < 14; ++col) draw(-36 + col * 72, -36 + row * 72);
}

TPictureData RoadTile() { return MakePicture(72, 72, [](int, int) { return false; }); }

// A car-like outline: rounded corners, a narrow waist and a few holes; about 20 % key pixels.
TPictureData SpritePicture() {
  return MakePicture(168, 240, [](int x, int y) {
    const int dx = std::min(x, 167 - x), dy = std::min(y, 239 - y);
    if (dx + dy < 40) return true;                     // corners
    if (dx < 14 && y > 80 && y < 160) return true;     // waist
    return (x / 12 + y / 12) % 9 == 0 && dx > 20;      // windows
  });
}

TPictureData SmallKeyed(int w, int h) {
  return MakePicture(w, h, [w, h](int x, int y) {
    const int dx = std::min(x, w - 1 - x), dy = std::min(y, h - 1 - y);
    return dx + dy < w / 5;
  });
}

void BM_Road_Ours(benchmark::State& state) {
  Item tile(RoadTile());
  TDirectDrawSurface screen;
  for (auto _ : state) {
    DrawRoadGrid([&](int x, int y) { tile.item->Draw(screen, x, y, 0); });
    benchmark::DoNotOptimize(screen.Pixels());
    benchmark::ClobberMemory();
  }
}
void BM_Road_SDL(benchmark::State& state) {
  SDL_Surface* tile = MakeSdlSurface(RoadTile(), true);
  SDL_Surface* screen = MakeScreen();
  for (auto _ : state) {
    DrawRoadGrid([&](int x, int y) {
      SDL_Rect r{x, y, 72, 72};
      SDL_BlitSurface(tile, nullptr, screen, &r);
    });
    benchmark::DoNotOptimize(screen->pixels);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(tile);
  SDL_FreeSurface(screen);
}

void BM_Sprite_Ours(benchmark::State& state) {
  Item sprite(SpritePicture());
  TDirectDrawSurface screen;
  for (auto _ : state) {
    sprite.item->Draw(screen, 300, 180, 0);
    benchmark::DoNotOptimize(screen.Pixels());
    benchmark::ClobberMemory();
  }
}
void BM_Sprite_SDL(benchmark::State& state) {
  SDL_Surface* sprite = MakeSdlSurface(SpritePicture(), true);
  SDL_Surface* screen = MakeScreen();
  for (auto _ : state) {
    SDL_Rect r{300, 180, 168, 240};
    SDL_BlitSurface(sprite, nullptr, screen, &r);
    benchmark::DoNotOptimize(screen->pixels);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(sprite);
  SDL_FreeSurface(screen);
}

void BM_Alpha_Ours(benchmark::State& state) {
  Item pattern(SmallKeyed(64, 64));
  TDirectDrawSurface screen;
  screen.Fill(RGB565(40, 80, 120));
  for (auto _ : state) {
    pattern.item->DrawAlpha(screen, {300, 200, 428, 328}, 0, 128);
    benchmark::DoNotOptimize(screen.Pixels());
    benchmark::ClobberMemory();
  }
}
void BM_Alpha_SDL(benchmark::State& state) {
  SDL_Surface* pattern = MakeSdlSurface(SmallKeyed(64, 64), false);
  SDL_SetSurfaceAlphaMod(pattern, 128);
  SDL_SetSurfaceBlendMode(pattern, SDL_BLENDMODE_BLEND);
  SDL_Surface* screen = MakeScreen();
  for (auto _ : state) {
    SDL_Rect r{300, 200, 128, 128};
    SDL_BlitScaled(pattern, nullptr, screen, &r);
    benchmark::DoNotOptimize(screen->pixels);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(pattern);
  SDL_FreeSurface(screen);
}

void BM_Rotate_Ours(benchmark::State& state) {
  Item pattern(SmallKeyed(98, 134));
  TDirectDrawSurface screen;
  for (auto _ : state) {
    pattern.item->DrawRotate(screen, 400, 300, 98, 134, 0, 0.5, 0.5, 19);
    benchmark::DoNotOptimize(screen.Pixels());
    benchmark::ClobberMemory();
  }
}
void BM_Rotate_SDL(benchmark::State& state) {
  SDL_Surface* pattern = MakeSdlSurface(SmallKeyed(98, 134), false);
  SDL_Surface* screen = MakeScreen();
  // rotozoomSurface turns counter-clockwise; the game's angle turns clockwise.
  const double degrees = -19 * 360.0 / 256.0;
  for (auto _ : state) {
    SDL_Surface* turned = rotozoomSurface(pattern, degrees, 1.0, SMOOTHING_OFF);
    // Its corners and the source's key pixels come out as 0 (transparent): key on that.
    SDL_SetColorKey(turned, SDL_TRUE, 0);
    SDL_SetSurfaceBlendMode(turned, SDL_BLENDMODE_NONE);
    SDL_Rect r{400 - turned->w / 2, 300 - turned->h / 2, turned->w, turned->h};
    SDL_BlitSurface(turned, nullptr, screen, &r);
    SDL_FreeSurface(turned);
    benchmark::DoNotOptimize(screen->pixels);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(pattern);
  SDL_FreeSurface(screen);
}

void BM_Fill_Ours(benchmark::State& state) {
  TDirectDrawSurface screen;
  for (auto _ : state) {
    screen.Fill(0);
    benchmark::DoNotOptimize(screen.Pixels());
    benchmark::ClobberMemory();
  }
}
void BM_Fill_Memset(benchmark::State& state) {
  TDirectDrawSurface screen;
  for (auto _ : state) {
    std::memset(screen.Pixels(), 0, 800 * 600 * 2);
    benchmark::DoNotOptimize(screen.Pixels());
    benchmark::ClobberMemory();
  }
}

// The machine these run on is often shared: every benchmark is repeated, the repetitions of all
// benchmarks are interleaved, and the comparison uses each one's fastest repetition.
double Fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
#define KESTRUNE_BENCH(fn) BENCHMARK(fn)->Repetitions(9)->ComputeStatistics("min", Fastest)->ReportAggregatesOnly(true)
KESTRUNE_BENCH(BM_Road_Ours);
KESTRUNE_BENCH(BM_Road_SDL);
KESTRUNE_BENCH(BM_Sprite_Ours);
KESTRUNE_BENCH(BM_Sprite_SDL);
KESTRUNE_BENCH(BM_Alpha_Ours);
KESTRUNE_BENCH(BM_Alpha_SDL);
KESTRUNE_BENCH(BM_Rotate_Ours);
KESTRUNE_BENCH(BM_Rotate_SDL);
KESTRUNE_BENCH(BM_Fill_Ours);
KESTRUNE_BENCH(BM_Fill_Memset);

// Prints the usual table and, at the end, each comparison as a ratio of times.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name == "min")
        times_[BaseName(run.benchmark_name())] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nComparison                          ratio     target\n");
    Ratio("road: ours / SDL RLE blit", "BM_Road_Ours", "BM_Road_SDL", "<= 1.0");
    Ratio("sprite: ours / SDL RLE blit", "BM_Sprite_Ours", "BM_Sprite_SDL", "<= 1.2");
    Ratio("alpha: SDL_BlitScaled / ours", "BM_Alpha_SDL", "BM_Alpha_Ours", ">= 5");
    Ratio("rotate: rotozoom+blit / ours", "BM_Rotate_SDL", "BM_Rotate_Ours", ">= 4");
    Ratio("fill: ours / memset", "BM_Fill_Ours", "BM_Fill_Memset", "<= 1.1");
  }

 private:
  static std::string BaseName(const std::string& name) { return name.substr(0, name.find('/')); }
  void Ratio(const char* label, const char* a, const char* b, const char* target) {
    if (!times_.count(a) || !times_.count(b)) return;
    std::printf("%-34s %7.2f     %s\n", label, times_[a] / times_[b], target);
  }
  std::map<std::string, double> times_;
};

}  // namespace
}  // namespace kestrune

int main(int argc, char** argv) {
  // Interleave the repetitions unless the command line says otherwise.
  std::vector<char*> args(argv, argv + argc);
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  kestrune::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
