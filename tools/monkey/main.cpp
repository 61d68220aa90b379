// kestrune-monkey: a soak driver. Plays the real game on the headless back end with random
// input (keys, all typed character codes, clicks, mouse moves, close commands, focus changes,
// Alt+Enter, refresh-rate changes) and steers itself so that every screen and overlay is
// reached. A seed gives the same run every time. When the game ends (the exit confirmation
// answered Yes) a new session starts on a fresh platform. Prints the frames spent on each
// screen and overlay; with --require-all, exits 1 when one of them was never reached.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "game/GameState.h"
#include "platform/headless/HeadlessAudio.h"
#include "platform/headless/HeadlessPlatform.h"
#include "race/Race.h"
#include "race/vehicles/Player.h"
#include "shell/Game.h"
#include "shell/HighScoreTable.h"
#include "shell/MainForm.h"
#include "shell/MenuButton.h"
#include "shell/Menus.h"

namespace kestrune {
namespace {

// Virtual-key codes the steering uses.
constexpr int kKeyEnter = 0x0D, kKeyShift = 0x10, kKeyCtrl = 0x11, kKeyAlt = 0x12, kKeyEsc = 0x1B,
              kKeySpace = 0x20, kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;

// The monkey's own random source (splitmix64), apart from the game's: the game's randomness stays
// exactly what its seed gives, and the monkey's choices depend only on the monkey's seed.
class TMonkeyRandom {
 public:
  explicit TMonkeyRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0..n-1
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Chance(int perThousand) { return Below(1000) < perThousand; }

 private:
  std::uint64_t state_;
};

// What the monkey aims for: a screen without an overlay (1..7) or an overlay (8..15).
constexpr int kPlaceCount = ScreenCount - 1 + 8;
int PlaceOfScreen(int screen) { return screen - 1; }
int PlaceOfOverlay(int overlay) { return ScreenCount - 1 + overlay - 1; }

const char* const kScreenNames[ScreenCount] = {"none",        "intro", "main menu", "car choice",
                                               "options",     "high scores", "help", "race"};
const char* const kOverlayNames[9] = {"none",  "exit game",          "exit to menu",
                                      "time over", "clear high scores", "pause",
                                      "level announcement", "game over", "name entry"};

bool InRace(int place) {
  return place == PlaceOfScreen(ScreenRace) || place == PlaceOfOverlay(OverlayExitToMenu) ||
         place == PlaceOfOverlay(OverlayTimeOver) || place == PlaceOfOverlay(OverlayPause) ||
         place == PlaceOfOverlay(OverlayLevel) || place == PlaceOfOverlay(OverlayGameOver) ||
         place == PlaceOfOverlay(OverlayNameEntry);
}

struct TMonkeyOptions {
  std::uint64_t Seed = 1;
  std::int64_t Frames = 10000;
  bool RequireAll = false;
  bool Trace = false;  // one line per new aim, for following a run
  bool Memory = false;  // the resident size every 10,000 frames, to see whether it stays flat
};

// "VmRSS" or "VmHWM" (the peak) of this process in kB, from /proc; -1 where unknown.
long ResidentKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  return -1;
}

class TMonkey {
 public:
  explicit TMonkey(const TMonkeyOptions& options) : options_(options), random_(options.Seed) {}

  int Run() {
    while (frame_ < options_.Frames) {
      if (!StartSession()) return 2;
      while (frame_ < options_.Frames && !session_->Finished()) {
        BeforeFrame();
        session_->Step();
        ++frame_;
        Count();
        // The headless sound output logs every call for tests to inspect; nobody reads the log
        // here, and unread it would grow with the run.
        if (frame_ % 1000 == 0)
          if (auto* audio = dynamic_cast<HeadlessAudioOutput*>(&platform_->Audio())) audio->ClearCalls();
        if (options_.Memory && frame_ % 10000 == 0)
          std::cout << "frame " << frame_ << ": resident " << ResidentKb("VmRSS") << " kB, peak "
                    << ResidentKb("VmHWM") << " kB, sprites " << SpriteCount() << ", at " << CurrentPlace() << "\n";
      }
      EndSession();
    }
    return Report();
  }

 private:
  bool StartSession() {
    ++sessions_;
    platform_ = std::make_unique<HeadlessPlatform>();
    platform_->SetFramesKept(1);
    platform_->SetRefreshRate(60);
    session_ = std::make_unique<TGameSession>(*platform_, static_cast<std::uint32_t>(random_.Next()));
    if (!session_->Start()) {
      const auto& boxes = platform_->MessageBoxes();
      std::cerr << "kestrune-monkey: the game did not start"
                << (boxes.empty() ? std::string() : ": " + boxes.back().Text) << "\n";
      return false;
    }
    held_.clear();
    focusBackIn_ = 0;
    return true;
  }

  void EndSession() {
    session_.reset();
    platform_.reset();
  }

  void Count() {
    const int screen = GameState.Screen, overlay = GameState.Overlay;
    if (screen >= 0 && screen < ScreenCount) ++screenFrames_[static_cast<std::size_t>(screen)];
    if (overlay >= 0 && overlay <= 8) ++overlayFrames_[static_cast<std::size_t>(overlay)];
    const int place = CurrentPlace();
    if (place >= 0) ++placeFrames_[static_cast<std::size_t>(place)];
    if (place == target_) ++dwell_;
    ++sinceTarget_;
  }

  // All sprites of the main window's engine, to tell growing memory from growing scenes.
  static std::int64_t CountTree(const TSprite& sprite) {
    std::int64_t n = 1;
    for (std::int32_t i = 0; i < sprite.Count(); ++i) n += CountTree(*sprite.Items(i));
    return n;
  }
  std::int64_t SpriteCount() {
    TMForm* form = session_->Form();
    return form ? CountTree(form->MDXSpriteEngine.Root()) : 0;
  }

  int CurrentPlace() const {
    if (GameState.Overlay >= 1 && GameState.Overlay <= 8) return PlaceOfOverlay(GameState.Overlay);
    if (GameState.Screen >= 1 && GameState.Screen < ScreenCount) return PlaceOfScreen(GameState.Screen);
    return -1;
  }

  // Time over, game over, the level announcement and the name entry end by themselves:
  // reaching one is enough.
  static bool Passing(int place) {
    return place == PlaceOfOverlay(OverlayTimeOver) || place == PlaceOfOverlay(OverlayGameOver) ||
           place == PlaceOfOverlay(OverlayLevel) || place == PlaceOfOverlay(OverlayNameEntry);
  }
  static constexpr std::int64_t kPassingWeight = 4;

  // A new aim once the current one has had its stay, or after trying too long: the place with
  // the fewest frames so far, so that the run spreads over every screen and overlay.
  void ChooseTarget() {
    const bool done = dwell_ >= stay_ || (Passing(target_) && dwell_ > 0 && CurrentPlace() != target_);
    if (target_ >= 0 && !done && sinceTarget_ < 8000) return;
    std::int64_t fewest = -1;
    std::vector<int> candidates;
    for (int p = 0; p < kPlaceCount; ++p) {
      // An overlay that ends by itself lasts a few hundred frames, but reaching it costs thousands
      // of race frames; weighing its frames up keeps the run from spending most of itself on the
      // way there instead of on the other screens.
      const std::int64_t n = placeFrames_[static_cast<std::size_t>(p)] * (Passing(p) ? kPassingWeight : 1);
      if (fewest < 0 || n < fewest) {
        fewest = n;
        candidates.clear();
      }
      if (n == fewest) candidates.push_back(p);
    }
    // Sometimes any place at all, so that the ways between places vary too.
    target_ = random_.Chance(200) ? random_.Below(kPlaceCount)
                                  : candidates[static_cast<std::size_t>(random_.Below(static_cast<int>(candidates.size())))];
    if (options_.Trace)
      std::cout << "frame " << frame_ << ": at " << CurrentPlace() << " (screen " << int(GameState.Screen)
                << ", overlay " << int(GameState.Overlay) << "), score " << GameState.Score << ", aiming for " << target_ << "\n";
    stay_ = random_.Between(200, 1500);
    dwell_ = 0;
    sinceTarget_ = 0;
  }

  // --- Input ---------------------------------------------------------------------------------

  void KeyDown(int key, bool alt = false, bool shift = false, bool ctrl = false) {
    platform_->SetKey(key, true);
    PlatformEvent e;
    e.Type = PlatformEvent::Kind::KeyDown;
    e.VirtualKey = key;
    e.Alt = alt;
    e.Shift = shift;
    e.Ctrl = ctrl;
    platform_->PushEvent(e);
    // As on a keyboard, Enter (without Alt) and Backspace also type their character.
    if ((key == kKeyEnter && !alt) || key == 0x08) TypeChar(key);
  }

  void KeyUp(int key) {
    platform_->SetKey(key, false);
    PlatformEvent e;
    e.Type = PlatformEvent::Kind::KeyUp;
    e.VirtualKey = key;
    platform_->PushEvent(e);
  }

  // Down now, up after the given number of frames.
  void Press(int key, int frames = 1, bool alt = false) {
    if (std::any_of(held_.begin(), held_.end(), [&](const THeld& h) { return h.Key == key; })) return;
    KeyDown(key, alt);
    held_.push_back({key, frames});
  }

  void TypeChar(int code) {
    PlatformEvent e;
    e.Type = PlatformEvent::Kind::Char;
    e.Char = static_cast<std::uint8_t>(code);
    platform_->PushEvent(e);
  }

  void Mouse(int x, int y, bool click) {
    PlatformEvent e;
    e.Type = PlatformEvent::Kind::MouseMove;
    e.X = x;
    e.Y = y;
    platform_->PushEvent(e);
    if (click) {
      e.Type = PlatformEvent::Kind::MouseClick;
      platform_->PushEvent(e);
    }
  }

  void ReleaseDueKeys() {
    for (auto it = held_.begin(); it != held_.end();) {
      if (--it->FramesLeft <= 0) {
        KeyUp(it->Key);
        it = held_.erase(it);
      } else {
        ++it;
      }
    }
  }

  // Chooses a menu item: by clicking it, or with the arrow keys and Enter.
  void ChooseItem(int slot) {
    const TMenuButton* button = MenuItem(slot);
    if (button == nullptr) return;
    if (random_.Chance(500)) {
      const int w = button->HitWidth == -1 ? button->Width : button->HitWidth;
      const int h = button->HitHeight == -1 ? button->Height : button->HitHeight;
      Mouse(static_cast<int>(button->X) + w / 2, static_cast<int>(button->Y) + h / 2, true);
    } else if (GameState.Selected == slot) {
      Press(kKeyEnter);
    } else {
      Press(GameState.Selected < slot ? kKeyDown : kKeyUp);
    }
  }

  // --- Random input --------------------------------------------------------------------------

  void Mischief() {
    switch (random_.Below(12)) {
      case 0:
      case 1: {
        // Any key, with any modifiers, held for a while.
        const int key = random_.Between(1, 255);
        if (std::none_of(held_.begin(), held_.end(), [&](const THeld& h) { return h.Key == key; })) {
          KeyDown(key, random_.Chance(150), random_.Chance(150), random_.Chance(150));
          held_.push_back({key, random_.Between(1, 40)});
        }
        break;
      }
      case 2:
      case 3:
        // Every character code, 1 to 255.
        TypeChar(random_.Between(1, 255));
        break;
      case 4:
      case 5:
        Mouse(random_.Between(-20, 820), random_.Between(-20, 620), false);
        break;
      case 6:
        Mouse(random_.Between(0, 799), random_.Between(0, 599), true);
        break;
      case 7:
        if (random_.Chance(300)) {
          PlatformEvent e;
          e.Type = PlatformEvent::Kind::Close;
          platform_->PushEvent(e);
        }
        break;
      case 8:
        if (focusBackIn_ == 0 && random_.Chance(300)) {
          platform_->SetForeground(false);
          focusBackIn_ = random_.Between(1, 30);
        }
        break;
      case 9:
        if (random_.Chance(300)) Press(kKeyEnter, 1, true);  // Alt+Enter
        break;
      case 10:
        if (random_.Chance(300)) {
          static constexpr int kRates[] = {0, 1, 24, 30, 50, 60, 60, 75, 85, 100, 120, 144, 240};
          platform_->ChangeRefreshRate(kRates[random_.Below(static_cast<int>(std::size(kRates)))]);
        }
        break;
      default:
        break;
    }
  }

  // --- Steering ------------------------------------------------------------------------------

  void Steer() {
    const int screen = GameState.Screen, overlay = GameState.Overlay;
    const int here = CurrentPlace();
    if (overlay != OverlayNone) {
      SteerOverlay(overlay);
      return;
    }
    switch (screen) {
      case ScreenNone:
        SteerGoodbyeWindow();
        break;
      case ScreenIntro:
        if (here == target_) return;
        if (random_.Chance(500))
          Press(kKeyEsc);
        else
          ChooseItem(1);  // Continue
        break;
      case ScreenMainMenu:
        SteerMainMenu();
        break;
      case ScreenCarChoice:
        if (here == target_) {
          if (random_.Chance(300)) ChooseItem(random_.Between(1, 2));  // Previous or Next car
        } else if (InRace(target_)) {
          ChooseItem(random_.Chance(200) ? random_.Between(1, 2) : 3);  // Start
        } else {
          ChooseItem(4);  // Back
        }
        break;
      case ScreenOptions:
        if (here == target_) {
          // Display mode, music, sound and the country field (typing goes there while it edits).
          if (random_.Chance(300)) ChooseItem(random_.Between(1, 4));
          if (random_.Chance(300)) TypeChar(random_.Chance(500) ? random_.Between('A', 'z') : random_.Between(1, 255));
        } else {
          ChooseItem(5);  // Back
        }
        break;
      case ScreenHighScores:
        if (target_ == PlaceOfOverlay(OverlayClearHighScores))
          ChooseItem(1);  // Clear
        else if (here != target_)
          ChooseItem(2);  // Back
        break;
      case ScreenHelp:
        if (here == target_)
          ChooseItem(random_.Between(1, 2));  // Previous or next page
        else
          ChooseItem(3);  // Back
        break;
      case ScreenRace:
        SteerRace();
        break;
      default:
        break;
    }
  }

  // The goodbye window after the exit confirmation (no screen, no overlay): pointer moves and
  // clicks in it (its links, its switch, its button), and sooner or later its close command.
  void SteerGoodbyeWindow() {
    PlatformEvent e;
    e.Window = 1;
    if (random_.Chance(150)) {
      e.Type = PlatformEvent::Kind::Close;
      platform_->PushEvent(e);
      return;
    }
    e.Type = PlatformEvent::Kind::MouseMove;
    e.X = random_.Between(-10, 330);
    e.Y = random_.Between(-10, 310);
    platform_->PushEvent(e);
    if (random_.Chance(300)) {
      e.Type = PlatformEvent::Kind::MouseClick;
      platform_->PushEvent(e);
    }
  }

  void SteerMainMenu() {
    const int here = CurrentPlace();
    int item = 0;
    if (target_ == here) {
      if (random_.Chance(50)) item = 3;  // More games
    } else if (InRace(target_) || target_ == PlaceOfScreen(ScreenCarChoice)) {
      item = 1;
    } else if (target_ == PlaceOfScreen(ScreenHighScores) || target_ == PlaceOfOverlay(OverlayClearHighScores)) {
      item = 2;
    } else if (target_ == PlaceOfScreen(ScreenOptions)) {
      item = 4;
    } else if (target_ == PlaceOfScreen(ScreenHelp)) {
      item = 5;
    } else {
      item = 6;  // Exit: the exit confirmation, and through it a new session's intro screen
    }
    if (item != 0) ChooseItem(item);
  }

  void SteerRace() {
    const int here = CurrentPlace();
    const bool stay = target_ == here || target_ == PlaceOfOverlay(OverlayLevel) ||
                      target_ == PlaceOfOverlay(OverlayTimeOver) || target_ == PlaceOfOverlay(OverlayGameOver) ||
                      target_ == PlaceOfOverlay(OverlayNameEntry);
    if (!InRace(target_) || target_ == PlaceOfOverlay(OverlayExitToMenu)) {
      // Back to the menus: Esc or the close command asks first.
      if (random_.Chance(700)) {
        Press(kKeyEsc);
      } else {
        PlatformEvent e;
        e.Type = PlatformEvent::Kind::Close;
        platform_->PushEvent(e);
      }
      return;
    }
    if (target_ == PlaceOfOverlay(OverlayPause)) {
      if (random_.Chance(700))
        Press('P');
      else
        Press(kKeyEnter, 1, true);  // Alt+Enter pauses too
      return;
    }
    if (!stay) return;
    const bool endOfGame = target_ == PlaceOfOverlay(OverlayTimeOver) || target_ == PlaceOfOverlay(OverlayGameOver) ||
                           target_ == PlaceOfOverlay(OverlayNameEntry);
    // A slow display makes every frame count more of the level's time: the clock runs out sooner.
    if (endOfGame && GameState.RefreshRate != 24 && random_.Chance(100)) platform_->ChangeRefreshRate(24);
    // Random driving seldom scores enough for the high-score table, so while the name entry is the
    // aim the monkey hands out weapons (as the replay's bonus action does) and points for shooting
    // that it would rarely earn.
    if (target_ == PlaceOfOverlay(OverlayNameEntry) && RacePlayer != nullptr && random_.Chance(300)) {
      RacePlayer->GiveBonus(random_.Between(2, 4));
      RacePlayer->AddScore(10 * random_.Between(1, 10));
    }
    // With a score for the table (whose lowest row rises as the run fills it), leaving the race
    // asks for the name at once.
    if (target_ == PlaceOfOverlay(OverlayNameEntry) && QualifiesForTable(GameState.Score) && random_.Chance(300)) {
      Press(kKeyEsc);
      return;
    }
    if (target_ == PlaceOfOverlay(OverlayNameEntry) && random_.Chance(300)) {
      Press('Z', random_.Between(5, 60));  // fire
      return;
    }
    // Waiting for the time to run out: the car stands still, so the clock is all that moves.
    if (target_ == PlaceOfOverlay(OverlayTimeOver) && random_.Chance(800)) return;
    // Driving: mostly the accelerator, with steering, brake, handbrake, fire, nitro and horn.
    static constexpr int kDriveKeys[] = {kKeyUp,    kKeyUp, kKeyUp, kKeyLeft, kKeyRight, kKeyDown, kKeySpace,
                                         'Z',       'X',    'H',    kKeyShift, kKeyCtrl};
    Press(kDriveKeys[random_.Below(static_cast<int>(std::size(kDriveKeys)))], random_.Between(5, 90));
  }

  void SteerOverlay(int overlay) {
    const int here = CurrentPlace();
    switch (overlay) {
      case OverlayExitGame:
        // Yes ends the game; only when the intro (a new session) is the aim.
        if (here != target_ || random_.Chance(100)) AnswerConfirmation(target_ == PlaceOfScreen(ScreenIntro));
        break;
      case OverlayExitToMenu:
        if (here != target_ || random_.Chance(100)) AnswerConfirmation(!InRace(target_) || target_ == PlaceOfOverlay(OverlayNameEntry) || random_.Chance(100));
        break;
      case OverlayClearHighScores:
        if (here != target_ || random_.Chance(100)) AnswerConfirmation(random_.Chance(500));
        break;
      case OverlayPause:
        if (here != target_ || random_.Chance(50)) Press(random_.Chance(500) ? 'P' : kKeyEsc);
        break;
      case OverlayNameEntry:
        // A name of letters and anything else, then Enter.
        if (random_.Chance(100))
          TypeChar(kKeyEnter);
        else if (random_.Chance(150))
          TypeChar(0x08);
        else
          TypeChar(random_.Chance(500) ? random_.Between('A', 'z') : random_.Between(1, 255));
        break;
      default:
        // Time over, level announcement and game over go by themselves.
        break;
    }
  }

  // Y or N, or the Yes/No buttons with the mouse or the arrow keys and Enter.
  void AnswerConfirmation(bool yes) {
    constexpr int kYesSlot = 11, kNoSlot = 12;
    switch (random_.Below(3)) {
      case 0:
        Press(yes ? 'Y' : 'N');
        break;
      case 1:
        ChooseItem(yes ? kYesSlot : kNoSlot);
        break;
      default:
        if (GameState.Selected == (yes ? kYesSlot : kNoSlot))
          Press(kKeyEnter);
        else
          Press(yes ? kKeyLeft : kKeyRight);
        break;
    }
  }

  void BeforeFrame() {
    ReleaseDueKeys();
    if (focusBackIn_ > 0 && --focusBackIn_ == 0) platform_->SetForeground(true);
    ChooseTarget();
    if (random_.Chance(40)) Mischief();
    if (random_.Chance(120)) Steer();
  }

  // --- Report --------------------------------------------------------------------------------

  int Report() {
    bool all = true;
    std::cout << "kestrune-monkey: seed " << options_.Seed << ", " << options_.Frames << " frames, "
              << sessions_ << " sessions\n";
    std::cout << "frames per screen:\n";
    for (int s = 1; s < ScreenCount; ++s) {
      const auto n = screenFrames_[static_cast<std::size_t>(s)];
      std::cout << "  " << kScreenNames[s] << ": " << n << "\n";
      all = all && n > 0;
    }
    std::cout << "  goodbye window: " << screenFrames_[ScreenNone] << "\n";
    std::cout << "frames per overlay:\n";
    for (int o = 1; o <= 8; ++o) {
      const auto n = overlayFrames_[static_cast<std::size_t>(o)];
      std::cout << "  " << kOverlayNames[o] << ": " << n << "\n";
      all = all && n > 0;
    }
    std::cout.flush();
    if (!all) {
      std::cerr << "kestrune-monkey: some screens or overlays were never reached\n";
      if (options_.RequireAll) return 1;
    }
    return 0;
  }

  struct THeld {
    int Key;
    int FramesLeft;
  };

  TMonkeyOptions options_;
  TMonkeyRandom random_;
  std::unique_ptr<HeadlessPlatform> platform_;
  std::unique_ptr<TGameSession> session_;
  std::vector<THeld> held_;
  int focusBackIn_ = 0;
  std::int64_t frame_ = 0;
  int target_ = -1;
  std::int64_t stay_ = 0, dwell_ = 0, sinceTarget_ = 0;
  std::int64_t sessions_ = 0;
  std::array<std::int64_t, ScreenCount> screenFrames_{};
  std::array<std::int64_t, 9> overlayFrames_{};
  std::array<std::int64_t, kPlaceCount> placeFrames_{};
};

bool ParseNumber(const char* text, unsigned long long max, unsigned long long& out) {
  char* end = nullptr;
  if (text[0] == '-') return false;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0' || v > max) return false;
  out = v;
  return true;
}

void Usage() {
  std::cerr << "usage: kestrune-monkey [--frames N] [--seed S] [--require-all] [--trace] [--memory]\n"
               "Plays the game headless with random, self-steering input in the current folder\n"
               "(which must hold Data/) and prints the frames spent on each screen and overlay.\n";
}

}  // namespace
}  // namespace kestrune

int main(int argc, char** argv) {
  using namespace kestrune;
  TMonkeyOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    unsigned long long n = 0;
    if ((arg == "--frames" || arg == "--seed") && i + 1 < argc) {
      if (!ParseNumber(argv[++i], arg == "--frames" ? 1000000000ull : ~0ull, n)) {
        std::cerr << "kestrune-monkey: bad " << arg << " '" << argv[i] << "'\n";
        return 1;
      }
      if (arg == "--frames")
        options.Frames = static_cast<std::int64_t>(n);
      else
        options.Seed = n;
    } else if (arg == "--require-all") {
      options.RequireAll = true;
    } else if (arg == "--trace") {
      options.Trace = true;
    } else if (arg == "--memory") {
      options.Memory = true;
    } else {
      Usage();
      return arg == "--help" || arg == "-h" ? 0 : 1;
    }
  }
  return TMonkey(options).Run();
}
