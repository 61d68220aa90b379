#include "shell/MainForm.h"

#include <iostream>

#include "framework/Canvas.h"
#include "framework/Errors.h"
#include "framework/Random.h"
#include "game/GameState.h"
#include "game/MyImageSprite.h"
#include "shell/FrameTiming.h"
#include "shell/SoundService.h"
#include "shell/TextStyles.h"

namespace kestrune {

TMForm* MForm = nullptr;

namespace {
constexpr int kVkReturn = 0x0D;
constexpr int kVkShift = 0x10;
constexpr int kVkControl = 0x11;
constexpr int kVkM = 'M';
constexpr const char* kImageArchive1Path = "Data/Res/Res1.dxg";
constexpr const char* kImageArchive2Path = "Data/Res/Res2.dxg";
}  // namespace

TMForm::TMForm(IPlatform& platform, std::uint32_t randomSeed)
    : TDXForm(&platform),
      MDXDraw(&platform),
      MDXInput(&platform),
      MDXTimer([&platform] { return platform.Milliseconds(); },
               [&platform] { return platform.IsForeground(); }),
      MDXSound(&platform.Audio()),
      Music(&platform.Audio()),
      platform_(&platform),
      randomSeed_(randomSeed) {
  GameState = TGameState{};
  MForm = this;

  // Component values of the main window.
  MDXDraw.Options = doAllowReboot | doWaitVBlank | doStretch | doCenter | doFlip | doDirectX7Mode |
                    doRetainedMode | doHardware | doSelectDriver | doZBuffer;
  MDXInput.ActiveOnly = true;
  MDXInput.UseDirectInput = true;
  MDXInput.Keyboard.Assigns = MainFormKeyAssigns();
  MDXTimer.ActiveOnly = true;
  MDXTimer.SetInterval(0);
  MDXTimer.OnTimer = [this](TDXTimer& sender, std::uint32_t lag) { MDXTimerTimer(sender, lag); };

  // Loading the components: the display initialises itself, the timer starts.
  MDXDraw.Initialize();
  MDXTimer.Loaded();
  // Without an audio device the sound device stays uninitialised and the game is silent.
  MDXSound.Loaded();
  MDXWaveList.SetDXSound(&MDXSound);
  // The image libraries and the sprite engine follow the display from here on.
  MDXImageList1.SetDXDraw(&MDXDraw);
  MDXImageList2.SetDXDraw(&MDXDraw);
  MDXSpriteEngine.SetDXDraw(&MDXDraw);
  GameSpriteWorld() = {&MDXSpriteEngine.Root(), &MDXImageList1.Items, &MDXImageList2.Items,
                       &GameState.FrameTimeMs};
  RegisterShellModules(*this);
}

TMForm::~TMForm() {
  MDXTimer.SetEnabled(false);
  GameSpriteWorld() = {};
  if (MForm == this) MForm = nullptr;
}

void TMForm::FormCreate() {
  RandomSeed(randomSeed_);
  // The archives: Res1.dxg, Res2.dxg into the image libraries, Sounds.dxw into the sound library.
  // A missing or bad archive raises its error, which ends the start-up with its message.
  // An error names its archive for the player, who may have replaced one.
  auto load = [](auto& collection, const char* path) {
    try {
      collection.LoadFromFile(path);
    } catch (EKestruneError& e) {
      if (e.SourceFile.empty()) e.SourceFile = path;
      throw;
    }
  };
  load(MDXImageList1.Items, kImageArchive1Path);
  load(MDXImageList2.Items, kImageArchive2Path);
  if (Handlers.LoadArchives) Handlers.LoadArchives();
  // The sound archive comes after the two image archives.
  load(MDXWaveList.Items, kSoundArchivePath);
  // The high-score file, then the options file, then the table's check.
  if (Handlers.ReadSaveFiles) Handlers.ReadSaveFiles();
  // A saved full-screen option the display cannot apply falls back to the window.
  ApplyDisplayMode();
  GameState.Screen = ScreenNone;
  if (Handlers.OpenIntroScreen) Handlers.OpenIntroScreen();
}

void TMForm::MDXTimerTimer(TDXTimer& sender, std::uint32_t lagCount) {
  (void)sender;
  const std::int32_t selectedBefore = GameState.Selected;
  // The frame starts black, except where the sprites' first draw (the race's road of opaque
  // tiles) overwrites every pixel anyway: clearing then costs a memset of the whole surface for
  // nothing.
  if (TDirectDrawSurface* surface = MDXDraw.Surface())
    if (!(MDXDraw.CanDraw() && MDXSpriteEngine.Root().Surface() == surface && MDXSpriteEngine.DrawCoversSurface()))
      surface->Fill(0);
  if (!MDXDraw.CanDraw()) return;
  // Sprites first (all of them, in Z order); the frame's logic and its text come after.
  MDXSpriteEngine.Draw();
  UpdateKeyEdges();
  if (GameState.Overlay != OverlayNone) {
    if (Handlers.RunOverlay) Handlers.RunOverlay(lagCount);
    if (GameState.Screen == ScreenOptions && Handlers.DrawOptionsUnderOverlay)
      Handlers.DrawOptionsUnderOverlay();
  } else if (GameState.Screen < ScreenCount && Handlers.ScreenFrame[GameState.Screen]) {
    Handlers.ScreenFrame[GameState.Screen](lagCount);
  }
  if (GameState.Selected != selectedBefore && Handlers.SelectionChanged) Handlers.SelectionChanged();
  // Sprites marked dead during the frame go now, outside every pass over the tree.
  MDXSpriteEngine.FreeDead();
  UpdateFrameTiming();
  if (TCanvas* canvas = Canvas()) canvas->Release();
  // While text is typed the back end gives every key as itself, whatever the controls make it.
  platform_->SetTextEntry(TypingText());
  MDXDraw.Flip();
}

bool TMForm::TypingText() {
  return GameState.Overlay == OverlayNameEntry || (GameState.Screen == ScreenOptions && GameState.CountryEditing);
}

void TMForm::ToggleMute() {
  muted_ = !muted_;
  platform_->Audio().SetMuted(muted_);
}

void TMForm::UpdateFrameTiming() {
  GameState.FrameRate = MDXTimer.FrameRate();
  const TFrameTiming t = ComputeFrameTiming(GameState.FrameRate, GameState.RefreshRate);
  GameState.SpeedScale = t.SpeedScale;
  GameState.FrameTimeMs = t.FrameTimeMs;
}

void TMForm::UpdateKeyEdges() {
  MDXInput.Update();
  const TDXInputStates& s = MDXInput.States;
  auto edge = [](bool& flag, bool& previous, bool down) {
    flag = !previous && down;
    previous = down;
  };
  TKeyEdges& e = GameState.KeyEdges;
  TKeyEdges& p = GameState.KeyPrevious;
  edge(e.Up, p.Up, s[isUp]);
  edge(e.Down, p.Down, s[isDown]);
  edge(e.Left, p.Left, s[isLeft]);
  edge(e.Right, p.Right, s[isRight]);
  edge(e.P, p.P, s[9]);
  edge(e.Y, p.Y, s[10]);
  edge(e.N, p.N, s[11]);
  edge(e.Esc, p.Esc, s[12]);
}

void TMForm::ApplyDisplayMode() {
  MDXDraw.SetBitCount(16);
  if (GameState.FullScreen == 1) {
    MDXDraw.Finalize();
    SavePlacement();
    MDXDraw.Options |= doFullScreen;
    try {
      MDXDraw.Initialize();
    } catch (const EDXDrawError& e) {
      // A display that refuses the mode must not lock the player out of the game: it goes on in
      // the window (and the option says so).
      std::cerr << "Kestrune: cannot switch to full screen: " << e.what();
      if (const std::string why = platform_->LastError(); !why.empty()) std::cerr << ": " << why;
      std::cerr << "; the game stays in a window" << std::endl;
      GameState.FullScreen = 0;
    }
  }
  if (GameState.FullScreen != 1) {
    MDXDraw.Finalize();
    // Back where it was before full screen; centred the first time.
    if (HasSavedPlacement()) {
      RestorePlacement();
    } else {
      platform_->CenterWindow();
    }
    MDXDraw.Options &= ~doFullScreen;
    MDXDraw.Initialize();
  }
  GameState.RefreshRate = UsableRefreshRate(platform_->RefreshRate());
}

void TMForm::ExitGame() {
  MDXSpriteEngine.FreeDead();
  // The options file, then the high-score file.
  if (Handlers.WriteSaveFiles && !Handlers.WriteSaveFiles()) saveFailed_ = true;
  terminated_ = true;
  platform_->Quit();
}

void TMForm::OpenOverlay(int overlay) {
  if (GameState.Overlay != OverlayNone) return;
  GameState.Overlay = static_cast<std::uint8_t>(overlay);
  GameState.SavedSelection = {GameState.Selected, GameState.FirstItem, GameState.LastItem};
  if (Handlers.BuildOverlay) Handlers.BuildOverlay(overlay);
}

void TMForm::CloseOverlay() {
  if (GameState.Overlay == OverlayNone) return;
  GameState.Selected = GameState.SavedSelection.Selected;
  GameState.FirstItem = GameState.SavedSelection.FirstItem;
  GameState.LastItem = GameState.SavedSelection.LastItem;
  if (Handlers.TearDownOverlay) Handlers.TearDownOverlay(GameState.Overlay);
  GameState.Overlay = OverlayNone;
}

// --- Window events ------------------------------------------------------------------------------

void TMForm::FormCloseQuery(bool& canClose) {
  // The close command asks first: leave the race, or leave the game. A second one while the
  // question is open changes nothing.
  OpenOverlay(GameState.Screen == ScreenRace ? OverlayExitToMenu : OverlayExitGame);
  canClose = false;
}

void TMForm::FormClose() { ExitGame(); }

void TMForm::FormKeyDown(int key, bool shift, bool ctrl, bool alt) {
  (void)shift;
  if (key == kVkShift) GameState.ShiftHeld = true;
  if (key == kVkControl) GameState.CtrlHeld = true;
  if (key == kVkM && !alt && !ctrl && !TypingText()) ToggleMute();
  if (alt && key == kVkReturn) {
    GameState.FullScreen = static_cast<std::uint8_t>(1 - GameState.FullScreen);
    if (GameState.Screen == ScreenRace) OpenOverlay(OverlayPause);
    ApplyDisplayMode();
  }
}

void TMForm::FormKeyUp(int key, bool shift, bool ctrl, bool alt) {
  (void)shift;
  (void)ctrl;
  (void)alt;
  if (key == kVkShift) GameState.ShiftHeld = false;
  if (key == kVkControl) GameState.CtrlHeld = false;
}

void TMForm::FormKeyPress(std::uint8_t ch) {
  if (Handlers.KeyPress) Handlers.KeyPress(ch);
}

void TMForm::MDXDrawClick() {
  if (Handlers.Click) Handlers.Click();
}

void TMForm::MDXDrawMouseMove(int x, int y) {
  GameState.MouseX = x;
  GameState.MouseY = y;
  if (Handlers.MouseMoved) Handlers.MouseMoved();
}

void TMForm::FormActivate() {
  MDXTimer.AppActivate();
  MDXSound.SetWindowActive(true);
}

void TMForm::FormDeactivate() {
  MDXTimer.AppDeactivate();
  MDXSound.SetWindowActive(false);
}

void TMForm::FormDisplayChanged() {
  const int rate = UsableRefreshRate(platform_->RefreshRate());
  if (rate == GameState.RefreshRate) return;
  GameState.RefreshRate = rate;
  // A rate measured on the old display says nothing about the new one (60 frames a second
  // measured there would count as the truth on a 144 Hz display for a whole second): until the
  // timer has measured again, the new refresh rate alone sets the timing.
  MDXTimer.RestartFrameRate();
  UpdateFrameTiming();
}

// --- Text and cursor ----------------------------------------------------------------------------

TCanvas* TMForm::Canvas() {
  TDirectDrawSurface* surface = MDXDraw.Surface();
  return surface != nullptr ? surface->Canvas() : nullptr;
}

void TMForm::SetTextStyle(int style) {
  TCanvas* canvas = Canvas();
  if (canvas == nullptr || style < 1 || style > TextStyleCount) return;
  const TTextStyle& s = TextStyles[style];
  canvas->Font.Name = s.FontName;
  canvas->Font.Size = s.Size;
  canvas->Font.R = s.R;
  canvas->Font.G = s.G;
  canvas->Font.B = s.B;
  canvas->Font.Bold = s.Bold;
  canvas->BrushStyle = TBrushStyle::bsClear;
}

void TMForm::DrawText(const std::string& text, int x, int y, bool centreH, bool centreV) {
  TCanvas* canvas = Canvas();
  if (canvas == nullptr) return;
  if (centreH) x -= canvas->TextWidth(text) / 2;
  if (centreV) y -= canvas->TextHeight(text) / 2;
  canvas->TextOut(x, y, text);
}

int TMForm::TextWidth(const std::string& text) {
  TCanvas* canvas = Canvas();
  return canvas != nullptr ? canvas->TextWidth(text) : 0;
}

int TMForm::TextHeight(const std::string& text) {
  TCanvas* canvas = Canvas();
  return canvas != nullptr ? canvas->TextHeight(text) : 0;
}

int TMForm::StyledTextWidth(const std::string& text, int style) {
  SetTextStyle(style);
  return TextWidth(text);
}

void TMForm::ShowMouseCursor() {
  while (cursorCount_ < 1) ++cursorCount_;
  platform_->ShowCursor(true);
}

void TMForm::HideMouseCursor() {
  while (cursorCount_ >= 0) --cursorCount_;
  platform_->ShowCursor(false);
}

void TMForm::OpenWebPage(const std::string& address) { platform_->OpenUrl(address); }

void TMForm::SetHandPointer(bool hand) { platform_->SetHandCursor(hand); }

}  // namespace kestrune
