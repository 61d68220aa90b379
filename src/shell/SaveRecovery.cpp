#include "shell/SaveRecovery.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "framework/FileAccess.h"
#include "game/GameState.h"
#include "shell/HighScoreTable.h"
#include "shell/SaveFileIO.h"
#include "shell/SavedFiles.h"

namespace kestrune {
namespace {

// The file names a save writes for the file at `path`: the path itself, and, when it is a link,
// the file it leads to (its temporary files lie beside that one).
std::vector<std::string> SaveTargets(const std::string& path) {
  std::vector<std::string> targets{path};
  const std::string target = ResolveFileLinks(path);
  if (target != path) targets.push_back(target);
  return targets;
}

}  // namespace

std::vector<std::string> LeftoverStagedFiles(const std::string& path) {
  std::vector<std::string> found;
  std::vector<std::string> targets;
  try {
    targets = SaveTargets(path);
  } catch (const std::exception&) {
    targets = {path};  // a loop of links: only the save folder
  }
  for (const std::string& target : targets) {
    const std::string folder = FolderOf(target);
    const std::string base = std::filesystem::path(target).filename().string();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (!IsStagedFileName(name, base)) continue;
      struct stat st {};
      const std::string file = it->path().string();
      if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode)) found.push_back(file);
    }
  }
  return found;
}

void CompleteInterruptedSave() {
  for (const std::string& file : LeftoverStagedFiles(HighScoresPath())) {
    const TSavedFileContents contents = ReadSavedFile(file);
    if (!contents.Problem.empty()) continue;
    const std::optional<THighScoreTable> table = ReadWholeHighScoreFile(contents.Bytes);
    if (!table || HighScoreCheck(*table) != GameState.StoredCheck) continue;
    for (int k = 1; k <= 10; ++k) GameState.HighScores[k] = (*table)[k];
    std::string target = HighScoresPath();
    try {
      target = ResolveFileLinks(target);
    } catch (const std::exception&) {
      return;  // the table is in memory; the exit writes it
    }
    if (std::rename(file.c_str(), target.c_str()) == 0) SyncFolder(FolderOf(target));
    return;
  }
}

void RemoveLeftoverStagedFiles() {
  for (const std::string& path : {OptionsPath(), HighScoresPath(), PromotionSwitchPath()})
    for (const std::string& file : LeftoverStagedFiles(path)) ::unlink(file.c_str());
}

}  // namespace kestrune
