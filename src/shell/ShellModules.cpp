#include "race/RaceModule.h"
#include "shell/MainForm.h"
#include "shell/SavedFiles.h"

namespace kestrune {

// Each module of the shell and the race registers its operations here, for example
//   form.Handlers.ScreenFrame[ScreenIntro] = [&form](std::uint32_t) { IntroFrame(form); };
// Until the screens, overlays and race are added the table stays empty: the frame loop then
// draws a black frame and runs nothing else.
void RegisterShellModules(TMForm& form) {
  RegisterRaceModule(form);
  // The saved files live where the platform keeps them.
  form.Handlers.ReadSaveFiles = [&form] {
    SetSaveFolder(form.Platform().SaveFolder());
    ReadSaveFiles();
  };
  form.Handlers.WriteSaveFiles = [&form] { WriteSaveFiles(form.Platform()); };
}

}  // namespace kestrune
