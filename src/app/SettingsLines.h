#pragma once
// The line format the player's settings files share (Display.cfg, Sound.cfg): words separated by
// blanks, "#" starting a comment, blank lines skipped, LF or CR LF line ends.

#include <cstddef>
#include <sstream>
#include <string>

#include "framework/DisplayText.h"

namespace kestrune {

struct SettingsLine {
  int Number = 0;       // counted from 1
  std::string Content;  // the line without its comment
  std::string Key, Value, Extra;  // its first three words; Extra must stay empty in a good line

  // The line for a warning: cut to 80 characters and escaped, so the file's bytes never reach
  // the terminal raw.
  std::string Quoted() const {
    return EscapeForDisplay(Content.size() > 80 ? Content.substr(0, 80) + "..." : Content);
  }
};

// Calls take(line) for each line of text that holds a word.
template <typename Take>
void ForEachSettingsLine(const std::string& text, Take&& take) {
  std::size_t start = 0;
  for (int number = 1; start < text.size(); ++number) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    SettingsLine line;
    line.Number = number;
    line.Content = text.substr(start, end - start);
    start = end + 1;
    if (const std::size_t hash = line.Content.find('#'); hash != std::string::npos) line.Content.resize(hash);
    std::istringstream words(line.Content);
    words >> line.Key >> line.Value >> line.Extra;
    if (!line.Key.empty()) take(line);
  }
}

}  // namespace kestrune
