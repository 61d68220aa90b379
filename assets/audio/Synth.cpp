#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrune::audio {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}

int Samples(double seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

float Noise::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(static_cast<double>(state_) / 2147483648.0 - 1.0);
}

float Oscillator::Step(double frequency, double pulseWidth) {
  const double p = phase_;
  phase_ += frequency / kRate;
  phase_ -= std::floor(phase_);
  switch (wave_) {
    case Wave::Sine:
      return static_cast<float>(std::sin(kTwoPi * p));
    case Wave::Saw:
      return static_cast<float>(2.0 * p - 1.0);
    case Wave::Square:
      return p < pulseWidth ? 1.0f : -1.0f;
    case Wave::Triangle:
      return static_cast<float>(p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p);
  }
  return 0.0f;
}

float OnePole::Lowpass(float in, double cutoff) {
  const double a = 1.0 - std::exp(-kTwoPi * std::clamp(cutoff, 1.0, kRate * 0.49) / kRate);
  state_ += static_cast<float>(a) * (in - state_);
  return state_;
}

StateVariable::Out StateVariable::Step(float in, double cutoff, double damping) {
  // Two passes per sample keep the filter stable up to a quarter of the rate.
  const double f = 2.0 * std::sin(std::numbers::pi * std::clamp(cutoff, 10.0, kRate * 0.24) / (2.0 * kRate));
  const float ff = static_cast<float>(f), q = static_cast<float>(damping);
  float high = 0.0f;
  for (int pass = 0; pass < 2; ++pass) {
    low_ += ff * band_;
    high = in - low_ - q * band_;
    band_ += ff * high;
  }
  return {low_, band_, high};
}

float AttackDecay(double t, double attack, double decay) {
  if (t < 0.0) return 0.0f;
  if (t < attack) return static_cast<float>(t / attack);
  return static_cast<float>(std::exp(-(t - attack) / decay));
}

float Adsr(double t, double attack, double decay, double sustain, double release, double length) {
  if (t < 0.0) return 0.0f;
  double level;
  if (t < attack) {
    level = t / attack;
  } else {
    level = sustain + (1.0 - sustain) * std::exp(-(t - attack) / decay);
  }
  const double releaseStart = length - release;
  if (t > releaseStart) level *= std::max(0.0, (length - t) / release);
  return static_cast<float>(level);
}

double Lerp(double a, double b, double x) { return a + (b - a) * std::clamp(x, 0.0, 1.0); }

double Glide(double a, double b, double t, double time) {
  if (t >= time) return b;
  return a * std::pow(b / a, std::max(0.0, t) / time);
}

Signal Generate(int count, const std::function<float(int, double)>& sample) {
  Signal out(static_cast<std::size_t>(std::max(0, count)));
  for (int i = 0; i < count; ++i) out[i] = sample(i, static_cast<double>(i) / kRate);
  return out;
}

void MixInto(Signal& target, const Signal& source, double gain, int offset) {
  const std::size_t end = static_cast<std::size_t>(offset) + source.size();
  if (target.size() < end) target.resize(end, 0.0f);
  for (std::size_t i = 0; i < source.size(); ++i) target[offset + i] += static_cast<float>(gain) * source[i];
}

void Scale(Signal& signal, double gain) {
  for (float& s : signal) s *= static_cast<float>(gain);
}

float Peak(const Signal& signal) {
  float peak = 0.0f;
  for (float s : signal) peak = std::max(peak, std::fabs(s));
  return peak;
}

double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

void NormalizePeak(Signal& signal, double peakDb) {
  const float peak = Peak(signal);
  if (peak > 0.0f) Scale(signal, DbToGain(peakDb) / peak);
}

void SoftClip(Signal& signal, double drive) {
  for (float& s : signal) s = static_cast<float>(std::tanh(drive * s) / drive);
}

void FadeIn(Signal& signal, double seconds) {
  const int n = std::min<int>(Samples(seconds), static_cast<int>(signal.size()));
  for (int i = 0; i < n; ++i) signal[i] *= static_cast<float>(i) / n;
}

void FadeOut(Signal& signal, double seconds) {
  const int size = static_cast<int>(signal.size());
  const int n = std::min(Samples(seconds), size);
  for (int i = 0; i < n; ++i) signal[size - 1 - i] *= static_cast<float>(i) / n;
}

void RemoveDc(Signal& signal) {
  // A gentle highpass (about 20 Hz) run forwards; removes offsets from asymmetric waves.
  OnePole lp;
  for (float& s : signal) s = lp.Highpass(s, 20.0);
}

void CloseLoop(Signal& signal, int crossfade) {
  const int loop = static_cast<int>(signal.size()) - crossfade;
  if (crossfade <= 0 || loop <= crossfade) return;
  for (int i = 0; i < crossfade; ++i) {
    const double w = 0.5 - 0.5 * std::cos(std::numbers::pi * (i + 0.5) / crossfade);
    signal[i] = static_cast<float>(w * signal[i] + (1.0 - w) * signal[loop + i]);
  }
  signal.resize(static_cast<std::size_t>(loop));
}

double LoopFrequency(double frequency, int loopSamples) {
  const double cycles = std::max(1.0, std::round(frequency * loopSamples / kRate));
  return cycles * kRate / loopSamples;
}

std::vector<std::int16_t> ToInt16(const Signal& signal) {
  std::vector<std::int16_t> out(signal.size());
  for (std::size_t i = 0; i < signal.size(); ++i) {
    const double v = std::clamp(static_cast<double>(signal[i]) * 32767.0, -32767.0, 32767.0);
    out[i] = static_cast<std::int16_t>(std::lround(v));
  }
  return out;
}

std::vector<std::uint8_t> ToPcm16(const Signal& signal) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(signal.size() * 2);
  for (std::int16_t v : ToInt16(signal)) {
    const auto u = static_cast<std::uint16_t>(v);
    bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  return bytes;
}

}  // namespace kestrune::audio
