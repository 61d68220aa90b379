#pragma once
// A sample stretch of road map drawn from the generated "Tiles": shifts both ways, a median
// opening and closing, pavements and paving. Used to look at how the cells join.

#include <string>
#include <vector>

#include "framework/ArchiveTypes.h"

namespace kestrune::art {

// The sample map, top row first, as tile codes.
const std::vector<std::vector<int>>& SampleRoadMap();
// Writes the sample map drawn with the "Tiles" item of `library2` as a PNG.
void WriteLayoutPreview(const PictureArchive& library2, const std::string& pngPath);
// An 800 x 600 mock-up of a race screen built from library 2 (road, lamps on their tiles,
// player car, traffic, pedestrians, a bonus and the HUD), to judge the pictures together.
void WriteRaceMockup(const PictureArchive& library2, const std::string& pngPath);

}  // namespace kestrune::art
