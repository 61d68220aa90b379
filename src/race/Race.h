#pragma once
// One race: its start, the race frame run on every timer tick, level set-up and the teardown.
// The race's sprites are held here from StartRace to EndRace.

#include <array>
#include <cstdint>

namespace kestrune {

class TScrollBackground;
class TPlayer;
class TCar;
class TRocket;
class TLamp;
class TMan;
class TBonus;
class TFinish;

extern TScrollBackground* RaceRoad;
extern TPlayer* RacePlayer;
// The managers of the road's objects, in the order they move. The HUD's sprites are RaceHud
// (race/Hud.h).
extern TLamp* RaceLamps;
extern TMan* RaceMen;
extern TBonus* RaceBonuses;
extern TCar* RaceTraffic;
extern TFinish* RaceFinish;
// The rocket projector's five rockets.
constexpr int RocketCount = 5;
extern std::array<TRocket*, RocketCount> RaceRockets;

// Starts a race with GameState.CarModel at level 1, or at firstLevel (for the replay driver and
// tests): only that level's road is generated.
void StartRace(std::int32_t firstLevel = 1);
// Starts a race with the given car (1..6) at the given level; a race already running is ended
// first. For the replay driver and tests, which have no menus to go through.
void StartRaceAt(std::int32_t level, std::int32_t carModel);
// Sets the level values from the level number and generates the level's road.
void SetupLevel(std::int32_t level);
// One race tick; lagCount is the frame's elapsed milliseconds.
void RaceFrame(std::uint32_t lagCount);
void EndRace();
// Shows the road map's window in the road sprite.
void CopyWindowToChips();
// The road velocity from the car's heading and speed.
void UpdateRoadVelocity();
// A rebound recomputes the road velocity at once and moves the road one step by it.
void MoveRoadAfterRebound();
// The player's NextLevel: sets up the next level (or the same one again when advance is false),
// puts the car, the road and everything on it back to the start and announces the level.
void NextLevel(bool advance);
// The first rocket not in flight, or null when all five fly.
TRocket* FreeRocket();
// Takes the rockets whose explosion has ended or that have left the playfield out of flight.
void RetireRockets();
// The gun ray at a map point: kills every living pedestrian within 50 map pixels of it in x and
// y; returns whether any died.
bool GunRayKillsPedestrians(double mapX, double mapY);

double RaceRoadX();
double RaceRoadY();
// The finish line has been crossed in this level.
bool RaceFinishReached();
void RaceOpenOverlay(int overlay);

}  // namespace kestrune
