#include "framework/WaveList.h"

#include <chrono>
#include <thread>

#include "framework/ArchiveIO.h"
#include "framework/DXSound.h"
#include "framework/Errors.h"
#include "framework/Platform.h"

namespace kestrune {

// ---------------------------------------------------------------------------------------------
// TWaveCollectionItem

TWaveCollectionItem::~TWaveCollectionItem() { FreeBuffers(); }

IAudioOutput* TWaveCollectionItem::Audio() const {
  return collection_->sound_ ? collection_->sound_->Audio() : nullptr;
}

void TWaveCollectionItem::DeviceInitialized() {
  FreeBuffers();
  initialized_ = true;
}

void TWaveCollectionItem::Restore() {
  if (Wave.Empty()) return;
  if (!initialized_) {
    if (!collection_->sound_) return;
    initialized_ = true;
  }
  IAudioOutput* audio = Audio();
  if (!audio) return;
  if (masterChunk_ == 0) {
    const std::vector<std::uint8_t> riff = MakeRiffWave(Wave.Format, Wave.Data);
    masterChunk_ = audio->CreateChunk(riff.data(), riff.size());
    if (masterChunk_ == 0) throw EDirectSoundBufferError("Sound Buffer cannot be made");
  }
  if (masterChannel_ >= 0) audio->SetChannelParameters(masterChannel_, Volume, Pan, Frequency);
}

void TWaveCollectionItem::FreeCopies() {
  IAudioOutput* audio = Audio();
  for (int channel : copies_) {
    if (audio) audio->FreeChannel(channel);
  }
  copies_.clear();
}

void TWaveCollectionItem::FreeBuffers() {
  FreeCopies();
  IAudioOutput* audio = Audio();
  if (audio) {
    if (masterChannel_ >= 0) audio->FreeChannel(masterChannel_);
    if (masterChunk_ != 0) audio->FreeChunk(masterChunk_);
  }
  masterChannel_ = -1;
  masterChunk_ = 0;
}

void TWaveCollectionItem::PlayOn(int channel, bool looped) {
  IAudioOutput* audio = Audio();
  audio->Stop(channel);
  audio->SetChannelParameters(channel, Volume, Pan, Frequency);
  audio->Play(channel, masterChunk_, looped);
}

void TWaveCollectionItem::Play(bool wait) {
  if (!initialized_) return;
  IAudioOutput* audio = Audio();
  if (!audio || masterChunk_ == 0) return;

  if (looped_) {
    // The master buffer itself repeats; copies are not used and wait is ignored.
    if (masterChannel_ < 0) masterChannel_ = audio->AllocateChannel();
    if (masterChannel_ < 0) return;
    PlayOn(masterChannel_, true);
    return;
  }

  // The first copy that is not sounding; else a new copy while the limit allows; else the
  // first copy is cut off, moved to the end of the list and restarted.
  int chosen = -1;
  for (int channel : copies_) {
    if (!audio->IsPlaying(channel)) {
      chosen = channel;
      break;
    }
  }
  if (chosen < 0 && (maxPlayingCount_ == 0 || static_cast<int>(copies_.size()) < maxPlayingCount_)) {
    chosen = audio->AllocateChannel();
    if (chosen >= 0) copies_.push_back(chosen);
  }
  if (chosen < 0) {
    // At the limit, or the mixer has no channel left: reuse the oldest copy.
    if (copies_.empty()) return;
    chosen = copies_.front();
    copies_.erase(copies_.begin());
    copies_.push_back(chosen);
  }
  PlayOn(chosen, false);

  if (wait) {
    while (audio->IsPlaying(chosen)) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void TWaveCollectionItem::Stop() {
  if (!initialized_) return;
  IAudioOutput* audio = Audio();
  if (!audio) return;
  if (masterChannel_ >= 0) audio->Stop(masterChannel_);
  for (int channel : copies_) audio->Stop(channel);
}

void TWaveCollectionItem::SetLooped(bool looped) {
  if (looped == looped_) return;
  Stop();
  looped_ = looped;
}

void TWaveCollectionItem::SetMaxPlayingCount(int count) {
  if (count < 0) count = 0;
  if (count == maxPlayingCount_) return;
  maxPlayingCount_ = count;
  if (initialized_) FreeCopies();
}

// ---------------------------------------------------------------------------------------------
// TWaveCollection

TWaveCollection::~TWaveCollection() {
  // Items free their buffers through this collection's device link, so they go first.
  Clear();
}

TWaveCollectionItem& TWaveCollection::Add() {
  auto item = std::unique_ptr<TWaveCollectionItem>(new TWaveCollectionItem(*this));
  return static_cast<TWaveCollectionItem&>(AddItem(std::move(item)));
}

TWaveCollectionItem& TWaveCollection::FindWave(const std::string& name) const {
  THashCollectionItem* item = FindItem(name);
  if (!item) {
    EWaveCollectionError error("Wave '" + name + "' not found");
    error.SourceFile = SourceFile();
    throw error;
  }
  return static_cast<TWaveCollectionItem&>(*item);
}

void TWaveCollection::LoadFromFile(const std::string& path) {
  LoadFromArchive(ReadWaveArchive(path));
  SetSourceFile(path);
}

void TWaveCollection::LoadFromArchive(const WaveArchive& archive) {
  WaveArchive copy = archive;
  LoadFromArchive(std::move(copy));
}

void TWaveCollection::LoadFromArchive(WaveArchive&& archive) {
  Clear();
  SetSourceFile("");
  for (WaveItemRecord& record : archive.Items) {
    TWaveCollectionItem& item = Add();
    item.SetName(record.Name);
    item.SetLooped(record.Looped);
    item.SetMaxPlayingCount(record.MaxPlayingCount);
    if (record.HasWave) {
      item.Wave.Format = std::move(record.Format);
      item.Wave.Data = std::move(record.Data);
    }
  }
  if (sound_) {
    for (int i = 0; i < Count(); ++i) Items(i).Restore();
  }
}

void TWaveCollection::DeviceInitialized(TDXSound& sound) {
  sound_ = &sound;
  for (int i = 0; i < Count(); ++i) Items(i).DeviceInitialized();
}

void TWaveCollection::DeviceRestored() {
  for (int i = 0; i < Count(); ++i) Items(i).Restore();
}

void TWaveCollection::DeviceFinalized() {
  for (int i = 0; i < Count(); ++i) {
    Items(i).FreeBuffers();
    Items(i).initialized_ = false;
  }
  sound_ = nullptr;
}

// ---------------------------------------------------------------------------------------------
// TDXWaveList

TDXWaveList::~TDXWaveList() { SetDXSound(nullptr); }

void TDXWaveList::SetDXSound(TDXSound* sound) {
  if (sound == sound_) return;
  if (sound_) sound_->UnRegisterNotifyEvent(this);
  sound_ = sound;
  if (sound_) {
    sound_->RegisterNotifyEvent(
        this, [this](TDXSound& sender, TDXSoundNotifyType type) { DXSoundNotify(sender, type); });
  }
}

void TDXWaveList::DXSoundNotify(TDXSound& sender, TDXSoundNotifyType type) {
  switch (type) {
    case TDXSoundNotifyType::dsntInitialize:
      Items.DeviceInitialized(sender);
      break;
    case TDXSoundNotifyType::dsntRestore:
      Items.DeviceRestored();
      break;
    case TDXSoundNotifyType::dsntFinalize:
      Items.DeviceFinalized();
      break;
    case TDXSoundNotifyType::dsntDestroying:
      sound_ = nullptr;
      break;
    case TDXSoundNotifyType::dsntInitializing:
      break;
  }
}

}  // namespace kestrune
