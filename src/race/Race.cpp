#include "race/Race.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "game/GameState.h"
#include "game/MyImageSprite.h"
#include "game/RaceServices.h"
#include "race/Bonuses.h"
#include "race/Finish.h"
#include "race/Hud.h"
#include "race/Lamps.h"
#include "race/LevelValues.h"
#include "race/Pedestrians.h"
#include "race/RoadGenerator.h"
#include "race/RoadMap.h"
#include "race/ScrollBackground.h"
#include "race/vehicles/Player.h"
#include "race/vehicles/Rocket.h"
#include "race/vehicles/Traffic.h"

namespace kestrune {

TScrollBackground* RaceRoad = nullptr;
TPlayer* RacePlayer = nullptr;
TLamp* RaceLamps = nullptr;
TMan* RaceMen = nullptr;
TBonus* RaceBonuses = nullptr;
TCar* RaceTraffic = nullptr;
TFinish* RaceFinish = nullptr;
std::array<TRocket*, RocketCount> RaceRockets{};

namespace {

// Input states of the keyboard.
constexpr int kStateUp = 0, kStateDown = 1, kStateLeft = 2, kStateRight = 3;
constexpr int kStateHorn = 8, kStateHandbrake = 13, kStateFire = 15, kStateNitro = 16;

bool Held(int state) { return RaceServices().InputHeld && RaceServices().InputHeld(state); }

void CountDown() {
  std::int32_t& timeLeft = GameState.TimeLeft;
  const std::int32_t frame = GameState.FrameTimeMs;
  // One tick a second through the last ten seconds.
  if (timeLeft <= 10000 && (timeLeft + frame) / 1000 != timeLeft / 1000) RacePlaySound("Tick");
  if (!RacePlayer->TimeOver && !RaceFinishReached() && timeLeft - frame >= 0) timeLeft -= frame;
  if (frame + 1 >= timeLeft) RacePlayer->TimeOver = true;
}

}  // namespace

double RaceRoadX() { return RaceRoad ? RaceRoad->X : 0.0; }
double RaceRoadY() { return RaceRoad ? RaceRoad->Y : 0.0; }
bool RaceFinishReached() { return RaceFinish && RaceFinish->Reached; }

void RaceOpenOverlay(int overlay) {
  if (RaceServices().OpenOverlay) RaceServices().OpenOverlay(overlay);
}

void CopyWindowToChips() {
  if (!RaceRoad) return;
  for (int a = MapRowOffset; a <= MapRowOffset + TRoadMap::WindowRows; ++a)
    for (int i = MapColumnOffset; i <= MapColumnOffset + TRoadMap::WindowColumns; ++i)
      RaceRoad->SetChip(i - MapColumnOffset, a - MapRowOffset, RoadMap.Get(a, i));
}

void UpdateRoadVelocity() {
  if (!RacePlayer) return;
  const double a = RacePlayer->Heading * 2.0 * std::numbers::pi / 256.0;
  ScrollVelocityX = -std::sin(a) * RacePlayer->Velocity;
  ScrollVelocityY = std::cos(a) * RacePlayer->Velocity;
}

void MoveRoadAfterRebound() {
  UpdateRoadVelocity();
  if (!RaceRoad) return;
  RaceRoad->X += ScrollVelocityX * 0.5 * GameState.SpeedScale;
  RaceRoad->Y += ScrollVelocityY * 0.5 * GameState.SpeedScale;
}

void SetupLevel(std::int32_t level) {
  const TLevelValues v = ComputeLevelValues(level);
  GameState.Level = v.Level;
  GameState.RoadLength = v.RoadLength;
  GameState.TimeLeft = v.TimeLeft;
  GameState.BonusLevelValue = v.BonusLevelValue;
  GameState.TrafficLevelValue = v.TrafficLevelValue;
  GenerateRoadMap(v.RoadLength);
  CopyWindowToChips();
}

void StartRace(std::int32_t firstLevel) {
  GameState.Screen = ScreenRace;
  if (RaceServices().PlayScreenMusic) RaceServices().PlayScreenMusic();
  if (RaceServices().HideMouseCursor) RaceServices().HideMouseCursor();
  GameState.FirstItem = 1;
  GameState.LastItem = 0;
  GameState.Selected = 0;

  RaceRoad = new TScrollBackground(2, TRoadMap::WindowColumns, TRoadMap::WindowRows, "Tiles");
  SetupLevel(firstLevel);
  RaceLamps = TLamp::Create();
  RaceMen = TMan::Create();
  RaceBonuses = TBonus::Create();
  RaceTraffic = TCar::Create();
  RaceFinish = TFinish::Create();
  CreateHud();
  RacePlayer = TPlayer::Create(365, 400);
  for (TRocket*& rocket : RaceRockets) rocket = TRocket::Create(0, -1000);
  DrawHudTexts();
  GameState.Lives = 3;
  GameState.Score = 0;
  RaceOpenOverlay(OverlayLevel);
}

void StartRaceAt(std::int32_t level, std::int32_t carModel) {
  if (RaceRoad) EndRace();
  GameState.CarModel = (carModel >= 1 && carModel <= 6) ? carModel : 1;
  // The first level is set up directly, so its road is the one a seed gives that level, not a
  // road generated after level 1's.
  StartRace(std::max<std::int32_t>(level, 1));
}

void RaceFrame(std::uint32_t lagCount) {
  if (!RacePlayer || !RaceRoad) return;
  if (GameSpriteWorld().Root) GameSpriteWorld().Root->MoveTree(static_cast<std::int32_t>(lagCount));

  TPlayer& p = *RacePlayer;
  p.KeyLeft = Held(kStateLeft);
  p.KeyRight = Held(kStateRight);
  p.KeyUp = Held(kStateUp);
  p.KeyDown = Held(kStateDown);
  p.KeyHandbrake = Held(kStateHandbrake);
  p.KeyFire = Held(kStateFire) || GameState.CtrlHeld;
  p.KeyNitro = Held(kStateNitro) || GameState.ShiftHeld;
  p.KeyHorn = Held(kStateHorn);

  UpdateNeedle(p);
  CountDown();
  if (p.Ammo <= 0) p.DropItem(p.Weapon);
  if (!(p.Nitro > 0)) p.DropItem(2);
  CopyWindowToChips();
  MoveProgressMarker();
  UpdateRoadVelocity();
  DrawHudTexts();
  RetireRockets();
  if (GameState.KeyEdges.Esc) RaceOpenOverlay(OverlayExitToMenu);
  if (GameState.KeyEdges.P) RaceOpenOverlay(OverlayPause);
}

void NextLevel(bool advance) {
  if (RacePlayer) RacePlayer->NextLevel(advance);
}

TRocket* FreeRocket() {
  for (TRocket* rocket : RaceRockets)
    if (rocket && !rocket->RocketFlying) return rocket;
  return nullptr;
}

void RetireRockets() {
  for (TRocket* rocket : RaceRockets)
    if (rocket && rocket->ShouldRetire()) rocket->StopRocket();
}

bool GunRayKillsPedestrians(double mapX, double mapY) { return RaceMen && RaceMen->ShootAt(mapX, mapY); }

void EndRace() {
  GameState.Screen = ScreenNone;
  if (RaceRoad) RaceRoad->Kill();
  if (RacePlayer) RacePlayer->StopCarSounds(true);
  for (TMyImageSprite* manager :
       {static_cast<TMyImageSprite*>(RaceLamps), static_cast<TMyImageSprite*>(RaceMen),
        static_cast<TMyImageSprite*>(RaceBonuses), static_cast<TMyImageSprite*>(RaceTraffic),
        static_cast<TMyImageSprite*>(RaceFinish)})
    if (manager) manager->Kill();
  KillHud();
  if (RacePlayer) {
    RacePlayer->LeftFlame->Kill();
    RacePlayer->RightFlame->Kill();
    RacePlayer->WeaponSprite->Kill();
    RacePlayer->Kill();
  }
  for (TRocket*& rocket : RaceRockets) {
    if (!rocket) continue;
    rocket->EngineFlame->Kill();
    rocket->Kill();
  }
  if (GameSpriteWorld().Root) GameSpriteWorld().Root->FreeDead();
  RaceRoad = nullptr;
  RacePlayer = nullptr;
  RaceLamps = nullptr;
  RaceMen = nullptr;
  RaceBonuses = nullptr;
  RaceTraffic = nullptr;
  RaceFinish = nullptr;
  RaceRockets.fill(nullptr);
}

}  // namespace kestrune
