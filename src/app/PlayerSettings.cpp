#include "app/PlayerSettings.h"

#include <algorithm>
#include <sstream>

#include "framework/DisplayText.h"
#include "framework/Errors.h"
#include "framework/FileAccess.h"

namespace kestrune {

std::string ReadSettingsFile(const std::string& path) {
  try {
    const auto bytes = ReadRegularFile(path, 64 * 1024);
    return std::string(bytes.begin(), bytes.end());
  } catch (const EKestruneError&) {
    return {};  // missing or unreadable: the defaults
  }
}

SoundVolumes ReadSoundVolumes(const std::string& text, std::vector<std::string>& warnings) {
  SoundVolumes volumes;
  std::size_t start = 0;
  for (int line = 1; start < text.size(); ++line) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string content = text.substr(start, end - start);
    start = end + 1;
    if (const std::size_t hash = content.find('#'); hash != std::string::npos) content.resize(hash);
    std::string key, value, extra;
    std::istringstream words(content);
    words >> key >> value >> extra;
    if (key.empty()) continue;
    int number = -1;
    if (!value.empty() && value.size() <= 3 && value.find_first_not_of("0123456789") == std::string::npos)
      number = std::stoi(value);
    if ((key == "music" || key == "sound") && number >= 0 && number <= 100 && extra.empty()) {
      (key == "music" ? volumes.Music : volumes.Sound) = number;
    } else {
      // Quoted escaped: the file's bytes must not reach the terminal raw.
      if (content.size() > 80) content = content.substr(0, 80) + "...";
      warnings.push_back("line " + std::to_string(line) + " is not \"music 0..100\" or \"sound 0..100\": " +
                         EscapeForDisplay(content));
    }
  }
  return volumes;
}

}  // namespace kestrune
