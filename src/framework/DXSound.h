#pragma once
// The sound device component. It opens the platform's audio output and tells its listeners (the
// sound libraries) when the device appears, is rebuilt or goes away, so they can make and drop
// their buffers. Without an audio device the game runs silently.

#include <cstdint>
#include <functional>
#include <vector>

namespace kestrune {

class IAudioOutput;

// Notification codes sent to listeners, in the device's numbering.
enum class TDXSoundNotifyType : int {
  dsntDestroying = 0,
  dsntInitializing = 1,
  dsntInitialize = 2,
  dsntFinalize = 3,
  dsntRestore = 4,
};

class TDXSound;
using TDXSoundNotifyEvent = std::function<void(TDXSound& sender, TDXSoundNotifyType type)>;

// Option set of the device, in bit order.
enum TDXSoundOption : std::uint32_t {
  soGlobalFocus = 1u << 0,  // buffers keep sounding while other programs have the focus
  soStickyFocus = 1u << 1,  // ... while another window of this program has it
  soExclusive = 1u << 2,
};

class TDXSound {
 public:
  // audio may be null: the device then never initialises.
  explicit TDXSound(IAudioOutput* audio);
  ~TDXSound();
  TDXSound(const TDXSound&) = delete;
  TDXSound& operator=(const TDXSound&) = delete;

  std::uint32_t Options = 0;
  bool AutoInitialize = true;

  // Opens the device and notifies 1, then 2 and 4. Raises EDirectSoundError when there is no
  // audio device.
  void Initialize();
  // Notifies 3 and releases the device; nothing when not initialised.
  void Finalize();
  // Asks the listeners to rebuild their buffers (notifies 4).
  void Restore();
  // The automatic initialisation done when the main window is built: with AutoInitialize set,
  // initialises and swallows a missing device, so the game just stays silent.
  void Loaded();

  bool Initialized() const { return initialized_; }
  // The open output while initialised, else null.
  IAudioOutput* Audio() const { return initialized_ ? audio_ : nullptr; }

  // The game window gained or lost the focus. Without soGlobalFocus or soStickyFocus effects
  // are silent while the window is in the background.
  void SetWindowActive(bool active);

  // A listener registered while the device is initialised gets 2 then 4 at once; on removal
  // it gets 3.
  void RegisterNotifyEvent(const void* owner, TDXSoundNotifyEvent event);
  void UnRegisterNotifyEvent(const void* owner);

 private:
  void Notify(TDXSoundNotifyType type);

  IAudioOutput* audio_;
  bool initialized_ = false;
  bool windowActive_ = true;
  struct Listener {
    const void* Owner;
    TDXSoundNotifyEvent Event;
  };
  std::vector<Listener> listeners_;
};

}  // namespace kestrune
