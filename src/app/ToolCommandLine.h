#pragma once
// What every installed program's command line shares: "--opt=value" read as "--opt value",
// --version, and --data (the data set found the way the game finds it).

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

// "--name=value" becomes "--name", "value"; everything else is kept as it is. A lone "--" ends
// the options: what follows is kept unsplit.
std::vector<std::string> SplitAttachedValues(const std::vector<std::string>& args);

// "<program> <version>\n".
std::string VersionText(const std::string& program);

// The folder running program lives in, for finding an installed data set beside it.
std::filesystem::path RunningProgramFolder(const char* argv0);

// The game root (the folder holding Data/) for a tool: from dataDir when given, else the working
// folder, the installed data beside the program, the program's folder. Nothing when none holds
// a data set; the reason then names every folder searched.
std::optional<std::filesystem::path> FindToolDataRoot(const std::string& dataDir, const char* argv0,
                                                      std::string& reason);

}  // namespace kestrune
