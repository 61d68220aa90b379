#include "shell/RaceModule.h"
#include "shell/Input.h"
#include "shell/MainForm.h"
#include "shell/SavedFiles.h"

namespace kestrune {

// Each module of the shell and the race registers its operations here: the menu screens with
// their overlays and input, then the race (its frame and the services it asks of the shell),
// and the saved files, which live where the platform keeps them.
void RegisterShellModules(TMForm& form) {
  RegisterMenuModule(form);
  RegisterRaceModule(form);
  form.Handlers.ReadSaveFiles = [&form] {
    SetSaveFolder(form.Platform().SaveFolder());
    ReadSaveFiles();
  };
  form.Handlers.WriteSaveFiles = [&form] { return WriteSaveFiles(form.Platform()); };
}

}  // namespace kestrune
