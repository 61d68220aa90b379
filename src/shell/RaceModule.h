#pragma once
// Plugs the race into the main window: its frame on the race screen and the shell services it
// uses.

namespace kestrune {

class TMForm;

void RegisterRaceModule(TMForm& form);

}  // namespace kestrune
