#pragma once
// Where the shell finds its sounds and songs, relative to the working directory.

namespace kestrune {

inline constexpr const char* kSoundArchivePath = "Data/Res/Sounds.dxw";
inline constexpr const char* kMenuSongPath = "Data/Music/Menu.xm";
inline constexpr const char* kRaceSongPath = "Data/Music/Race.xm";

}  // namespace kestrune
