#pragma once
// Where a replay script may write its pictures: a script can come from anyone (a recording
// shared by someone else), so the files it names stay inside one output folder and never
// replace anything but an earlier picture.

#include <string>

namespace kestrune {

// Empty when the name is fine for a script to give, else why it is refused: an absolute path,
// a ".." step or an empty name.
std::string ScriptFileNameProblem(const std::string& name);

// The path of the script's file name inside folder, or an empty string with the reason in
// problem: the name is refused as above, a folder on the way is a link or not a folder, or a
// file that is not a PNG picture (or not a regular file) is already there.
std::string ScriptOutputPath(const std::string& folder, const std::string& name, std::string& problem);

}  // namespace kestrune
