#pragma once
// The song instruments, built by the synthesiser. A song names them by voice ("kick", "bass",
// "pad", ...); every pitched voice plays its written note, C4 being middle C.

#include <string>
#include <vector>

#include "XmWriter.h"

namespace kestrune::audio {

// Throws XmError naming the known voices when `voice` is not one of them.
XmInstrument MakeInstrument(const std::string& voice);
std::vector<std::string> InstrumentVoices();

}  // namespace kestrune::audio
