#pragma once
// What the saved-file fuzz targets share: each input becomes the file in a private save folder
// (in memory where /dev/shm exists, removed at exit), and the loaded state is checked for what
// the game relies on.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/GameState.h"
#include "shell/SaveFileIO.h"
#include "shell/SavedFiles.h"

namespace kestrune::fuzz {

inline void UseSaveFolderOnce() {
  static const bool done = [] {
    char pattern[] = "/dev/shm/kestrune-fuzz-XXXXXX";
    char fallback[] = "/tmp/kestrune-fuzz-XXXXXX";
    const char* folder = mkdtemp(pattern);
    if (folder == nullptr) folder = mkdtemp(fallback);
    if (folder == nullptr) std::abort();
    SetSaveFolder(folder);
    static const std::string made = folder;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(made, ignored);
    });
    return true;
  }();
  (void)done;
}

inline void PutFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

// Text the game draws and writes back: a line of its own, no control characters.
inline bool SafeText(const std::string& text) { return text.size() <= kMaxSavedLine && IsPlainText(text); }

}  // namespace kestrune::fuzz
