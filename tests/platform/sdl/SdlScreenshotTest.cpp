// F12 in the window hands the next picture shown to the program's screenshot writer (tested with
// the writer itself), and the key still reaches the game as any other key.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdint>
#include <vector>

#include "platform/sdl/SdlPlatform.h"

namespace kestrune {
namespace {

TEST(SdlScreenshot, F12HandsTheNextPictureToTheScreenshotWriter) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  std::vector<std::uint16_t> shot;
  int shots = 0;
  {
    SdlPlatformSettings settings;
    settings.TakeScreenshot = [&](const std::uint16_t* pixels, int width, int height, int pitchPixels) {
      ++shots;
      EXPECT_EQ(width, 800);
      EXPECT_EQ(height, 600);
      EXPECT_EQ(pitchPixels, 800);
      shot.assign(pixels, pixels + 800 * 600);
    };
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
  }
  EXPECT_EQ(shots, 1);
  EXPECT_EQ(shot, std::vector<std::uint16_t>(800 * 600, 0xF800));
}

}  // namespace
}  // namespace kestrune
