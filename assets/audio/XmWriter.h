#pragma once
// FastTracker 2 extended modules (XM, version 0x0104): the records of a song and the writer
// that turns them into a file. Only what the game's songs use: linear frequency table,
// 8- or 16-bit samples, one sample per instrument, volume envelopes.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrune::audio {

constexpr int kXmKeyOff = 97;  // the "note off" note; 1..96 are C-0..B-7

struct XmCell {
  std::uint8_t Note = 0;        // 0 none, 1..96, or kXmKeyOff
  std::uint8_t Instrument = 0;  // 0 none, else 1-based
  std::uint8_t Volume = 0;      // volume column byte: 0 none, 0x10..0x50 set volume 0..64
  std::uint8_t Effect = 0;      // effect type (0 = arpeggio, so an empty effect has Param 0)
  std::uint8_t Param = 0;
  bool Empty() const { return Note == 0 && Instrument == 0 && Volume == 0 && Effect == 0 && Param == 0; }
};

struct XmPattern {
  int Rows = 64;
  std::vector<XmCell> Cells;  // Rows x channels, row by row
  XmCell& At(int row, int channel, int channels) {
    return Cells[static_cast<std::size_t>(row) * channels + channel];
  }
};

struct XmEnvelopePoint {
  std::uint16_t Tick = 0;
  std::uint16_t Value = 0;  // 0..64
};

struct XmSample {
  std::string Name;
  std::vector<std::int16_t> Data;  // stored 16-bit unless Is16Bit is false (then high bytes kept)
  bool Is16Bit = true;
  int LoopStart = 0, LoopLength = 0;  // in sample frames; length 0 = no loop
  int Volume = 64;
  int Finetune = 0;      // -128..127 (1/128 semitone)
  int RelativeNote = 0;  // semitones relative to C-4 at 8363 Hz
  int Panning = 128;
};

struct XmInstrument {
  std::string Name;
  XmSample Sample;
  std::vector<XmEnvelopePoint> VolumeEnvelope;  // empty: no envelope (key off cuts the note)
  int SustainPoint = -1;                        // index into VolumeEnvelope, -1 none
  int Fadeout = 0;                              // 0..0xFFF, applied after key off
  int VibratoType = 0, VibratoSweep = 0, VibratoDepth = 0, VibratoRate = 0;  // automatic vibrato
};

struct XmModule {
  std::string Name;
  int Channels = 8;
  int Speed = 6;  // ticks per row
  int Bpm = 125;
  int RestartPosition = 0;
  std::vector<int> Orders;  // pattern numbers
  std::vector<XmPattern> Patterns;
  std::vector<XmInstrument> Instruments;
};

class XmError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws XmError for a module no player could load (too many channels, orders, rows, ...).
std::vector<std::uint8_t> WriteXm(const XmModule& module);

// Relative note and finetune that make note C-4 play a sample recorded at sampleRate whose
// pitch is `recordedHz`, as the given target pitch (Hz) of C-4.
void TuneSample(XmSample& sample, double sampleRate, double recordedHz, double targetHz);

}  // namespace kestrune::audio
