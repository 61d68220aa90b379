#pragma once
// The files the game keeps in its save folder (Data/Save below the working directory): the
// options ("options"), the high-score table ("hs") and the goodbye window's switch ("form").
// Options and table are read once at start-up and written once when the game ends.
//
// Text files hold 8-bit characters (Windows-1252), one value a line; lines are written with
// CR LF and read with CR LF, LF or CR. A file that cannot be read as a whole falls back to the
// defaults for what cannot be read and says so in one line on standard error.
//
// The options file holds the table's check string, so options and table are saved as a pair:
// both are written to temporary files and flushed first, then the options file is renamed into
// place, then the table. A start-up that finds the new options beside the old table (the game
// was killed between the two renames) completes the pair from the table's temporary file.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/GameState.h"

namespace kestrune {

class IPlatform;
class ESaveFileError;

// The folder the three files live in; "Data/Save" unless the platform chooses another. Empty
// when the player has no folder of their own (no home folder): then nothing is read or written,
// the paths below are empty, and the game runs on the defaults.
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
// Full screen or a window for this session only (the command line's choice), whatever the options
// say: LoadOptions shows it in FullScreen, and saving writes the file's own switch back unless the
// player switched the mode during the session. nullopt: the options decide.
void SetFullScreenForSession(std::optional<bool> fullScreen);
// The table, entries 1..10; a missing or unreadable file gives the default table.
void LoadHighScores();
// A table file exactly as the game writes it (twenty lines, each ending in CR LF, all readable),
// or nullopt: a temporary file cut off anywhere is not one.
std::optional<THighScoreTable> ReadWholeHighScoreFile(const std::string& bytes);

// Start-up: the table, then the options; an exit save that was cut off between its two renames
// is completed; temporary files that killed saves left in the save folder are removed; a table
// that does not match the stored check string (edited outside the game, or no options file) is
// replaced by the default table.
void ReadSaveFiles();

// Each raises ESaveFileError (SaveFileIO.h) when the file cannot be written; the old file is
// then untouched.
void SaveOptions();
void SaveHighScores();
// The end of the game: the options and the table as a pair (above). A table that cannot be
// written leaves the one on disk, and the options keep its check string; options that cannot be
// written keep the table from being replaced too (the new table would not match the old check).
// Every failure of the exit (with those passed on by DeferSaveFailure) is printed on standard
// error and shown in one message box in plain words. Returns false when something could not be
// written.
bool WriteSaveFiles(IPlatform& platform);

// A write that failed just before the exit (the goodbye window's switch): reported with the
// exit's own failures, in the same message box. `what` says what was not saved.
void DeferSaveFailure(const std::string& what, const ESaveFileError& error);

// The steps of the exit save, in order. Tests set a hook that runs before each one (to look at
// the files as a kill at that instant would leave them, or to make the step fail by raising
// ESaveFileError); empty in the game.
enum class TSaveStep { StageTable, StageOptions, ReplaceOptions, ReplaceTable, FlushFolders };
void SetSaveStepHook(std::function<void(TSaveStep)> hook);

// The goodbye window's switch: true when the file holds the byte 1 (the window is switched off);
// a missing or unreadable file, or any other byte, means the window shows.
bool ReadPromotionSwitch();
// Raises ESaveFileError when the file cannot be written.
void WritePromotionSwitch(bool switchedOff);

}  // namespace kestrune
