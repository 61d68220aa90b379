#pragma once
// One race: its start, the race frame run on every timer tick, level set-up and the teardown.
// The race's sprites are held here from StartRace to EndRace.

#include <cstdint>

namespace kestrune {

class TScrollBackground;
class TPlayer;

extern TScrollBackground* RaceRoad;
extern TPlayer* RacePlayer;
// Set once the finish line has been crossed in this level.
// PLACEHOLDER (lamps, bonuses and finish issue): becomes the finish line sprite's reached flag.
extern bool FinishLineReached;

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
// PLACEHOLDER (weapons and damage issue): the player's full NextLevel and car reset replace
// this. Sets up the next level (or the same one again), puts the car and road back to the start
// and announces the level.
void NextLevel(bool advance);

double RaceRoadX();
double RaceRoadY();
bool RaceFinishReached();
void RaceOpenOverlay(int overlay);

}  // namespace kestrune
