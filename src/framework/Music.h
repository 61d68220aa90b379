#pragma once
// The music library: tracker modules (XM and the other formats libopenmpt reads) loaded from
// files and rendered into the audio output's music stream, so songs mix with the effects.
// Three calls: load a file into a handle (0 when it cannot be loaded), play, free. A song
// loops by itself, restarting at the module's own restart position.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace openmpt {
class module;
}

namespace kestrune {

class IAudioOutput;

// 0 = no song. Wide enough to be kept wherever the game keeps a handle.
using TSongHandle = std::intptr_t;

class TMusicPlayer {
 public:
  // audio may be null: songs still load, nothing is heard.
  explicit TMusicPlayer(IAudioOutput* audio);
  ~TMusicPlayer();
  TMusicPlayer(const TMusicPlayer&) = delete;
  TMusicPlayer& operator=(const TMusicPlayer&) = delete;

  // 0 when the file is missing, unreadable or not a module.
  TSongHandle SongLoadFromFile(const std::string& path);
  // Starts the song from its beginning, replacing the one playing. Unknown handles are ignored.
  void SongPlay(TSongHandle handle);
  // Stops the song if it plays and releases it. Unknown handles (and 0) are ignored.
  void SongFree(TSongHandle handle);

  // The song being played, 0 when none.
  TSongHandle Playing() const { return playing_; }
  int LoadedCount() const { return static_cast<int>(songs_.size()); }

  // Renders frames of a song straight into stereoFrames (interleaved, 16-bit) at the given
  // rate, silence past the end; for tests and tools. Not while the song plays.
  static void Render(openmpt::module& song, int rate, std::int16_t* stereoFrames, int frameCount);
  openmpt::module* Song(TSongHandle handle) const;

 private:
  IAudioOutput* audio_;
  std::map<TSongHandle, std::unique_ptr<openmpt::module>> songs_;
  TSongHandle nextHandle_ = 1;
  TSongHandle playing_ = 0;
};

}  // namespace kestrune
