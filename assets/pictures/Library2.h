#pragma once
// Library 2 (Res2.dxg): everything the race draws. One function per group of pictures; each
// appends its pictures to the archive in a fixed order.

#include "framework/ArchiveTypes.h"

namespace kestrune::art {

void AddRoadTiles(PictureArchive& archive);     // "Tiles"
void AddPlayerCars(PictureArchive& archive);    // Car1..Car6
void AddTraffic(PictureArchive& archive);       // Car7..Car11
void AddEffects(PictureArchive& archive);       // explosions, flames, marks
void AddWeapons(PictureArchive& archive);       // gun and rocket projector, rocket
void AddPeople(PictureArchive& archive);        // Man_*, Girl_*
void AddRoadObjects(PictureArchive& archive);   // lamps, bonuses, finish line
void AddHud(PictureArchive& archive);           // panel, needle, gauges, icons

}  // namespace kestrune::art

namespace kestrune {

// Appends every library-2 picture to `archive`.
void AddLibrary2Pictures(PictureArchive& archive);

}  // namespace kestrune
