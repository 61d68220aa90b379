#include "platform/headless/HeadlessAudio.h"

#include <cstring>

namespace kestrune {

int HeadlessAudioOutput::CreateChunk(const std::uint8_t* riffWave, std::size_t size) {
  // Accept what the mixer would at least start to read: a RIFF WAVE header.
  if (!open_ || RefuseChunks || !riffWave || size < 12 || std::memcmp(riffWave, "RIFF", 4) != 0 ||
      std::memcmp(riffWave + 8, "WAVE", 4) != 0)
    return 0;
  const int id = nextChunk_++;
  chunks_[id].assign(riffWave, riffWave + size);
  calls_.push_back({.Type = AudioCall::Kind::CreateChunk, .Chunk = id});
  return id;
}

void HeadlessAudioOutput::FreeChunk(int chunk) {
  calls_.push_back({.Type = AudioCall::Kind::FreeChunk, .Chunk = chunk});
  chunks_.erase(chunk);
  // Like the mixer, freeing a chunk stops every channel playing it.
  for (Channel& c : channels_) {
    if (c.Chunk == chunk) c.Playing = false;
  }
}

int HeadlessAudioOutput::AllocateChannel() {
  if (!open_) return -1;
  int id = -1;
  for (std::size_t i = 0; i < channels_.size(); ++i) {
    if (!channels_[i].Allocated) {
      id = static_cast<int>(i);
      break;
    }
  }
  if (id < 0) {
    id = static_cast<int>(channels_.size());
    channels_.emplace_back();
  }
  channels_[static_cast<std::size_t>(id)] = Channel{.Allocated = true};
  calls_.push_back({.Type = AudioCall::Kind::AllocateChannel, .Channel = id});
  return id;
}

void HeadlessAudioOutput::FreeChannel(int channel) {
  calls_.push_back({.Type = AudioCall::Kind::FreeChannel, .Channel = channel});
  if (channel >= 0 && channel < static_cast<int>(channels_.size()))
    channels_[static_cast<std::size_t>(channel)] = Channel{};
}

void HeadlessAudioOutput::Play(int channel, int chunk, bool looped) {
  calls_.push_back({.Type = AudioCall::Kind::Play, .Chunk = chunk, .Channel = channel, .Looped = looped});
  if (channel < 0 || channel >= static_cast<int>(channels_.size()) || !chunks_.count(chunk)) return;
  Channel& c = channels_[static_cast<std::size_t>(channel)];
  c.Playing = true;
  c.Looped = looped;
  c.Chunk = chunk;
}

void HeadlessAudioOutput::Stop(int channel) {
  calls_.push_back({.Type = AudioCall::Kind::Stop, .Channel = channel});
  if (channel >= 0 && channel < static_cast<int>(channels_.size()))
    channels_[static_cast<std::size_t>(channel)].Playing = false;
}

bool HeadlessAudioOutput::IsPlaying(int channel) const {
  return channel >= 0 && channel < static_cast<int>(channels_.size()) &&
         channels_[static_cast<std::size_t>(channel)].Playing;
}

void HeadlessAudioOutput::SetChannelParameters(int channel, int volume, int pan, int frequency) {
  calls_.push_back({.Type = AudioCall::Kind::SetParameters,
                    .Channel = channel,
                    .Volume = volume,
                    .Pan = pan,
                    .Frequency = frequency});
}

void HeadlessAudioOutput::SetMusicSource(MusicSource source) {
  calls_.push_back({.Type = AudioCall::Kind::SetMusicSource, .Installed = static_cast<bool>(source)});
  music_ = std::move(source);
}

std::vector<AudioCall> HeadlessAudioOutput::PlayStopCalls() const {
  std::vector<AudioCall> out;
  for (const AudioCall& c : calls_) {
    if (c.Type == AudioCall::Kind::Play || c.Type == AudioCall::Kind::Stop) out.push_back(c);
  }
  return out;
}

void HeadlessAudioOutput::FinishChannel(int channel) {
  if (channel < 0 || channel >= static_cast<int>(channels_.size())) return;
  Channel& c = channels_[static_cast<std::size_t>(channel)];
  if (!c.Looped) c.Playing = false;
}

void HeadlessAudioOutput::FinishAll() {
  for (std::size_t i = 0; i < channels_.size(); ++i) FinishChannel(static_cast<int>(i));
}

int HeadlessAudioOutput::ChunkOn(int channel) const {
  if (channel < 0 || channel >= static_cast<int>(channels_.size())) return 0;
  return channels_[static_cast<std::size_t>(channel)].Chunk;
}

int HeadlessAudioOutput::PlayingCount() const {
  int n = 0;
  for (const Channel& c : channels_) n += c.Playing ? 1 : 0;
  return n;
}

std::vector<std::uint8_t> HeadlessAudioOutput::ChunkBytes(int chunk) const {
  const auto it = chunks_.find(chunk);
  return it == chunks_.end() ? std::vector<std::uint8_t>{} : it->second;
}

std::vector<std::int16_t> HeadlessAudioOutput::RenderMusic(int frameCount) {
  std::vector<std::int16_t> frames(static_cast<std::size_t>(frameCount) * 2, 0);
  if (music_ && frameCount > 0) music_(frames.data(), frameCount);
  return frames;
}

std::unique_ptr<IAudioOutput> CreateHeadlessAudioOutput() { return std::make_unique<HeadlessAudioOutput>(); }

}  // namespace kestrune
