#pragma once
// Start-up repairs of the save folder after saves that a kill (or a power cut) cut off.

#include <string>
#include <vector>

namespace kestrune {

// The temporary files a save of the file at `path` left behind: regular files named
// "<name>.XXXXXX" beside the file, or beside a link's target.
std::vector<std::string> LeftoverStagedFiles(const std::string& path);

// For options and table that do not match after loading: the exit save was cut off after the
// options file was replaced and before the table was. The table's temporary file, whole and
// matching the stored check string, is put in place and loaded into GameState.
void CompleteInterruptedSave();

// Removes the temporary files of the three saved files that killed saves left; only names of
// exactly their shape, and only regular files.
void RemoveLeftoverStagedFiles();

}  // namespace kestrune
