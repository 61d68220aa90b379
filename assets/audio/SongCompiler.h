#pragma once
// Compiles a song written in the project's compact tracker notation (see docs/data-set.md,
// "Song notation") into an XM module. Errors name the line: "Menu.song:12: ...".

#include <string>

#include "XmWriter.h"

namespace kestrune::audio {

class SongError : public XmError {
 public:
  using XmError::XmError;
};

XmModule CompileSong(const std::string& text, const std::string& sourceName);

// Note name ("C4", "F#2", "Bb3") to XM note 1..96 (C4 = 49, middle C); 0 when not a note.
int ParseNoteName(const std::string& token);

}  // namespace kestrune::audio
