#include "SoundRecipes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kestrune::audio {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

float Sine(double cycles) { return static_cast<float>(std::sin(kTwoPi * cycles)); }

// Looped sounds are rendered this much longer and the tail is blended over the start.
constexpr int kLoopCrossfade = 1024;
constexpr int kEngineLoop = kRate;  // one second: any whole-Hz frequency fits whole cycles

// A four-cylinder engine: a decaying pressure pulse per firing with slightly uneven
// cylinders, exhaust hiss, a half-rate rumble, through a resonant exhaust body that opens
// up with load. Firing rates that are multiples of 4 Hz repeat exactly in a one-second loop.
class EngineVoice {
 public:
  explicit EngineVoice(std::uint32_t seed) : noise_(seed) {}

  float Step(double firing, double load, double pops = 0.0) {
    phase_ += firing / kRate;
    if (phase_ >= 1.0) {
      phase_ -= 1.0;
      cylinder_ = (cylinder_ + 1) % 4;
      popLevel_ = noise_.Uniform01() < pops ? 1.0f : 0.0f;  // overrun crackle on some firings
    }
    subPhase_ += 0.5 * firing / kRate;
    subPhase_ -= std::floor(subPhase_);
    static constexpr std::array<float, 4> kCylinderLevel = {1.0f, 0.82f, 0.94f, 0.78f};
    const double sharpness = 3.0 + 9.0 * load;
    const float pulse = static_cast<float>(std::exp(-phase_ * sharpness)) * kCylinderLevel[cylinder_];
    const float decay = static_cast<float>(std::exp(-phase_ * 7.0));
    const float hiss = noise_.Next() * decay * static_cast<float>(0.12 + 0.3 * load);
    const float pop = noise_.Next() * popLevel_ * static_cast<float>(std::exp(-phase_ * 14.0)) * 1.2f;
    const float rumble = 0.35f * Sine(subPhase_);
    const auto body = body_.Step(pulse + hiss + pop + rumble, 320.0 + 1400.0 * load, 0.55);
    const float tone = presence_.Step(body.low, 700.0 + 900.0 * load, 1.2).band;
    return static_cast<float>(std::tanh((body.low + (0.25 + 0.35 * load) * tone) * (1.5 + 2.5 * load)));
  }

 private:
  Noise noise_;
  double phase_ = 0.0, subPhase_ = 0.0;
  int cylinder_ = 0;
  float popLevel_ = 0.0f;
  StateVariable body_, presence_;
};

Signal EngineLoop(double firing, double load, double pops, double peakDb, std::uint32_t seed) {
  EngineVoice engine(seed);
  Signal s =
      Generate(kEngineLoop + kLoopCrossfade, [&](int, double) { return engine.Step(firing, load, pops); });
  RemoveDc(s);
  CloseLoop(s, kLoopCrossfade);
  // Start half a firing in, so the loop point falls between two pulses rather than on one.
  std::rotate(s.begin(), s.begin() + static_cast<int>(kRate / firing / 2), s.end());
  NormalizePeak(s, peakDb);
  return s;
}

// Renders a looped noise-based sound one crossfade longer, then closes the loop.
Signal NoiseLoop(int samples, double peakDb, const std::function<float(int, double)>& sample) {
  Signal s = Generate(samples + kLoopCrossfade, sample);
  RemoveDc(s);
  CloseLoop(s, kLoopCrossfade);
  NormalizePeak(s, peakDb);
  return s;
}

// A struck metal part: a few inharmonic partials with their own decays.
float Metal(double t, double base, double decay) {
  static constexpr std::array<double, 5> kRatio = {1.0, 1.62, 2.61, 3.71, 5.26};
  static constexpr std::array<double, 5> kLevel = {1.0, 0.7, 0.5, 0.35, 0.2};
  float sum = 0.0f;
  for (std::size_t k = 0; k < kRatio.size(); ++k) {
    sum += static_cast<float>(kLevel[k] * std::exp(-t * (k + 1) / decay)) * Sine(base * kRatio[k] * t);
  }
  return sum;
}

// A low body hit: a dropping sine with a puff of low noise.
float Thud(double t, Noise& noise, OnePole& filter, double pitch = 75.0) {
  if (t < 0.0) return 0.0f;
  const double freq = Glide(pitch * 1.8, pitch, t, 0.05);
  const float env = AttackDecay(t, 0.002, 0.045);
  return env * (Sine(freq * t) + 0.6f * filter.Lowpass(noise.Next(), 400.0));
}

// Glottal source shaped by three vowel formants: a synthetic voice for the cries.
class Voice {
 public:
  explicit Voice(std::uint32_t seed) : noise_(seed) {}
  float Step(double pitch, double rasp, const std::array<double, 3>& formants) {
    phase_ += pitch / kRate;
    phase_ -= std::floor(phase_);
    // A skewed pulse rich in harmonics, plus breath and rasp noise.
    const float glottal = static_cast<float>(std::pow(phase_, 3.0) - 0.25);
    const float breath = noise_.Next() * static_cast<float>(0.08 + 0.25 * rasp);
    const float src = glottal + breath;
    const float f1 = formant_[0].Step(src, formants[0], 0.18).band;
    const float f2 = formant_[1].Step(src, formants[1], 0.14).band;
    const float f3 = formant_[2].Step(src, formants[2], 0.12).band;
    return static_cast<float>(std::tanh(1.5 * (f1 + 0.7 * f2 + 0.35 * f3)));
  }

 private:
  Noise noise_;
  double phase_ = 0.0;
  std::array<StateVariable, 3> formant_;
};

// One bell-like tone of the chimes: fundamental, octave and an inharmonic shimmer.
float Bell(double t, double freq, double decay) {
  if (t < 0.0) return 0.0f;
  const float env = AttackDecay(t, 0.002, decay);
  return env * (Sine(freq * t) + 0.35f * Sine(2.0 * freq * t) +
                0.2f * Sine(2.76 * freq * t) * static_cast<float>(std::exp(-t / 0.04)));
}

// ---- The recipes, one per effect ----

Signal Neutral() { return EngineLoop(28, 0.05, 0.0, -15.0, 11); }
Signal Accel1() { return EngineLoop(48, 0.55, 0.0, -14.0, 12); }
Signal Accel2() { return EngineLoop(64, 0.65, 0.0, -14.0, 13); }
Signal Accel3() { return EngineLoop(80, 0.75, 0.0, -14.0, 14); }
Signal Accel4() { return EngineLoop(96, 0.85, 0.0, -14.0, 15); }
Signal Maxed() { return EngineLoop(124, 1.0, 0.0, -14.0, 16); }
Signal Slowed() { return EngineLoop(64, 0.12, 0.18, -15.0, 17); }

Signal Shift() {
  // Clutch clunk, then the revs fall from the top of one gear towards the next.
  EngineVoice engine(18);
  Noise noise(19);
  OnePole thudFilter;
  StateVariable clunkFilter;
  Signal s = Generate(Samples(0.4), [&](int, double t) {
    const double firing = Glide(104.0, 68.0, t, 0.28);
    const double load = Lerp(0.2, 0.6, (t - 0.12) / 0.2);
    const float clunk = clunkFilter.Step(noise.Next(), 900.0, 0.4).band * AttackDecay(t, 0.001, 0.018);
    return 0.55f * engine.Step(firing, load) + 1.2f * clunk + 0.7f * Thud(t, noise, thudFilter, 90.0);
  });
  RemoveDc(s);
  FadeOut(s, 0.12);
  NormalizePeak(s, -8.0);
  return s;
}

Signal Brake() {
  // Tyre squeal: a wavering tone with a harmonic over band-limited scrubbing noise.
  Noise noise(21);
  StateVariable hissFilter;
  OnePole wobble;
  return NoiseLoop(kRate, -8.0, [&](int, double t) {
    // About 1.2 kHz, wandering by some 60 Hz at two slow rates that fit the one-second loop.
    const double phase = 1180.0 * t + 0.9 * std::sin(kTwoPi * 7.0 * t) + 1.3 * std::sin(kTwoPi * 3.0 * t);
    const float tone = Sine(phase) + 0.3f * Sine(2.0 * phase) + 0.12f * Sine(3.0 * phase);
    const float flutter = 0.75f + 0.25f * wobble.Lowpass(noise.Next(), 30.0) * 6.0f;
    const float hiss = hissFilter.Step(noise.Next(), 2600.0, 0.7).band;
    return 0.6f * tone * flutter + 0.5f * hiss;
  });
}

Signal Nitro() {
  // Boost roar: deep rushing noise, a hissing jet band that breathes, and a low rumble.
  Noise noise(22);
  OnePole roarFilter, roarFilter2;
  StateVariable jet;
  return NoiseLoop(kRate, -7.0, [&](int, double t) {
    const float roar = roarFilter2.Lowpass(roarFilter.Lowpass(noise.Next(), 500.0), 700.0) * 3.0f;
    const double jetFreq = 2200.0 + 500.0 * std::sin(kTwoPi * 3.0 * t);
    const float hiss = jet.Step(noise.Next(), jetFreq, 0.6).band;
    const float rumble = Sine(55.0 * t) * 0.5f + Sine(110.0 * t) * 0.2f;
    return static_cast<float>(std::tanh(1.4 * (roar + 0.45f * hiss + rumble)));
  });
}

Signal MachineGun() {
  // Fourteen shots a second in a one-second loop; each shot's tail wraps round to the start
  // so the loop repeats without a seam.
  constexpr int kShots = 14;
  const int period = kRate / kShots;
  const int length = period * kShots;
  Signal s(static_cast<std::size_t>(length), 0.0f);
  Noise noise(23);
  for (int shot = 0; shot < kShots; ++shot) {
    const float level = 0.85f + 0.15f * noise.Uniform01();
    OnePole crackFilter, bodyFilter, thudFilter;
    for (int i = 0; i < Samples(0.12); ++i) {
      const double t = static_cast<double>(i) / kRate;
      const float crack = crackFilter.Highpass(noise.Next(), 1500.0) * AttackDecay(t, 0.0005, 0.008);
      const float body = bodyFilter.Lowpass(noise.Next(), 900.0) * AttackDecay(t, 0.001, 0.03) * 2.0f;
      const float thud = Thud(t, noise, thudFilter, 70.0);
      s[(shot * period + i) % length] += level * (crack + body + 0.8f * thud);
    }
  }
  SoftClip(s, 1.5);
  NormalizePeak(s, -6.0);
  return s;
}

Signal Rocket() {
  // Ignition pop, then a rushing whoosh whose band sweeps up and settles.
  Noise noise(24);
  StateVariable sweep;
  OnePole rumbleFilter;
  Signal s = Generate(Samples(0.5), [&](int, double t) {
    const float pop = noise.Next() * AttackDecay(t, 0.0005, 0.006);
    const double band = t < 0.12 ? Glide(500.0, 3200.0, t, 0.12) : Glide(3200.0, 1300.0, t - 0.12, 0.3);
    const float whoosh = sweep.Step(noise.Next(), band, 0.45).band * AttackDecay(t, 0.03, 0.18);
    const float rumble = rumbleFilter.Lowpass(noise.Next(), 250.0) * 3.0f * AttackDecay(t, 0.02, 0.15);
    return 1.2f * pop + whoosh + rumble;
  });
  FadeOut(s, 0.15);
  NormalizePeak(s, -5.0);
  return s;
}

// A band-limited sawtooth at time t: harmonics up to 7 kHz, so nothing folds back.
float BandLimitedSaw(double freq, double t) {
  float sum = 0.0f;
  for (int k = 1; k * freq < 7000.0; ++k) sum += Sine(k * freq * t) / static_cast<float>(k);
  return sum * 0.6f;
}

Signal Horn() {
  // A dual-tone horn (about F#4 and A#4): buzzy saws through the trumpet's resonance.
  StateVariable resonance;
  OnePole tame;
  return NoiseLoop(kRate, -9.0, [&](int, double t) {
    const float buzz = BandLimitedSaw(370.0, t) + 0.85f * BandLimitedSaw(466.0, t + 0.3 / 466.0);
    const float shaped = resonance.Step(buzz, 1100.0, 0.9).band + 0.3f * buzz;
    return static_cast<float>(std::tanh(1.6 * tame.Lowpass(shaped, 3000.0)));
  });
}

Signal Kill() {
  // A man's cry ("aargh") over the thud of the hit.
  Voice voice(25);
  Noise noise(26);
  OnePole thudFilter;
  Noise jitter(27);
  OnePole jitterFilter;
  Signal s = Generate(Samples(0.8), [&](int, double t) {
    const double cry = t - 0.03;
    double pitch = cry < 0.1 ? Glide(150.0, 215.0, cry, 0.1) : Glide(215.0, 105.0, cry - 0.1, 0.62);
    pitch *=
        1.0 + 0.04 * jitterFilter.Lowpass(jitter.Next(), 40.0) * 4.0 + 0.015 * std::sin(kTwoPi * 6.0 * t);
    const std::array<double, 3> vowel = {Lerp(600, 760, cry / 0.2), Lerp(1000, 1180, cry / 0.2), 2500.0};
    const float env = cry < 0.0 ? 0.0f : Adsr(cry, 0.03, 0.2, 0.7, 0.25, 0.77);
    return env * voice.Step(pitch, 0.5, vowel) + 1.1f * Thud(t, noise, thudFilter, 70.0);
  });
  NormalizePeak(s, -4.0);
  return s;
}

Signal KillW() {
  // A woman's scream rising into "ee" and falling away to "ah".
  Voice voice(28);
  Noise jitter(29);
  OnePole jitterFilter;
  Signal s = Generate(Samples(0.75), [&](int, double t) {
    double pitch = t < 0.08 ? Glide(330.0, 560.0, t, 0.08) : Glide(560.0, 300.0, t - 0.08, 0.62);
    pitch *= 1.0 + 0.03 * jitterFilter.Lowpass(jitter.Next(), 40.0) * 4.0 + 0.02 * std::sin(kTwoPi * 7.0 * t);
    const double morph = (t - 0.15) / 0.4;
    const std::array<double, 3> vowel = {Lerp(400, 880, morph), Lerp(2400, 1450, morph),
                                         Lerp(3100, 2900, morph)};
    return Adsr(t, 0.02, 0.25, 0.75, 0.3, 0.75) * voice.Step(pitch, 0.25, vowel);
  });
  NormalizePeak(s, -6.0);
  return s;
}

Signal Score() {
  // Two quick bright bell notes, B5 then E6.
  Signal s = Generate(Samples(0.35), [](int, double t) {
    return 0.6f * Bell(t, 987.77, 0.09) + 0.7f * Bell(t - 0.065, 1318.51, 0.12);
  });
  FadeOut(s, 0.05);
  NormalizePeak(s, -6.0);
  return s;
}

Signal Bonus() {
  // A rising arpeggio (C5 E5 G5 C6 E6) landing on a held G6 with vibrato.
  static constexpr std::array<double, 6> kNotes = {523.25, 659.26, 783.99, 1046.50, 1318.51, 1567.98};
  constexpr double kStep = 0.055;
  Oscillator under(Wave::Triangle);
  OnePole soften;
  double phase = 0.0;
  // A band-limited quarter-width pulse: the high notes would alias as a plain square.
  const auto pulse = [&](double freq) {
    phase += freq / kRate;
    phase -= std::floor(phase);
    float sum = 0.0f;
    for (int k = 1; k * freq < 7000.0; ++k) {
      sum += static_cast<float>(std::sin(std::numbers::pi * k * 0.25) / k) * Sine(k * phase);
    }
    return sum;
  };
  Signal s = Generate(Samples(0.65), [&](int, double t) {
    const std::size_t note = std::min<std::size_t>(kNotes.size() - 1, static_cast<std::size_t>(t / kStep));
    const double since = t - note * kStep;
    const double vibrato = note == kNotes.size() - 1 ? 1.0 + 0.01 * std::sin(kTwoPi * 9.0 * since) : 1.0;
    const double freq = kNotes[note] * vibrato;
    const float env = note == kNotes.size() - 1 ? Adsr(since, 0.004, 0.1, 0.6, 0.15, 0.65 - 5 * kStep)
                                                : AttackDecay(since, 0.003, 0.05) * 0.8f + 0.2f;
    return env * soften.Lowpass(0.6f * pulse(freq) + 0.6f * under.Step(freq * 0.5), 4500.0);
  });
  NormalizePeak(s, -6.0);
  return s;
}

Signal Explosion() {
  // A falling boom, a roar whose brightness dies away, and scattered crackle.
  Noise noise(30);
  StateVariable roarFilter;
  OnePole crackleFilter;
  Signal s = Generate(Samples(1.4), [&](int, double t) {
    const float boom = Sine(std::pow(t + 0.01, 0.8) * 110.0) * AttackDecay(t, 0.004, 0.35);
    const float roar =
        roarFilter.Step(noise.Next(), Glide(3000.0, 140.0, t, 1.0), 0.8).low * AttackDecay(t, 0.002, 0.4);
    const float sparkChance = static_cast<float>(0.02 * std::exp(-t / 0.5));
    const float spark =
        noise.Uniform01() < sparkChance ? noise.Next() * 2.0f * static_cast<float>(std::exp(-t / 0.4)) : 0.0f;
    const float crackle = crackleFilter.Highpass(spark, 1200.0);
    return 1.2f * boom + 1.5f * roar + crackle;
  });
  SoftClip(s, 2.5);
  RemoveDc(s);
  FadeOut(s, 0.3);
  NormalizePeak(s, -2.0);
  return s;
}

Signal Collision() {
  // A dull body thump with ringing sheet metal.
  Noise noise(31);
  OnePole thudFilter;
  Signal s = Generate(Samples(0.3), [&](int, double t) {
    return 1.2f * Thud(t, noise, thudFilter, 80.0) + 0.5f * Metal(t, 410.0, 0.09);
  });
  SoftClip(s, 1.3);
  FadeOut(s, 0.06);
  NormalizePeak(s, -4.0);
  return s;
}

Signal Tick() {
  // A clock tick: a tiny click and two short high pings.
  Noise noise(32);
  StateVariable click;
  Signal s = Generate(Samples(0.05), [&](int, double t) {
    const float c = click.Step(noise.Next(), 3500.0, 0.5).band * AttackDecay(t, 0.0002, 0.0015);
    return c + 0.6f * AttackDecay(t, 0.0003, 0.006) * Sine(2400.0 * t) +
           0.4f * AttackDecay(t, 0.0005, 0.01) * Sine(1250.0 * t);
  });
  FadeOut(s, 0.01);
  NormalizePeak(s, -9.0);
  return s;
}

Signal WeaponAppear() {
  // The weapon unfolding: a servo whine that fades in smoothly (the sound restarts every frame
  // while the weapon moves, so only the soft beginning is heard then), ratchet clicks, and a
  // locking clunk at the end.
  Oscillator servo(Wave::Saw);
  OnePole servoFilter;
  Noise noise(33);
  StateVariable ratchet;
  OnePole thudFilter;
  Signal s = Generate(Samples(0.5), [&](int, double t) {
    const float whine = servoFilter.Lowpass(servo.Step(Glide(170.0, 310.0, t, 0.42)), 1200.0);
    const double sinceClick = std::fmod(t - 0.08, 0.035);
    const float clicks = t < 0.08 || t > 0.4 ? 0.0f
                                             : ratchet.Step(noise.Next(), 2600.0, 0.4).band *
                                                   AttackDecay(sinceClick, 0.0003, 0.003);
    const float lock =
        t < 0.42 ? 0.0f : Thud(t - 0.42, noise, thudFilter, 110.0) + 0.4f * Metal(t - 0.42, 820.0, 0.05);
    return 0.5f * whine * std::min(1.0f, static_cast<float>(t / 0.02)) + 0.6f * clicks + lock;
  });
  FadeOut(s, 0.03);
  NormalizePeak(s, -8.0);
  return s;
}

Signal Button() {
  // A soft menu click: a short pitched blip with a touch of noise.
  Noise noise(34);
  OnePole tickFilter;
  Signal s = Generate(Samples(0.1), [&](int, double t) {
    return AttackDecay(t, 0.001, 0.02) * Sine(Glide(1500.0, 900.0, t, 0.03) * t) +
           0.3f * tickFilter.Highpass(noise.Next(), 3000.0) * AttackDecay(t, 0.0003, 0.002);
  });
  FadeOut(s, 0.02);
  NormalizePeak(s, -10.0);
  return s;
}

Signal Button_short() {
  // A shorter, softer and higher blip.
  Signal s = Generate(Samples(0.05), [](int, double t) {
    return AttackDecay(t, 0.0008, 0.009) * Sine(Glide(2100.0, 1600.0, t, 0.015) * t);
  });
  FadeOut(s, 0.01);
  NormalizePeak(s, -14.0);
  return s;
}

Signal MenuBegin() {
  // A rising whoosh that opens into a C major chord as the main menu fades in.
  static constexpr std::array<double, 5> kChord = {130.81, 261.63, 329.63, 392.00, 523.25};
  Noise noise(35);
  StateVariable sweep, chordFilter;
  std::array<Oscillator, 10> voices = {Oscillator(Wave::Saw, 0.0), Oscillator(Wave::Saw, 0.5),
                                       Oscillator(Wave::Saw, 0.2), Oscillator(Wave::Saw, 0.7),
                                       Oscillator(Wave::Saw, 0.4), Oscillator(Wave::Saw, 0.9),
                                       Oscillator(Wave::Saw, 0.1), Oscillator(Wave::Saw, 0.6),
                                       Oscillator(Wave::Saw, 0.3), Oscillator(Wave::Saw, 0.8)};
  Signal s = Generate(Samples(0.75), [&](int, double t) {
    const float whoosh = sweep.Step(noise.Next(), Glide(300.0, 4000.0, t, 0.35), 0.5).band *
                         Adsr(t, 0.28, 0.15, 0.0, 0.01, 0.75);
    float chord = 0.0f;
    for (std::size_t v = 0; v < voices.size(); ++v) {
      const double detune = (v % 2 == 0) ? 1.0 : 1.006;
      chord += voices[v].Step(kChord[v / 2] * detune);
    }
    const float opened = chordFilter.Step(chord, Glide(300.0, 3000.0, t, 0.3), 0.6).low;
    return 0.9f * whoosh + 0.18f * opened * Adsr(t, 0.18, 0.3, 0.5, 0.35, 0.75);
  });
  RemoveDc(s);
  NormalizePeak(s, -6.0);
  return s;
}

}  // namespace

const std::vector<SoundRecipe>& SoundRecipes() {
  // One copy at most for every effect: the game stops an effect before it plays it again.
  static const std::vector<SoundRecipe> kRecipes = {
      {"Neutral", true, 1, Neutral},
      {"Accel1", true, 1, Accel1},
      {"Accel2", true, 1, Accel2},
      {"Accel3", true, 1, Accel3},
      {"Accel4", true, 1, Accel4},
      {"Shift", false, 1, Shift},
      {"Slowed", true, 1, Slowed},
      {"Maxed", true, 1, Maxed},
      {"Brake", true, 1, Brake},
      {"Nitro", true, 1, Nitro},
      {"MachineGun", true, 1, MachineGun},
      {"Rocket", false, 1, Rocket},
      {"Horn", true, 1, Horn},
      {"Kill", false, 1, Kill},
      {"KillW", false, 1, KillW},
      {"Score", false, 1, Score},
      {"Bonus", false, 1, Bonus},
      {"Explosion", false, 1, Explosion},
      {"Collision", false, 1, Collision},
      {"Tick", false, 1, Tick},
      {"WeaponAppear", false, 1, WeaponAppear},
      {"Button", false, 1, Button},
      {"Button_short", false, 1, Button_short},
      {"MenuBegin", false, 1, MenuBegin},
  };
  return kRecipes;
}

}  // namespace kestrune::audio
