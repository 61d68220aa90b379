#pragma once
// The recipes of every sound effect the game plays, by the name the game asks for.

#include <string>
#include <vector>

#include "Synth.h"

namespace kestrune::audio {

struct SoundRecipe {
  const char* Name;
  bool Looped;
  int MaxPlayingCount;
  Signal (*Make)();
};

// All effects, in the order they are stored in the sound archive.
const std::vector<SoundRecipe>& SoundRecipes();

}  // namespace kestrune::audio
