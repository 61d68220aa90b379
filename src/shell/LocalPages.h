#pragma once
// The links of the intro screen, the main menu and the goodbye window. The game has no web site:
// they open sections of the player's guide (Docs/guide.html, which the build copies next to the
// game, Docs/ in the working directory) with the system's handler for web pages.

#include <string>

namespace kestrune {

// The guide's sections the links open.
enum class TLocalPage { Guide, Controls, About, MoreGames, Modding, Licence };

// The document's file name inside Docs/.
const char* LocalPageFile(TLocalPage page);
// The section's anchor in that document, with its '#'.
const char* LocalPageAnchor(TLocalPage page);
// A file:// address of the section in the document below the working directory, or "" when the
// file is not there.
std::string LocalPageAddress(TLocalPage page);
// Hands the document to the system's handler; a missing document writes one line on standard
// error and opens nothing.
void OpenLocalPage(TLocalPage page);

}  // namespace kestrune
