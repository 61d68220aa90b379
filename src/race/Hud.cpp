#include "race/Hud.h"

#include <algorithm>
#include <cstdio>

#include "framework/PictureCollection.h"
#include "framework/Rounding.h"
#include "game/GameState.h"
#include "game/RaceServices.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"

namespace kestrune {

TRaceHud RaceHud;

namespace {

constexpr int kHudTextStyle = 18;

void Text(const std::string& text, int x, int y) {
  if (RaceServices().DrawText) RaceServices().DrawText(text, x, y, true, true);
}

std::string TwoDigits(std::int32_t v) { return (v < 10 ? "0" : "") + std::to_string(v); }

}  // namespace

TPointer::TPointer(std::uint8_t imageLibrary) : TMyImageSprite(imageLibrary) {}

void TPointer::DrawSelf() {
  if (!Visible || !Picture || !Engine || !Engine->Surface()) return;
  Picture->DrawRotate(*Engine->Surface(), PivotX + Width, PivotY + Height, Width, Height, 0, CenterX, CenterY,
                      Angle);
}

void CreateHud() {
  RaceHud.Panel = TMyImageSprite::CreateAt(2, "Panel", 610, 0, 11);
  RaceHud.Pointer = TMyImageSprite::CreateAt<TPointer>(2, "Pointer", 641, 509, 12);
  RaceHud.Pointer->PivotX = 641;
  RaceHud.Pointer->PivotY = 509;
  RaceHud.SmallCar = TMyImageSprite::CreateAt(2, "SmallCar", 773, 177, 12);
  RaceHud.Energy = TMyImageSprite::CreateAt(2, "Energy", 672, 558, 12);
  RaceHud.NitroIcon = TMyImageSprite::CreateAt(2, "BonusNitro", 628, 363, 12);
  RaceHud.NitroIcon->Visible = false;
  RaceHud.WeaponIcon = TMyImageSprite::CreateAt(2, "BonusM", 627, 251, 12);
  RaceHud.WeaponIcon->Visible = false;
}

void KillHud() {
  for (TMyImageSprite* sprite : {RaceHud.Panel, static_cast<TMyImageSprite*>(RaceHud.Pointer),
                                 RaceHud.SmallCar, RaceHud.Energy, RaceHud.NitroIcon, RaceHud.WeaponIcon})
    if (sprite) sprite->Kill();
  RaceHud = TRaceHud{};
}

std::int32_t NeedleAngle(double speed, bool shifting) {
  std::int32_t angle = std::max(Round(1.15 * speed - 28), -28);
  if (shifting) --angle;
  return angle;
}

double ProgressMarkerY(int markerHeight, std::int32_t roadLength, std::int32_t mapRowOffset) {
  const double h = markerHeight;
  // A road too short to climb (never generated) keeps the marker at the bottom.
  const double climb = roadLength > 60 ? (201 - h) / (roadLength - 60) * (1490 - mapRowOffset) : 0;
  return std::max((216 - h) - climb, 15.0);
}

std::string FormatTimeLeft(std::int32_t timeLeftMs) {
  // The last step of the time pay-out takes the clock below zero: that is no time left, not
  // minus a second.
  timeLeftMs = std::max(timeLeftMs, 0);
  return TwoDigits(timeLeftMs / 60000) + " : " + TwoDigits((timeLeftMs / 1000) % 60);
}

void UpdateNeedle(const TPlayer& player) {
  if (RaceHud.Pointer) RaceHud.Pointer->Angle = NeedleAngle(player.Speed, player.EngineSound.Shift);
}

void MoveProgressMarker() {
  if (RaceHud.SmallCar)
    RaceHud.SmallCar->Y = ProgressMarkerY(RaceHud.SmallCar->Height, GameState.RoadLength, MapRowOffset);
}

void DrawHudTexts() {
  if (RaceServices().SetTextStyle) RaceServices().SetTextStyle(kHudTextStyle);
  Text("LEVEL " + std::to_string(GameState.Level), 690, 28);
  Text(FormatTimeLeft(GameState.TimeLeft), 705, 117);
  Text(std::to_string(GameState.Score), 692, 202);
  Text(std::to_string(std::max(GameState.Lives, 0)), 775, 327);
  const TPlayer* player = RacePlayer;
  if (!player) return;
  if (RaceHud.Energy)
    RaceHud.Energy->AnimPos = player->HitsLeft >= 0 && player->HitsLeft <= 3 ? 3 - player->HitsLeft : 3;
  if (RaceHud.NitroIcon) RaceHud.NitroIcon->Visible = player->HasNitro;
  if (player->HasNitro) Text(std::to_string(Round(player->Nitro)), 760, 384);
  if (TMyImageSprite* icon = RaceHud.WeaponIcon) {
    const char* picture = player->Weapon == 3 ? "BonusM" : player->Weapon == 4 ? "BonusR" : nullptr;
    if (picture && (!icon->Picture || icon->Picture->Name() != picture)) icon->SetPictureByName(picture);
    icon->Visible = player->Weapon != 0;
  }
  if (player->Weapon != 0) Text(std::to_string(Round(player->Ammo)), 763, 272);
}

}  // namespace kestrune
