#include "race/RaceModule.h"

#include "race/Race.h"
#include "race/RaceServices.h"
#include "shell/GameState.h"
#include "shell/MainForm.h"

namespace kestrune {

void RegisterRaceModule(TMForm& form) {
  // The services go through MForm, which is null once the window is gone.
  TRaceServices& services = RaceServices();
  services.PlaySound = [](const std::string& name) {
    if (MForm) MForm->PlaySound(name);
  };
  services.StopSound = [](const std::string& name) {
    if (MForm) MForm->StopSound(name);
  };
  services.PlayScreenMusic = [] {
    if (MForm) MForm->PlayScreenMusic();
  };
  services.HideMouseCursor = [] {
    if (MForm) MForm->HideMouseCursor();
  };
  services.InputHeld = [](int state) {
    return MForm && state >= 0 && state < InputStateCount &&
           MForm->MDXInput.States[static_cast<std::size_t>(state)];
  };
  services.SetTextStyle = [](int style) {
    if (MForm) MForm->SetTextStyle(style);
  };
  services.DrawText = [](const std::string& text, int x, int y, bool centreH, bool centreV) {
    if (MForm) MForm->DrawText(text, x, y, centreH, centreV);
  };
  // PLACEHOLDER (shell issue): overlays have no windows yet and an open one would stop the race
  // frame for good, so the race's overlays (level announcement, pause, exit, time over, game
  // over) are not opened until that issue connects services.OpenOverlay to form.OpenOverlay.
  services.OpenOverlay = nullptr;

  form.Handlers.ScreenFrame[ScreenRace] = [](std::uint32_t lagCount) { RaceFrame(lagCount); };

  // PLACEHOLDER (shell issue): until the menu screens exist, start-up goes straight into a race
  // at level 1 with the first car; the shell issue puts the intro screen back here.
  form.Handlers.OpenIntroScreen = [] { StartRaceAt(1, 1); };
}

}  // namespace kestrune
