#pragma once
// The narrow interface between the game and the machine it runs on. It stands in for the
// window system, the display driver, the keyboard device, the audio device and the music
// library. Two back ends implement it: SDL2 (src/platform/sdl) for the real game, and a
// headless one (src/platform/headless) with a manual clock, scripted input and frames kept
// in memory, for tests and replays. Nothing outside src/platform includes SDL.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestrune {

// Window events delivered to the main window's handlers.
struct PlatformEvent {
  enum class Kind {
    KeyDown,     // VirtualKey, Shift/Ctrl/Alt
    KeyUp,       // VirtualKey, Shift/Ctrl/Alt
    Char,        // Char: a typed character (8 = Backspace, 13 = Enter)
    MouseMove,   // X, Y in back-surface coordinates
    MouseClick,  // X, Y in back-surface coordinates (left button); Clicks
    Close,       // the window's close command
    FocusGained,
    FocusLost,
    // The window moved to another display or the display's mode changed: the refresh rate may
    // differ from the one read before.
    DisplayChanged,
  };
  Kind Type = Kind::KeyDown;
  // The window it happened in: 0 the main window, 1 the second window (mouse, close, focus).
  int Window = 0;
  int VirtualKey = 0;  // Windows virtual-key code, 1..255
  bool Shift = false, Ctrl = false, Alt = false;
  std::uint8_t Char = 0;
  int X = 0, Y = 0;
  // MouseClick: 1 for a single click, 2 for the second click of a double-click, and so on.
  int Clicks = 1;
  // KeyDown/KeyUp: sent by a gamepad control rather than the keyboard.
  bool FromPad = false;
};

// A font asked for by family name, point size (at 96 dots per inch) and weight.
struct FontRequest {
  std::string Family;
  int PointSize = 12;
  bool Bold = false;
  bool operator==(const FontRequest&) const = default;
};

// Coverage of rendered text: Width x Height bytes, 0 = background, 255 = full ink.
struct TextMask {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Coverage;
};

// Text rasteriser shared by both back ends (fonts resolved through fontconfig).
class ITextRenderer {
 public:
  virtual ~ITextRenderer() = default;
  virtual TextMask Render(const FontRequest& font, const std::string& text) = 0;
  virtual int Width(const FontRequest& font, const std::string& text) = 0;
  virtual int Height(const FontRequest& font, const std::string& text) = 0;
};

// Sound output: one channel per playing copy of an effect, plus one music stream mixed in.
class IAudioOutput {
 public:
  virtual ~IAudioOutput() = default;
  // False when no audio device could be opened: the game then runs silently.
  virtual bool IsOpen() const = 0;
  // A chunk made from a whole RIFF WAVE file in memory; returns 0 when it cannot be made.
  virtual int CreateChunk(const std::uint8_t* riffWave, std::size_t size) = 0;
  virtual void FreeChunk(int chunk) = 0;
  // Channels are allocated as copies are created; returns -1 when none can be had.
  virtual int AllocateChannel() = 0;
  virtual void Play(int channel, int chunk, bool looped) = 0;
  virtual void Stop(int channel) = 0;
  virtual bool IsPlaying(int channel) const = 0;
  // Volume in hundredths of a decibel of attenuation (0 = full), pan -10000..10000 (0 = centre),
  // frequency in Hz (0 = the sound's own rate).
  virtual void SetChannelParameters(int channel, int volume, int pan, int frequency) = 0;
  // The music stream: a callback that fills interleaved stereo 16-bit frames at OutputRate().
  // Pass an empty function to remove it. Called from the audio thread; once SetMusicSource
  // returns, the previous source is never called again, so its data may be freed.
  using MusicSource = std::function<void(std::int16_t* stereoFrames, int frameCount)>;
  virtual void SetMusicSource(MusicSource source) = 0;
  virtual int OutputRate() const = 0;
  // Stops a channel and hands it back for a later AllocateChannel.
  virtual void FreeChannel(int channel) { Stop(channel); }
  // Silences (without stopping) every effect channel, not the music: effects are not heard
  // while the game's window is in the background.
  virtual void SetEffectsMuted(bool /*muted*/) {}
  // The player's volumes (0..100) of the music and of the effects, and the mute key's silence of
  // both. They change only what is heard: the game plays, stops and counts its sounds the same.
  virtual void SetVolumes(int /*musicPercent*/, int /*soundPercent*/) {}
  virtual void SetMuted(bool /*muted*/) {}
};

// A window's position, size and state, as saved before full screen and put back after it.
struct WindowPlacement {
  int X = 0, Y = 0, Width = 0, Height = 0;
  bool Minimized = false;
  bool operator==(const WindowPlacement&) const = default;
};

// A second window beside the main one (the goodbye window): borderless, centred on the screen,
// cut to a shape, dragged by the points the game names.
struct SecondWindowLayout {
  std::string Title;
  int Width = 0, Height = 0;
  // Width x Height bytes, row by row: 1 where the window shows, 0 for a hole. Empty: the whole
  // rectangle. Systems without shaped windows show the rectangle.
  std::vector<std::uint8_t> Shape;
  // True for a point (window coordinates) by which the window is dragged, like a caption.
  std::function<bool(int x, int y)> IsDragArea;
};

class IPlatform {
 public:
  virtual ~IPlatform() = default;

  // Window and presentation. OpenWindow returns false (with a reason in LastError) when no
  // display is available.
  virtual bool OpenWindow(const std::string& title, int width, int height) = 0;
  virtual std::string LastError() const = 0;
  // A switch that fails leaves IsFullScreen as it was, with the reason in LastError.
  virtual void SetFullScreen(bool fullScreen) = 0;
  virtual bool IsFullScreen() const = 0;
  virtual void ShowWindow(bool visible) = 0;
  // Shows the RGB565 back surface. Waits for (or paces to) the display refresh.
  virtual void Present(const std::uint16_t* pixels, int width, int height, int pitchPixels) = 0;
  // True once after the renderer lost its surfaces (the display sends its restore notification).
  virtual bool TakeSurfacesLost() = 0;
  // Refresh rate of the display in Hz as the system reports it (0 or 1 = unknown).
  virtual int RefreshRate() const = 0;
  virtual void ShowCursor(bool visible) = 0;
  // The pointer's shape over the window: a pointing hand (the default) or the arrow.
  virtual void SetHandCursor(bool hand) { (void)hand; }
  // Window placement (position, size, state) for the switch between window and full screen.
  // Back ends without a movable window keep the defaults.
  virtual bool GetWindowPlacement(WindowPlacement& placement) const {
    (void)placement;
    return false;
  }
  virtual void SetWindowPlacement(const WindowPlacement& placement) { (void)placement; }
  // Centres the window on its display (when it is not full screen).
  virtual void CenterWindow() {}

  // The second window: opened shown, its picture presented whole (RGB565, Width x Height), closed
  // for good. OpenSecondWindow returns false when it cannot be made. Its mouse, close and focus
  // events arrive with Window = 1 and window coordinates.
  virtual bool OpenSecondWindow(const SecondWindowLayout& layout) {
    (void)layout;
    return false;
  }
  virtual void PresentSecondWindow(const std::uint16_t* pixels, int pitchPixels) {
    (void)pixels, (void)pitchPixels;
  }
  virtual void CloseSecondWindow() {}

  // Time and input.
  virtual std::uint32_t Milliseconds() const = 0;
  virtual bool PollEvent(PlatformEvent& event) = 0;
  // Sleeps until an event arrives or the timeout passes; used while the frame timer is
  // suspended, so an inactive game does not spin.
  virtual void WaitForEvent(int timeoutMs) { (void)timeoutMs; }
  // 256 virtual-key states; a key is down when its entry's top bit (0x80) is set.
  virtual void ReadKeyboard(std::uint8_t states[256]) = 0;
  virtual bool IsForeground() const = 0;

  // System services.
  virtual void ShowMessageBox(const std::string& title, const std::string& text) = 0;
  // Hands the address to the system's handler; one that cannot be opened writes one line on
  // standard error.
  virtual void OpenUrl(const std::string& address) = 0;
  virtual void Quit() = 0;
  virtual bool QuitRequested() const = 0;
  // The folder of the files kept between runs (options, high scores, the goodbye window's
  // switch): Data/Save below the game's folder, or a per-user folder where the game's own folder
  // cannot be written (an installed game).
  virtual std::string SaveFolder() const { return "Data/Save"; }
  // True while the game takes typed text (a name, the country): keys are then themselves, not
  // the actions the player's controls give them, so every letter types.
  virtual void SetTextEntry(bool typing) { (void)typing; }

  virtual ITextRenderer& Text() = 0;
  virtual IAudioOutput& Audio() = 0;
};

}  // namespace kestrune
