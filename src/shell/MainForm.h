#pragma once
// The main window: owns the framework components, runs one frame per timer tick and offers
// the shell services (styled text, mouse cursor, display mode, web pages) to the screens,
// overlays and race.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "framework/DXDraw.h"
#include "framework/DXForm.h"
#include "framework/DXInput.h"
#include "framework/DXSound.h"
#include "framework/DXTimer.h"
#include "framework/Music.h"
#include "framework/PictureCollection.h"
#include "framework/Platform.h"
#include "framework/Sprite.h"
#include "framework/WaveList.h"

namespace kestrune {

class TCanvas;

// Operations that the screen, overlay and race modules provide to the frame loop and the window
// events. Each is optional: an empty one does nothing, so the loop runs (a black window) before
// those modules exist. Modules fill them in RegisterShellModules (ShellModules.cpp).
struct TShellHandlers {
  // One frame of each screen, by screen id (0 unused), with the timer's lag count. The screens
  // that move their sprites run the sprite engine's move pass themselves.
  std::array<std::function<void(std::uint32_t lagCount)>, 8> ScreenFrame;
  // One frame of the open overlay.
  std::function<void(std::uint32_t lagCount)> RunOverlay;
  // The options screen's values and texts, drawn under an open overlay.
  std::function<void()> DrawOptionsUnderOverlay;
  // The selection-change sound rule, run when a frame changed Selected.
  std::function<void()> SelectionChanged;
  // Builds the pictures and buttons of overlay n after OpenOverlay set the state; and the
  // matching teardown, run by CloseOverlay before the state is reset.
  std::function<void(int overlay)> BuildOverlay;
  std::function<void(int overlay)> TearDownOverlay;
  // The race HUD's texts, drawn over an overlay that is open during the race.
  std::function<void()> DrawRaceHud;
  // Start-up steps that later modules provide (archives, save files, first screen).
  std::function<void()> LoadArchives;
  std::function<void()> ReadSaveFiles;
  // Writes the options and the table at the end; false when something could not be saved.
  std::function<bool()> WriteSaveFiles;
  std::function<void()> OpenIntroScreen;
  // Leaving the game after the player confirmed it: hides the main window and shows the goodbye
  // window, whose closing ends the game. Empty: the game ends at once.
  std::function<void()> ShowPromotionWindow;
  // Window events beyond what the main window handles itself.
  std::function<void(std::uint8_t ch)> KeyPress;
  std::function<void()> Click;
  std::function<void()> MouseMoved;  // after MouseX, MouseY were updated
};

class TMForm : public TDXForm {
 public:
  // Creates the components and loads them (the display initialises, the timer starts). The
  // game's start-up is FormCreate.
  TMForm(IPlatform& platform, std::uint32_t randomSeed);
  ~TMForm() override;
  TMForm(const TMForm&) = delete;
  TMForm& operator=(const TMForm&) = delete;

  IPlatform& Platform() { return *platform_; }

  // --- Components ----------------------------------------------------------------------------
  TDXDraw MDXDraw;
  TDXInput MDXInput;
  TDXTimer MDXTimer;
  // The sound device and the sound library playing through it.
  TDXSound MDXSound;
  TDXWaveList MDXWaveList;
  // The music library: songs play through the same audio output as the effects.
  TMusicPlayer Music;
  // The two image libraries (filled from Res1.dxg and Res2.dxg at start-up) and the sprite
  // engine drawing onto the display's back surface. Game sprites reach them through
  // GameSpriteWorld() (vehicles/MyImageSprite.h), which the form fills in.
  TDXImageList MDXImageList1;
  TDXImageList MDXImageList2;
  TDXSpriteEngine MDXSpriteEngine;

  TShellHandlers Handlers;

  // --- Window events -------------------------------------------------------------------------
  // Start-up. Raises the failure of a start-up step (for example a missing archive).
  void FormCreate();
  void MDXTimerTimer(TDXTimer& sender, std::uint32_t lagCount);
  void FormCloseQuery(bool& canClose);
  void FormClose();
  void FormKeyDown(int key, bool shift, bool ctrl, bool alt);
  void FormKeyUp(int key, bool shift, bool ctrl, bool alt);
  void FormKeyPress(std::uint8_t ch);
  void MDXDrawClick();
  void MDXDrawMouseMove(int x, int y);
  void FormActivate();
  void FormDeactivate();
  // The window moved to another display or the display's mode changed: the refresh rate is read
  // again and the frame timing follows it from the next frame on.
  void FormDisplayChanged();

  // --- Shell services ------------------------------------------------------------------------
  void SetTextStyle(int style);
  void DrawText(const std::string& text, int x, int y, bool centreH, bool centreV);
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);
  int StyledTextWidth(const std::string& text, int style);
  void ShowMouseCursor();
  void HideMouseCursor();
  void OpenWebPage(const std::string& address);
  // The pointer over the window: a pointing hand, or the arrow.
  void SetHandPointer(bool hand);
  // Sounds by name (SoundService.cpp): stop the effect, then play it from the start; nothing
  // while sound is off. A name the library does not hold raises EWaveCollectionError.
  void PlaySound(const std::string& name);
  void StopSound(const std::string& name);
  // The race song on the race screen, else the menu song; nothing while music is off. A song
  // that cannot be loaded leaves MusicHandle 0 (no music, no message).
  void PlayScreenMusic();
  void StopMusic();
  void ApplyDisplayMode();
  void UpdateKeyEdges();
  void ExitGame();
  // Overlay state: OpenOverlay does nothing while one is open; the module's BuildOverlay and
  // TearDownOverlay add the pictures and buttons.
  void OpenOverlay(int overlay);
  void CloseOverlay();

  // The canvas of the back surface (null before the display first initialised).
  TCanvas* Canvas();
  // M: silences the music and the effects as heard, or lets them be heard again. The options'
  // music and sound switches stay as they are, and the game plays its sounds as before.
  void ToggleMute();
  bool Muted() const { return muted_; }
  // True while a name or the country is being typed: keys are letters then.
  static bool TypingText();

  // True once ExitGame ran: the message loop ends.
  bool Terminated() const { return terminated_; }
  // True when ExitGame could not save everything (the program then exits non-zero).
  bool SaveFailed() const { return saveFailed_; }
  // The system cursor's display count: the cursor shows while it is at least 0.
  int CursorCount() const { return cursorCount_; }

 private:
  void UpdateFrameTiming();

  IPlatform* platform_;
  std::uint32_t randomSeed_;
  bool terminated_ = false;
  bool saveFailed_ = false;
  bool muted_ = false;
  int cursorCount_ = 0;
};

// The main window while it exists (null otherwise).
extern TMForm* MForm;

// Fills the form's handlers with the screens, overlays and race (ShellModules.cpp).
void RegisterShellModules(TMForm& form);

}  // namespace kestrune
