// What the player's car carries and suffers: the machine gun and the rocket projector with their
// unfold and fold animation, nitro, the hit counter, the crash with its explosion, the restart on
// the road's right edge behind the crash and the set-up of the next level.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/PictureCollection.h"
#include "framework/Rounding.h"
#include "game/GameState.h"
#include "game/RaceServices.h"
#include "race/Bonuses.h"
#include "race/Finish.h"
#include "race/Pedestrians.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/ScrollBackground.h"
#include "race/vehicles/Player.h"
#include "race/vehicles/Rocket.h"
#include "race/vehicles/Traffic.h"

namespace kestrune {

namespace {

constexpr int kMachineGun = 3, kRocketProjector = 4, kNitro = 2;
constexpr int kDeployedStage = 6;
constexpr int kStageMs = 100;  // one unfold or fold stage
constexpr int kGunCooldownMs = 200, kRocketCooldownMs = 500;
constexpr int kGunRounds = 25, kRockets = 20;
constexpr int kCrashMs = 2000;
constexpr double kGunStep = 5;  // map pixels per step of the gun ray
constexpr int kPlayfieldWidth = 700, kPlayfieldHeight = 600;
// The firing picture has the muzzle flash above the gun, so its mount lies further down it.
constexpr double kShootingMountRaise[6] = {0.185, 0.202, 0.17, 0.175, 0.18, 0.2};

double Radians(double angle256) { return angle256 * 2.0 * std::numbers::pi / 256.0; }

int Model() { return (GameState.CarModel >= 1 && GameState.CarModel <= 6) ? GameState.CarModel : 1; }

}  // namespace

std::string TPlayer::CarPictureName() const { return "Car" + std::to_string(Model()); }

// --- Bonuses and items -------------------------------------------------------------------------

void TPlayer::GiveBonus(int kind) {
  switch (kind) {
    case 1:
      ++GameState.Lives;
      break;
    case kNitro:
      HasNitro = true;
      Nitro = 100;
      break;
    case kMachineGun:
    case kRocketProjector:
      // The other weapon's rounds are lost; a new weapon unfolds from the start, the one already
      // mounted is only refilled.
      DropItem(kind == kMachineGun ? kRocketProjector : kMachineGun);
      if (Weapon != kind) WeaponStage = 1;
      Weapon = static_cast<std::uint8_t>(kind);
      Ammo = kind == kMachineGun ? kGunRounds : kRockets;
      ShowWeaponStage();
      break;
    default:
      break;
  }
}

void TPlayer::DropItem(int item) {
  switch (item) {
    case kNitro:
      HasNitro = false;
      Nitro = 0;
      break;
    case kMachineGun:
      RaceStopSound("MachineGun");
      GunSoundOn = false;
      Ammo = 0;
      break;
    case kRocketProjector:
      RaceStopSound("Rocket");
      Ammo = 0;
      break;
    default:
      break;
  }
}

void TPlayer::DropAll() {
  DropItem(kMachineGun);
  DropItem(kRocketProjector);
  DropItem(kNitro);
  Weapon = 0;
}

void TPlayer::BurnNitro() {
  if (Nitro <= 0) return;
  Nitro -= 0.5 * GameState.SpeedScale;
  NitroBurning = true;
}

// --- The weapon's animation and firing ---------------------------------------------------------

void TPlayer::ShowWeaponStage() {
  if (Weapon != kMachineGun && Weapon != kRocketProjector) return;
  const std::string name = (Weapon == kMachineGun ? "GunAnim_" : "RocketAnim_") + std::to_string(WeaponStage);
  WeaponSprite->SetPictureCentred(name, Trunc(X + Width * 0.5), Trunc(Y + Height * 0.6));
}

// After a shot the firing picture stays up until the weapon timer has run out.
void TPlayer::RestoreWeaponPicture() {
  if (WeaponTimer > 0) WeaponTimer -= GameState.FrameTimeMs;
  if (WeaponTimer > 0) return;
  WeaponTimer = 0;
  const std::string stage = std::to_string(WeaponStage);
  if (Weapon == kMachineGun)
    WeaponSprite->SetPictureCentred("GunAnim_" + stage, Trunc(WeaponSprite->X), Trunc(WeaponSprite->Y));
  if (Weapon == kRocketProjector)
    WeaponSprite->SetPictureCentred("RocketAnim_" + stage, Trunc(WeaponSprite->X), Trunc(WeaponSprite->Y));
  FirePicturePending = 0;
}

// A new weapon unfolds through stages 1..6, one per 100 ms, and fires only when fully out; with
// its rounds gone it folds back to stage 1 and is taken off the frame after.
void TPlayer::RunWeapon() {
  const std::int32_t frame = GameState.FrameTimeMs;
  if (FirePicturePending) RestoreWeaponPicture();
  if (WeaponStage < kDeployedStage && Weapon != 0 && Ammo > 0) {
    if (WeaponStage == 1) RacePlaySound("WeaponAppear");
    WeaponTimer -= frame;
    if (WeaponTimer <= 0) {
      WeaponTimer = kStageMs;
      ++WeaponStage;
      ShowWeaponStage();
    }
  }
  if (WeaponStage > 0 && Weapon != 0 && Ammo <= 0) {
    if (WeaponStage < 2) {
      Weapon = 0;
    } else {
      if (WeaponStage == kDeployedStage) RacePlaySound("WeaponAppear");
      WeaponTimer -= frame;
      if (WeaponTimer <= 0) {
        WeaponTimer = kStageMs;
        --WeaponStage;
        ShowWeaponStage();
      }
    }
  }
  if (Weapon != 0 && FireCooldown >= 0) FireCooldown -= frame;
}

// The machine gun's sound runs from the first shot for as long as the key is held.
void TPlayer::RunFiring() {
  if (KeyFire && WeaponStage == kDeployedStage) {
    if (Weapon == kMachineGun && !GunSoundOn) {
      GunSoundOn = true;
      RacePlaySound("MachineGun");
    }
    Fire();
  } else if (Weapon == kMachineGun) {
    GunSoundOn = false;
    RaceStopSound("MachineGun");
  }
}

void TPlayer::Fire() {
  if (FireCooldown > 0) return;
  if (Ammo > 0) --Ammo;
  if (Weapon == kMachineGun) {
    FireCooldown = kGunCooldownMs;
    WeaponTimer = kStageMs;
    WeaponSprite->SetPictureCentred("GunShooting", Trunc(WeaponSprite->X), Trunc(WeaponSprite->Y));
    GunRay(X + Width / 2.0, Y + Height / 2.0);
  } else if (Weapon == kRocketProjector) {
    RacePlaySound("Rocket");
    FireCooldown = kRocketCooldownMs;
    // The launchers sit 55 pixels from the car's centre at its rear right and rear left and fire
    // in turn: odd rounds left from the right one, even ones from the left.
    const double launch = Radians(Ammo % 2 != 0 ? -Heading - 86 : -Heading - 170);
    const int x = Trunc(X + (Width - 12) / 2.0 - std::sin(launch) * 55);
    const int y = Trunc(Y + Height / 2.0 - std::cos(launch) * 55);
    // With all five rockets in the air the round is spent without a launch.
    if (TRocket* rocket = FreeRocket()) rocket->LaunchRocket(x, y, 18, Heading);
  }
  FirePicturePending = 1;
}

void TPlayer::GunRay(double startX, double startY) {
  const double column0 = MapColumnOffset * TRoadMap::CellSize - RaceRoadX();
  const double row0 = MapRowOffset * TRoadMap::CellSize - RaceRoadY();
  double mapX = startX + column0, mapY = startY + row0;
  double screenX = startX, screenY = startY;
  const double stepX = kGunStep * std::sin(Radians(Heading)), stepY = -kGunStep * std::cos(Radians(Heading));
  bool hit = false;
  while (!hit && screenX >= 0 && screenX <= kPlayfieldWidth && screenY >= 0 && screenY <= kPlayfieldHeight) {
    mapX += stepX;
    mapY += stepY;
    hit = GunRayKillsPedestrians(mapX, mapY);
    // The cars are tested at the point of the step before.
    if (TCar* traffic = RaceTraffic) {
      const int slot = traffic->ShotCarAt({screenX, screenY});
      if (slot != 0) {
        AddScore(10);
        traffic->ExplodeCar(slot);
        RacePlaySound("Explosion");
        hit = true;
      }
    }
    screenX = mapX - column0;
    screenY = mapY - row0;
  }
}

// --- Hits, crash and restart -------------------------------------------------------------------

void TPlayer::TakeHit() {
  // A wreck takes no further hits: it has already cost its life.
  if (Crashed) return;
  if (--HitsLeft > 0) return;
  HitsLeft = 3;
  if (GameState.Lives > 0) --GameState.Lives;
  Crash();
}

void TPlayer::Crash() {
  Crashed = true;
  EngineSound = TEngineSound{};
  DropAll();
  WeaponStage = 1;
  Speed = Velocity = 0;
  StartAnimation("ExplosionBig", 15);
  RacePlaySound("Explosion");
  StopCarSounds(false);
  CrashTimer = kCrashMs;
}

// While crashed the car only burns: when the explosion has run once the car is put back on the
// road (or hidden, with no life left); after 2 s it drives again or the game is over.
void TPlayer::RunCrash() {
  const bool noLifeLeft = GameState.Lives <= 0;
  if (PrevAnimPos > AnimPos) {
    if (noLifeLeft) {
      Visible = false;
    } else if (!RestartPlaced) {
      PlaceAtRestart();
      StartAnimation(CarPictureName(), 0);
    }
  }
  if (CrashTimer > 0) {
    CrashTimer -= GameState.FrameTimeMs;
  } else if (noLifeLeft) {
    RaceOpenOverlay(OverlayGameOver);
  } else {
    if (!RestartPlaced) PlaceAtRestart();
    ResetCar();
  }
}

// The restart point is the road's right edge piece in the first row, from five rows below the
// window's top, that has one: a straight edge (code 4) or the edge of a shift to the right (12) or
// left (17), where the car is turned to follow the shift. The window's top may go no lower than
// row 1490, so only rows down to 1494 are searched; when none of them has an edge piece the car
// restarts where it is.
void TPlayer::PlaceAtRestart() {
  for (int row = MapRowOffset + 5; row <= TRoadMap::MaxRowOffset + 4; ++row) {
    const std::uint8_t* cells = RoadMap.RowData(row);
    int column = TRoadMap::Columns;
    while (column >= 1 && cells[column - 1] != 4 && cells[column - 1] != 12 && cells[column - 1] != 17)
      --column;
    if (column < 1) continue;
    const int code = cells[column - 1];
    SteerAngle = code == 4 ? 0 : (code == 12 ? 38 : -38);
    Heading = Round(SteerAngle / 2);
    const int columnOffset = column - (code == 4 ? 6 : (code == 12 ? 7 : 4));
    MapColumnOffset = std::clamp(columnOffset, 0, TRoadMap::MaxColumnOffset);
    MapRowOffset = row - 4;
    if (RaceRoad) RaceRoad->X = RaceRoad->Y = 0;
    // The marks on the screen belong to the place the car has left.
    SkidMarks.fill(TSkidMark{});
    break;
  }
  RestartPlaced = true;
  JustRestarted = true;
  // The lamps need no placing again: they are drawn and tested from the map around the window.
}

void TPlayer::ResetCar() {
  TimeOver = Crashed = RestartPlaced = EndingStarted = false;
  BloodCounter = 0;
  Speed = Velocity = 0;
  StartAnimation(CarPictureName(), 0);
}

void TPlayer::NextLevel(bool advance) {
  SetupLevel(advance ? GameState.Level + 1 : GameState.Level);
  TimeOver = EndingStarted = false;
  DropAll();
  SteerAngle = 0;
  Heading = 0;
  if (RaceRoad) RaceRoad->X = RaceRoad->Y = 0;
  ScrollVelocityX = ScrollVelocityY = 0;
  SkidMarks.fill(TSkidMark{});
  if (RaceFinish) RaceFinish->Reached = false;
  if (RaceBonuses) RaceBonuses->Reset();
  if (RaceMen) RaceMen->Reset();
  // The lamps follow from the new map and need no reset.
  if (RaceTraffic) RaceTraffic->ResetTraffic();
  if (RaceFinish) RaceFinish->Reset();
  RaceOpenOverlay(OverlayLevel);
  ResetCar();
  // A car hidden at the end of a lost game shows again on a new one.
  Visible = true;
  // The next level starts with the engine running.
  SwitchEngineSound("Neutral");
}

// --- Drawing -----------------------------------------------------------------------------------

// The burnt-out car under the explosion, and two more blasts, one at its front and one at its
// rear, running ahead of the main one.
void TPlayer::DrawWreck() {
  TPictureCollection* library = GameSpriteWorld().ImageList2;
  if (!library || !Picture) return;
  TDirectDrawSurface& surface = *Engine->Surface();
  const TCarModelConstants& model = CarModelConstants(Model());
  const double w = Width, h = Height;
  library->FindPicture(CarPictureName())
      .DrawRotate(surface, Trunc(X + w / 2), Trunc(Y + h / 2), 2 * model.WreckHalfWidth,
                  2 * model.WreckHalfHeight, 0, 0.5, 0.5, Heading);
  const TPointD& c1 = Corners[0];
  const TPointD& c2 = Corners[1];
  const TPointD& c3 = Corners[2];
  const TPointD& c4 = Corners[3];
  const double frontX = (3 * c1.x + 3 * c2.x + c3.x + c4.x) / 8,
               frontY = (3 * c1.y + 3 * c2.y + c3.y + c4.y) / 8;
  const double rearX = (c1.x + c2.x + 3 * c3.x + 3 * c4.x) / 8,
               rearY = (c1.y + c2.y + 3 * c3.y + 3 * c4.y) / 8;
  Picture->DrawRotate(surface, Trunc(w / 2 + frontX - 32), Trunc(h / 2 + frontY - 32), Width, Height,
                      Trunc(AnimPos + 2), 0.5, 0.5, Heading);
  Picture->DrawRotate(surface, Trunc(w / 2 + rearX - 32), Trunc(h / 2 + rearY - 32), Width, Height,
                      Trunc(AnimPos + 4), 0.5, 0.5, Heading);
}

// The weapon turns with the car about a point on the car's axis set by the model's mount.
void TPlayer::DrawWeapon() {
  const TPictureCollectionItem* picture = WeaponSprite->Picture;
  if (!picture) return;
  const int model = Model();
  double centreY = Height / 2.0 / 114 - 0.6 + CarModelConstants(model).WeaponMountOffset;
  if (picture->Name() == "GunShooting") centreY += kShootingMountRaise[model - 1] - 0.03;
  picture->DrawRotate(*Engine->Surface(), Trunc(X + Width / 2.0), Trunc(Y + Height / 2.0),
                      WeaponSprite->Width, WeaponSprite->Height, Trunc(WeaponSprite->AnimPos), 0.5, centreY,
                      Heading);
}

}  // namespace kestrune
