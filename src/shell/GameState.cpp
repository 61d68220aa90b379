#include "shell/GameState.h"

namespace kestrune {
TGameState GameState;
}  // namespace kestrune
