// The game's window on SDL's dummy video driver (one 1024 x 768 display): where it opens, the
// place it hands back for the next session, and the mouse in a resized window.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/sdl/SdlPlatform.h"

namespace kestrune {
namespace {

std::unique_ptr<IPlatform> OpenOnDummy(const SdlPlatformSettings& settings) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  auto platform = CreateSdlPlatform(settings);
  if (!platform->OpenWindow("Kestrune", 800, 600)) return nullptr;
  return platform;
}

SDL_Window* GameWindow() {
  for (Uint32 id = 1; id < 16; ++id)
    if (SDL_Window* window = SDL_GetWindowFromID(id)) return window;
  return nullptr;
}

TEST(SdlWindowPlace, OpensResizableAtTheRememberedPlaceWhenItCanStillBeReached) {
  struct Case {
    const char* what;
    std::optional<PixelRect> last;
    WindowPlacement expected;
  };
  const Case cases[] = {
      // No place remembered: 1x fits 85% of 1024 x 768, centred.
      {"first start", std::nullopt, {112, 84, 800, 600}},
      {"remembered", PixelRect{30, 20, 960, 720}, {30, 20, 960, 720}},
      {"off every display", PixelRect{3000, 2000, 960, 720}, {112, 84, 800, 600}},
      {"too small", PixelRect{10, 10, 100, 50}, {10, 10, 400, 300}},
      // Remembered from a larger monitor: as a first start, title bar and all on the screen.
      {"larger than the display", PixelRect{100, 100, 1600, 1200}, {112, 84, 800, 600}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SdlPlatformSettings settings;
    settings.LastWindow = c.last;
    auto platform = OpenOnDummy(settings);
    ASSERT_NE(platform, nullptr);
    SDL_Window* window = GameWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE, 0u);
    EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_ALLOW_HIGHDPI, 0u);
    WindowPlacement placed;
    ASSERT_TRUE(platform->GetWindowPlacement(placed));
    EXPECT_EQ(placed, c.expected);
    // Putting the home place back (the game does so the first time it shows the window) keeps it.
    platform->CenterWindow();
    ASSERT_TRUE(platform->GetWindowPlacement(placed));
    EXPECT_EQ(placed, c.expected);
  }
}

TEST(SdlWindowPlace, TheSizeThePlayerGaveTheWindowIsHandedBackAndSurvivesFullScreen) {
  std::optional<PixelRect> closedAt;
  SdlPlatformSettings settings;
  settings.WindowClosing = [&closedAt](const PixelRect& place) { closedAt = place; };
  auto platform = OpenOnDummy(settings);
  ASSERT_NE(platform, nullptr);
  SDL_Window* window = GameWindow();
  SDL_SetWindowSize(window, 1000, 700);
  SDL_SetWindowPosition(window, 5, 6);
  for (PlatformEvent e; platform->PollEvent(e);) {
  }
  WindowPlacement placed;
  ASSERT_TRUE(platform->GetWindowPlacement(placed));
  EXPECT_EQ(placed, (WindowPlacement{5, 6, 1000, 700, false}));
  platform->SetFullScreen(true);
  if (!platform->IsFullScreen()) GTEST_SKIP() << "no full screen on this driver";
  for (PlatformEvent e; platform->PollEvent(e);) {
  }
  ASSERT_TRUE(platform->GetWindowPlacement(placed));
  EXPECT_EQ(placed, (WindowPlacement{5, 6, 1000, 700, false}));
  platform->SetFullScreen(false);
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  EXPECT_EQ(w, 1000);
  EXPECT_EQ(h, 700);
  // Closed: the next session gets the place and size the player gave it.
  platform.reset();
  EXPECT_EQ(closedAt, (PixelRect{5, 6, 1000, 700}));
}

// In a wide window the picture has bars left and right; the mouse over them is not over the game.
TEST(SdlWindowPlace, MouseInAResizedWindowMapsToThePicture) {
  auto platform = OpenOnDummy({});
  ASSERT_NE(platform, nullptr);
  SDL_Window* window = GameWindow();
  SDL_SetWindowSize(window, 1000, 450);  // the picture: 600 x 450 at x = 200
  std::vector<uint16_t> pixels(800 * 600, 0);
  platform->Present(pixels.data(), 800, 600, 800);
  for (PlatformEvent e; platform->PollEvent(e);) {
  }
  struct Case {
    int x, y;
    bool seen;
    int px, py;
  };
  const Case cases[] = {{200, 0, true, 0, 0}, {199, 200, false, 0, 0}, {500, 225, true, 400, 300},
                        {799, 449, true, 799, 599}, {800, 100, false, 0, 0}};
  for (const Case& c : cases) {
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONUP;
    click.button.windowID = SDL_GetWindowID(window);
    click.button.button = SDL_BUTTON_LEFT;
    click.button.clicks = 1;
    click.button.x = c.x;
    click.button.y = c.y;
    SDL_PushEvent(&click);
    std::vector<PlatformEvent> events;
    for (PlatformEvent e; platform->PollEvent(e);) events.push_back(e);
    ASSERT_EQ(events.size(), c.seen ? 1u : 0u) << c.x << "," << c.y;
    if (!c.seen) continue;
    EXPECT_EQ(events[0].Type, PlatformEvent::Kind::MouseClick);
    EXPECT_EQ(events[0].X, c.px) << c.x;
    EXPECT_EQ(events[0].Y, c.py) << c.y;
  }
}

}  // namespace
}  // namespace kestrune
