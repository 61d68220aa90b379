#include "shell/SavedFiles.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "framework/FileAccess.h"
#include "framework/Platform.h"
#include "game/GameState.h"
#include "shell/HighScoreTable.h"
#include "shell/SaveFileIO.h"
#include "shell/SaveRecovery.h"

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
  std::optional<std::string> Text() { return Line(IsPlainText); }
  // The next line as a table's check string: bytes 32..255 (127 included, which the check
  // produces and no text shows), or nullopt.
  std::optional<std::string> CheckText() { return Line(IsCheckText); }

  // The number of lines the file holds.
  std::size_t Count() const { return lines_.size(); }

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
  std::optional<std::string> Line(bool (*allowed)(const std::string&)) {
    const std::size_t number = next_ + 1;
    if (next_ >= lines_.size()) {
      ++next_;
      return std::string();
    }
    const std::optional<std::string>& line = lines_[next_++];
    if (!line) return Fail(number, "is too long");
    if (!allowed(*line)) return Fail(number, "holds control characters");
    return line;
  }

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

// Reads entries 1..10 into the table; false (with the reader's problem set) at the first line
// that cannot be read.
bool ReadTable(TLineReader& lines, THighScoreTable& table) {
  for (int k = 1; k <= 10; ++k) {
    const std::optional<std::string> name = lines.Text();
    const std::optional<std::int32_t> score = name ? lines.Number() : std::nullopt;
    if (!name || !score) return false;
    table[k] = {*name, *score};
  }
  return true;
}

// The command line's mode for this session, and the options file's switch it stood in for.
struct TSessionFullScreen {
  std::optional<bool> Forced;
  std::uint8_t FileValue = 0;
};

TSessionFullScreen& SessionFullScreen() {
  static TSessionFullScreen session;
  return session;
}

// The options as read from the file give way to the command line's mode.
void ApplySessionFullScreen() {
  TSessionFullScreen& session = SessionFullScreen();
  if (!session.Forced) return;
  session.FileValue = GameState.FullScreen;
  GameState.FullScreen = *session.Forced ? 1 : 0;
}

// The switch to save: the file's own while the mode is still the one the command line chose.
std::uint8_t FullScreenToSave() {
  const TSessionFullScreen& session = SessionFullScreen();
  const std::uint8_t now = GameState.FullScreen != 0 ? 1 : 0;
  if (session.Forced && now == (*session.Forced ? 1 : 0)) return session.FileValue;
  return now;
}

std::string OptionsText(const std::string& check) {
  std::string text;
  auto line = [&text](const std::string& value) { text += value + "\r\n"; };
  line(FullScreenToSave() != 0 ? "1" : "0");
  line(GameState.MusicOn != 0 ? "1" : "0");
  line(GameState.SoundOn != 0 ? "1" : "0");
  line(GameState.Country);
  line(check);
  return text;
}

std::string HighScoresText() {
  std::string text;
  for (int k = 1; k <= 10; ++k) {
    text += GameState.HighScores[k].Name + "\r\n";
    text += std::to_string(GameState.HighScores[k].Score) + "\r\n";
  }
  return text;
}

// A file the exit could not write, for the one report at the end.
struct TSaveFailure {
  std::string What;   // "Your options were not saved"
  std::string Where;  // the file
  std::string Why;    // in plain words
};

std::vector<TSaveFailure>& DeferredFailures() {
  static std::vector<TSaveFailure> failures;
  return failures;
}

std::function<void(TSaveStep)>& StepHook() {
  static std::function<void(TSaveStep)> hook;
  return hook;
}

void DefaultOptions() {
  GameState.FullScreen = 0;
  GameState.MusicOn = 1;
  GameState.SoundOn = 1;
  GameState.Country = kDefaultCountry;
}

}  // namespace

// The options file alone, before the session's own choices.
static void ReadOptionsFile();

const std::string& SaveFolder() { return Folder(); }
void SetSaveFolder(const std::string& folder) { Folder() = folder; }
void SetFullScreenForSession(std::optional<bool> fullScreen) { SessionFullScreen() = {fullScreen, 0}; }
std::string OptionsPath() { return Folder().empty() ? std::string() : Folder() + "/options"; }
std::string HighScoresPath() { return Folder().empty() ? std::string() : Folder() + "/hs"; }
std::string PromotionSwitchPath() { return Folder().empty() ? std::string() : Folder() + "/form"; }

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void LoadOptions() {
  ReadOptionsFile();
  ApplySessionFullScreen();
}

static void ReadOptionsFile() {
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
  GameState.StoredCheck = lines.CheckText().value_or("");
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
  ReadTable(lines, GameState.HighScores);
  // Part of a table is no table: the whole default table stands in.
  if (!lines.Problem().empty()) {
    ReportUnreadable(path, lines.Problem());
    ResetHighScores();
  }
}

std::optional<THighScoreTable> ReadWholeHighScoreFile(const std::string& bytes) {
  if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0) return std::nullopt;
  TLineReader lines(bytes);
  THighScoreTable table{};
  if (lines.Count() != 20 || !ReadTable(lines, table) || !lines.Problem().empty()) return std::nullopt;
  return table;
}

void ReadSaveFiles() {
  LoadHighScores();
  LoadOptions();
  if (Folder().empty()) return;  // no files: the defaults
  if (HighScoreCheck() != GameState.StoredCheck && FileExists(OptionsPath())) CompleteInterruptedSave();
  RemoveLeftoverStagedFiles();
  if (HighScoreCheck() != GameState.StoredCheck) ResetHighScores();
}

void SaveOptions() {
  if (!Folder().empty()) WriteSavedFile(OptionsPath(), OptionsText(HighScoreCheck()));
}

void SaveHighScores() {
  if (!Folder().empty()) WriteSavedFile(HighScoresPath(), HighScoresText());
}

void DeferSaveFailure(const std::string& what, const ESaveFileError& error) {
  DeferredFailures().push_back({what, error.Path, error.Reason});
}

void SetSaveStepHook(std::function<void(TSaveStep)> hook) { StepHook() = std::move(hook); }

bool WriteSaveFiles(IPlatform& platform) {
  std::vector<TSaveFailure> failures;
  failures.swap(DeferredFailures());
  // Nowhere to save: said once at the start, not as a failure at the end.
  if (Folder().empty()) return true;
  auto step = [](TSaveStep done) {
    if (StepHook()) StepHook()(done);
  };
  const char* const kTableLost = "Your high-score table was not saved";
  const char* const kOptionsLost = "Your options were not saved";

  // Both new files are written and flushed before either replaces its old one.
  std::unique_ptr<TStagedFile> table;
  try {
    step(TSaveStep::StageTable);
    table = StageSavedFile(HighScoresPath(), HighScoresText());
  } catch (const ESaveFileError& e) {
    failures.push_back({kTableLost, e.Path, e.Reason});
  }
  // Without a new table the options keep the check string of the table that stays on disk.
  const std::string check = table ? HighScoreCheck() : GameState.StoredCheck;
  std::unique_ptr<TStagedFile> options;
  try {
    step(TSaveStep::StageOptions);
    options = StageSavedFile(OptionsPath(), OptionsText(check));
    // The options first: from here on a start-up can complete the pair from the staged table.
    step(TSaveStep::ReplaceOptions);
    CommitSavedFile(*options, OptionsPath());
    GameState.StoredCheck = check;  // what the options on disk now vouch for
  } catch (const ESaveFileError& e) {
    options.reset();
    failures.push_back({kOptionsLost, e.Path, e.Reason});
    // The old options hold the old table's check: a new table beside them would not load.
    if (table) {
      table.reset();
      failures.push_back({kTableLost, HighScoresPath(), "it goes together with the options, which could not be saved"});
    }
  }
  if (table) {
    try {
      step(TSaveStep::ReplaceTable);
      CommitSavedFile(*table, HighScoresPath());
    } catch (const ESaveFileError& e) {
      table->Keep();  // the next start completes the pair with it
      failures.push_back({kTableLost, e.Path, e.Reason});
    }
  }
  // The renames reach the disk.
  step(TSaveStep::FlushFolders);
  std::vector<std::string> folders;
  for (const auto* staged : {options.get(), table.get()})
    if (staged != nullptr) folders.push_back(FolderOf(staged->Target()));
  for (std::size_t i = 0; i < folders.size(); ++i)
    if (i == 0 || folders[i] != folders[0]) SyncFolder(folders[i]);

  if (failures.empty()) return true;
  std::string text = "Kestrune could not save everything as it closed:\n";
  for (const TSaveFailure& failure : failures) {
    std::error_code ec;
    const std::string where = std::filesystem::absolute(failure.Where, ec).lexically_normal().string();
    const std::string sentence = failure.What + " in " + where + ": " + failure.Why + ".";
    std::cerr << "Kestrune: " << sentence << std::endl;
    text += "\n- " + sentence;
  }
  text += "\n\nWhat was saved there before is still there.";
  platform.ShowMessageBox("Kestrune", text);
  return false;
}

bool ReadPromotionSwitch() {
  const TSavedFileContents file = ReadSavedFile(PromotionSwitchPath());
  return file.Problem.empty() && !file.Bytes.empty() && file.Bytes[0] == 1;
}

void WritePromotionSwitch(bool switchedOff) {
  if (Folder().empty()) return;
  WriteSavedFile(PromotionSwitchPath(), std::string(1, switchedOff ? '\x01' : '\x00'));
}

}  // namespace kestrune
