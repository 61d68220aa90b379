#include "shell/MainForm.h"

#include "race/RaceModule.h"
#include "shell/Input.h"

namespace kestrune {

// Each module of the shell and the race registers its operations here: the menu screens with
// their overlays and input, then the race (its frame and the services it asks of the shell).
void RegisterShellModules(TMForm& form) {
  RegisterMenuModule(form);
  RegisterRaceModule(form);
}

}  // namespace kestrune
