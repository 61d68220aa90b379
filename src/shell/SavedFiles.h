#pragma once
// The files the game keeps in its save folder (Data/Save below the working directory): the
// options ("options"), the high-score table ("hs") and the goodbye window's switch ("form").
// Options and table are read once at start-up and written once when the game ends.
//
// Text files hold 8-bit characters (Windows-1252), one value a line; lines are written with
// CR LF and read with CR LF or LF. A file that cannot be read as a whole falls back to the
// defaults for what cannot be read and says so in one line on standard error.

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

class IPlatform;

// The folder the three files live in; "Data/Save" unless the platform chooses another.
const std::string& SaveFolder();
void SetSaveFolder(const std::string& folder);
std::string OptionsPath();
std::string HighScoresPath();
std::string PromotionSwitchPath();

// True when the file can be opened for reading (an empty file exists; an empty path does not).
bool FileExists(const std::string& path);

// The options: FullScreen, MusicOn, SoundOn, Country and the stored check string. A missing
// file gives the defaults (window, music and sound on, Country "_______", no check string).
void LoadOptions();
// The table, entries 1..10; a missing or unreadable file gives the default table.
void LoadHighScores();
// Start-up: the table, then the options; a table that does not match the stored check string
// (edited outside the game, or no options file) is replaced by the default table.
void ReadSaveFiles();

// Each raises ESaveFileError (SaveFileIO.h) when the file cannot be written; the old file is
// then untouched.
void SaveOptions();
void SaveHighScores();
// The end of the game: the options, then the table. Each file is written even when the other
// fails; the failures are printed on standard error and shown in one message box. Returns false
// when something could not be written.
bool WriteSaveFiles(IPlatform& platform);

// The goodbye window's switch: true when the file holds the byte 1 (the window is switched off);
// a missing or unreadable file, or any other byte, means the window shows.
bool ReadPromotionSwitch();
// Raises ESaveFileError when the file cannot be written.
void WritePromotionSwitch(bool switchedOff);

}  // namespace kestrune
