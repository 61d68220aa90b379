#include "SongCompiler.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

#include "Instruments.h"

namespace kestrune::audio {

namespace {

// A lower-case "x" plays at this share of the instrument's volume.
constexpr int kSoftPercent = 60;

struct ChannelLine {
  int First = 0, Last = 0;  // 0-based channels
  int Instrument = 0;       // 1-based
  int Near = 0;             // chord voicing centre (XM note), chord lines only
  std::vector<std::string> Bars;
  int LineNumber = 0;
};

struct PatternDraft {
  std::string Id;
  int Bars = 0;
  int RowsPerBar = 16;
  int LineNumber = 0;
  std::vector<ChannelLine> Lines;
};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

// A "#" at the start of a line or after a space begins a comment; inside a word it is a sharp.
std::string WithoutComment(const std::string& line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1]))))
      return line.substr(0, i);
  }
  return line;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

int PitchClass(char letter) {
  switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'C':
      return 0;
    case 'D':
      return 2;
    case 'E':
      return 4;
    case 'F':
      return 5;
    case 'G':
      return 7;
    case 'A':
      return 9;
    case 'B':
      return 11;
    default:
      return -1;
  }
}

// Reads "C", "C#", "Db" at the start of text; returns the pitch class and how much it used.
int ParseRoot(const std::string& text, std::size_t& used) {
  used = 0;
  if (text.empty() || !std::isupper(static_cast<unsigned char>(text[0]))) return -1;
  int pc = PitchClass(text[0]);
  if (pc < 0) return -1;
  used = 1;
  if (text.size() > 1 && (text[1] == '#' || text[1] == 'b')) {
    pc += text[1] == '#' ? 1 : -1;
    used = 2;
  }
  return (pc + 12) % 12;
}

const std::map<std::string, std::vector<int>>& ChordQualities() {
  static const std::map<std::string, std::vector<int>> kQualities = {
      {"", {0, 4, 7}},         {"m", {0, 3, 7}},    {"7", {0, 4, 7, 10}}, {"m7", {0, 3, 7, 10}},
      {"maj7", {0, 4, 7, 11}}, {"sus2", {0, 2, 7}}, {"sus4", {0, 5, 7}},  {"dim", {0, 3, 6}},
      {"add9", {0, 4, 7, 2}},  {"6", {0, 4, 7, 9}}, {"m6", {0, 3, 7, 9}}, {"madd9", {0, 3, 7, 2}},
  };
  return kQualities;
}

class Compiler {
 public:
  Compiler(const std::string& text, const std::string& source) : text_(text), source_(source) {}

  XmModule Run() {
    std::istringstream in(text_);
    std::string raw;
    while (std::getline(in, raw)) {
      ++line_;
      const std::string content = WithoutComment(raw);
      const std::vector<std::string> w = Words(content);
      if (!w.empty()) Directive(w, content);
    }
    line_ = 0;
    Finish();
    return module_;
  }

 private:
  [[noreturn]] void Fail(const std::string& message, int line = -1) const {
    const int at = line < 0 ? line_ : line;  // 0: the fault is in the song as a whole
    throw SongError(source_ + (at > 0 ? ":" + std::to_string(at) : "") + ": " + message);
  }

  int Number(const std::string& word, int low, int high) const {
    std::size_t used = 0;
    int value = 0;
    try {
      value = std::stoi(word, &used);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used != word.size() || value < low || value > high) {
      Fail("expected a number " + std::to_string(low) + ".." + std::to_string(high) + ", got \"" + word +
           "\"");
    }
    return value;
  }

  void Directive(const std::vector<std::string>& w, const std::string& content) {
    const std::string& key = w[0];
    if (std::isdigit(static_cast<unsigned char>(key[0]))) return Channel(w, content);
    const auto need = [&](std::size_t count) {
      if (w.size() < count) Fail("\"" + key + "\" needs " + std::to_string(count - 1) + " value(s)");
    };
    if (key == "song") {
      need(2);
      module_.Name = content.substr(content.find(w[1], content.find(key) + key.size()));
      while (!module_.Name.empty() && std::isspace(static_cast<unsigned char>(module_.Name.back())))
        module_.Name.pop_back();
    } else if (key == "speed") {
      need(2);
      module_.Speed = Number(w[1], 1, 31);
    } else if (key == "bpm") {
      need(2);
      module_.Bpm = Number(w[1], 32, 255);
    } else if (key == "channels") {
      need(2);
      module_.Channels = Number(w[1], 1, 16);
    } else if (key == "rows-per-bar") {
      need(2);
      rowsPerBar_ = Number(w[1], 1, 64);
    } else if (key == "restart") {
      need(2);
      restart_ = w[1];
      restartLine_ = line_;
    } else if (key == "instrument") {
      Instrument(w);
    } else if (key == "pattern") {
      need(3);
      if (patternIndex_.count(w[1])) Fail("pattern \"" + w[1] + "\" defined twice");
      const int bars = Number(w[2], 1, 256 / rowsPerBar_);
      patternIndex_[w[1]] = static_cast<int>(drafts_.size());
      drafts_.push_back({w[1], bars, rowsPerBar_, line_, {}});
    } else if (key == "order") {
      for (std::size_t i = 1; i < w.size(); ++i) order_.emplace_back(w[i], line_);
    } else {
      Fail("unknown directive \"" + key + "\"");
    }
  }

  void Instrument(const std::vector<std::string>& w) {
    if (w.size() < 3) Fail("\"instrument\" needs a name and a voice");
    if (instrumentIndex_.count(w[1])) Fail("instrument \"" + w[1] + "\" defined twice");
    XmInstrument in;
    try {
      in = MakeInstrument(w[2]);
    } catch (const XmError& e) {
      Fail(e.what());
    }
    in.Name = w[1];
    for (std::size_t i = 3; i + 1 < w.size(); i += 2) {
      if (w[i] == "volume") {
        in.Sample.Volume = Number(w[i + 1], 0, 64);
      } else if (w[i] == "pan") {
        in.Sample.Panning = Number(w[i + 1], 0, 255);
      } else {
        Fail("unknown instrument option \"" + w[i] + "\"");
      }
    }
    if (w.size() % 2 == 0) Fail("instrument option \"" + w.back() + "\" needs a value");
    module_.Instruments.push_back(std::move(in));
    instrumentIndex_[w[1]] = static_cast<int>(module_.Instruments.size());
  }

  void Channel(const std::vector<std::string>& w, const std::string& content) {
    if (drafts_.empty()) Fail("channel line outside a pattern");
    if (w.size() < 2) Fail("channel line needs an instrument");
    ChannelLine line;
    line.LineNumber = line_;
    const std::size_t dash = w[0].find('-');
    line.First = Number(w[0].substr(0, dash), 1, module_.Channels) - 1;
    line.Last =
        dash == std::string::npos ? line.First : Number(w[0].substr(dash + 1), 1, module_.Channels) - 1;
    if (line.Last < line.First) Fail("channel range runs backwards");
    const auto it = instrumentIndex_.find(w[1]);
    if (it == instrumentIndex_.end()) Fail("unknown instrument \"" + w[1] + "\"");
    line.Instrument = it->second;
    std::size_t barsFrom = content.find(w[1], content.find(w[0]) + w[0].size()) + w[1].size();
    if (line.First != line.Last) {
      if (w.size() < 4 || w[2] != "near" || !(line.Near = ParseNoteName(w[3]))) {
        Fail("a chord line names its voicing centre: \"<channels> <instrument> near <note> | ...\"");
      }
      barsFrom = content.find(w[3], barsFrom) + w[3].size();
    }
    std::string bars = content.substr(barsFrom);
    const std::size_t firstBar = bars.find_first_not_of(" \t");
    if (firstBar == std::string::npos || bars[firstBar] != '|') Fail("bars start with \"|\"");
    bars = bars.substr(firstBar + 1);
    std::vector<std::string> parts = Split(bars, '|');
    while (!parts.empty() && Words(parts.back()).empty()) parts.pop_back();  // a closing "|"
    if (parts.empty()) Fail("channel line holds no bars");

    PatternDraft& draft = drafts_.back();
    for (ChannelLine& existing : draft.Lines) {
      if (existing.First == line.First && existing.Last == line.Last &&
          existing.Instrument == line.Instrument) {
        existing.Bars.insert(existing.Bars.end(), parts.begin(), parts.end());
        return;
      }
    }
    line.Bars = std::move(parts);
    draft.Lines.push_back(std::move(line));
  }

  void Finish() {
    if (drafts_.empty()) Fail("the song has no patterns");
    if (order_.empty()) Fail("the song has no order list");
    const int channels = module_.Channels;
    for (const PatternDraft& d : drafts_) {
      XmPattern p;
      p.Rows = d.Bars * d.RowsPerBar;
      p.Cells.assign(static_cast<std::size_t>(p.Rows) * channels, XmCell{});
      for (const ChannelLine& line : d.Lines) Fill(p, d, line);
      module_.Patterns.push_back(std::move(p));
    }
    for (const auto& [id, line] : order_) {
      const auto it = patternIndex_.find(id);
      if (it == patternIndex_.end()) Fail("order names unknown pattern \"" + id + "\"", line);
      module_.Orders.push_back(it->second);
    }
    if (!restart_.empty()) {
      const auto it = patternIndex_.find(restart_);
      const auto at = it == patternIndex_.end()
                          ? module_.Orders.end()
                          : std::find(module_.Orders.begin(), module_.Orders.end(), it->second);
      if (at == module_.Orders.end())
        Fail("restart pattern \"" + restart_ + "\" is not in the order list", restartLine_);
      module_.RestartPosition = static_cast<int>(at - module_.Orders.begin());
    }
    AddEndJump();
  }

  // The song jumps back to its restart position itself at the end of its last pattern, so it
  // loops in players that ignore the header's restart position too.
  void AddEndJump() {
    int last = module_.Orders.back();
    if (std::count(module_.Orders.begin(), module_.Orders.end(), last) > 1) {
      module_.Patterns.push_back(module_.Patterns[last]);  // keep the jump out of earlier plays
      last = static_cast<int>(module_.Patterns.size()) - 1;
      module_.Orders.back() = last;
    }
    XmPattern& p = module_.Patterns[last];
    for (int ch = module_.Channels - 1; ch >= 0; --ch) {
      XmCell& cell = p.At(p.Rows - 1, ch, module_.Channels);
      if (cell.Effect == 0 && cell.Param == 0) {
        cell.Effect = 0x0B;
        cell.Param = static_cast<std::uint8_t>(module_.RestartPosition);
        return;
      }
    }
    Fail("the last row of the last pattern has no free effect column for the loop jump");
  }

  void Fill(XmPattern& p, const PatternDraft& d, const ChannelLine& line) {
    line_ = line.LineNumber;
    for (int bar = 0; bar < d.Bars; ++bar) {
      const std::vector<std::string> tokens = Words(line.Bars[bar % line.Bars.size()]);
      if (tokens.empty() || d.RowsPerBar % static_cast<int>(tokens.size()) != 0) {
        Fail("a bar holds " + std::to_string(tokens.size()) + " steps; use a count that divides " +
             std::to_string(d.RowsPerBar));
      }
      const int step = d.RowsPerBar / static_cast<int>(tokens.size());
      for (std::size_t j = 0; j < tokens.size(); ++j) {
        Token(p, line, bar * d.RowsPerBar + static_cast<int>(j) * step, tokens[j]);
      }
    }
  }

  void Token(XmPattern& p, const ChannelLine& line, int row, const std::string& token) {
    if (token == ".") return;
    std::string core = token;
    int effect = -1, param = 0, volume = -1;
    if (const std::size_t slash = core.find('/'); slash != std::string::npos) {
      const std::string fx = core.substr(slash + 1);
      core.resize(slash);
      if (fx.size() != 3 || !std::isalnum(static_cast<unsigned char>(fx[0])) ||
          !std::isxdigit(static_cast<unsigned char>(fx[1])) ||
          !std::isxdigit(static_cast<unsigned char>(fx[2]))) {
        Fail("effect \"/" + fx + "\" is not a letter or digit and two hex digits");
      }
      const char e = static_cast<char>(std::toupper(static_cast<unsigned char>(fx[0])));
      effect = std::isdigit(static_cast<unsigned char>(e)) ? e - '0' : e - 'A' + 10;
      param = std::stoi(fx.substr(1), nullptr, 16);
    }
    if (const std::size_t colon = core.find(':'); colon != std::string::npos) {
      volume = Number(core.substr(colon + 1), 0, 64);
      core.resize(colon);
    }
    std::vector<int> notes;
    const int width = line.Last - line.First + 1;
    if (core == "-") {
      notes.assign(width, kXmKeyOff);
    } else if (core == "x" || core == "X") {
      if (width != 1) Fail("\"x\" plays one drum; chord lines take chord names");
      notes.push_back(ParseNoteName("C4"));
      if (core == "x" && volume < 0)
        volume = module_.Instruments[line.Instrument - 1].Sample.Volume * kSoftPercent / 100;
    } else if (!core.empty()) {
      notes = width == 1 ? std::vector<int>{ParseNoteName(core)} : Chord(core, line.Near, width);
      if (notes[0] == 0) Fail("\"" + token + "\" is not a note");
    }
    for (int i = 0; i < width; ++i) {
      XmCell& cell = p.At(row, line.First + i, module_.Channels);
      if (!cell.Empty())
        Fail("channel " + std::to_string(line.First + i + 1) + " row " + std::to_string(row) +
             " is written twice");
      if (!notes.empty()) {
        cell.Note = static_cast<std::uint8_t>(notes[i]);
        if (notes[i] != kXmKeyOff) cell.Instrument = static_cast<std::uint8_t>(line.Instrument);
      }
      if (volume >= 0) cell.Volume = static_cast<std::uint8_t>(0x10 + volume);
      if (effect >= 0) {
        cell.Effect = static_cast<std::uint8_t>(effect);
        cell.Param = static_cast<std::uint8_t>(param);
      }
    }
  }

  // Voices a chord as closely as possible around `near`, one note per channel.
  std::vector<int> Chord(const std::string& name, int near, int width) const {
    std::size_t used = 0;
    const int root = ParseRoot(name, used);
    const auto quality = root < 0 ? ChordQualities().end() : ChordQualities().find(name.substr(used));
    if (quality == ChordQualities().end()) Fail("\"" + name + "\" is not a chord name");
    std::vector<int> intervals = quality->second;
    while (static_cast<int>(intervals.size()) > width) {
      const auto fifth = std::find(intervals.begin(), intervals.end(), 7);
      intervals.erase(fifth != intervals.end() ? fifth : intervals.end() - 1);
    }
    std::vector<int> notes;
    const int nearPc = (near - 1) % 12;
    for (int interval : intervals) {
      const int pc = (root + interval) % 12;
      int offset = (pc - nearPc + 12) % 12;
      if (offset > 5) offset -= 12;
      notes.push_back(near + offset);
    }
    std::sort(notes.begin(), notes.end());
    for (std::size_t i = 0; static_cast<int>(notes.size()) < width; ++i) notes.push_back(notes[i] + 12);
    for (int n : notes) {
      if (n < 1 || n > 96) Fail("chord \"" + name + "\" leaves the note range");
    }
    return notes;
  }

  const std::string& text_;
  const std::string& source_;
  XmModule module_;
  int line_ = 0;
  int rowsPerBar_ = 16;
  std::string restart_;
  int restartLine_ = 0;
  std::map<std::string, int> instrumentIndex_, patternIndex_;
  std::vector<PatternDraft> drafts_;
  std::vector<std::pair<std::string, int>> order_;
};

}  // namespace

int ParseNoteName(const std::string& token) {
  if (token.size() < 2 || !std::isupper(static_cast<unsigned char>(token[0]))) return 0;
  int semitone = PitchClass(token[0]);
  if (semitone < 0) return 0;
  std::size_t used = 1;
  if (token[1] == '#' || token[1] == 'b') {
    semitone += token[1] == '#' ? 1 : -1;  // "Cb4" and "B#3" cross the octave as expected
    used = 2;
  }
  if (token.size() != used + 1 || !std::isdigit(static_cast<unsigned char>(token[used]))) return 0;
  const int note = 1 + (token[used] - '0') * 12 + semitone;
  return note >= 1 && note <= 96 ? note : 0;
}

XmModule CompileSong(const std::string& text, const std::string& sourceName) {
  return Compiler(text, sourceName).Run();
}

}  // namespace kestrune::audio
