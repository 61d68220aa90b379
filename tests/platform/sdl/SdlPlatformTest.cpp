#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/sdl/SdlControls.h"
#include "platform/sdl/SdlKeyMap.h"
#include "platform/sdl/SdlPlatform.h"

namespace kestrune {
namespace {

// Keys as stand-in layouts label them: letters follow the label, everything else the position.
TEST(SdlKeyMap, LettersFollowTheirLabelAndOtherKeysTheirPosition) {
  struct Case {
    const char* layout;
    SDL_Scancode position;
    SDL_Keycode label;
    int virtualKey;
  };
  const Case cases[] = {
      {"US", SDL_SCANCODE_H, SDLK_h, 'H'},
      {"German", SDL_SCANCODE_Z, SDLK_y, 'Y'},
      {"German", SDL_SCANCODE_Y, SDLK_z, 'Z'},
      {"French", SDL_SCANCODE_Q, SDLK_a, 'A'},
      {"French", SDL_SCANCODE_W, SDLK_z, 'Z'},
      {"French", SDL_SCANCODE_SEMICOLON, SDLK_m, 'M'},
      {"French", SDL_SCANCODE_1, SDLK_AMPERSAND, '1'},
      {"French", SDL_SCANCODE_2, 0xE9, '2'},    // é
      {"Russian", SDL_SCANCODE_Z, 0x44F, 'Z'},  // я: no Latin label, so by position
      {"any", SDL_SCANCODE_UP, SDLK_UP, 0x26},
      {"any", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0x0D},
      {"any", SDL_SCANCODE_KP_7, SDLK_KP_7, 0x67},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VirtualKeyFromKey(c.position, c.label), c.virtualKey)
        << c.layout << " " << SDL_GetScancodeName(c.position);
}

// The SDL back end on SDL's dummy video driver, fed with events as a real display sends them.
struct SdlWindow : ::testing::Test {
  SdlWindow() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    platform = CreateSdlPlatform();
    open = platform->OpenWindow("Kestrune", 800, 600);
  }
  std::vector<PlatformEvent> Events() {
    std::vector<PlatformEvent> out;
    for (PlatformEvent e; platform->PollEvent(e);) out.push_back(e);
    return out;
  }
  std::unique_ptr<IPlatform> platform;
  bool open = false;
};

TEST_F(SdlWindow, KeyEventsCarryTheCodeOfTheKeysLabel) {
  ASSERT_TRUE(open) << platform->LastError();
  Events();
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.state = SDL_PRESSED;
  e.key.keysym.scancode = SDL_SCANCODE_Z;  // where a German keyboard has its Y
  e.key.keysym.sym = SDLK_y;
  SDL_PushEvent(&e);
  e.type = SDL_KEYUP;
  e.key.state = SDL_RELEASED;
  SDL_PushEvent(&e);
  const std::vector<PlatformEvent> events = Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Type, PlatformEvent::Kind::KeyDown);
  EXPECT_EQ(events[0].VirtualKey, 'Y');
  EXPECT_EQ(events[1].Type, PlatformEvent::Kind::KeyUp);
  EXPECT_EQ(events[1].VirtualKey, 'Y');
}

// The player's controls turn keys into the game's keys; while text is typed every key is itself,
// and a key comes up as the key it went down as.
TEST(SdlControlsWindow, MovedKeysActUnlessTextIsTyped) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  SdlPlatformSettings settings;
  std::vector<std::string> warnings;
  settings.Controls = SdlReadControls("up = W", warnings);
  auto platform = CreateSdlPlatform(settings);
  ASSERT_TRUE(platform->OpenWindow("Kestrune", 800, 600)) << platform->LastError();
  auto events = [&] {
    std::vector<int> keys;  // key-downs positive, key-ups negative
    for (PlatformEvent e; platform->PollEvent(e);) {
      if (e.Type == PlatformEvent::Kind::KeyDown) keys.push_back(e.VirtualKey);
      if (e.Type == PlatformEvent::Kind::KeyUp) keys.push_back(-e.VirtualKey);
    }
    return keys;
  };
  auto key = [](Uint32 type, SDL_Scancode sc, SDL_Keycode sym) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = sc;
    e.key.keysym.sym = sym;
    SDL_PushEvent(&e);
  };
  events();
  key(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_w);
  key(SDL_KEYDOWN, SDL_SCANCODE_UP, SDLK_UP);  // moved away: nothing
  EXPECT_EQ(events(), (std::vector<int>{0x26}));
  platform->SetTextEntry(true);
  key(SDL_KEYUP, SDL_SCANCODE_W, SDLK_w);
  key(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_w);
  key(SDL_KEYUP, SDL_SCANCODE_W, SDLK_w);
  key(SDL_KEYDOWN, SDL_SCANCODE_UP, SDLK_UP);
  EXPECT_EQ(events(), (std::vector<int>{-0x26, 'W', -'W', 0x26}));
}

// Text input (which raises on-screen keyboards) is on only while the game says text is typed.
TEST_F(SdlWindow, TextInputIsOnOnlyWhileTextIsTyped) {
  ASSERT_TRUE(open) << platform->LastError();
  EXPECT_FALSE(SDL_IsTextInputActive()) << "on as the window opened";
  platform->SetTextEntry(true);
  EXPECT_TRUE(SDL_IsTextInputActive());
  platform->SetTextEntry(true);
  EXPECT_TRUE(SDL_IsTextInputActive());
  platform->SetTextEntry(false);
  EXPECT_FALSE(SDL_IsTextInputActive());
}

// A key that went down and up between two reads of the keyboard shows as held in the next read,
// once: a tap shorter than a frame is a press.
TEST_F(SdlWindow, AKeyTappedBetweenTwoReadsShowsOnceAsHeld) {
  ASSERT_TRUE(open) << platform->LastError();
  Events();
  std::uint8_t keys[256] = {};
  platform->ReadKeyboard(keys);
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.state = SDL_PRESSED;
  e.key.keysym.scancode = SDL_SCANCODE_DOWN;
  e.key.keysym.sym = SDLK_DOWN;
  SDL_PushEvent(&e);
  e.type = SDL_KEYUP;
  e.key.state = SDL_RELEASED;
  SDL_PushEvent(&e);
  Events();
  platform->ReadKeyboard(keys);
  EXPECT_EQ(keys[0x28], 0x80);
  platform->ReadKeyboard(keys);
  EXPECT_EQ(keys[0x28], 0);
}

// The goodbye window's key presses reach the game (Esc and Enter close it), and a click says
// whether it is the second of a double-click.
TEST_F(SdlWindow, SecondWindowKeysAndClickCountsReachTheGame) {
  ASSERT_TRUE(open) << platform->LastError();
  SecondWindowLayout layout;
  layout.Title = "Kestrune";
  layout.Width = 320;
  layout.Height = 300;
  if (!platform->OpenSecondWindow(layout)) GTEST_SKIP() << "no second window on this video driver";
  Events();
  Uint32 secondId = 0;
  for (Uint32 id = 1; id < 16 && secondId == 0; ++id) {
    int w = 0, h = 0;
    if (SDL_Window* window = SDL_GetWindowFromID(id)) SDL_GetWindowSize(window, &w, &h);
    if (w == 320 && h == 300) secondId = id;
  }
  ASSERT_NE(secondId, 0u);
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.windowID = secondId;
  key.key.state = SDL_PRESSED;
  key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
  key.key.keysym.sym = SDLK_ESCAPE;
  SDL_PushEvent(&key);
  key.key.repeat = 1;  // auto-repeat is not a new press
  SDL_PushEvent(&key);
  SDL_Event click{};
  click.type = SDL_MOUSEBUTTONUP;
  click.button.windowID = secondId;
  click.button.button = SDL_BUTTON_LEFT;
  click.button.clicks = 2;
  click.button.x = 150;
  click.button.y = 260;
  SDL_PushEvent(&click);
  const std::vector<PlatformEvent> events = Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Type, PlatformEvent::Kind::KeyDown);
  EXPECT_EQ(events[0].Window, 1);
  EXPECT_EQ(events[0].VirtualKey, 0x1B);
  EXPECT_EQ(events[1].Type, PlatformEvent::Kind::MouseClick);
  EXPECT_EQ(events[1].Window, 1);
  EXPECT_EQ(events[1].Clicks, 2);
  platform->CloseSecondWindow();
}

TEST_F(SdlWindow, DisplayChangesReachTheGame) {
  ASSERT_TRUE(open) << platform->LastError();
  Events();
  SDL_Event moved{};
  moved.type = SDL_WINDOWEVENT;
  moved.window.event = SDL_WINDOWEVENT_DISPLAY_CHANGED;
  SDL_PushEvent(&moved);
  SDL_Event display{};
  display.type = SDL_DISPLAYEVENT;
  display.display.event = SDL_DISPLAYEVENT_CONNECTED;
  SDL_PushEvent(&display);
  const std::vector<PlatformEvent> events = Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Type, PlatformEvent::Kind::DisplayChanged);
  EXPECT_EQ(events[1].Type, PlatformEvent::Kind::DisplayChanged);
}

// The dummy driver's presents do not wait for a refresh, so the back end paces them to the
// refresh period itself; a caller that runs one frame per display refresh (the browser's frame
// callback) must not be held up a second time. Waiting is told by the thread's voluntary context
// switches (each sleep is one), which a busy machine does not add to, and by a time that a busy
// machine can only lengthen: no upper bound on the time is set.
TEST(SdlPacing, PresentWaitsForTheRefreshUnlessTheCallerPacesTheFrames) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  const std::vector<std::uint16_t> pixels(800 * 600);
  const auto sleeps = [] {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
  };
  for (const bool pacedByCaller : {false, true}) {
    SCOPED_TRACE(pacedByCaller ? "paced by the caller" : "paced by the back end");
    SdlPlatformSettings settings;
    settings.PacedByCaller = pacedByCaller;
    auto platform = CreateSdlPlatform(settings);
    ASSERT_TRUE(platform->OpenWindow("Kestrune", 800, 600)) << platform->LastError();
    const long sleptBefore = sleeps();
    const auto start = std::chrono::steady_clock::now();
    // The first 31 frames are measured unpaced; the 29 after them wait a refresh period each,
    // at least 480 ms at 60 Hz or less (a frame that comes late waits less, but came late).
    for (int i = 0; i < 60; ++i) platform->Present(pixels.data(), 800, 600, 800);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    const long slept = sleeps() - sleptBefore;
    if (pacedByCaller) {
      EXPECT_LE(slept, 5) << "presents paced although the caller paces them";
    } else {
      EXPECT_GE(ms.count(), 400) << "presents not paced to the refresh";
      EXPECT_GT(slept, 0) << "presents paced by spinning alone";
    }
  }
}

// A fixed window (a web page's canvas) is the picture's own size and can be neither resized nor
// given more pixels than that; the desktop's window is resizable.
TEST(SdlFixedWindow, AFixedWindowIsThePicturesSizeAndNotResizable) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  for (const bool fixed : {false, true}) {
    SdlPlatformSettings settings;
    settings.FixedWindow = fixed;
    settings.LastWindow = PixelRect{10, 10, 1000, 750};
    auto platform = CreateSdlPlatform(settings);
    ASSERT_TRUE(platform->OpenWindow("Kestrune", 800, 600)) << platform->LastError();
    SDL_Window* window = SDL_GetKeyboardFocus();
    for (Uint32 id = 1; window == nullptr && id < 64; ++id) window = SDL_GetWindowFromID(id);
    ASSERT_NE(window, nullptr);
    const Uint32 flags = SDL_GetWindowFlags(window);
    EXPECT_EQ((flags & SDL_WINDOW_RESIZABLE) != 0, !fixed);
    EXPECT_EQ((flags & SDL_WINDOW_ALLOW_HIGHDPI) != 0, !fixed);
    if (fixed) {
      int w = 0, h = 0;
      SDL_GetWindowSize(window, &w, &h);
      EXPECT_EQ(w, 800);
      EXPECT_EQ(h, 600);
    }
  }
}

// Without a display, SDL falls back to a driver that shows nothing: the game must refuse to run
// unseen unless such a driver was asked for by name. SDL_VIDEODRIVER set but empty names none.
TEST(SdlNoDisplay, OnlyADriverNamedInTheEnvironmentMayShowNothing) {
  struct Saved {
    const char* name;
    std::optional<std::string> value;
  };
  std::vector<Saved> saved;
  for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    saved.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
  }
  auto restore = [&saved] {
    for (const Saved& s : saved) {
      if (s.value)
        ::setenv(s.name, s.value->c_str(), 1);
      else
        ::unsetenv(s.name);
    }
  };
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  struct Case {
    std::optional<std::string> driver;
    bool opens;
  };
  const Case cases[] = {{std::nullopt, false}, {"", false}, {"offscreen", true}, {"dummy", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.driver ? "SDL_VIDEODRIVER=\"" + *c.driver + "\"" : "SDL_VIDEODRIVER unset");
    if (c.driver)
      ::setenv("SDL_VIDEODRIVER", c.driver->c_str(), 1);
    else
      ::unsetenv("SDL_VIDEODRIVER");
    auto platform = CreateSdlPlatform();
    const bool opened = platform->OpenWindow("Kestrune", 800, 600);
    // A machine whose console SDL can draw on (KMSDRM) has a display even so.
    if (!c.driver && opened) {
      platform.reset();
      restore();
      GTEST_SKIP() << "SDL finds a display here without DISPLAY or WAYLAND_DISPLAY";
    }
    EXPECT_EQ(opened, c.opens) << platform->LastError();
    if (!c.opens) {
      EXPECT_NE(platform->LastError().find("no display is available"), std::string::npos);
    }
  }
  restore();
}

}  // namespace
}  // namespace kestrune
