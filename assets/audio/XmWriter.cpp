#include "XmWriter.h"

#include <algorithm>
#include <cmath>

namespace kestrune::audio {

namespace {

class ByteWriter {
 public:
  void U8(int v) { bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF)); }
  void U16(int v) {
    U8(v);
    U8(v >> 8);
  }
  void U32(std::uint32_t v) {
    U16(static_cast<int>(v & 0xFFFF));
    U16(static_cast<int>(v >> 16));
  }
  // A fixed-width text field, cut or padded with zero bytes.
  void Text(const std::string& text, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) U8(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
  }
  void PatchU16(std::size_t at, int v) {
    bytes_[at] = static_cast<std::uint8_t>(v & 0xFF);
    bytes_[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  }
  std::size_t Size() const { return bytes_.size(); }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

void Check(bool ok, const std::string& what) {
  if (!ok) throw XmError("XM module: " + what);
}

void Validate(const XmModule& m) {
  Check(m.Channels >= 1 && m.Channels <= 32, "channel count must be 1..32");
  Check(!m.Orders.empty() && m.Orders.size() <= 256, "order list must hold 1..256 entries");
  Check(m.RestartPosition >= 0 && m.RestartPosition < static_cast<int>(m.Orders.size()),
        "restart position outside the order list");
  Check(!m.Patterns.empty() && m.Patterns.size() <= 256, "pattern count must be 1..256");
  Check(m.Instruments.size() <= 128, "at most 128 instruments");
  Check(m.Speed >= 1 && m.Speed <= 31, "speed must be 1..31");
  Check(m.Bpm >= 32 && m.Bpm <= 255, "tempo must be 32..255 BPM");
  for (int order : m.Orders) {
    Check(order >= 0 && order < static_cast<int>(m.Patterns.size()), "order refers to a missing pattern");
  }
  for (const XmPattern& p : m.Patterns) {
    Check(p.Rows >= 1 && p.Rows <= 256, "pattern rows must be 1..256");
    Check(p.Cells.size() == static_cast<std::size_t>(p.Rows) * m.Channels, "pattern cell count mismatch");
    for (const XmCell& c : p.Cells) {
      Check(c.Note <= kXmKeyOff, "note out of range");
      Check(c.Instrument <= m.Instruments.size(), "cell refers to a missing instrument");
    }
  }
  for (const XmInstrument& in : m.Instruments) {
    Check(in.VolumeEnvelope.size() <= 12, "an envelope holds at most 12 points");
    Check(in.SustainPoint < static_cast<int>(in.VolumeEnvelope.size()), "sustain point outside the envelope");
    const XmSample& s = in.Sample;
    const int frames = static_cast<int>(s.Data.size());
    Check(s.LoopStart >= 0 && s.LoopLength >= 0 && s.LoopStart + s.LoopLength <= frames,
          "sample loop outside the sample");
    Check(s.Finetune >= -128 && s.Finetune <= 127 && s.RelativeNote >= -96 && s.RelativeNote <= 95,
          "sample tuning out of range");
  }
}

void WritePattern(ByteWriter& w, const XmPattern& p) {
  w.U32(9);  // pattern header length
  w.U8(0);   // packing type
  w.U16(p.Rows);
  const std::size_t sizeAt = w.Size();
  w.U16(0);
  const std::size_t start = w.Size();
  for (const XmCell& c : p.Cells) {
    // Packed cells: a flag byte with bit 7 set names the fields that follow.
    int flags = 0x80;
    if (c.Note) flags |= 0x01;
    if (c.Instrument) flags |= 0x02;
    if (c.Volume) flags |= 0x04;
    if (c.Effect) flags |= 0x08;
    if (c.Param) flags |= 0x10;
    w.U8(flags);
    if (c.Note) w.U8(c.Note);
    if (c.Instrument) w.U8(c.Instrument);
    if (c.Volume) w.U8(c.Volume);
    if (c.Effect) w.U8(c.Effect);
    if (c.Param) w.U8(c.Param);
  }
  const std::size_t packed = w.Size() - start;
  Check(packed <= 0xFFFF, "packed pattern too large");
  w.PatchU16(sizeAt, static_cast<int>(packed));
}

void WriteInstrument(ByteWriter& w, const XmInstrument& in) {
  constexpr int kHeaderSize = 263;  // the full instrument header FastTracker 2 writes
  w.U32(kHeaderSize);
  w.Text(in.Name, 22);
  w.U8(0);                               // instrument type
  w.U16(1);                              // one sample
  w.U32(40);                             // sample header size
  for (int i = 0; i < 96; ++i) w.U8(0);  // every key plays sample 0
  for (std::size_t i = 0; i < 12; ++i) {
    const XmEnvelopePoint p = i < in.VolumeEnvelope.size() ? in.VolumeEnvelope[i] : XmEnvelopePoint{};
    w.U16(p.Tick);
    w.U16(p.Value);
  }
  for (int i = 0; i < 12; ++i) w.U32(0);  // panning envelope unused
  w.U8(static_cast<int>(in.VolumeEnvelope.size()));
  w.U8(0);  // panning points
  w.U8(std::max(0, in.SustainPoint));
  w.U8(0);  // volume loop start, end
  w.U8(0);
  w.U8(0);  // panning sustain, loop start, end
  w.U8(0);
  w.U8(0);
  int volumeType = 0;
  if (!in.VolumeEnvelope.empty()) volumeType |= 1;
  if (in.SustainPoint >= 0) volumeType |= 2;
  w.U8(volumeType);
  w.U8(0);               // panning type
  w.U8(in.VibratoType);  // auto-vibrato: waveform, sweep, depth, rate
  w.U8(in.VibratoSweep);
  w.U8(in.VibratoDepth);
  w.U8(in.VibratoRate);
  w.U16(std::clamp(in.Fadeout, 0, 0xFFF));
  for (int i = 0; i < 22; ++i) w.U8(0);  // reserved

  const XmSample& s = in.Sample;
  const int bytesPerFrame = s.Is16Bit ? 2 : 1;
  w.U32(static_cast<std::uint32_t>(s.Data.size() * bytesPerFrame));
  w.U32(static_cast<std::uint32_t>(s.LoopStart * bytesPerFrame));
  w.U32(static_cast<std::uint32_t>(s.LoopLength * bytesPerFrame));
  w.U8(std::clamp(s.Volume, 0, 64));
  w.U8(s.Finetune);
  w.U8((s.LoopLength > 0 ? 1 : 0) | (s.Is16Bit ? 0x10 : 0));
  w.U8(std::clamp(s.Panning, 0, 255));
  w.U8(s.RelativeNote);
  w.U8(0);
  w.Text(s.Name, 22);
}

void WriteSampleData(ByteWriter& w, const XmSample& s) {
  // Sample data is stored as differences between neighbouring samples.
  if (s.Is16Bit) {
    std::int16_t previous = 0;
    for (std::int16_t v : s.Data) {
      w.U16(static_cast<std::uint16_t>(v - previous));
      previous = v;
    }
  } else {
    std::int8_t previous = 0;
    for (std::int16_t v : s.Data) {
      const auto b = static_cast<std::int8_t>(v >> 8);
      w.U8(static_cast<std::uint8_t>(b - previous));
      previous = b;
    }
  }
}

}  // namespace

std::vector<std::uint8_t> WriteXm(const XmModule& m) {
  Validate(m);
  ByteWriter w;
  w.Text("Extended Module: ", 17);
  w.Text(m.Name, 20);
  w.U8(0x1A);
  w.Text("Kestrune songmaker", 20);
  w.U16(0x0104);
  w.U32(276);  // header size from this field on: 20 bytes of fields and the order table
  w.U16(static_cast<int>(m.Orders.size()));
  w.U16(m.RestartPosition);
  w.U16(m.Channels);
  w.U16(static_cast<int>(m.Patterns.size()));
  w.U16(static_cast<int>(m.Instruments.size()));
  w.U16(1);  // linear frequency table
  w.U16(m.Speed);
  w.U16(m.Bpm);
  for (int i = 0; i < 256; ++i) w.U8(i < static_cast<int>(m.Orders.size()) ? m.Orders[i] : 0);
  for (const XmPattern& p : m.Patterns) WritePattern(w, p);
  for (const XmInstrument& in : m.Instruments) {
    WriteInstrument(w, in);
    WriteSampleData(w, in.Sample);
  }
  return w.Take();
}

void TuneSample(XmSample& sample, double sampleRate, double recordedHz, double targetHz) {
  const double semitones = 12.0 * std::log2(targetHz * sampleRate / recordedHz / 8363.0);
  int relative = static_cast<int>(std::floor(semitones));
  int finetune = static_cast<int>(std::lround((semitones - relative) * 128.0));
  if (finetune >= 128) {
    ++relative;
    finetune -= 128;
  }
  sample.RelativeNote = relative;
  sample.Finetune = finetune;
}

}  // namespace kestrune::audio
