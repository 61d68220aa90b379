#pragma once
// The shell's one global record: current screen and overlay, menu selection, options, high
// scores, race values and the frame timing every moving thing scales by.

#include <array>
#include <cstdint>
#include <string>

namespace kestrune {

// Sprite kinds the record refers to; they are defined with the sprite engine and the screens.
class TSprite;
class TMenuButton;
class TBackgroundSprite;
class TMyCursor;
class TMyImageSprite;

// Screen ids.
enum : std::uint8_t {
  ScreenNone = 0,
  ScreenIntro = 1,
  ScreenMainMenu = 2,
  ScreenCarChoice = 3,
  ScreenOptions = 4,
  ScreenHighScores = 5,
  ScreenHelp = 6,
  ScreenRace = 7,
};
constexpr int ScreenCount = 8;  // ids 0..7

// Overlay ids (0 = none).
enum : std::uint8_t {
  OverlayNone = 0,
  OverlayExitGame = 1,
  OverlayExitToMenu = 2,
  OverlayTimeOver = 3,
  OverlayClearHighScores = 4,
  OverlayPause = 5,
  OverlayLevel = 6,
  OverlayGameOver = 7,
  OverlayNameEntry = 8,
};

// A key that went down this frame, one flag per watched key, with its state of the last frame.
struct TKeyEdges {
  bool Up = false, Down = false, Left = false, Right = false, P = false, Y = false, N = false, Esc = false;
};

struct THighScore {
  std::string Name;
  std::int32_t Score = 0;
};

// Entries 1..10 are the table, 11 is the insertion slot (0 unused).
using THighScoreTable = std::array<THighScore, 12>;

struct TSavedSelection {
  std::int32_t Selected = 0, FirstItem = 0, LastItem = 0;
};

struct TGameState {
  std::uint8_t Screen = ScreenNone;
  std::uint8_t Overlay = OverlayNone;
  std::int32_t Selected = 0;
  std::int32_t FirstItem = 0, LastItem = 0;
  TSavedSelection SavedSelection;
  // Slots 1..12 (0 unused): item n of the current screen; 11 and 12 are an overlay's Yes and No.
  std::array<TMenuButton*, 13> MenuItems{};
  bool MenuIntroRunning = false;
  std::int32_t OverlayTimer = 0;
  TMyImageSprite* OverlayFrame = nullptr;
  TMyImageSprite* OverlayCaption = nullptr;
  std::uint8_t LastTypedChar = 0;
  std::int32_t MouseX = 0, MouseY = 0;
  TBackgroundSprite* ScreenBackground = nullptr;
  TMyCursor* TextCursor = nullptr;
  bool CountryEditing = false;

  // Options (read from and written to the options file).
  std::uint8_t FullScreen = 0, MusicOn = 0, SoundOn = 0;
  std::string Country;
  THighScoreTable HighScores{};
  std::string StoredCheck;

  std::string PlayerName;
  std::int32_t CarModel = 1;
  std::int32_t NextCarModel = 1;
  std::int32_t CarFadePhase = 0;
  std::int32_t HelpPage = 0;

  // Pictures of the screens besides their buttons: car choice, options, high scores, help.
  TMyImageSprite* CarPanel = nullptr;
  TMyImageSprite* CarPicture = nullptr;
  TMyImageSprite* CarPictureNext = nullptr;
  TMyImageSprite* FullScreenPicture = nullptr;
  TMyImageSprite* MusicPicture = nullptr;
  TMyImageSprite* SoundPicture = nullptr;
  TMyImageSprite* CountryEditBox = nullptr;
  TMyImageSprite* HighScoreCaption = nullptr;
  TMyImageSprite* HighScoreFrame = nullptr;
  std::array<TMyImageSprite*, 8> HelpIcons{};
  TMyImageSprite* HelpLogo = nullptr;

  // Race values.
  std::int32_t Level = 0, Lives = 0, Score = 0, TimeLeft = 0;
  std::int32_t RoadLength = 0, BonusLevelValue = 0, TrafficLevelValue = 0;

  // Frame timing: the values computed in one frame are used by the next.
  std::int32_t RefreshRate = 0;
  std::int32_t FrameRate = 0;
  std::int32_t FrameTimeMs = 15;
  double SpeedScale = 1.0;

  std::intptr_t MusicHandle = 0;
  TKeyEdges KeyEdges;
  TKeyEdges KeyPrevious;
  bool CtrlHeld = false, ShiftHeld = false;
};

extern TGameState GameState;

}  // namespace kestrune
