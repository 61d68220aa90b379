#include "app/ReplayScript.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

#include "app/ScriptOutputPath.h"
#include "framework/DisplayText.h"
#include "framework/Errors.h"
#include "framework/FileAccess.h"

namespace kestrune {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A whole non-negative number, or -1.
std::int64_t Number(const std::string& s, int base = 10) {
  if (s.empty() || s.size() > 12) return -1;
  std::size_t used = 0;
  try {
    const long long v = std::stoll(s, &used, base);
    return used == s.size() && v >= 0 ? v : -1;
  } catch (...) {
    return -1;
  }
}

// Scripts are small text files; anything this large was given by mistake.
constexpr std::uint64_t kMaxScriptBytes = 16ull << 20;

// True when text starts with prefix, letter case aside.
bool StartsWithNoCase(const std::string& text, std::size_t at, const char* prefix) {
  for (std::size_t i = 0; prefix[i] != '\0'; ++i, ++at) {
    if (at >= text.size() || std::tolower(static_cast<unsigned char>(text[at])) != prefix[i]) return false;
  }
  return true;
}

// The longest "text" action.
constexpr std::size_t kMaxTextCharacters = 4096;

}  // namespace

int VirtualKeyFromName(const std::string& name) {
  static const std::map<std::string, int> kNames = {
      {"up", 0x26},     {"down", 0x28},    {"left", 0x25},   {"right", 0x27},     {"esc", 0x1B},
      {"escape", 0x1B}, {"enter", 0x0D},   {"return", 0x0D}, {"space", 0x20},     {"shift", 0x10},
      {"ctrl", 0x11},   {"control", 0x11}, {"alt", 0x12},    {"backspace", 0x08}, {"tab", 0x09},
  };
  const std::string n = Lower(name);
  if (auto it = kNames.find(n); it != kNames.end()) return it->second;
  if (n.size() == 1 && std::isalnum(static_cast<unsigned char>(n[0])))
    return std::toupper(static_cast<unsigned char>(n[0]));
  if (n.size() >= 2 && n[0] == 'f') {
    const std::int64_t f = Number(n.substr(1));
    if (f >= 1 && f <= 12) return static_cast<int>(0x6F + f);
  }
  if (n.size() > 2 && n.rfind("0x", 0) == 0) {
    const std::int64_t code = Number(n.substr(2), 16);
    if (code >= 1 && code <= 255) return static_cast<int>(code);
  }
  return 0;
}

TReplayScript ParseReplayScript(const std::string& text) {
  TReplayScript script;
  std::string line;
  std::vector<std::string> w;
  int lineNo = 0;
  // Messages quote the script's own words: escaped, so that no byte of it reaches a terminal raw.
  auto fail = [&lineNo](std::string what) {
    if (what.size() > 200) what = what.substr(0, 200) + "...";
    throw EReplayScriptError(EscapeForDisplay("replay script line " + std::to_string(lineNo) + ": " + what));
  };
  std::int64_t lastFrame = 0;
  std::uint32_t lastMs = 0;
  bool framesGiven = false;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    line.assign(text, start, end - start);
    start = end + 1;
    ++lineNo;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    // Words are separated by white space, as the stream extraction would split them.
    w.clear();
    for (std::size_t at = 0; at < line.size();) {
      while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
      const std::size_t from = at;
      while (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at]))) ++at;
      if (at > from) w.emplace_back(line, from, at - from);
    }
    if (w.empty()) continue;
    const std::string cmd = Lower(w[0]);

    auto number = [&](std::size_t i, std::int64_t min, std::int64_t max) {
      if (i >= w.size()) fail("'" + w[0] + "' needs more values");
      const std::int64_t v = Number(w[i]);
      if (v < min || v > max)
        fail("'" + w[i] + "' is not a number from " + std::to_string(min) + " to " + std::to_string(max));
      return v;
    };

    if (cmd == "seed") {
      script.Seed = static_cast<std::uint32_t>(number(1, 0, 0xFFFFFFFFll));
    } else if (cmd == "refresh") {
      script.RefreshRate = static_cast<int>(number(1, 0, 1000));
    } else if (cmd == "frames") {
      script.Frames = number(1, 0, 100000000);
      framesGiven = true;
    } else if (cmd == "race") {
      if (w.size() != 3) fail("race needs a level and a car");
      script.RaceLevel = static_cast<std::int32_t>(number(1, 1, 1000000));
      script.RaceCar = static_cast<std::int32_t>(number(2, 1, 6));
    } else if (cmd == "goodbye") {
      if (w.size() != 2 || Lower(w[1]) != "off") fail("goodbye needs 'off' (or an '@' frame before it)");
      script.GoodbyeOff = true;
    } else if (cmd == "screenshot") {
      if (w.size() != 3) fail("screenshot needs a frame and a file name");
      const std::int64_t frame = number(1, 1, 100000000);
      if (const std::string problem = ScriptFileNameProblem(w[2]); !problem.empty())
        fail("screenshot file '" + w[2] + "' is refused: " + problem);
      script.Screenshots.push_back({frame, w[2]});
    } else if (cmd[0] == '@') {
      TReplayStep step;
      std::string when = cmd.substr(1);
      if (when.size() > 2 && when.substr(when.size() - 2) == "ms") {
        step.ByTime = true;
        const std::int64_t ms = Number(when.substr(0, when.size() - 2));
        if (ms < 0 || ms > 0xFFFFFFFFll) fail("bad time '" + w[0] + "'");
        step.AtMs = static_cast<std::uint32_t>(ms);
      } else {
        step.AtFrame = Number(when);
        if (step.AtFrame < 1) fail("bad frame '" + w[0] + "' (frames count from 1)");
      }
      if (w.size() < 2) fail("missing action after '" + w[0] + "'");
      const std::string action = Lower(w[1]);
      TReplayAction& a = step.Action;
      auto parseKey = [&](std::size_t i) {
        if (i >= w.size()) fail("'" + w[1] + "' needs a key");
        const std::string& word = w[i];
        // The prefixes are stepped over in place, so a word of many prefixes costs its length.
        std::size_t at = 0;
        for (;;) {
          if (StartsWithNoCase(word, at, "alt+")) {
            a.Alt = true;
            at += 4;
          } else if (StartsWithNoCase(word, at, "shift+")) {
            a.Shift = true;
            at += 6;
          } else if (StartsWithNoCase(word, at, "ctrl+")) {
            a.Ctrl = true;
            at += 5;
          } else if (StartsWithNoCase(word, at, "pad+")) {
            a.FromPad = true;
            at += 4;
          } else {
            break;
          }
        }
        a.Key = VirtualKeyFromName(word.substr(at));
        if (a.Key == 0) fail("unknown key '" + w[i] + "'");
      };
      auto push = [&](TReplayStep s) {
        if (s.ByTime)
          lastMs = std::max(lastMs, s.AtMs);
        else
          lastFrame = std::max(lastFrame, s.AtFrame);
        script.Steps.push_back(s);
      };

      if (action == "keydown" || action == "keyup" || action == "press") {
        parseKey(2);
        a.Type = action == "keyup" ? TReplayAction::Kind::KeyUp : TReplayAction::Kind::KeyDown;
        push(step);
        if (action == "press") {
          if (step.ByTime) fail("press needs a frame, not a time");
          TReplayStep up = step;
          up.AtFrame += 1;
          up.Action.Type = TReplayAction::Kind::KeyUp;
          push(up);
        }
      } else if (action == "char") {
        if (w.size() != 3) fail("char needs one character or a code");
        a.Type = TReplayAction::Kind::Char;
        // One character types itself, a digit too ("char 8" types 8, as recordings have always
        // written digits); a word of two or more digits is a character code ("char 08" is
        // Backspace, "char 13" Enter).
        if (w[2].size() == 1) {
          a.Key = static_cast<unsigned char>(w[2][0]);
        } else {
          const std::int64_t code = Number(w[2]);
          if (code < 1 || code > 255) fail("bad character '" + w[2] + "'");
          a.Key = static_cast<int>(code);
        }
        push(step);
      } else if (action == "text") {
        // Everything after the word "text", spaces included.
        const std::size_t at = line.find(w[1]) + w[1].size();
        std::string typed = line.substr(at);
        typed.erase(0, typed.find_first_not_of(" \t"));
        typed.erase(typed.find_last_not_of(" \t\r") + 1);
        // Text goes to name entries and the like; a line longer than this is a mistake, and
        // every character becomes an event of one frame.
        if (typed.size() > kMaxTextCharacters)
          fail("text is longer than " + std::to_string(kMaxTextCharacters) + " characters");
        a.Type = TReplayAction::Kind::Char;
        for (unsigned char c : typed) {
          a.Key = c;
          push(step);
        }
      } else if (action == "mouse" || action == "click") {
        // A click may name its place in a multiple click: "click X Y 2" is the second click of a
        // double-click.
        if (w.size() != 4 && !(action == "click" && w.size() == 5)) fail(action + " needs X and Y");
        a.X = static_cast<int>(number(2, 0, 799));
        a.Y = static_cast<int>(number(3, 0, 599));
        a.Type = TReplayAction::Kind::MouseMove;
        push(step);
        if (action == "click") {
          a.Type = TReplayAction::Kind::Click;
          if (w.size() == 5) a.Clicks = static_cast<int>(number(4, 1, 9));
          push(step);
        }
      } else if (action == "close") {
        a.Type = TReplayAction::Kind::Close;
        push(step);
      } else if (action == "goodbye") {
        const std::string what = w.size() > 2 ? Lower(w[2]) : "";
        a.Window = 1;
        if (what == "close" && w.size() == 3) {
          a.Type = TReplayAction::Kind::Close;
          push(step);
        } else if ((what == "mouse" && w.size() == 5) ||
                   (what == "click" && (w.size() == 5 || w.size() == 6))) {
          a.X = static_cast<int>(number(3, 0, 319));
          a.Y = static_cast<int>(number(4, 0, 299));
          a.Type = TReplayAction::Kind::MouseMove;
          push(step);
          if (what == "click") {
            a.Type = TReplayAction::Kind::Click;
            if (w.size() == 6) a.Clicks = static_cast<int>(number(5, 1, 9));
            push(step);
          }
        } else if ((what == "keydown" || what == "keyup" || what == "press") && w.size() == 4) {
          parseKey(3);
          if (what == "press" && step.ByTime) fail("press needs a frame, not a time");
          a.Type = what == "keyup" ? TReplayAction::Kind::KeyUp : TReplayAction::Kind::KeyDown;
          push(step);
          if (what == "press") {
            TReplayStep up = step;
            up.AtFrame += 1;
            up.Action.Type = TReplayAction::Kind::KeyUp;
            push(up);
          }
        } else {
          fail("goodbye needs 'mouse X Y', 'click X Y', 'keydown KEY', 'keyup KEY', 'press KEY' or 'close'");
        }
      } else if (action == "bonus") {
        if (w.size() != 3) fail("bonus needs a kind from 1 to 4");
        a.Type = TReplayAction::Kind::Bonus;
        a.Key = static_cast<int>(number(2, 1, 4));
        push(step);
      } else if (action == "focus") {
        if (w.size() != 3 || (Lower(w[2]) != "lost" && Lower(w[2]) != "gained"))
          fail("focus needs 'lost' or 'gained'");
        a.Type = Lower(w[2]) == "lost" ? TReplayAction::Kind::FocusLost : TReplayAction::Kind::FocusGained;
        push(step);
      } else if (action == "refresh") {
        if (w.size() != 3) fail("refresh needs a rate in Hz");
        a.Type = TReplayAction::Kind::Refresh;
        a.Key = static_cast<int>(number(2, 0, 1000));
        push(step);
      } else {
        fail("unknown action '" + w[1] + "'");
      }
    } else {
      fail("unknown command '" + w[0] + "'");
    }
  }
  // A script without a frames line (a recording cut off before its end) runs to its last action
  // and one second more, so that whatever it holds is played.
  if (!framesGiven) {
    const std::int64_t hz = script.RefreshRate > 1 ? script.RefreshRate : 60;
    const std::int64_t byTime = (static_cast<std::int64_t>(lastMs) * hz + 999) / 1000;
    const std::int64_t last = std::max(lastFrame, byTime);
    if (last > 0) script.Frames = std::max(script.Frames, std::min<std::int64_t>(last + hz, 100000000));
  }
  // Frame steps in frame order; actions of one frame keep their script order.
  std::stable_sort(script.Steps.begin(), script.Steps.end(), [](const TReplayStep& x, const TReplayStep& y) {
    if (x.ByTime != y.ByTime) return !x.ByTime;
    return x.ByTime ? x.AtMs < y.AtMs : x.AtFrame < y.AtFrame;
  });
  return script;
}

TReplayScript LoadReplayScript(const std::string& path) {
  // Only a regular file: a folder, a FIFO or a device given by mistake is an error, not a run
  // with no input.
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadRegularFile(path, kMaxScriptBytes);
  } catch (const EKestruneError& e) {
    throw EReplayScriptError(EscapeForDisplay(std::string("cannot read replay script: ") + e.what()));
  }
  return ParseReplayScript(std::string(bytes.begin(), bytes.end()));
}

}  // namespace kestrune
