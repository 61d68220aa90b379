#include "framework/Music.h"

#include <algorithm>
#include <cstdint>
#include <libopenmpt/libopenmpt.hpp>
#include <ostream>
#include <streambuf>
#include <vector>

#include "framework/FileAccess.h"
#include "framework/Platform.h"

namespace kestrune {
namespace {

// libopenmpt reports loading trouble on a log stream; a failed load is just handle 0 here.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
};

std::ostream& QuietLog() {
  static NullBuffer buffer;
  static std::ostream stream(&buffer);
  return stream;
}

// Far above any real song (the game's own are well under a megabyte).
constexpr std::uint64_t kMaxSongFileBytes = 64ull << 20;

}  // namespace

TMusicPlayer::TMusicPlayer(IAudioOutput* audio) : audio_(audio) {}

TMusicPlayer::~TMusicPlayer() {
  // The output must stop calling into a song before it is destroyed.
  if (playing_ != 0 && audio_) audio_->SetMusicSource({});
}

TSongHandle TMusicPlayer::SongLoadFromFile(const std::string& path) {
  std::unique_ptr<openmpt::module> song;
  try {
    // Only a regular file of sensible size: a FIFO or a device in its place must not hang or
    // fill the memory.
    const std::vector<std::uint8_t> bytes = ReadRegularFile(path, kMaxSongFileBytes);
    if (bytes.empty()) return 0;
    song = std::make_unique<openmpt::module>(bytes, QuietLog());
  } catch (...) {
    // Unreadable file, or libopenmpt found no module in it.
    return 0;
  }
  // Repeat for ever: at the end of the order list playback continues at the restart position.
  song->set_repeat_count(-1);
  const TSongHandle handle = nextHandle_++;
  songs_[handle] = std::move(song);
  return handle;
}

openmpt::module* TMusicPlayer::Song(TSongHandle handle) const {
  const auto it = songs_.find(handle);
  return it == songs_.end() ? nullptr : it->second.get();
}

void TMusicPlayer::Render(openmpt::module& song, int rate, std::int16_t* stereoFrames, int frameCount) {
  int done = 0;
  while (done < frameCount) {
    const std::size_t got = song.read_interleaved_stereo(rate, static_cast<std::size_t>(frameCount - done),
                                                         stereoFrames + 2 * done);
    if (got == 0) break;
    done += static_cast<int>(got);
  }
  std::fill(stereoFrames + 2 * done, stereoFrames + 2 * frameCount, std::int16_t{0});
}

void TMusicPlayer::SongPlay(TSongHandle handle) {
  openmpt::module* song = Song(handle);
  if (!song) return;
  // Detach the current song first: after SetMusicSource returns the audio thread no longer
  // touches it, so rewinding below is safe even when the same song is replayed.
  if (playing_ != 0 && audio_) audio_->SetMusicSource({});
  playing_ = 0;
  song->set_position_order_row(0, 0);
  playing_ = handle;
  if (!audio_) return;
  const int rate = audio_->OutputRate();
  audio_->SetMusicSource(
      [song, rate](std::int16_t* frames, int count) { TMusicPlayer::Render(*song, rate, frames, count); });
}

void TMusicPlayer::SongFree(TSongHandle handle) {
  const auto it = songs_.find(handle);
  if (it == songs_.end()) return;
  if (playing_ == handle) {
    if (audio_) audio_->SetMusicSource({});
    playing_ = 0;
  }
  songs_.erase(it);
}

}  // namespace kestrune
