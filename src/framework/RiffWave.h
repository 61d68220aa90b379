#pragma once
// RIFF WAVE payloads of sound archive items.

#include <cstdint>
#include <vector>

#include "framework/ArchiveTypes.h"
#include "framework/ByteStream.h"

namespace kestrune {

// Reads a RIFF WAVE file into the item's format and samples (sets HasWave). A header other than
// "RIFF" size "WAVE" fails with EWaveStreamError "Wave is invalid"; a "fmt " or "data" chunk
// that runs past the end fails with "Stream read error". Without a "data" chunk the wave has no
// samples; without a "fmt " chunk its format is all zeros (Channels 0), which no device plays.
void ParseRiffWave(ByteReader& in, WaveItemRecord& item);

}  // namespace kestrune
