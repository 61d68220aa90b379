#include "shell/SavedFiles.h"

#include <filesystem>
#include <iostream>
#include <optional>

#include "framework/Platform.h"
#include "shell/GameState.h"
#include "shell/HighScoreTable.h"
#include "shell/SaveFileIO.h"

namespace kestrune {
namespace {

std::string& Folder() {
  static std::string folder = "Data/Save";
  return folder;
}

const char* const kDefaultCountry = "_______";

// One line on standard error for a file whose contents could not all be read.
void ReportUnreadable(const std::string& path, const std::string& problem) {
  std::cerr << "Kestrune: " << path << " " << problem << "; the defaults stand in for what cannot be read"
            << std::endl;
}

// The lines of a file as the loaders walk them: values past the end read as empty lines (0 for
// numbers), and the first problem is remembered for the report.
class TLineReader {
 public:
  explicit TLineReader(const std::string& bytes) : lines_(SplitSavedLines(bytes)) {}

  // The next line as text, or nullopt when it is too long or holds control characters.
  std::optional<std::string> Text() {
    const std::size_t number = next_ + 1;
    if (next_ >= lines_.size()) {
      ++next_;
      return std::string();
    }
    const std::optional<std::string>& line = lines_[next_++];
    if (!line) return Fail(number, "is too long");
    if (!IsPlainText(*line)) return Fail(number, "holds control characters");
    return line;
  }

  // The next line as a number, or nullopt when it holds anything else.
  std::optional<std::int32_t> Number() {
    const std::size_t number = next_ + 1;
    const std::optional<std::string> line = Text();
    if (!line) return std::nullopt;
    const std::optional<std::int32_t> value = ParseSavedNumber(*line);
    if (!value) {
      Fail(number, "is not a number");
      return std::nullopt;
    }
    return value;
  }

  const std::string& Problem() const { return problem_; }

 private:
  std::nullopt_t Fail(std::size_t line, const std::string& what) {
    if (problem_.empty()) problem_ = "line " + std::to_string(line) + " " + what;
    return std::nullopt;
  }

  std::vector<std::optional<std::string>> lines_;
  std::size_t next_ = 0;
  std::string problem_;
};

std::uint8_t Flag(std::optional<std::int32_t> value, std::uint8_t fallback) {
  if (!value) return fallback;
  return *value != 0 ? 1 : 0;
}

void DefaultOptions() {
  GameState.FullScreen = 0;
  GameState.MusicOn = 1;
  GameState.SoundOn = 1;
  GameState.Country = kDefaultCountry;
}

}  // namespace

const std::string& SaveFolder() { return Folder(); }
void SetSaveFolder(const std::string& folder) { Folder() = folder; }
std::string OptionsPath() { return Folder() + "/options"; }
std::string HighScoresPath() { return Folder() + "/hs"; }
std::string PromotionSwitchPath() { return Folder() + "/form"; }

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void LoadOptions() {
  const std::string path = OptionsPath();
  const TSavedFileContents file = ReadSavedFile(path);
  if (!file.Exists) {
    DefaultOptions();
    return;
  }
  if (!file.Problem.empty()) {
    ReportUnreadable(path, file.Problem);
    DefaultOptions();
    GameState.StoredCheck.clear();
    return;
  }
  TLineReader lines(file.Bytes);
  GameState.FullScreen = Flag(lines.Number(), 0);
  GameState.MusicOn = Flag(lines.Number(), 1);
  GameState.SoundOn = Flag(lines.Number(), 1);
  GameState.Country = lines.Text().value_or(kDefaultCountry);
  // The check string is bytes 32..255 only; anything else cannot match a table.
  GameState.StoredCheck = lines.Text().value_or("");
  if (!lines.Problem().empty()) ReportUnreadable(path, lines.Problem());
}

void LoadHighScores() {
  const std::string path = HighScoresPath();
  const TSavedFileContents file = ReadSavedFile(path);
  if (!file.Exists) {
    ResetHighScores();
    return;
  }
  if (!file.Problem.empty()) {
    ReportUnreadable(path, file.Problem);
    ResetHighScores();
    return;
  }
  TLineReader lines(file.Bytes);
  for (int k = 1; k <= 10; ++k) {
    const std::optional<std::string> name = lines.Text();
    const std::optional<std::int32_t> score = name ? lines.Number() : std::nullopt;
    if (!name || !score) break;
    GameState.HighScores[k] = {*name, *score};
  }
  // Part of a table is no table: the whole default table stands in.
  if (!lines.Problem().empty()) {
    ReportUnreadable(path, lines.Problem());
    ResetHighScores();
  }
}

void ReadSaveFiles() {
  LoadHighScores();
  LoadOptions();
  if (HighScoreCheck() != GameState.StoredCheck) ResetHighScores();
}

void SaveOptions() {
  std::string text;
  auto line = [&text](const std::string& value) { text += value + "\r\n"; };
  line(GameState.FullScreen != 0 ? "1" : "0");
  line(GameState.MusicOn != 0 ? "1" : "0");
  line(GameState.SoundOn != 0 ? "1" : "0");
  line(GameState.Country);
  line(HighScoreCheck());
  WriteSavedFile(OptionsPath(), text);
}

void SaveHighScores() {
  std::string text;
  for (int k = 1; k <= 10; ++k) {
    text += GameState.HighScores[k].Name + "\r\n";
    text += std::to_string(GameState.HighScores[k].Score) + "\r\n";
  }
  WriteSavedFile(HighScoresPath(), text);
}

bool WriteSaveFiles(IPlatform& platform) {
  std::string failures;
  for (void (*save)() : {&SaveOptions, &SaveHighScores}) {
    try {
      save();
    } catch (const ESaveFileError& e) {
      std::cerr << "Kestrune: " << e.what() << std::endl;
      failures += std::string(failures.empty() ? "" : "\n") + e.what();
    }
  }
  if (failures.empty()) return true;
  platform.ShowMessageBox("Kestrune", "Your options and high scores could not all be saved.\n\n" + failures);
  return false;
}

bool ReadPromotionSwitch() {
  const TSavedFileContents file = ReadSavedFile(PromotionSwitchPath());
  return file.Problem.empty() && !file.Bytes.empty() && file.Bytes[0] == 1;
}

void WritePromotionSwitch(bool switchedOff) {
  WriteSavedFile(PromotionSwitchPath(), std::string(1, switchedOff ? '\x01' : '\x00'));
}

}  // namespace kestrune
