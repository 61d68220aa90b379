#include "game/RaceServices.h"

namespace kestrune {

TRaceServices& RaceServices() {
  static TRaceServices services;
  return services;
}

void RacePlaySound(const std::string& name) {
  if (RaceServices().PlaySound) RaceServices().PlaySound(name);
}

void RaceStopSound(const std::string& name) {
  if (RaceServices().StopSound) RaceServices().StopSound(name);
}

}  // namespace kestrune
