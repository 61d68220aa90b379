#pragma once
// The player's car. It sits still on the screen and turns about its centre; the road and
// everything on it scroll under it against its heading. This is its driving model: steering,
// speed, the engine-sound state machine, horn, tyre and blood marks, the end-of-level roll-out
// and drawing (Player.cpp); and what it carries and suffers: weapons, nitro, hits, the crash, the
// restart and the next level (PlayerWeapons.cpp).

#include <array>
#include <cstdint>
#include <string>

#include "game/MyImageSprite.h"
#include "race/Collision.h"

namespace kestrune {

// Constants of the six cars ("Car1".."Car6").
struct TCarModelConstants {
  int CollisionWidth;   // G: width of the collision shape in pixels
  double CornerFactor;  // shrinks the corner radius
  int WreckHalfWidth, WreckHalfHeight;
  double WeaponMountOffset;
};
// Models outside 1..6 (a damaged options file) fall back to model 1.
const TCarModelConstants& CarModelConstants(int carModel);

// A tyre or blood mark on the road, in screen pixels; it scrolls with the road.
struct TSkidMark {
  double X = 0, Y = 0;
  std::int32_t Heading = 0;
  bool Used = false, Blood = false, Shown = false;
};
constexpr int SkidMarkSlots = 100;
// Slots 1..100 (0 unused). LastMarkSlot is the slot filled last; BloodCounter counts the blood
// marks still to lay (set when a pedestrian is run over).
extern std::array<TSkidMark, SkidMarkSlots + 1> SkidMarks;
extern std::int32_t LastMarkSlot;
extern std::int32_t BloodCounter;

// The current engine sound: at most one flag set.
struct TEngineSound {
  bool Maxed = false, Accel = false, Shift = false, Slowed = false, Neutral = false, Brake = false,
       Nitro = false;
  bool Any() const { return Maxed || Accel || Shift || Slowed || Neutral || Brake || Nitro; }
};

class TPlayer : public TMyImageSprite {
 public:
  explicit TPlayer(std::uint8_t imageLibrary);
  // Freed with the sprite tree: the race forgets its car.
  ~TPlayer() override;
  // The car of GameState.CarModel with its top-left corner at (x, y), with its flame and weapon
  // sprites; clears the mark table.
  static TPlayer* Create(double x, double y);

  void MoveSelf(std::int32_t moveCount) override;
  void DrawSelf() override;

  // Multiplies both speeds by factor (negative: the car bounces back) and plays "Collision".
  void Bump(double factor);
  // Kicks the car back: Speed becomes value against its sign; the road moves one step at once and
  // the next move does nothing else.
  void Rebound(double value);
  // Running into a wall or a lamp post: kicked back (Rebound(-100)) when driving forwards,
  // bounced (Bump(-1)) when standing or reversing, and one hit taken. Nothing for a wreck. Only
  // the first wall or post touched in a move pass counts: the road and the lamps move before the
  // car, and a second reaction would turn the car round into the obstacle again and take a
  // second hit for one crash.
  void HitObstacle();
  void AddScore(std::int32_t points);
  // Takes one of the car's three hits; the third costs a life and crashes the car.
  void TakeHit();
  // Blows the car up; it comes back on the road's right edge behind (or the game ends).
  void Crash();
  // A picked-up bonus: 1 extra life, 2 nitro, 3 machine gun, 4 rocket projector.
  void GiveBonus(int kind);
  // Empties the item: 2 nitro, 3 machine gun, 4 rocket projector. The weapon itself folds away
  // by its animation.
  void DropItem(int item);
  // Empties everything and takes the weapon off at once.
  void DropAll();
  void BurnNitro();
  // One shot of the mounted weapon, unless it is still cooling down.
  void Fire();
  // The machine gun's instant shot from the screen point along the heading: it stops at the first
  // pedestrian or car it meets.
  void GunRay(double startX, double startY);
  // Puts the car on the road's right edge piece some rows behind where it is.
  void PlaceAtRestart();
  // Makes the car drivable again after a crash or at a new level.
  void ResetCar();
  // Sets up the next level (or the same one again), resetting the car and the road's objects.
  void NextLevel(bool advance);

  void StopCarSounds(bool all);
  void SwitchEngineSound(const std::string& name);
  void ResumeEngineSound(bool withGunAndHorn);

  // True when the map tile under the map pixel (x, y) is road.
  static bool IsOnRoadTile(std::int32_t x, std::int32_t y);

  // Engine-independent parts of the driving model, for the car's own use and for tests.
  static double Acceleration(double speed);
  static double CoastingDeceleration(double speed);

  TMyImageSprite* LeftFlame = nullptr;
  TMyImageSprite* RightFlame = nullptr;
  TMyImageSprite* WeaponSprite = nullptr;
  std::int32_t WeaponStage = 1;
  std::int32_t WeaponTimer = 0;
  std::int32_t Reserved = 0;
  std::uint8_t FirePicturePending = 0;
  std::uint8_t Weapon = 0;
  std::int32_t Ammo = 0;
  std::int32_t FireCooldown = 0;
  bool HasNitro = false;
  double Nitro = 0;
  std::int32_t HitsLeft = 3;
  bool NitroBurning = false;
  bool TimeOver = false;
  bool EndingStarted = false;
  std::int32_t CrashTimer = 0;
  bool RestartPlaced = false;
  bool Crashed = false;
  bool GunSoundOn = false;
  bool HornOn = false;
  bool JustRestarted = false;
  bool Bounced = false;
  // Set by the first wall or post touched in a move pass; cleared by the car's own move, which
  // comes after the road's and the lamps' in every pass.
  bool ObstacleHitThisPass = false;
  TEngineSound EngineSound;
  TPointD SkidPointLeft, SkidPointRight;
  double WheelRadius = 0, WheelAngle = 0;
  double PivotX = 0, PivotY = 0;
  double CornerRadius = 0, CornerAngle = 0;
  TQuad Corners{};  // front-left, front-right, rear-right, rear-left
  double Speed = 0;
  double Velocity = 0;
  double SteerAngle = 0;
  std::int32_t Heading = 0;
  double Deceleration = 0;
  bool KeyLeft = false, KeyRight = false, KeyUp = false, KeyDown = false;
  bool KeyHandbrake = false, KeyFire = false, KeyNitro = false, KeyHorn = false;
  bool OnRoad = true;

 private:
  void UpdateCorners();
  void RunEngineSound();
  void RunHorn();
  void FollowCar();
  void UpdateMarkPoints();
  void LayMarks();
  void LayMark(TPointD at);
  void FreeMarksOffScreen();
  void Steer();
  void UpdateSpeed();
  void RollOut();
  void RunCrash();
  void RunWeapon();
  void RunFiring();
  void RestoreWeaponPicture();
  // The weapon picture of the current stage, centred on the mount point.
  void ShowWeaponStage();
  std::string CarPictureName() const;
  void DrawMarks();
  void DrawFlames();
  void DrawWreck();
  void DrawWeapon();
};

}  // namespace kestrune
