// The volumes file: music and sound from 0 to 100, anything else skipped with a warning.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PlayerSettings.h"

namespace kestrune {
namespace {

TEST(PlayerSettings, SoundFileSetsVolumesAndSkipsWhatItDoesNotUnderstand) {
  struct Case {
    std::string text;
    int music, sound, warnings;
  };
  const Case cases[] = {
      {"", 100, 100, 0},
      {"# quieter\nmusic 40\n  sound 0   # effects off\r\n", 40, 0, 0},
      {"music 100\nsound 7", 100, 7, 0},
      {"music 101\nsound -1\nmusic 4x\nmusic\nvolume 5\nsound 5 5\nmusic 0050", 100, 100, 7},
      {"music 30\nmusic 999999999999\n", 30, 100, 1},
      {std::string("\0\xff\x1b[2J\n", 7) + "sound 60", 100, 60, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> warnings;
    const SoundVolumes v = ReadSoundVolumes(c.text, warnings);
    EXPECT_EQ(v.Music, c.music);
    EXPECT_EQ(v.Sound, c.sound);
    EXPECT_EQ(static_cast<int>(warnings.size()), c.warnings);
    for (const std::string& w : warnings) EXPECT_EQ(w.find('\x1b'), std::string::npos) << w;
  }
}

}  // namespace
}  // namespace kestrune
