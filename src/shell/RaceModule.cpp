#include "shell/RaceModule.h"

#include "game/GameState.h"
#include "game/RaceServices.h"
#include "race/Hud.h"
#include "race/Race.h"
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
  services.OpenOverlay = [](int overlay) {
    if (MForm) MForm->OpenOverlay(overlay);
  };

  // The race stands while an overlay is open, but its dashboard still shows the values.
  form.Handlers.DrawRaceHud = [] { DrawHudTexts(); };
  form.Handlers.ScreenFrame[ScreenRace] = [](std::uint32_t lagCount) { RaceFrame(lagCount); };
}

}  // namespace kestrune
