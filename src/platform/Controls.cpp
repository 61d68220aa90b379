#include "platform/Controls.h"

#include <algorithm>

#include "framework/DisplayText.h"

namespace kestrune {
namespace {

// GamepadMap's control order: the twelve buttons, the stick left and right, the triggers.
enum : int {
  kA, kB, kX, kY, kBack, kStart, kLeftShoulder, kRightShoulder,
  kDpUp, kDpDown, kDpLeft, kDpRight, kStickLeft, kStickRight, kLeftTrigger, kRightTrigger
};

const char* const kPadNames[kPadControlCount] = {
    "a",      "b",     "x",      "y",       "back",  "start",  "leftshoulder", "rightshoulder",
    "dpup",   "dpdown", "dpleft", "dpright", "-leftx", "+leftx", "lefttrigger", "righttrigger"};

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

// The comma-separated names of a list, trimmed; an empty list gives none.
std::vector<std::string> Names(const std::string& list) {
  std::vector<std::string> out;
  if (Trim(list).empty()) return out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    out.push_back(Trim(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

}  // namespace

const char* PadControlName(int control) {
  return control >= 0 && control < kPadControlCount ? kPadNames[control] : "";
}

int PadControlFromName(const std::string& name) {
  const std::string n = Lower(name);
  for (int i = 0; i < kPadControlCount; ++i)
    if (n == kPadNames[i]) return i;
  return -1;
}

const std::vector<ControlAction>& ControlActions() {
  // Enter comes before fire: the pad's A sends Enter first, then Z, as it always has.
  static const std::vector<ControlAction> actions = {
      {"up", 0x26, "accelerate; up in menus", {"Up"}, {kDpUp, kRightTrigger}},
      {"down", 0x28, "brake; down in menus", {"Down"}, {kDpDown, kLeftTrigger}},
      {"left", 0x25, "steer left; left in menus", {"Left"}, {kDpLeft, kStickLeft}},
      {"right", 0x27, "steer right; right in menus", {"Right"}, {kDpRight, kStickRight}},
      {"enter", 0x0D, "choose the selected item", {"Return", "Keypad Enter"}, {kA}},
      {"fire", 'Z', "fire (Ctrl fires too)", {"Z"}, {kA}},
      {"back", 0x1B, "go back; in a race, ask to leave it", {"Escape"}, {kB, kBack}},
      {"handbrake", 0x20, "handbrake", {"Space"}, {kX, kLeftShoulder}},
      {"horn", 'H', "horn", {"H"}, {kY}},
      {"nitro", 'X', "nitro (Shift too)", {"X"}, {kRightShoulder}},
      {"pause", 'P', "pause and resume", {"P"}, {kStart}},
      {"yes", 'Y', "yes in questions", {"Y"}, {}},
      {"no", 'N', "no in questions", {"N"}, {}},
      {"mute", 'M', "mute and unmute music and sound", {"M"}, {}},
  };
  return actions;
}

int ControlsTable::VirtualKeyOf(std::int32_t key) const {
  if (key == 0) return -1;
  const auto& actions = ControlActions();
  for (std::size_t a = 0; a < Keys.size() && a < actions.size(); ++a)
    if (std::find(Keys[a].begin(), Keys[a].end(), key) != Keys[a].end()) return actions[a].VirtualKey;
  if (std::find(DefaultKeyCodes.begin(), DefaultKeyCodes.end(), key) != DefaultKeyCodes.end()) return 0;
  return -1;
}

std::array<std::vector<int>, kPadControlCount> ControlsTable::PadKeys() const {
  std::array<std::vector<int>, kPadControlCount> keys;
  const auto& actions = ControlActions();
  for (std::size_t a = 0; a < Pad.size() && a < actions.size(); ++a)
    for (const int control : Pad[a])
      if (control >= 0 && control < kPadControlCount) keys[control].push_back(actions[a].VirtualKey);
  return keys;
}

ControlsTable DefaultControls(const KeyFromName& keyFromName) {
  ControlsTable table;
  for (const ControlAction& action : ControlActions()) {
    std::vector<std::int32_t> keys;
    for (const char* name : action.DefaultKeys)
      if (const std::int32_t key = keyFromName(name); key != 0) keys.push_back(key);
    table.DefaultKeyCodes.insert(table.DefaultKeyCodes.end(), keys.begin(), keys.end());
    table.Keys.push_back(keys);
    table.Pad.push_back(action.DefaultPad);
  }
  return table;
}

ControlsTable ReadControls(const std::string& text, const KeyFromName& keyFromName,
                           std::vector<std::string>& warnings) {
  ControlsTable table = DefaultControls(keyFromName);
  const auto& actions = ControlActions();
  std::size_t start = 0;
  for (int lineNo = 1; start < text.size(); ++lineNo) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
    if (Trim(line).empty()) continue;
    // Quoted escaped and cut short: the file's bytes must not reach the terminal raw.
    const std::string quoted = EscapeForDisplay(Trim(line).substr(0, 80));
    auto warn = [&](const std::string& why) {
      warnings.push_back("line " + std::to_string(lineNo) + ": " + why + " (" + quoted + ")");
    };
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      warn("not \"action = keys | pad controls\"");
      continue;
    }
    const std::string name = Lower(Trim(line.substr(0, equals)));
    const auto action = std::find_if(actions.begin(), actions.end(),
                                     [&](const ControlAction& a) { return name == a.Name; });
    if (action == actions.end()) {
      warn("unknown action");
      continue;
    }
    const std::size_t index = static_cast<std::size_t>(action - actions.begin());
    const std::string rest = line.substr(equals + 1);
    const std::size_t bar = rest.find('|');
    std::vector<std::int32_t> keys;
    std::vector<int> pad = table.Pad[index];
    std::string problem;
    for (std::string key : Names(rest.substr(0, bar))) {
      if (Lower(key) == "comma") key = ",";
      const std::int32_t code = key.empty() ? 0 : keyFromName(key);
      if (code == 0) {
        problem = "unknown key \"" + EscapeForDisplay(key) + "\"";
        break;
      }
      keys.push_back(code);
    }
    if (problem.empty() && bar != std::string::npos) {
      pad.clear();
      for (const std::string& control : Names(rest.substr(bar + 1))) {
        const int c = PadControlFromName(control);
        if (c < 0) {
          problem = "unknown pad control \"" + EscapeForDisplay(control) + "\"";
          break;
        }
        pad.push_back(c);
      }
    }
    if (!problem.empty()) {
      warn(problem + "; " + action->Name + " keeps its default");
      continue;
    }
    // A key moved here leaves the action that had it: one key is one action.
    for (auto& other : table.Keys)
      other.erase(std::remove_if(other.begin(), other.end(),
                                 [&](std::int32_t k) { return std::find(keys.begin(), keys.end(), k) != keys.end(); }),
                  other.end());
    table.Keys[index] = keys;
    table.Pad[index] = pad;
  }
  return table;
}

std::string FormatControls(const ControlsTable& table, const NameOfKey& nameOfKey) {
  std::string out =
      "# Kestrune controls: action = keys | pad controls (SDL key and game-controller names)\n";
  const auto& actions = ControlActions();
  for (std::size_t a = 0; a < actions.size() && a < table.Keys.size(); ++a) {
    std::string line = std::string(actions[a].Name) + " = ";
    for (std::size_t k = 0; k < table.Keys[a].size(); ++k) {
      const std::string name = nameOfKey(table.Keys[a][k]);
      line += (k > 0 ? ", " : "") + (name == "," ? std::string("Comma") : name);
    }
    line += " |";
    for (std::size_t p = 0; p < table.Pad[a].size(); ++p)
      line += std::string(p > 0 ? ", " : " ") + PadControlName(table.Pad[a][p]);
    if (line.size() < 44) line.resize(44, ' ');
    out += line + "  # " + actions[a].Does + "\n";
  }
  return out;
}

}  // namespace kestrune
