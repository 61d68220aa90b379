#pragma once
// The sound library: named sound items loaded from a sound archive, each played through the
// sound device as a master buffer (looped sounds) or as copies that share the master's data, so
// several instances of one effect can sound at once.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/ArchiveTypes.h"
#include "framework/HashCollection.h"

namespace kestrune {

class IAudioOutput;
class TDXSound;
enum class TDXSoundNotifyType : int;
class TWaveCollection;

// A sound's data: the format block and the sample bytes.
struct TWave {
  WaveFormat Format;
  std::vector<std::uint8_t> Data;
  std::size_t Size() const { return Data.size(); }
  bool Empty() const { return Data.empty(); }
};

class TWaveCollectionItem : public THashCollectionItem {
 public:
  ~TWaveCollectionItem() override;

  // Starts the sound: a looped item restarts its master buffer repeating; otherwise a free copy
  // plays once (see Play in the .cpp for which copy). With wait, returns when that copy ends.
  // Nothing happens while the item is not initialised.
  void Play(bool wait = false);
  // Stops the master buffer and every copy; positions are not kept.
  void Stop();

  bool Looped() const { return looped_; }
  // A different value stops the item first.
  void SetLooped(bool looped);
  int MaxPlayingCount() const { return maxPlayingCount_; }
  // Negative values are stored as 0 (no limit); a different value frees all copies.
  void SetMaxPlayingCount(int count);

  // Applied to every buffer before it plays. Frequency in Hz (0 = the sound's own rate), pan
  // -10000..10000 (0 = centre), volume as attenuation in hundredths of a decibel (0 = full).
  int Frequency = 0;
  int Pan = 0;
  int Volume = 0;

  TWave Wave;
  // Prepares the item: once the device is initialised, makes the master buffer from the wave
  // when it has none (nothing for a wave without samples). Done for every item after the device
  // initialises, after loading and on restore; call it after changing Wave by hand.
  void Restore();

  bool Initialized() const { return initialized_; }
  // Buffers in use, for inspection: the master's chunk (0 = none), the master's channel (-1 =
  // none yet) and the copies' channels in list order.
  int MasterChunk() const { return masterChunk_; }
  int MasterChannel() const { return masterChannel_; }
  const std::vector<int>& Copies() const { return copies_; }

 private:
  friend class TWaveCollection;
  explicit TWaveCollectionItem(TWaveCollection& collection) : collection_(&collection) {}

  IAudioOutput* Audio() const;
  // The device came up: drop old buffers and mark the item initialised.
  void DeviceInitialized();
  // Frees every buffer; the item stays initialised unless the device goes away.
  void FreeBuffers();
  void FreeCopies();
  void PlayOn(int channel, bool looped);

  TWaveCollection* collection_;
  bool initialized_ = false;
  bool looped_ = false;
  int maxPlayingCount_ = 0;
  int masterChunk_ = 0;
  int masterChannel_ = -1;
  std::vector<int> copies_;
};

class TWaveCollection : public THashCollection {
 public:
  TWaveCollection() = default;
  ~TWaveCollection() override;

  // A new item at the end: no name, not looped, no limit, no wave (see Restore).
  TWaveCollectionItem& Add();
  TWaveCollectionItem& Items(int index) const { return static_cast<TWaveCollectionItem&>(ItemAt(index)); }
  // Raises EWaveCollectionError "Wave '%s' not found" when no item has the name (case ignored;
  // of two equal names the one set last wins).
  TWaveCollectionItem& FindWave(const std::string& name) const;

  // Reads a sound archive (raising the archive reader's errors), replaces the items with its
  // contents and, when the device is initialised, prepares them.
  void LoadFromFile(const std::string& path);
  void LoadFromArchive(const WaveArchive& archive);
  // The same, taking the sample bytes over instead of copying them.
  void LoadFromArchive(WaveArchive&& archive);

  // The device while it is initialised, else null.
  TDXSound* DXSound() const { return sound_; }

 private:
  friend class TDXWaveList;
  friend class TWaveCollectionItem;
  void DeviceInitialized(TDXSound& sound);
  void DeviceRestored();
  void DeviceFinalized();

  TDXSound* sound_ = nullptr;
};

// The sound library component: a collection of items bound to a sound device.
class TDXWaveList {
 public:
  TDXWaveList() = default;
  ~TDXWaveList();
  TDXWaveList(const TDXWaveList&) = delete;
  TDXWaveList& operator=(const TDXWaveList&) = delete;

  TDXSound* DXSound() const { return sound_; }
  // Binds the library to a device (or unbinds with null); an initialised device prepares the
  // items at once.
  void SetDXSound(TDXSound* sound);

  TWaveCollection Items;

 private:
  void DXSoundNotify(TDXSound& sender, TDXSoundNotifyType type);
  TDXSound* sound_ = nullptr;
};

}  // namespace kestrune
