#include "Instruments.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>

#include "Synth.h"

namespace kestrune::audio {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kMiddleC = 261.6256;

// Gentle 4-pole-like rolloff used to shape harmonic amplitudes.
double Rolloff(double frequency, double cutoff) {
  const double r = frequency / cutoff;
  return 1.0 / std::sqrt(1.0 + r * r * r * r);
}

// Band-limited sum of harmonics at sample index i of a wave repeating every `period` samples.
// amplitude(k) gives harmonic k's level; harmonics above 5 kHz are left out so the sample
// can be played a couple of octaves higher without aliasing.
float Harmonics(int i, int period, const std::function<double(int k, double freq)>& amplitude) {
  const double f0 = static_cast<double>(kRate) / period;
  const double phase = static_cast<double>(i % period) / period;
  double sum = 0.0;
  for (int k = 1; k * f0 < 5000.0; ++k) sum += amplitude(k, k * f0) * std::sin(kTwoPi * k * phase);
  return static_cast<float>(sum);
}

double SawHarmonic(int k) { return 1.0 / k; }
double PulseHarmonic(int k, double width) { return std::sin(std::numbers::pi * k * width) / k; }

// A pitched sample: `settle` samples of attack, then whole periods that repeat as the loop.
XmSample Pitched(const std::string& name, int period, int settle, int loopPeriods,
                 const std::function<float(int, double)>& render) {
  Signal s = Generate(settle + period * loopPeriods, render);
  NormalizePeak(s, -0.5);
  XmSample sample;
  sample.Name = name;
  sample.Data = ToInt16(s);
  sample.LoopStart = settle;
  sample.LoopLength = period * loopPeriods;
  TuneSample(sample, kRate, static_cast<double>(kRate) / period, kMiddleC);
  return sample;
}

// A one-shot sample played at its own rate by note C4.
XmSample OneShot(const std::string& name, Signal s) {
  NormalizePeak(s, -0.5);
  FadeOut(s, 0.005);
  XmSample sample;
  sample.Name = name;
  sample.Data = ToInt16(s);
  TuneSample(sample, kRate, kMiddleC, kMiddleC);
  return sample;
}

XmInstrument Drum(const std::string& name, Signal s, int panning = 128) {
  XmInstrument in;
  in.Name = name;
  in.Sample = OneShot(name, std::move(s));
  in.Sample.Panning = panning;
  return in;
}

XmInstrument Kick() {
  Noise noise(101);
  return Drum("kick", Generate(Samples(0.4), [&](int, double t) {
                const double phase = 45.0 * t + (110.0 * 0.03) * (1.0 - std::exp(-t / 0.03));
                const float click = noise.Next() * AttackDecay(t, 0.0002, 0.002);
                return AttackDecay(t, 0.001, 0.16) * static_cast<float>(std::sin(kTwoPi * phase)) +
                       0.3f * click;
              }));
}

XmInstrument Snare() {
  Noise noise(102);
  StateVariable band;
  return Drum(
      "snare",
      Generate(Samples(0.3),
               [&](int, double t) {
                 const float tone = static_cast<float>(std::sin(kTwoPi * Glide(240.0, 180.0, t, 0.03) * t));
                 const float rattle = band.Step(noise.Next(), 3500.0, 1.2).band + 0.4f * noise.Next();
                 return 0.7f * tone * AttackDecay(t, 0.001, 0.05) + rattle * AttackDecay(t, 0.001, 0.09);
               }),
      118);
}

XmInstrument Clap() {
  Noise noise(103);
  StateVariable band;
  return Drum("clap",
              Generate(Samples(0.3),
                       [&](int, double t) {
                         // Three quick hand claps smeared into one.
                         float env = 0.0f;
                         for (double at : {0.0, 0.011, 0.022})
                           env += AttackDecay(t - at, 0.0005, at < 0.02 ? 0.006 : 0.08);
                         return band.Step(noise.Next(), 1400.0, 0.7).band * env;
                       }),
              138);
}

XmInstrument Hat(const std::string& name, double length, double decay, std::uint32_t seed) {
  Noise noise(seed);
  StateVariable band;
  OnePole hp;
  return Drum(name,
              Generate(Samples(length),
                       [&](int, double t) {
                         const float metal = band.Step(noise.Next(), 5200.0, 0.8).band +
                                             0.5f * hp.Highpass(noise.Next(), 6000.0);
                         return metal * AttackDecay(t, 0.0005, decay);
                       }),
              170);
}

XmInstrument Crash() {
  Noise noise(106);
  OnePole hp, lp;
  return Drum("crash",
              Generate(Samples(1.6),
                       [&](int, double t) {
                         return lp.Lowpass(hp.Highpass(noise.Next(), 3000.0), 9000.0) *
                                AttackDecay(t, 0.002, 0.5);
                       }),
              90);
}

XmInstrument WithEnvelope(XmInstrument in, std::vector<XmEnvelopePoint> points, int sustain, int fadeout) {
  in.VolumeEnvelope = std::move(points);
  in.SustainPoint = sustain;
  in.Fadeout = fadeout;
  return in;
}

XmInstrument Bass() {
  // Plucked saw-and-square bass: the brightness falls away in the first 0.2 s.
  constexpr int kPeriod = 168;  // about C3
  const int settle = Samples(0.2);
  XmInstrument in;
  in.Name = "bass";
  in.Sample = Pitched("bass", kPeriod, settle, 16, [&](int i, double t) {
    const double cutoff = t < 0.2 ? 450.0 + 2200.0 * std::pow(1.0 - t / 0.2, 3.0) : 450.0;
    return Harmonics(i, kPeriod, [&](int k, double f) {
      return (SawHarmonic(k) + 0.6 * PulseHarmonic(k, 0.5)) * Rolloff(f, cutoff);
    });
  });
  return WithEnvelope(in, {{0, 64}, {10, 50}, {40, 40}, {44, 0}}, 2, 0x800);
}

XmInstrument Pluck() {
  // A bright plucked string for arpeggios; dies away by itself.
  constexpr int kPeriod = 84;  // about C4
  const int settle = Samples(0.12);
  XmInstrument in;
  in.Name = "pluck";
  in.Sample = Pitched("pluck", kPeriod, settle, 32, [&](int i, double t) {
    const double cutoff = t < 0.12 ? 1200.0 + 3500.0 * std::pow(1.0 - t / 0.12, 2.0) : 1200.0;
    return Harmonics(i, kPeriod, [&](int k, double f) { return PulseHarmonic(k, 0.3) * Rolloff(f, cutoff); });
  });
  in.Sample.Panning = 165;
  return WithEnvelope(in, {{0, 64}, {6, 40}, {24, 16}, {60, 0}}, -1, 0x600);
}

XmInstrument Pad() {
  // Three slightly detuned saws an octave over a soft sub saw, darkened. Every partial fits
  // whole cycles in one second, so the one-second loop repeats exactly.
  const int settle = Samples(0.05);
  Signal s = Generate(settle + kRate, [&](int i, double) {
    const double t = static_cast<double>(i) / kRate;
    double sum = 0.0;
    for (double f : {261.0, 262.0, 263.5}) {
      for (int k = 1; k * f < 5000.0; ++k)
        sum += SawHarmonic(k) * Rolloff(k * f, 1400.0) * std::sin(kTwoPi * k * f * t);
    }
    for (int k = 1; k * 131.0 < 2000.0; ++k)
      sum += 0.5 * SawHarmonic(k) * Rolloff(k * 131.0, 700.0) * std::sin(kTwoPi * k * 131.0 * t);
    return static_cast<float>(sum);
  });
  NormalizePeak(s, -0.5);
  XmInstrument in;
  in.Name = "pad";
  in.Sample.Name = "pad";
  in.Sample.Data = ToInt16(s);
  in.Sample.LoopStart = settle;
  in.Sample.LoopLength = kRate;
  TuneSample(in.Sample, kRate, 262.0, kMiddleC);
  return WithEnvelope(in, {{0, 0}, {30, 64}, {60, 52}, {90, 0}}, 2, 0x180);
}

XmInstrument Lead() {
  // A pulse lead with a softened top and a delayed vibrato.
  constexpr int kPeriod = 84;
  XmInstrument in;
  in.Name = "lead";
  in.Sample = Pitched("lead", kPeriod, kPeriod * 4, 32, [&](int i, double) {
    return Harmonics(i, kPeriod,
                     [&](int k, double f) { return PulseHarmonic(k, 0.28) * Rolloff(f, 2600.0); });
  });
  in.VibratoType = 0;
  in.VibratoSweep = 40;
  in.VibratoDepth = 6;
  in.VibratoRate = 10;
  in.Sample.Panning = 110;
  return WithEnvelope(in, {{0, 0}, {2, 64}, {14, 48}, {22, 0}}, 2, 0x500);
}

XmInstrument ElectricPiano() {
  // A soft two-operator FM tine: bright at the strike, mellow while it sustains.
  constexpr int kPeriod = 84;
  const int settle = Samples(0.3);
  XmInstrument in;
  in.Name = "epiano";
  in.Sample = Pitched("epiano", kPeriod, settle, 32, [&](int i, double t) {
    const double phase = static_cast<double>(i % kPeriod) / kPeriod;
    const double index = t < 0.3 ? 0.35 + 2.2 * std::pow(1.0 - t / 0.3, 2.0) : 0.35;
    return static_cast<float>(std::sin(kTwoPi * phase + index * std::sin(kTwoPi * phase)));
  });
  in.Sample.Panning = 150;
  return WithEnvelope(in, {{0, 64}, {20, 42}, {80, 26}, {200, 14}}, 3, 0x300);
}

XmInstrument Brass() {
  // Bright saw stabs for the race chorus.
  constexpr int kPeriod = 84;
  const int settle = Samples(0.15);
  XmInstrument in;
  in.Name = "brass";
  in.Sample = Pitched("brass", kPeriod, settle, 32, [&](int i, double t) {
    const double cutoff = t < 0.15 ? 1500.0 + 2500.0 * std::sin(std::numbers::pi * t / 0.15) : 1500.0;
    return Harmonics(i, kPeriod, [&](int k, double f) { return SawHarmonic(k) * Rolloff(f, cutoff); });
  });
  in.Sample.Panning = 140;
  return WithEnvelope(in, {{0, 0}, {2, 64}, {12, 44}, {18, 0}}, 2, 0x700);
}

const std::map<std::string, XmInstrument (*)()>& Voices() {
  static const std::map<std::string, XmInstrument (*)()> kVoices = {
      {"kick", Kick},
      {"snare", Snare},
      {"clap", Clap},
      {"hat", [] { return Hat("hat", 0.1, 0.025, 104); }},
      {"openhat", [] { return Hat("openhat", 0.45, 0.16, 105); }},
      {"crash", Crash},
      {"bass", Bass},
      {"pluck", Pluck},
      {"pad", Pad},
      {"lead", Lead},
      {"epiano", ElectricPiano},
      {"brass", Brass},
  };
  return kVoices;
}

}  // namespace

std::vector<std::string> InstrumentVoices() {
  std::vector<std::string> names;
  for (const auto& [name, make] : Voices()) names.push_back(name);
  return names;
}

XmInstrument MakeInstrument(const std::string& voice) {
  const auto it = Voices().find(voice);
  if (it == Voices().end()) {
    std::string known;
    for (const std::string& name : InstrumentVoices()) known += (known.empty() ? "" : ", ") + name;
    throw XmError("unknown instrument voice \"" + voice + "\" (known: " + known + ")");
  }
  return it->second();
}

}  // namespace kestrune::audio
