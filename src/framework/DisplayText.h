#pragma once
// Text from data files on its way to the player: a terminal or a message box must show it as
// text, whatever bytes an archive put into a name.

#include <cstddef>
#include <string>
#include <vector>

namespace kestrune {

// Control characters (C0, DEL and C1, also UTF-8 encoded C1) and bytes that are not valid UTF-8
// become \xNN; everything else, UTF-8 text included, stays as it is.
std::string EscapeForDisplay(const std::string& text);

// Breaks lines longer than width at spaces (a word longer than a line is cut), keeping the
// line breaks the text has.
std::string WrapLines(const std::string& text, std::size_t width);

// How many warnings about one file are shown. A file of junk has a problem on every line; the
// rest are counted in one closing line, so its report stays a few lines long.
inline constexpr std::size_t kWarningsShownPerFile = 5;

// The first `shown` warnings, then "... and N more" when there are more.
std::vector<std::string> CapWarnings(const std::vector<std::string>& warnings,
                                     std::size_t shown = kWarningsShownPerFile);

}  // namespace kestrune
