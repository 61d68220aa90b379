#include "race/vehicles/Player.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "framework/PictureCollection.h"
#include "framework/Rounding.h"
#include "game/GameState.h"
#include "game/RaceServices.h"
#include "race/Pedestrians.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Traffic.h"

namespace kestrune {

std::array<TSkidMark, SkidMarkSlots + 1> SkidMarks;
std::int32_t LastMarkSlot = 1;
std::int32_t BloodCounter = 0;

namespace {

constexpr double kTopSpeed = 160;       // Up accelerates no further above this
constexpr double kNitroTopSpeed = 170;  // nitro never passes this
constexpr double kReverseLimit = -15;
constexpr double kFootBrake = 0.3;
constexpr double kHandbrake = 0.6;
constexpr double kOffRoadDrag = 0.5;
constexpr double kOffRoadSpeed = 80;  // off-road drag applies above this speed
constexpr double kRollOutBrake = 0.8;
constexpr int kScreenX = 365, kScreenY = 400;  // where the car stands on the screen

// Angles of game objects are in 256ths of a turn.
double Radians(double angle256) { return angle256 * 2.0 * std::numbers::pi / 256.0; }
double ToAngle256(double radians) { return radians * 256.0 / (2.0 * std::numbers::pi); }
double Sign(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

const char* const kEngineSounds[] = {"Neutral", "Accel1", "Accel2", "Accel3", "Accel4",
                                     "Shift",   "Slowed", "Maxed",  "Brake",  "Nitro"};
const char* const kOtherCarSounds[] = {"MachineGun", "Rocket", "Horn",      "Kill",
                                       "Score",      "Bonus",  "Explosion", "Collision"};

TPictureCollectionItem* Library2Picture(const std::string& name) {
  TPictureCollection* library = GameSpriteWorld().ImageList2;
  return library ? &library->FindPicture(name) : nullptr;
}

}  // namespace

const TCarModelConstants& CarModelConstants(int carModel) {
  static const TCarModelConstants kModels[6] = {
      {65, 0.95, 32, 78, 0.23}, {62, 0.94, 31, 74, 0.2},  {70, 0.95, 41, 78, 0.28},
      {63, 0.92, 31, 67, 0.36}, {60, 0.95, 34, 77, 0.25}, {62, 0.92, 32, 72, 0.22},
  };
  return kModels[(carModel >= 1 && carModel <= 6) ? carModel - 1 : 0];
}

TPlayer::TPlayer(std::uint8_t imageLibrary) : TMyImageSprite(imageLibrary) {}

TPlayer::~TPlayer() {
  if (RacePlayer == this) RacePlayer = nullptr;
}

TPlayer* TPlayer::Create(double x, double y) {
  const int model = (GameState.CarModel >= 1 && GameState.CarModel <= 6) ? GameState.CarModel : 1;
  TPlayer* p = CreateAt<TPlayer>(2, "Car" + std::to_string(model), x, y, 9);
  SkidMarks.fill(TSkidMark{});
  BloodCounter = 0;
  LastMarkSlot = 1;

  const double halfW = p->Width / 2.0, halfH = p->Height / 2.0;
  const double halfG = CarModelConstants(model).CollisionWidth / 2.0;
  p->WheelRadius = std::sqrt(halfH * halfH + halfW * halfW) - 25;
  p->WheelAngle = ToAngle256(std::atan(halfW / halfH));
  p->PivotX = x + halfW;
  p->PivotY = y + halfH;
  p->CornerRadius = std::sqrt(halfH * halfH + halfG * halfW);
  p->CornerAngle = ToAngle256(std::atan(halfG / halfH));

  p->LeftFlame = CreateAt(2, "NitroAnim", Trunc(x + 8), Trunc(y + p->Height - 8), 7);
  p->RightFlame = CreateAt(2, "NitroAnim", Trunc(x + p->Width - 24), Trunc(y + p->Height - 8), 7);
  for (TMyImageSprite* flame : {p->LeftFlame, p->RightFlame}) {
    flame->AnimRate = 10;
    flame->Visible = false;
  }
  p->WeaponSprite =
      CreateCentred(2, "RocketAnim_1", Trunc(x + p->Width * 0.5), Trunc(y + p->Height * 0.6), 10);
  p->WeaponSprite->Visible = false;
  p->UpdateCorners();
  return p;
}

double TPlayer::Acceleration(double speed) {
  return speed > 0 ? std::min(0.3, 100.0 / (speed * std::sqrt(2.0 * speed))) : 0.3;
}

double TPlayer::CoastingDeceleration(double speed) {
  return speed > 0 ? std::max(0.05, (0.3 - Acceleration(speed)) / 2.0) : 0.0;
}

bool TPlayer::IsOnRoadTile(std::int32_t x, std::int32_t y) {
  return IsRoadCode(RoadMap.Get(y / TRoadMap::CellSize, x / TRoadMap::CellSize));
}

void TPlayer::AddScore(std::int32_t points) { GameState.Score += points; }

// --- Sounds ------------------------------------------------------------------------------------

void TPlayer::StopCarSounds(bool all) {
  for (const char* name : kEngineSounds) RaceStopSound(name);
  if (all)
    for (const char* name : kOtherCarSounds) RaceStopSound(name);
}

void TPlayer::SwitchEngineSound(const std::string& name) {
  StopCarSounds(false);
  RacePlaySound(name);
  EngineSound = TEngineSound{};
  if (name == "Maxed")
    EngineSound.Maxed = true;
  else if (name == "Neutral")
    EngineSound.Neutral = true;
  else if (name.starts_with("Accel"))
    EngineSound.Accel = true;
  else if (name == "Shift")
    EngineSound.Shift = true;
  else if (name == "Slowed")
    EngineSound.Slowed = true;
  else if (name == "Brake")
    EngineSound.Brake = true;
  else if (name == "Nitro")
    EngineSound.Nitro = true;
}

void TPlayer::ResumeEngineSound(bool withGunAndHorn) {
  const TEngineSound s = EngineSound;
  if (s.Maxed)
    SwitchEngineSound("Maxed");
  else if (s.Neutral)
    SwitchEngineSound("Neutral");
  else if (s.Accel)
    SwitchEngineSound("Accel4");
  else if (s.Shift)
    SwitchEngineSound("Shift");
  else if (s.Slowed)
    SwitchEngineSound("Slowed");
  else if (s.Brake)
    SwitchEngineSound("Brake");
  else if (s.Nitro)
    SwitchEngineSound("Nitro");
  if (!withGunAndHorn) return;
  if (GunSoundOn) SwitchEngineSound("MachineGun");
  if (HornOn) RacePlaySound("Horn");
}

void TPlayer::RunEngineSound() {
  if (KeyNitro && HasNitro) {
    if (!EngineSound.Nitro) SwitchEngineSound("Nitro");
    return;
  }
  RaceStopSound("Nitro");
  EngineSound.Nitro = false;
  if (!OnRoad) {
    if (!EngineSound.Neutral) SwitchEngineSound("Neutral");
    return;
  }
  if (KeyUp && !KeyHandbrake) {
    // Gears: an accelerating sound is never replaced by another, so the pitch only climbs
    // through a "Shift" window. Between 90 and 95 nothing changes.
    struct Band {
      double above, upTo;
      const char* name;
    };
    static constexpr Band kBands[] = {
        {0, 65, "Accel1"},    {65, 67, "Shift"},   {67, 90, "Accel2"},   {95, 97, "Shift"},
        {97, 115, "Accel3"},  {115, 116, "Shift"}, {116, 130, "Accel4"}, {130, 131, "Shift"},
        {131, 142, "Accel4"}, {142, 143, "Shift"}, {143, 157, "Accel4"}, {157, 180, "Maxed"},
    };
    for (const Band& band : kBands) {
      if (!(Speed > band.above && Speed <= band.upTo)) continue;
      const std::string name = band.name;
      const bool current = name == "Shift"   ? EngineSound.Shift
                           : name == "Maxed" ? EngineSound.Maxed
                                             : EngineSound.Accel;
      if (!current) SwitchEngineSound(name);
      break;
    }
  }
  if (!KeyUp && !KeyHandbrake) {
    if (Speed > 40) {
      if (!EngineSound.Slowed) SwitchEngineSound("Slowed");
    } else if (!EngineSound.Neutral) {
      SwitchEngineSound("Neutral");
    }
  }
  if (KeyHandbrake && Speed != 0 && !EngineSound.Brake) SwitchEngineSound("Brake");
  if (EngineSound.Brake && Speed == 0) SwitchEngineSound("Neutral");
}

void TPlayer::RunHorn() {
  if (!KeyHorn) {
    HornOn = false;
    RaceStopSound("Horn");
    return;
  }
  if (HornOn) return;
  HornOn = true;
  if (RaceMen) RaceMen->Panic();
  RacePlaySound("Horn");
}

// --- Collisions and scoring --------------------------------------------------------------------

void TPlayer::Bump(double factor) {
  Speed *= factor;
  Velocity *= factor;
  StopCarSounds(false);
  ResumeEngineSound(false);
  RacePlaySound("Collision");
}

void TPlayer::Rebound(double value) {
  Bounced = true;
  Speed = Sign(Speed) * value;
  Velocity = value * Sign(Velocity) / 10;
  MoveRoadAfterRebound();
  StopCarSounds(false);
  ResumeEngineSound(false);
  RacePlaySound("Collision");
}

void TPlayer::HitObstacle() {
  if (ObstacleHitThisPass || HitsLeft <= 0 || Crashed) return;
  ObstacleHitThisPass = true;
  if (Speed > 0)
    Rebound(-100);
  else
    Bump(-1);
  TakeHit();
}

// --- The move ----------------------------------------------------------------------------------

void TPlayer::UpdateCorners() {
  const double r = CornerRadius * CarModelConstants(GameState.CarModel).CornerFactor;
  const double angles[4] = {Heading - CornerAngle, Heading + CornerAngle, Heading + 128 - CornerAngle,
                            Heading + 128 + CornerAngle};
  for (int k = 0; k < 4; ++k)
    Corners[static_cast<std::size_t>(k)] = {PivotX + std::sin(Radians(angles[k])) * r,
                                            PivotY - std::cos(Radians(angles[k])) * r};
}

void TPlayer::FollowCar() {
  LeftFlame->X = Trunc(X + 8);
  LeftFlame->Y = Trunc(Y + Height - 8);
  RightFlame->X = Trunc(X + Width - 24);
  RightFlame->Y = Trunc(Y + Height - 8);
  // The weapon's top-left corner, not its centre, goes to the mount point.
  WeaponSprite->X = Trunc(X + Width * 0.5);
  WeaponSprite->Y = Trunc(Y + Height * 0.6);
  const double dx = ScrollVelocityX * 0.5 * GameState.SpeedScale;
  const double dy = ScrollVelocityY * 0.5 * GameState.SpeedScale;
  for (int slot = 1; slot <= SkidMarkSlots; ++slot) {
    SkidMarks[static_cast<std::size_t>(slot)].X += dx;
    SkidMarks[static_cast<std::size_t>(slot)].Y += dy;
  }
}

void TPlayer::UpdateMarkPoints() {
  const double cx = X + Width / 2.0, cy = Y + Height / 2.0;
  const double b1 = Heading + WheelAngle - 128;
  const double b2 = Heading - WheelAngle - 128 + 4;
  SkidPointLeft = {cx + std::sin(Radians(b1)) * WheelRadius, cy - std::cos(Radians(b1)) * WheelRadius};
  SkidPointRight = {cx + std::sin(Radians(b2)) * WheelRadius, cy - std::cos(Radians(b2)) * WheelRadius};
}

void TPlayer::LayMark(TPointD at) {
  for (int slot = 1; slot <= SkidMarkSlots; ++slot) {
    TSkidMark& mark = SkidMarks[static_cast<std::size_t>(slot)];
    if (mark.Used) continue;
    mark.Shown = true;
    if (BloodCounter > 0) {
      mark.Blood = true;
      // The first marks after running someone over stay hidden under the body.
      if (BloodCounter > 30) mark.Shown = false;
      --BloodCounter;
    } else {
      mark.Blood = false;
    }
    mark.X = at.x;
    mark.Y = at.y;
    mark.Heading = Heading;
    mark.Used = true;
    LastMarkSlot = slot;
    return;
  }
}

void TPlayer::LayMarks() {
  if (!((KeyHandbrake && std::abs(Velocity) > 0.1) || BloodCounter > 0)) return;
  const TSkidMark& last = SkidMarks[static_cast<std::size_t>(std::clamp(LastMarkSlot, 1, SkidMarkSlots))];
  const double distance = std::hypot(SkidPointRight.x - last.X, SkidPointRight.y - last.Y);
  if (distance < 12 - Velocity * 0.5 * GameState.SpeedScale) return;
  LayMark(SkidPointLeft);
  LayMark(SkidPointRight);
}

void TPlayer::FreeMarksOffScreen() {
  for (int slot = 1; slot <= SkidMarkSlots; ++slot) {
    TSkidMark& mark = SkidMarks[static_cast<std::size_t>(slot)];
    if (mark.X < 0 || mark.X > 700 || mark.Y + 14 < 0 || mark.Y > 600) mark = TSkidMark{};
  }
}

void TPlayer::Steer() {
  if (KeyHandbrake) return;
  const double rate = Speed > 0 ? std::min(1.0, Speed / 50) : std::min(1.0, -Speed / 5);
  const double step = Sign(Velocity) * rate * GameState.SpeedScale;
  if (KeyLeft) SteerAngle = std::clamp(SteerAngle - step, -128.0, 128.0);
  if (KeyRight) SteerAngle = std::clamp(SteerAngle + step, -128.0, 128.0);
}

void TPlayer::UpdateSpeed() {
  const double scale = GameState.SpeedScale;
  Deceleration = KeyDown ? kFootBrake : 0;
  if (!KeyUp && !KeyDown) Deceleration = CoastingDeceleration(Speed);
  if (KeyHandbrake) Deceleration = Speed > 0 ? kHandbrake : (Speed < 0 ? -kHandbrake : 0);

  const bool nitro = KeyNitro && HasNitro;
  if (nitro) {
    Speed = std::min(kNitroTopSpeed, Speed + 0.6 * scale);
    BurnNitro();
  }
  if (KeyUp && !nitro) {
    if (Speed > kTopSpeed)
      Deceleration = CoastingDeceleration(Speed);
    else
      Speed += Acceleration(Speed) * scale;
  }
  if (!OnRoad && Speed > kOffRoadSpeed) Deceleration = kOffRoadDrag;

  Speed -= Deceleration * scale;
  if (Speed > 0 && Speed < 0.1) Speed = 0;
  if (Speed < kReverseLimit) Speed = kReverseLimit;
  if (KeyHandbrake && Speed > -1 && Speed < 1) Speed = 0;

  Velocity = Speed / 10;
  Heading = Round(SteerAngle / 2);
}

void TPlayer::MoveSelf(std::int32_t moveCount) {
  TMyImageSprite::MoveSelf(moveCount);
  ObstacleHitThisPass = false;
  if (Bounced) {
    Bounced = false;
    return;
  }
  UpdateCorners();
  if (JustRestarted) {
    // Fresh from a restart: the traffic within 720 pixels ahead or behind is cleared away.
    if (TCar* traffic = RaceTraffic)
      for (int slot = 1; slot <= TCar::Slots; ++slot)
        if (traffic->CarKind[static_cast<std::size_t>(slot)] != 0 &&
            traffic->CarDir[static_cast<std::size_t>(slot)] != TCar::DirNone &&
            std::abs(traffic->ScreenY(slot) - Y) <= 720)
          traffic->RemoveCar(slot);
    JustRestarted = false;
  }
  if (Crashed) {
    RunCrash();
    return;
  }
  if (RaceFinishReached() || TimeOver) {
    RollOut();
    return;
  }

  OnRoad = true;
  for (const TPointD& corner : Corners) {
    const std::int32_t mapX = MapColumnOffset * TRoadMap::CellSize - Round(RaceRoadX()) + Round(corner.x);
    const std::int32_t mapY = MapRowOffset * TRoadMap::CellSize - Round(RaceRoadY()) + Round(corner.y);
    OnRoad = OnRoad && IsOnRoadTile(mapX, mapY);
  }
  RunEngineSound();
  RunHorn();
  FollowCar();
  UpdateMarkPoints();
  LayMarks();
  FreeMarksOffScreen();
  RunWeapon();
  Steer();
  UpdateSpeed();
  RunFiring();
  if (MapRowOffset >= TRoadMap::MaxRowOffset && Speed < 0) {
    // The bottom of the map: the car cannot reverse past it.
    Speed = 0;
    Velocity = 0;
  }
}

// The end of a level: the car rolls to a stop, then the time left is paid out at ten times real
// speed, 5 points a second, and the next level (or the time-over or game-over window) follows.
void TPlayer::RollOut() {
  if (!EndingStarted) {
    EndingStarted = true;
    Crashed = false;
    EngineSound = TEngineSound{};
    StopCarSounds(true);
    SwitchEngineSound("Neutral");
    WeaponTimer = 0;
    RestoreWeaponPicture();
  }
  FollowCar();
  if (Speed > 0) {
    // Stops at 0 rather than rolling on backwards by the last step's remainder.
    Speed = std::max(0.0, Speed - kRollOutBrake * GameState.SpeedScale);
    Velocity = Speed / 10;
  } else {
    Velocity = 0;
  }
  if (Speed > 0) return;

  StopCarSounds(true);
  std::int32_t& timeLeft = GameState.TimeLeft;
  const std::int32_t step = 10 * GameState.FrameTimeMs;
  if (timeLeft >= 0) {
    if (Trunc((timeLeft - step) / 1000.0) < Trunc(timeLeft / 1000.0)) {
      AddScore(5);
      RacePlaySound("Tick");
    }
    timeLeft -= step;
  }
  if (timeLeft >= 0) return;
  if (RaceFinishReached()) {
    NextLevel(true);
    return;
  }
  if (GameState.Lives > 0) {
    --GameState.Lives;
    HitsLeft = 3;
  }
  if (GameState.Lives <= 0) {
    Visible = false;
    RaceOpenOverlay(OverlayGameOver);
  } else {
    RaceOpenOverlay(OverlayTimeOver);
  }
}

// --- Drawing -----------------------------------------------------------------------------------

void TPlayer::DrawMarks() {
  TPictureCollectionItem* handbrake = nullptr;
  TPictureCollectionItem* blood = nullptr;
  TDirectDrawSurface& surface = *Engine->Surface();
  for (int slot = 1; slot <= SkidMarkSlots; ++slot) {
    const TSkidMark& mark = SkidMarks[static_cast<std::size_t>(slot)];
    if (!mark.Used || !mark.Shown) continue;
    TPictureCollectionItem*& picture = mark.Blood ? blood : handbrake;
    if (!picture) picture = Library2Picture(mark.Blood ? "Blood" : "Handbrake");
    if (picture)
      picture->DrawRotate(surface, Trunc(mark.X + 5), Trunc(mark.Y + 7), 10, 14, 0, 0.5, 0.5, mark.Heading);
  }
}

void TPlayer::DrawFlames() {
  TDirectDrawSurface& surface = *Engine->Surface();
  const int cx = Trunc(X + Width / 2.0), cy = Trunc(Y + Height / 2.0);
  auto draw = [&](TMyImageSprite* flame, int x, int y, double centreX, double centreY, int angle) {
    if (!flame->Picture) return;
    flame->Picture->DrawRotate(surface, x, y, flame->Width, flame->Height, Trunc(flame->AnimPos), centreX,
                               centreY, angle);
  };
  const double centreY = -(Height / 2.0 - 8) / 51;
  const double leftCentreX = (Width / 2.0 - 8) / 16;
  if (Heading == -64 || Heading == 64) {
    // Side-on, both flames come out of the same rear corner; the second is drawn across the car.
    draw(LeftFlame, cx, cy, leftCentreX, centreY, Heading);
    draw(LeftFlame, cx, Trunc(Y + Height / 2.0 + Sign(Heading) * Width / 2.0), leftCentreX, centreY, Heading);
  } else {
    draw(LeftFlame, cx, cy, leftCentreX, centreY, Heading == 0 ? 1 : Heading);
    draw(RightFlame, cx, cy, -(Width / 2.0 - RightFlame->Width - 8) / 16, centreY,
         Heading == 0 ? -1 : Heading);
  }
  NitroBurning = false;
}

void TPlayer::DrawSelf() {
  if (!Visible || !Engine || !Engine->Surface()) return;
  DrawMarks();
  if (!Crashed && NitroBurning) DrawFlames();
  if (RaceTraffic) RaceTraffic->DrawCars();
  if (!Picture || Picture->PatternCount() < 2) {
    X = kScreenX;
    Y = kScreenY;
  } else {
    // The crash explosion's picture is smaller than the car: keep it over the car's place.
    X = Width / 2.0 + kScreenX - 32;
    Y = Height / 2.0 + kScreenY + 10;
  }
  if (Crashed && !RestartPlaced) DrawWreck();
  if (Heading != 0 && Picture) {
    Picture->DrawRotate(*Engine->Surface(), Trunc(X + Width / 2.0), Trunc(Y + Height / 2.0), Width, Height,
                        Trunc(AnimPos), 0.5, 0.5, Heading);
  } else {
    TMyImageSprite::DrawSelf();
  }
  if (!Crashed && (Weapon == 3 || Weapon == 4)) DrawWeapon();
}

}  // namespace kestrune
