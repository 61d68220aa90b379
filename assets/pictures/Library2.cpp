#include "Library2.h"

namespace kestrune {

void AddLibrary2Pictures(PictureArchive& archive) {
  art::AddRoadTiles(archive);
  art::AddPlayerCars(archive);
  art::AddTraffic(archive);
  art::AddEffects(archive);
  art::AddWeapons(archive);
  art::AddPeople(archive);
  art::AddRoadObjects(archive);
  art::AddHud(archive);
}

}  // namespace kestrune
