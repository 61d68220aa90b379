// F12 in the window writes the next picture shown into Screenshots beside the saves, and the key
// still reaches the game as any other key.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/sdl/SdlPlatform.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

TEST(SdlScreenshot, F12WritesTheNextPictureBesideTheSaves) {
  const fs::path base = fs::temp_directory_path() / ("kestrune-shot-" + std::to_string(::getpid()));
  fs::remove_all(base);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  {
    SdlPlatformSettings settings;
    settings.SaveFolder = (base / "Data" / "Save").string();
    auto platform = CreateSdlPlatform(settings);
    ASSERT_TRUE(platform->OpenWindow("Kestrune", 800, 600)) << platform->LastError();
    for (PlatformEvent e; platform->PollEvent(e);) {
    }
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.state = SDL_PRESSED;
    key.key.keysym.scancode = SDL_SCANCODE_F12;
    key.key.keysym.sym = SDLK_F12;
    SDL_PushEvent(&key);
    std::vector<PlatformEvent> events;
    for (PlatformEvent e; platform->PollEvent(e);) events.push_back(e);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].VirtualKey, 0x7B);
    const std::vector<std::uint16_t> picture(800 * 600, 0xF800);
    platform->Present(picture.data(), 800, 600, 800);
    platform->Present(picture.data(), 800, 600, 800);  // one F12, one picture
  }                                                    // closing the window waits for the file
  std::vector<fs::path> shots;
  for (const auto& entry : fs::directory_iterator(base / "Data" / "Screenshots"))
    shots.push_back(entry.path());
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0].extension(), ".png");
  EXPECT_GT(fs::file_size(shots[0]), 100u);
  fs::remove_all(base);
}

}  // namespace
}  // namespace kestrune
