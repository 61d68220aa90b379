#include "app/PlayerSettings.h"

#include <algorithm>
#include <filesystem>

#include "app/SettingsLines.h"
#include "framework/Errors.h"
#include "framework/FileAccess.h"

namespace kestrune {

std::string ReadSettingsFile(const std::string& path, std::string* problem) {
  try {
    const auto bytes = ReadRegularFile(path, 64 * 1024);
    return std::string(bytes.begin(), bytes.end());
  } catch (const EKestruneError& e) {
    // Missing: the defaults, as on a first start. Anything else is worth a word.
    std::error_code error;
    const bool there = std::filesystem::exists(std::filesystem::symlink_status(path, error));
    if (there && problem != nullptr) *problem = e.what();
    return {};
  }
}

SoundVolumes ReadSoundVolumes(const std::string& text, std::vector<std::string>& warnings) {
  SoundVolumes volumes;
  ForEachSettingsLine(text, [&](const SettingsLine& line) {
    const std::string& value = line.Value;
    int number = -1;
    if (!value.empty() && value.size() <= 3 && value.find_first_not_of("0123456789") == std::string::npos)
      number = std::stoi(value);
    if ((line.Key == "music" || line.Key == "sound") && number >= 0 && number <= 100 && line.Extra.empty()) {
      (line.Key == "music" ? volumes.Music : volumes.Sound) = number;
    } else {
      warnings.push_back("line " + std::to_string(line.Number) + " is not \"music 0..100\" or \"sound 0..100\": " +
                         line.Quoted());
    }
  });
  return volumes;
}

}  // namespace kestrune
