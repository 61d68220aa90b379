#pragma once
// The race's dashboard on the right of the screen: the panel, the speedometer needle, the small
// car that climbs the progress strip, the energy gauge, the nitro and weapon icons, and the
// values printed on the panel every race frame.

#include <cstdint>
#include <string>

#include "game/MyImageSprite.h"

namespace kestrune {

class TPlayer;

// The speedometer needle: drawn rotated about a pivot just beyond its picture's right edge.
class TPointer : public TMyImageSprite {
 public:
  explicit TPointer(std::uint8_t imageLibrary);
  void DrawSelf() override;

  std::int32_t PivotX = 0, PivotY = 0;   // where the needle was created
  double CenterX = 1.04, CenterY = 0.5;  // the pivot as fractions of the picture's size
  std::int32_t Angle = -28;              // 256ths of a turn, clockwise
};

// The six sprites of the dashboard, held from the race start to its end.
struct TRaceHud {
  TMyImageSprite* Panel = nullptr;
  TPointer* Pointer = nullptr;
  TMyImageSprite* SmallCar = nullptr;
  TMyImageSprite* Energy = nullptr;
  TMyImageSprite* NitroIcon = nullptr;
  TMyImageSprite* WeaponIcon = nullptr;
};
extern TRaceHud RaceHud;

// Creates the six sprites in their draw order; the needle starts at rest.
void CreateHud();
// Kills the six sprites and forgets them.
void KillHud();

// The needle's angle for a speed: 1.15 per unit of speed from -28 at rest (never below it), one
// less while the engine sound is the gear change.
std::int32_t NeedleAngle(double speed, bool shifting);
// The progress marker's top edge for a marker of the given height on a road of roadLength rows
// with the window at mapRowOffset: it climbs from near 216 - height to 15 at most.
double ProgressMarkerY(int markerHeight, std::int32_t roadLength, std::int32_t mapRowOffset);
// Time left as "mm : ss"; "00 : 00" once it is below zero.
std::string FormatTimeLeft(std::int32_t timeLeftMs);

// Every race frame: the needle and the small car follow the car.
void UpdateNeedle(const TPlayer& player);
void MoveProgressMarker();
// Prints the level, time, score, lives, nitro and ammunition and sets the gauge and icons.
void DrawHudTexts();

}  // namespace kestrune
