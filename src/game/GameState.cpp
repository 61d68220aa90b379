#include "game/GameState.h"

namespace kestrune {
TGameState GameState;
}  // namespace kestrune
