#pragma once
// The links of the intro screen and the main menu. The game has no web site: they open the
// game's own documents, which the build copies next to the game (Docs/ in the working
// directory), with the system's handler for them.

#include <string>

namespace kestrune {

enum class TLocalPage { Readme, Licence };

// The document's file name inside Docs/.
const char* LocalPageFile(TLocalPage page);
// A file:// address of the document below the working directory, or "" when the file is not
// there.
std::string LocalPageAddress(TLocalPage page);
// Hands the document to the system's handler; a missing document writes one line on standard
// error and opens nothing.
void OpenLocalPage(TLocalPage page);

}  // namespace kestrune
