#include "race/vehicles/Rocket.h"

#include <cmath>
#include <numbers>

#include "framework/PictureCollection.h"
#include "framework/Rounding.h"
#include "game/GameState.h"
#include "game/RaceServices.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"

namespace kestrune {

namespace {

constexpr double kParkedY = -1000;  // idle rockets wait here, above the screen
constexpr int kPlayfieldWidth = 700, kPlayfieldHeight = 600;

double Radians(double angle256) { return angle256 * 2.0 * std::numbers::pi / 256.0; }

}  // namespace

TRocket::TRocket(std::uint8_t imageLibrary) : TMyImageSprite(imageLibrary) {}

TRocket::~TRocket() {
  for (TRocket*& rocket : RaceRockets)
    if (rocket == this) rocket = nullptr;
}

TRocket* TRocket::Create(double x, double y) {
  TRocket* rocket = CreateAt<TRocket>(2, "Rocket", x, y, 9);
  rocket->Visible = false;
  rocket->EngineFlame = CreateAt(2, "EngineFire", Trunc(x - 2), Trunc(y - 12), rocket->Z());
  rocket->EngineFlame->AnimRate = 10;
  rocket->EngineFlame->AnimLooped = true;
  rocket->EngineFlame->Visible = false;
  return rocket;
}

void TRocket::LaunchRocket(double x, double y, std::int32_t speed, std::int32_t angle) {
  RocketFlying = true;
  Visible = true;
  X = x;
  Y = y;
  RocketMapX = x + MapColumnOffset * TRoadMap::CellSize - RaceRoadX();
  RocketMapY = y + MapRowOffset * TRoadMap::CellSize - RaceRoadY();
  RocketAngle = angle;
  RocketSpeed = speed + (RacePlayer ? Round(RacePlayer->Velocity) : 0);
  RocketExploding = false;
  StartAnimation("Rocket", 0);
}

void TRocket::ExplodeRocket() {
  StartAnimation("Explosion", 20);
  RocketSpeed = 0;
  RocketExploding = true;
  RocketMapX -= 32;
  RocketMapY -= 32;
  RacePlaySound("Explosion");
}

void TRocket::StopRocket() {
  RocketFlying = false;
  Visible = false;
  X = 0;
  Y = kParkedY;
  RocketMapX = RocketMapY = 0;
  RocketSpeed = 0;
  RocketAngle = 0;
}

bool TRocket::ShouldRetire() const {
  if (!RocketFlying) return false;
  const double flameHeight = EngineFlame ? EngineFlame->Height : 0;
  return (RocketExploding && PrevAnimPos > AnimPos) || Y > kPlayfieldHeight || Y + Height + flameHeight < 0 ||
         X < 0 || X + Width > kPlayfieldWidth;
}

void TRocket::MoveSelf(std::int32_t moveCount) {
  if (!RocketFlying) return;
  TMyImageSprite::MoveSelf(moveCount);
  const double step = RocketSpeed * 0.5 * GameState.SpeedScale;
  RocketMapX += std::sin(Radians(RocketAngle)) * step;
  RocketMapY -= std::cos(Radians(RocketAngle)) * step;
  X = RocketMapX - MapColumnOffset * TRoadMap::CellSize + RaceRoadX();
  Y = RocketMapY - MapRowOffset * TRoadMap::CellSize + RaceRoadY();
  EngineFlame->X = X - 12;
  EngineFlame->Y = Y - 2;
}

void TRocket::DrawSelf() {
  if (!Visible || !Picture || !Engine || !Engine->Surface()) return;
  TDirectDrawSurface& surface = *Engine->Surface();
  const int cx = Trunc(X + Width / 2.0), cy = Trunc(Y + Height / 2.0);
  if (RocketAngle != 0)
    Picture->DrawRotate(surface, cx, cy, Width, Height, Trunc(AnimPos), 0.5, 0.5, RocketAngle);
  else
    TMyImageSprite::DrawSelf();
  if (RocketExploding || !EngineFlame || !EngineFlame->Picture) return;
  const TPictureCollectionItem& flame = *EngineFlame->Picture;
  const int pattern = Trunc(EngineFlame->AnimPos);
  if (RocketAngle != 0) {
    // Turned about a point above the flame picture, so the flame trails behind the rocket.
    flame.DrawRotate(surface, cx, cy, EngineFlame->Width, EngineFlame->Height, pattern, 0.5, -0.22,
                     RocketAngle);
  } else {
    flame.Draw(surface, Trunc(EngineFlame->X + EngineFlame->Width / 2.0),
               Trunc(EngineFlame->Y + EngineFlame->Height / 2.0), pattern);
  }
}

}  // namespace kestrune
