// kestrune-roadview: generates a level's road and writes a screen-sized picture of each kind of
// stretch it finds (a shift either way, a fork and its join, a median, an extra lane on either
// side, walled and open blocks, kiosks, paths), drawn with the race's own road sprite and the
// tiles of a picture archive. For checking that the tile art joins up. With --traffic N it places
// the level's traffic and, at each stretch, drives it for N frames (85 a second), writing a
// picture every 50 frames, to watch the cars follow the road.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/ToolCommandLine.h"
#include "framework/PictureCollection.h"
#include "framework/Random.h"
#include "framework/Sprite.h"
#include "game/GameState.h"
#include "game/MyImageSprite.h"
#include "platform/PngWriter.h"
#include "race/LevelValues.h"
#include "race/Race.h"
#include "race/RoadGenerator.h"
#include "race/RoadMap.h"
#include "race/ScrollBackground.h"
#include "race/vehicles/Traffic.h"

using namespace kestrune;

namespace {

struct Feature {
  std::string name;
  std::function<bool(int row, int column)> at;
};

int Usage() {
  std::fprintf(
      stderr,
      "usage: kestrune-roadview [--archive Res2.dxg] [--data DIR] [--seed N] [--level N] [--out DIR]\n"
      "                         [--traffic N] [--version] [--help]\n"
      "Writes DIR/<stretch>.png for each kind of stretch found in the generated level;\n"
      "with --traffic N, DIR/<stretch>-<frame>.png every 50 of N frames of traffic.\n"
      "The archive defaults to Data/Res/Res2.dxg of the data set in --data DIR (the folder\n"
      "holding Data/), else the current folder's, else the installed one. Every option taking\n"
      "a value may also be written --option=VALUE.\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string archive, out = "roadview", dataDir;
  std::uint32_t seed = 1;
  int level = 6;
  int trafficFrames = 0;
  const std::vector<std::string> args = SplitAttachedValues({argv + 1, argv + argc});
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      Usage();
      return 0;
    }
    if (arg == "--version") {
      std::printf("%s", VersionText("kestrune-roadview").c_str());
      return 0;
    }
    if (i + 1 >= args.size()) return Usage();
    const std::string& value = args[++i];
    if (arg == "--archive")
      archive = value;
    else if (arg == "--data")
      dataDir = value;
    else if (arg == "--seed")
      seed = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
    else if (arg == "--level") {
      char* end = nullptr;
      const long n = std::strtol(value.c_str(), &end, 10);
      if (end == value.c_str() || *end != '\0' || n < 1 || n > 1000000) {
        std::fprintf(stderr, "kestrune-roadview: --level must be a whole number from 1 to 1000000\n");
        return 1;
      }
      level = static_cast<int>(n);
    }
    else if (arg == "--out")
      out = value;
    else if (arg == "--traffic")
      trafficFrames = std::max(0, std::atoi(value.c_str()));
    else
      return Usage();
  }
  if (archive.empty()) {
    std::string reason;
    const auto root = FindToolDataRoot(dataDir, argv[0], reason);
    if (!root) {
      std::fprintf(stderr, "kestrune-roadview: %s\n", reason.c_str());
      return 1;
    }
    archive = (*root / "Data" / "Res" / "Res2.dxg").string();
  }
  try {
    TPictureCollection library;
    library.LoadFromFile(archive);
    library.Restore();
    TDirectDrawSurface surface(800, 600);
    TSpriteEngine engine;
    engine.SetSurface(&surface);
    GameSpriteWorld() = {&engine, nullptr, &library, nullptr};

    RandomSeed(seed);
    const TLevelValues values = ComputeLevelValues(level);
    const int length = values.RoadLength;
    GameState.RoadLength = values.RoadLength;
    GameState.TrafficLevelValue = values.TrafficLevelValue;
    GameState.FrameTimeMs = 11;
    GameState.SpeedScale = 1.0;
    GenerateRoadMap(length);
    RaceRoad = new TScrollBackground(2, TRoadMap::WindowColumns, TRoadMap::WindowRows, "Tiles");
    TCar* traffic = trafficFrames > 0 ? TCar::Create() : nullptr;
    auto write = [&](const std::string& path) {
      surface.Fill(0);
      engine.Draw();
      if (traffic) traffic->DrawCars();
      if (!WritePngRGB565(path, surface.Pixels(), 800, 600, surface.Pitch())) {
        std::fprintf(stderr, "kestrune-roadview: cannot write %s\n", path.c_str());
        return false;
      }
      return true;
    };

    auto code = [](int r, int c) { return static_cast<int>(RoadMap.Get(r, c)); };
    const std::vector<Feature> features = {
        {"shift-left", [&](int r, int c) { return code(r, c) == 17; }},
        {"shift-right", [&](int r, int c) { return code(r, c) == 9; }},
        {"fork", [&](int r, int c) { return code(r, c) == 17 && code(r, c + 1) == 9; }},
        {"join", [&](int r, int c) { return code(r, c) == 11 && code(r, c + 1) == 19; }},
        {"median", [&](int r, int c) { return code(r, c) == 21 && code(r + 1, c) == 18; }},
        {"extra-lane-right", [&](int r, int c) { return code(r, c) == 33 && code(r, c + 1) == 10; }},
        {"extra-lane-left", [&](int r, int c) { return code(r, c) == 18 && code(r, c + 1) == 33; }},
        {"walled-block", [&](int r, int c) { return code(r, c) == 40; }},
        {"open-block", [&](int r, int c) { return code(r, c) == 49; }},
        {"kiosk-right", [&](int r, int c) { return code(r, c) == 39; }},
        {"kiosk-left", [&](int r, int c) { return code(r, c) == 59; }},
        {"path", [&](int r, int c) { return code(r, c) == 58 || code(r, c) == 60; }},
        {"start", [&](int r, int c) { return r == 1493 && code(r, c - 3) == 1; }},
    };
    std::filesystem::create_directories(out);
    for (const Feature& f : features) {
      bool found = false;
      for (int r = 1499; r >= 1500 - length && !found; --r) {
        for (int c = 7; c <= TRoadMap::Columns - 7 && !found; ++c) {
          if (!f.at(r, c)) continue;
          // For scenery, prefer a place in sight of the road.
          bool nearRoad = false;
          for (int k = -6; k <= 6; ++k) nearRoad = nearRoad || IsRoadCode(RoadMap.Get(r, c + k));
          if (!nearRoad) continue;
          found = true;
          MapColumnOffset = c - 6;
          MapRowOffset = std::min(r - 5, TRoadMap::MaxRowOffset);
          RaceRoad->X = RaceRoad->Y = 0;
          CopyWindowToChips();
          const std::string path = out + "/" + f.name + ".png";
          if (!traffic) {
            if (!write(path)) return 1;
          } else {
            traffic->ResetTraffic();
            for (int frame = 0; frame <= trafficFrames; ++frame) {
              if (frame > 0) traffic->MoveSelf(GameState.FrameTimeMs);
              if (frame % 50 == 0 && !write(out + "/" + f.name + "-" + std::to_string(frame) + ".png"))
                return 1;
            }
          }
          std::printf("%s: map row %d, column %d -> %s\n", f.name.c_str(), r, c, path.c_str());
        }
      }
      if (!found) std::printf("%s: not in this level\n", f.name.c_str());
    }
    RaceRoad = nullptr;
    engine.Clear();
    GameSpriteWorld() = {};
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrune-roadview: %s\n", e.what());
    return 1;
  }
  return 0;
}
