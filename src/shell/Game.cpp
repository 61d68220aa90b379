#include "shell/Game.h"

#include <algorithm>
#include <exception>
#include <iostream>

#include "framework/DisplayText.h"
#include "framework/Errors.h"
#include "framework/Platform.h"
#include "framework/Random.h"
#include "game/GameState.h"
#include "shell/MainForm.h"
#include "shell/PromotionWindow.h"
#include "shell/TerminationSignals.h"

namespace kestrune {

TGameSession::TGameSession(IPlatform& platform, std::uint32_t randomSeed)
    : platform_(platform), randomSeed_(randomSeed) {}

TGameSession::~TGameSession() = default;

namespace {

// What the player is told about an error: the data file it concerns (unless the message names
// it already), then the message, with whatever bytes a data file put into it made printable.
std::string PlayerMessage(const std::exception& e) {
  std::string message = e.what();
  if (const auto* error = dynamic_cast<const EKestruneError*>(&e)) {
    const std::string& file = error->SourceFile;
    if (!file.empty() && message.find("\"" + file + "\"") == std::string::npos) message = file + ": " + message;
  }
  return message;
}

}  // namespace

void TGameSession::Fail(const std::exception& error) { Fail(PlayerMessage(error)); }

void TGameSession::Fail(const std::string& text) {
  const std::string message = EscapeForDisplay(text);
  std::cerr << "Kestrune: " << message << std::endl;
  platform_.ShowMessageBox("Kestrune", message);
  form8a_.reset();
  form_.reset();
  finished_ = true;
  exitCode_ = 1;
}

bool TGameSession::Start() {
  RandomSeed(randomSeed_);
  if (!platform_.OpenWindow("Kestrune", 800, 600)) {
    // No message box either: without a display there is nothing to show it on.
    std::cerr << "Kestrune: cannot open the game window: " << platform_.LastError() << std::endl;
    finished_ = true;
    exitCode_ = 1;
    return false;
  }
  try {
    form_ = std::make_unique<TMForm>(platform_, randomSeed_);
    // Leaving the game shows the goodbye window in place of the main window.
    form_->Handlers.ShowPromotionWindow = [this] {
      bestScore_ = std::max(bestScore_, GameState.Score);
      if (startedUp_) {
        // Made when first shown: its pictures and fonts are not worth a slower start.
        if (!form8a_) form8a_ = std::make_unique<TForm8a>(platform_, *form_);
        form8a_->ShowInsteadOfMainForm(bestScore_);
      } else {
        form_->ExitGame();
      }
    };
    if (BeforeFormCreate) BeforeFormCreate(*form_);
    form_->FormCreate();
    startedUp_ = true;
  } catch (const std::exception& e) {
    Fail(e);
    return false;
  }
  return true;
}

bool TGameSession::ClickStillAimed(const PlatformEvent& click) {
  ClickTarget now;
  now.Window = click.Window;
  if (click.Window == 0) {
    now.Screen = GameState.Screen;
    now.Overlay = GameState.Overlay;
  }
  if (click.Clicks <= 1) {
    firstClickTarget_ = now;
    return true;
  }
  return now == firstClickTarget_;
}

void TGameSession::Dispatch(const PlatformEvent& e) {
  if (e.Type == PlatformEvent::Kind::MouseClick && !ClickStillAimed(e)) return;
  // While the goodbye window is up, the keys are its own wherever they come from: the keyboard
  // in its window, or a gamepad, whose keys belong to no window.
  const bool goodbyeShown = form8a_ && form8a_->Visible();
  const bool isKey = e.Type == PlatformEvent::Kind::KeyDown || e.Type == PlatformEvent::Kind::KeyUp ||
                     e.Type == PlatformEvent::Kind::Char;
  if (e.Window != 0 || (goodbyeShown && isKey)) {
    if (form8a_) form8a_->HandleEvent(e);
    return;
  }
  TMForm& form = *form_;
  switch (e.Type) {
    case PlatformEvent::Kind::KeyDown:
      form.FormKeyDown(e.VirtualKey, e.Shift, e.Ctrl, e.Alt);
      break;
    case PlatformEvent::Kind::KeyUp:
      form.FormKeyUp(e.VirtualKey, e.Shift, e.Ctrl, e.Alt);
      break;
    case PlatformEvent::Kind::Char:
      form.FormKeyPress(e.Char);
      break;
    case PlatformEvent::Kind::MouseMove:
      form.MDXDrawMouseMove(e.X, e.Y);
      break;
    case PlatformEvent::Kind::MouseClick:
      form.MDXDrawClick();
      break;
    case PlatformEvent::Kind::Close: {
      bool canClose = true;
      form.FormCloseQuery(canClose);
      if (canClose) form.FormClose();
      break;
    }
    case PlatformEvent::Kind::FocusGained:
      form.FormActivate();
      break;
    case PlatformEvent::Kind::FocusLost:
      form.FormDeactivate();
      break;
    case PlatformEvent::Kind::DisplayChanged:
      form.FormDisplayChanged();
      break;
  }
}

void TGameSession::Step() {
  if (finished_ || !form_) return;
  // A failure during play (a picture or sound name missing from the archives) ends the game
  // with its message, like a failure at start-up, instead of repeating it every frame.
  try {
    // A termination signal saves and ends the game as leaving it does, without the goodbye
    // window.
    if (TTerminationSignals::Requested() && !form_->Terminated()) form_->ExitGame();
    PlatformEvent event;
    while (!form_->Terminated() && platform_.PollEvent(event)) Dispatch(event);
    if (!form_->Terminated() && !platform_.QuitRequested()) {
      if (form_->MDXTimer.IdleInstalled()) {
        form_->MDXTimer.DoIdle();
        bestScore_ = std::max(bestScore_, GameState.Score);
      } else {
        platform_.WaitForEvent(20);
      }
    }
  } catch (const std::exception& e) {
    Fail(e);
    return;
  }
  if (form_->Terminated() || platform_.QuitRequested()) finished_ = true;
  // A save that failed at the end (a full disk) is the program's failure too.
  if (form_->SaveFailed()) exitCode_ = 1;
}

int RunGame(IPlatform& platform, std::uint32_t randomSeed) {
  const TTerminationSignals signals;
  TGameSession session(platform, randomSeed);
  if (!session.Start()) return session.ExitCode();
  while (!session.Finished()) session.Step();
  return session.ExitCode();
}

}  // namespace kestrune
