// What the window shows, read back from the window's pixels on SDL's dummy video driver (whose
// window surface is plain memory): the game's picture, in its place, with black bars around it,
// through both ways of presenting.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sdl/PresentPathRule.h"
#include "platform/sdl/SdlPlatform.h"

namespace kestrune {
namespace {

SDL_Window* GameWindow() {
  for (Uint32 id = 1; id < 64; ++id)
    if (SDL_Window* window = SDL_GetWindowFromID(id)) return window;
  return nullptr;
}

// The window's pixel at (x, y) back in the picture's 16-bit format.
std::uint16_t Shown(SDL_Surface* surface, int x, int y) {
  Uint32 value = 0;
  const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
  SDL_memcpy(&value, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
  Uint8 r = 0, g = 0, b = 0;
  SDL_GetRGB(value, surface->format, &r, &g, &b);
  return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

TEST(SdlPresent, TheWindowShowsThePictureInPlaceWithBlackBarsEitherWay) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  // Every red, green and blue level, in rows wider than the picture.
  constexpr int kW = 800, kH = 600, kPitch = 808;
  std::vector<std::uint16_t> pixels(kPitch * kH, 0xFFFF);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      pixels[y * kPitch + x] =
          static_cast<std::uint16_t>((((x + y) & 31) << 11) | ((x & 63) << 5) | (y & 31));
  const auto picture = [&](int x, int y) { return pixels[y * kPitch + x]; };
  for (const PresentPath path : {PresentPath::Software, PresentPath::Accelerated}) {
    SCOPED_TRACE(path == PresentPath::Software ? "software" : "accelerated");
    SdlPlatformSettings settings;
    settings.Renderer = path;
    settings.NearestFilter = true;
    settings.PacedByCaller = true;
    auto platform = CreateSdlPlatform(settings);
    ASSERT_TRUE(platform->OpenWindow("Kestrune", kW, kH)) << platform->LastError();
    SDL_Window* window = GameWindow();
    ASSERT_NE(window, nullptr);
    SDL_SetWindowSize(window, kW, kH);
    for (PlatformEvent e; platform->PollEvent(e);) {
    }
    platform->Present(pixels.data(), kW, kH, kPitch);
    SDL_Surface* shown = SDL_GetWindowSurface(window);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->w, kW);
    int wrong = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) wrong += Shown(shown, x, y) != picture(x, y);
    EXPECT_EQ(wrong, 0);

    // A wide window: the picture is scaled to 600 x 450 at x = 200, the rest black. Then twice
    // the picture's size: each picture pixel covers two by two window pixels.
    struct Sample {
      int x, y;
      bool bar;
      int px, py;
    };
    struct Case {
      int w, h;
      std::vector<Sample> samples;
    };
    const std::vector<Case> cases = {
        {1000,
         450,
         {{0, 0, true, 0, 0},
          {199, 449, true, 0, 0},
          {800, 0, true, 0, 0},
          {999, 449, true, 0, 0},
          {200, 0, false, 0, 0},
          {799, 449, false, 799, 599},
          {500, 225, false, 400, 300}}},
        {1600,
         1200,
         {{0, 0, false, 0, 0},
          {1, 1, false, 0, 0},
          {3, 2, false, 1, 1},
          {1599, 1199, false, 799, 599},
          {801, 601, false, 400, 300}}},
    };
    for (const Case& c : cases) {
      SDL_SetWindowSize(window, c.w, c.h);
      for (PlatformEvent e; platform->PollEvent(e);) {
      }
      platform->Present(pixels.data(), kW, kH, kPitch);
      shown = SDL_GetWindowSurface(window);
      ASSERT_NE(shown, nullptr);
      ASSERT_EQ(shown->w, c.w);
      for (const Sample& s : c.samples)
        EXPECT_EQ(Shown(shown, s.x, s.y), s.bar ? 0 : picture(s.px, s.py))
            << c.w << ": " << s.x << "," << s.y;
    }
  }
}

// Smoothing, as the GPU renderer smooths: scaled to twice its size, a picture of black and white
// columns shows greys between them in the window's own pixels, and none with sharp pixels.
TEST(SdlPresent, TheWindowsOwnPixelsAreSmoothedUnlessSharpPixelsWereAskedFor) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  std::vector<std::uint16_t> pixels(800 * 600);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = (i % 2) != 0 ? 0xFFFF : 0;
  for (const bool nearest : {false, true}) {
    SdlPlatformSettings settings;
    settings.Renderer = PresentPath::Software;
    settings.NearestFilter = nearest;
    settings.PacedByCaller = true;
    auto platform = CreateSdlPlatform(settings);
    ASSERT_TRUE(platform->OpenWindow("Kestrune", 800, 600)) << platform->LastError();
    SDL_Window* window = GameWindow();
    SDL_SetWindowSize(window, 1600, 1200);
    for (PlatformEvent e; platform->PollEvent(e);) {
    }
    platform->Present(pixels.data(), 800, 600, 800);
    SDL_Surface* shown = SDL_GetWindowSurface(window);
    ASSERT_NE(shown, nullptr);
    int greys = 0;
    for (int x = 100; x < 140; ++x) greys += Shown(shown, x, 600) != 0 && Shown(shown, x, 600) != 0xFFFF;
    if (nearest) {
      EXPECT_EQ(greys, 0);
    } else {
      EXPECT_GT(greys, 10);
    }
  }
}

// The automatic choice: the window's own pixels on X11 unless OpenGL runs on a real GPU; OpenGL
// is not even started where no GPU device exists.
TEST(SdlPresent, TheAutomaticChoiceUsesTheGpuOnlyWhereOpenGlRunsOnOne) {
  struct Case {
    const char* driver;
    bool gpu;
    const char* glRenderer;  // nullptr: must not be asked
    PresentPath path;
  };
  const Case cases[] = {
      {"x11", false, nullptr, PresentPath::Software},
      {"x11", true, "llvmpipe (LLVM 15.0.6, 256 bits)", PresentPath::Software},
      {"x11", true, "softpipe", PresentPath::Software},
      {"x11", true, "Software Rasterizer", PresentPath::Software},
      {"x11", true, "", PresentPath::Software},  // no OpenGL renderer could be made
      {"x11", true, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", PresentPath::Accelerated},
      {"x11", true, "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)",
       PresentPath::Accelerated},
      {"wayland", false, nullptr, PresentPath::Accelerated},
      {"emscripten", false, nullptr, PresentPath::Accelerated},
  };
  for (const Case& c : cases) {
    bool asked = false;
    const PresentPath path = AutomaticPresentPath(c.driver, c.gpu, [&] {
      asked = true;
      return std::string(c.glRenderer != nullptr ? c.glRenderer : "");
    });
    EXPECT_EQ(path, c.path) << c.driver << " " << (c.glRenderer != nullptr ? c.glRenderer : "-");
    EXPECT_EQ(asked, c.glRenderer != nullptr) << c.driver;
  }
}

}  // namespace
}  // namespace kestrune
