#pragma once
// A small deterministic synthesiser for the game's sound effects and song instruments.
// Signals are mono float buffers at a fixed rate; everything random comes from a seeded
// generator, so the same recipe always yields the same samples.

#include <cstdint>
#include <functional>
#include <vector>

namespace kestrune::audio {

constexpr int kRate = 22050;  // samples per second of every generated sound

using Signal = std::vector<float>;

int Samples(double seconds);

// Seeded white noise source (xorshift), values in [-1, 1).
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
  float Next();
  float Uniform01() { return 0.5f * (Next() + 1.0f); }

 private:
  std::uint32_t state_;
};

enum class Wave { Sine, Saw, Square, Triangle };

// Phase-accumulating oscillator; Step advances by one sample at the given frequency.
class Oscillator {
 public:
  explicit Oscillator(Wave wave, double phase = 0.0) : wave_(wave), phase_(phase) {}
  float Step(double frequency, double pulseWidth = 0.5);

 private:
  Wave wave_;
  double phase_;
};

// One-pole smoothing filter: lowpass output, highpass = input - lowpass.
class OnePole {
 public:
  float Lowpass(float in, double cutoff);
  float Highpass(float in, double cutoff) { return in - Lowpass(in, cutoff); }

 private:
  float state_ = 0.0f;
};

// Chamberlin state-variable filter (two-pole); q is resonance damping (smaller = sharper).
class StateVariable {
 public:
  struct Out {
    float low, band, high;
  };
  Out Step(float in, double cutoff, double damping);

 private:
  float low_ = 0.0f, band_ = 0.0f;
};

// Envelope shapes evaluated at time t (seconds).
float AttackDecay(double t, double attack, double decay);  // linear rise, exponential fall
float Adsr(double t, double attack, double decay, double sustain, double release, double length);
double Lerp(double a, double b, double x);
// Exponential glide from a to b over `time` seconds, held at b afterwards.
double Glide(double a, double b, double t, double time);

// Signal helpers.
Signal Generate(int count, const std::function<float(int index, double t)>& sample);
void MixInto(Signal& target, const Signal& source, double gain = 1.0, int offset = 0);
void Scale(Signal& signal, double gain);
float Peak(const Signal& signal);
void NormalizePeak(Signal& signal, double peakDb);  // scales so the peak sits at peakDb dBFS
void SoftClip(Signal& signal, double drive);        // tanh saturation, unity small-signal gain
void FadeIn(Signal& signal, double seconds);
void FadeOut(Signal& signal, double seconds);
void RemoveDc(Signal& signal);
// Makes a buffer rendered `crossfade` samples longer than its loop join seamlessly: the
// extra tail is blended over the start and cut off, so the last sample flows into the first.
void CloseLoop(Signal& signal, int crossfade);
// Rounds a frequency so that a loop of loopSamples holds whole cycles of it.
double LoopFrequency(double frequency, int loopSamples);

// 16-bit little-endian PCM bytes, clamped to the sample range.
std::vector<std::uint8_t> ToPcm16(const Signal& signal);
std::vector<std::int16_t> ToInt16(const Signal& signal);

double DbToGain(double db);

}  // namespace kestrune::audio
