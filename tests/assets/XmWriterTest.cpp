// The XM writer: what it writes must load in libopenmpt with every cell, sample and loop
// intact, and modules no player could load are refused.

#include <gtest/gtest.h>

#include <cmath>
#include <libopenmpt/libopenmpt.hpp>

#include "Instruments.h"
#include "XmWriter.h"

namespace kestrune::audio {
namespace {

// Two channels, one 16-row pattern, one looped 16-bit instrument.
XmModule SmallModule() {
  XmModule m;
  m.Name = "test";
  m.Channels = 2;
  m.Speed = 6;
  m.Bpm = 125;
  m.Orders = {0, 0};
  XmPattern p;
  p.Rows = 16;
  p.Cells.assign(32, XmCell{});
  p.At(0, 0, 2) = {49, 1, 0x50, 0, 0};        // C-4, instrument 1, volume 64
  p.At(4, 1, 2) = {61, 1, 0, 0x0C, 0x20};     // C-5 with effect C20
  p.At(8, 0, 2) = {kXmKeyOff, 0, 0, 0, 0};    // key off
  p.At(12, 1, 2) = {0, 0, 0x30, 0x0A, 0x04};  // volume and volume slide only
  m.Patterns.push_back(p);
  XmInstrument in;
  in.Name = "tone";
  for (int i = 0; i < 64; ++i)
    in.Sample.Data.push_back(static_cast<std::int16_t>(12000 * std::sin(i * 0.19634954)));
  in.Sample.LoopStart = 0;
  in.Sample.LoopLength = 64;
  in.VolumeEnvelope = {{0, 64}, {10, 32}, {20, 0}};
  in.SustainPoint = 1;
  m.Instruments.push_back(in);
  return m;
}

TEST(XmWriter, WrittenModuleLoadsWithItsLayoutCellsAndLength) {
  const std::vector<std::uint8_t> bytes = WriteXm(SmallModule());
  openmpt::module mod(bytes);
  EXPECT_EQ(mod.get_num_channels(), 2);
  EXPECT_EQ(mod.get_num_orders(), 2);
  EXPECT_EQ(mod.get_num_patterns(), 1);
  EXPECT_EQ(mod.get_num_instruments(), 1);
  EXPECT_EQ(mod.get_metadata("type"), "xm");
  // Two passes of 16 rows at speed 6, 125 BPM: 2 * 16 * 6 * 2.5 / 125 s.
  EXPECT_NEAR(mod.get_duration_seconds(), 3.84, 0.01);

  using C = openmpt::module::command_index;
  // libopenmpt numbers notes its own way; what matters is that they keep their distance.
  const int c4 = mod.get_pattern_row_channel_command(0, 0, 0, C::command_note);
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 4, 1, C::command_note), c4 + 12);
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 0, 0, C::command_instrument), 1);
  EXPECT_EQ(mod.format_pattern_row_channel_command(0, 4, 1, C::command_effect), "C");
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 4, 1, C::command_parameter), 0x20);
  EXPECT_EQ(mod.format_pattern_row_channel_command(0, 8, 0, C::command_note), "===");  // key off
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 12, 1, C::command_volume), 0x20);
  EXPECT_EQ(mod.format_pattern_row_channel_command(0, 12, 1, C::command_effect), "A");
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 12, 1, C::command_note), 0);
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 1, 0, C::command_note), 0);  // empty cell
}

TEST(XmWriter, SampleDataIsDeltaCodedWithWrapAround) {
  XmModule m = SmallModule();
  m.Instruments[0].Sample.Data = {100, -200, 32767, -32768, 0};
  m.Instruments[0].Sample.LoopLength = 0;
  const std::vector<std::uint8_t> bytes = WriteXm(m);
  // The sample data ends the file: 100, -300, 32967 (wraps to -32569), -65535 (wraps to 1), 32768.
  const std::vector<std::uint8_t> expected = {0x64, 0x00, 0xD4, 0xFE, 0xC7, 0x80, 0x01, 0x00, 0x00, 0x80};
  ASSERT_GE(bytes.size(), expected.size());
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 10, bytes.end()), expected);

  m.Instruments[0].Sample.Is16Bit = false;  // 8-bit keeps the high bytes, also delta coded
  const std::vector<std::uint8_t> bytes8 = WriteXm(m);
  const std::vector<std::uint8_t> expected8 = {0x00, 0xFF, 0x80, 0x01, 0x80};
  EXPECT_EQ(std::vector<std::uint8_t>(bytes8.end() - 5, bytes8.end()), expected8);
  EXPECT_NO_THROW(openmpt::module mod(bytes8));
}

TEST(XmWriter, LoopedSampleKeepsSoundingAfterKeyOffFadesTheEnvelope) {
  // With a sustain point the looped note holds until the key off at row 8, then fades out.
  XmModule m = SmallModule();
  m.Orders = {0};
  m.Patterns[0].At(4, 1, 2) = XmCell{};
  m.Patterns[0].At(12, 1, 2) = XmCell{};
  openmpt::module mod(WriteXm(m));
  std::vector<float> buf(2 * 44100 * 2);  // two seconds of stereo
  const std::size_t frames = mod.read_interleaved_stereo(44100, 2 * 44100, buf.data());
  ASSERT_EQ(frames, 2u * 44100);
  const auto rms = [&](double from, double to) {
    double sum = 0.0;
    const std::size_t a = static_cast<std::size_t>(from * 44100), b = static_cast<std::size_t>(to * 44100);
    for (std::size_t i = a; i < b; ++i) sum += buf[2 * i] * buf[2 * i];
    return std::sqrt(sum / static_cast<double>(b - a));
  };
  EXPECT_GT(rms(0.5, 0.9), 0.02);   // rows 4..7: sustained on the loop
  EXPECT_LT(rms(1.6, 1.9), 0.002);  // well after the key off at 0.96 s: faded out
}

TEST(XmWriter, RefusesModulesNoPlayerCouldLoad) {
  const std::vector<std::pair<const char*, void (*)(XmModule&)>> cases = {
      {"too many channels", [](XmModule& m) { m.Channels = 33; }},
      {"order names a missing pattern",
       [](XmModule& m) {
         m.Orders = {0, 1};
       }},
      {"restart outside the order list", [](XmModule& m) { m.RestartPosition = 2; }},
      {"no orders", [](XmModule& m) { m.Orders.clear(); }},
      {"cells do not match rows", [](XmModule& m) { m.Patterns[0].Cells.pop_back(); }},
      {"missing instrument", [](XmModule& m) { m.Patterns[0].Cells[0].Instrument = 2; }},
      {"loop past the sample end", [](XmModule& m) { m.Instruments[0].Sample.LoopStart = 1; }},
      {"sustain point outside envelope", [](XmModule& m) { m.Instruments[0].SustainPoint = 3; }},
      {"tempo too low", [](XmModule& m) { m.Bpm = 20; }},
  };
  for (const auto& [what, breakIt] : cases) {
    XmModule m = SmallModule();
    breakIt(m);
    EXPECT_THROW(WriteXm(m), XmError) << what;
  }
}

TEST(XmWriter, TuneSampleMakesC4PlayTheTargetPitch) {
  struct Case {
    double rate, recorded, target;
  };
  for (const Case& c :
       {Case{8363, 440, 440}, Case{16726, 440, 440}, Case{22050, 262.5, 261.6256},
        Case{22050, 131.25, 261.6256}, Case{44100, 261.6256, 261.6256}, Case{8000, 100, 300}}) {
    XmSample s;
    TuneSample(s, c.rate, c.recorded, c.target);
    EXPECT_GE(s.Finetune, -128);
    EXPECT_LE(s.Finetune, 127);
    const double playRate = 8363.0 * std::pow(2.0, (s.RelativeNote + s.Finetune / 128.0) / 12.0);
    const double cents = 1200.0 * std::log2(c.recorded * playRate / c.rate / c.target);
    EXPECT_LT(std::fabs(cents), 0.5) << c.rate << " " << c.recorded << " " << c.target;
  }
}

// The strongest period of a signal between minLag and maxLag samples, by autocorrelation.
double StrongestPeriod(const std::vector<float>& x, int minLag, int maxLag) {
  double best = -1.0;
  int bestLag = minLag;
  for (int lag = minLag; lag <= maxLag; ++lag) {
    double sum = 0.0, energy = 0.0;
    for (std::size_t i = 0; i + lag < x.size(); ++i) {
      sum += x[i] * x[i + lag];
      energy += x[i + lag] * x[i + lag];
    }
    const double score = sum / std::max(energy, 1e-9);
    if (score > best) {
      best = score;
      bestLag = lag;
    }
  }
  return bestLag;
}

TEST(Instruments, PlayTheWrittenNote) {
  struct Case {
    const char* Voice;
    int Note;  // XM note; C4 = 49
    double Hz;
  };
  constexpr int kRate = 44100;
  for (const Case& c : {Case{"lead", 46, 220.0}, Case{"bass", 34, 110.0}, Case{"epiano", 46, 220.0},
                        Case{"pluck", 58, 440.0}, Case{"brass", 46, 220.0}, Case{"pad", 46, 220.0}}) {
    XmModule m;
    m.Channels = 1;
    m.Orders = {0};
    XmPattern p;
    p.Rows = 16;
    p.Cells.assign(16, XmCell{});
    p.Cells[0] = {static_cast<std::uint8_t>(c.Note), 1, 0, 0, 0};
    m.Patterns.push_back(p);
    m.Instruments.push_back(MakeInstrument(c.Voice));
    m.Instruments[0].VibratoDepth = 0;
    openmpt::module mod(WriteXm(m));
    std::vector<float> mono(kRate / 2);
    std::vector<float> skip(kRate / 5);
    mod.read(kRate, skip.size(), skip.data());  // past the attack
    ASSERT_EQ(mod.read(kRate, mono.size(), mono.data()), mono.size()) << c.Voice;
    const double expectedLag = kRate / c.Hz;
    const double lag =
        StrongestPeriod(mono, static_cast<int>(expectedLag * 0.75), static_cast<int>(expectedLag * 1.4));
    EXPECT_NEAR(kRate / lag, c.Hz, c.Hz * 0.012) << c.Voice;
  }
}

TEST(Instruments, UnknownVoiceNamesTheKnownOnes) {
  try {
    MakeInstrument("kazoo");
    FAIL();
  } catch (const XmError& e) {
    EXPECT_NE(std::string(e.what()).find("kick"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace kestrune::audio
