#pragma once
// A rocket of the player's rocket projector. The race keeps a pool of five; an idle rocket waits
// hidden above the screen. In flight it moves in map coordinates along its angle and is drawn
// turned that way with its engine flame trailing behind. Cars and pedestrians test themselves
// against the flying rockets.

#include <cstdint>

#include "game/MyImageSprite.h"

namespace kestrune {

class TRocket : public TMyImageSprite {
 public:
  explicit TRocket(std::uint8_t imageLibrary);
  // Freed with the sprite tree: the race forgets the rocket.
  ~TRocket() override;
  // An idle rocket with its top-left corner at (x, y) and its flame sprite.
  static TRocket* Create(double x, double y);

  void MoveSelf(std::int32_t moveCount) override;
  void DrawSelf() override;

  // Sends the rocket off from the screen point (x, y) at speed (plus the car's speed) along angle.
  void LaunchRocket(double x, double y, std::int32_t speed, std::int32_t angle);
  // A hit on a pedestrian: the rocket stops and shows its explosion.
  void ExplodeRocket();
  // Takes the rocket out of flight and parks it above the screen.
  void StopRocket();
  // Whether the race should take this flying rocket out of flight now: its explosion has ended or
  // it has left the playfield.
  bool ShouldRetire() const;

  TMyImageSprite* EngineFlame = nullptr;
  std::int32_t RocketSpeed = 0;  // map pixels per frame before the factor 0.5 x SpeedScale
  std::int32_t RocketAngle = 0;  // in 256ths of a turn
  bool RocketFlying = false;     // in use: flying or exploding
  bool RocketExploding = false;
  double RocketMapX = 0, RocketMapY = 0;  // map position of the picture's top-left corner
};

}  // namespace kestrune
