#pragma once
// The player's settings files beside Display.cfg: Controls.cfg (keys and pad controls, read by
// the SDL back end's controls table) and Sound.cfg (the music's and the effects' volumes).

#include <string>
#include <vector>

namespace kestrune {

inline constexpr const char* kControlsFileName = "Controls.cfg";
inline constexpr const char* kSoundFileName = "Sound.cfg";

// A settings file's text: empty when it is missing or unreadable, or not a regular file of at
// most 64 KiB (a FIFO or a device there must not hang the start). A file that is there but
// cannot be read (a folder in its place, no permission, too large) sets `problem` to why, for a
// line on standard error: the defaults then stand in without a word otherwise.
std::string ReadSettingsFile(const std::string& path, std::string* problem = nullptr);

// Volumes 0..100 as heard; the game computes the same at any volume.
struct SoundVolumes {
  int Music = 100;
  int Sound = 100;
};

// "music N" and "sound N" lines (N from 0 to 100), "#" comments. A line it does not understand
// is skipped with a warning; the rest still counts.
SoundVolumes ReadSoundVolumes(const std::string& text, std::vector<std::string>& warnings);

}  // namespace kestrune
