#include "app/ReplayRunner.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ScriptOutputPath.h"
#include "framework/DisplayText.h"
#include "game/GameState.h"
#include "race/Finish.h"
#include "race/Pedestrians.h"
#include "race/Race.h"
#include "race/RoadMap.h"
#include "race/vehicles/Player.h"
#include "race/vehicles/Rocket.h"
#include "race/vehicles/Traffic.h"
#include "shell/Game.h"
#include "shell/MainForm.h"
#include "shell/Menus.h"
#include "shell/Screens.h"

namespace kestrune {
namespace {

std::string Int(std::int64_t v) { return std::to_string(v); }

std::string Real(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6f", v);
  return buf;
}

std::string Hex(std::uint64_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "\"%016llx\"", static_cast<unsigned long long>(v));
  return buf;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      // Control characters and the 8-bit half of the game's Latin-1 text as \u escapes.
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// The game state fields of the summary. Add a line here for each new field worth checking.
void AddStateFields(std::vector<std::pair<std::string, std::string>>& out) {
  const TGameState& s = GameState;
  out.emplace_back("Screen", Int(s.Screen));
  out.emplace_back("Overlay", Int(s.Overlay));
  out.emplace_back("Selected", Int(s.Selected));
  out.emplace_back("SelectedItem", JsonString(SelectedItemName()));
  out.emplace_back("FrameTimeMs", Int(s.FrameTimeMs));
  out.emplace_back("SpeedScale", Real(s.SpeedScale));
  out.emplace_back("FrameRate", Int(s.FrameRate));
  out.emplace_back("RefreshRate", Int(s.RefreshRate));
  out.emplace_back("FullScreen", Int(s.FullScreen));
  out.emplace_back("Level", Int(s.Level));
  out.emplace_back("Lives", Int(s.Lives));
  out.emplace_back("Score", Int(s.Score));
  out.emplace_back("TimeLeft", Int(s.TimeLeft));
  // The race: the player's car (while a race runs) and the road window.
  if (const TPlayer* p = RacePlayer) {
    out.emplace_back("Speed", Real(p->Speed));
    out.emplace_back("Heading", Int(p->Heading));
    out.emplace_back("Crashed", p->Crashed ? "true" : "false");
    out.emplace_back("HitsLeft", Int(p->HitsLeft));
    out.emplace_back("CarVisible", p->Visible ? "true" : "false");
    out.emplace_back("Weapon", Int(p->Weapon));
    out.emplace_back("WeaponStage", Int(p->WeaponStage));
    out.emplace_back("Ammo", Int(p->Ammo));
    out.emplace_back("Nitro", Real(p->Nitro));
    int flying = 0;
    for (const TRocket* rocket : RaceRockets) flying += rocket && rocket->RocketFlying;
    out.emplace_back("RocketsFlying", Int(flying));
  }
  if (const TCar* traffic = RaceTraffic) out.emplace_back("TrafficCars", Int(traffic->CarsAlive()));
  out.emplace_back("MapColumnOffset", Int(MapColumnOffset));
  out.emplace_back("MapRowOffset", Int(MapRowOffset));
  // The level's progress: percent of the way to the finish line and whether it was crossed;
  // the pedestrians still walking and those lying run over.
  if (const TFinish* finish = RaceFinish) {
    const double carMapY = MapRowOffset * double(TRoadMap::CellSize) - RaceRoadY() + (RacePlayer ? RacePlayer->Y : 400);
    out.emplace_back("Progress", Real(finish->Progress(carMapY)));
    out.emplace_back("FinishReached", finish->Reached ? "true" : "false");
  }
  if (const TMan* men = RaceMen) {
    out.emplace_back("PedestriansAlive", Int(men->CountWalking()));
    out.emplace_back("PedestriansLying", Int(men->CountLying()));
  }
}

}  // namespace

std::string GameStateJson() {
  TReplayResult state;
  AddStateFields(state.Summary);
  // The options, which a replay's summary leaves out.
  state.Summary.emplace_back("MusicOn", Int(GameState.MusicOn));
  state.Summary.emplace_back("SoundOn", Int(GameState.SoundOn));
  state.Summary.emplace_back("Country", JsonString(GameState.Country));
  // The keys the car takes this frame beside steering and speed: whichever control held them.
  if (const TPlayer* p = RacePlayer) {
    state.Summary.emplace_back("KeyFire", p->KeyFire ? "true" : "false");
    state.Summary.emplace_back("KeyNitro", p->KeyNitro ? "true" : "false");
    state.Summary.emplace_back("KeyHandbrake", p->KeyHandbrake ? "true" : "false");
    state.Summary.emplace_back("KeyHorn", p->KeyHorn ? "true" : "false");
  }
  // The name being entered for a new high score, and the table as it stands.
  state.Summary.emplace_back("PlayerName", JsonString(GameState.PlayerName));
  std::string table = "[";
  for (int i = 1; i <= 10; ++i) {
    const THighScore& row = GameState.HighScores[static_cast<std::size_t>(i)];
    table += (i > 1 ? ", " : "") + std::string("{\"Name\": ") + JsonString(row.Name) +
             ", \"Score\": " + Int(row.Score) + "}";
  }
  state.Summary.emplace_back("HighScores", table + "]");
  return ReplaySummaryJson(state);
}

TReplayRunner::TReplayRunner(TReplayScript script) : script_(std::move(script)) {
  platform_.SetRefreshRate(script_.RefreshRate);
  platform_.SetFramesKept(1);
}

void TReplayRunner::Apply(const TReplayAction& a) {
  PlatformEvent e;
  e.Shift = a.Shift;
  e.Ctrl = a.Ctrl;
  e.Alt = a.Alt;
  e.FromPad = a.FromPad;
  e.VirtualKey = a.Key;
  e.Window = a.Window;
  switch (a.Type) {
    case TReplayAction::Kind::KeyDown:
      platform_.SetKey(a.Key, true);
      e.Type = PlatformEvent::Kind::KeyDown;
      platform_.PushEvent(e);
      // As on the real keyboard, Enter (without Alt) and Backspace also type their character.
      if ((a.Key == 0x0D && !a.Alt) || a.Key == 0x08) {
        PlatformEvent ch;
        ch.Type = PlatformEvent::Kind::Char;
        ch.Window = a.Window;
        ch.Char = static_cast<std::uint8_t>(a.Key);
        platform_.PushEvent(ch);
      }
      break;
    case TReplayAction::Kind::KeyUp:
      platform_.SetKey(a.Key, false);
      e.Type = PlatformEvent::Kind::KeyUp;
      platform_.PushEvent(e);
      break;
    case TReplayAction::Kind::Char:
      e.Type = PlatformEvent::Kind::Char;
      e.VirtualKey = 0;
      e.Char = static_cast<std::uint8_t>(a.Key);
      platform_.PushEvent(e);
      break;
    case TReplayAction::Kind::MouseMove:
    case TReplayAction::Kind::Click:
      e.Type = a.Type == TReplayAction::Kind::Click ? PlatformEvent::Kind::MouseClick
                                                    : PlatformEvent::Kind::MouseMove;
      e.X = a.X;
      e.Y = a.Y;
      e.Clicks = a.Clicks;
      platform_.PushEvent(e);
      break;
    case TReplayAction::Kind::Close:
      e.Type = PlatformEvent::Kind::Close;
      platform_.PushEvent(e);
      break;
    case TReplayAction::Kind::FocusLost:
      platform_.SetForeground(false);
      break;
    case TReplayAction::Kind::FocusGained:
      platform_.SetForeground(true);
      break;
    case TReplayAction::Kind::Bonus:
      if (RacePlayer) RacePlayer->GiveBonus(a.Key);
      break;
    case TReplayAction::Kind::Refresh:
      platform_.ChangeRefreshRate(a.Key);
      break;
  }
}

void TReplayRunner::TakeScreenshot(const TReplayScreenshot& shot, std::int64_t frame, TReplayResult& result) {
  if (!WriteScreenshots) {
    ++result.ScreenshotsSkipped;
    return;
  }
  std::string path = shot.Path, problem;
  if (!shot.FromCommandLine) path = ScriptOutputPath(OutputFolder, shot.Path, problem);
  if (path.empty()) {
    result.Errors.push_back(EscapeForDisplay("screenshot '" + shot.Path + "' refused: " + problem));
  } else if (platform_.WriteLastFramePng(path)) {
    result.Screenshots.push_back(path);
  } else {
    result.Errors.push_back(EscapeForDisplay("cannot write screenshot '" + path + "' at frame " + std::to_string(frame)));
  }
}

TReplayResult TReplayRunner::Run() {
  TReplayResult result;
  // A recording made with the goodbye window switched off ended at once where the window would
  // have opened; its replay starts from saves that say the same. Only the runner's own fresh
  // folder is written: a save folder of the user's keeps its files as they are.
  if (script_.GoodbyeOff && platform_.OwnSaveFolder()) {
    std::error_code error;
    std::filesystem::create_directories(platform_.SaveFolder(), error);
    std::ofstream(std::filesystem::path(platform_.SaveFolder()) / "form", std::ios::binary) << '\x01';
  }
  TGameSession session(platform_, script_.Seed);
  session.BeforeFormCreate = BeforeFormCreate;
  result.Started = session.Start();
  if (result.Started && script_.RaceLevel > 0) {
    // Straight from the intro screen into the race, as the car choice's Start would.
    CloseCurrentScreen();
    session.Form()->MDXSpriteEngine.FreeDead();
    StartRaceAt(script_.RaceLevel, script_.RaceCar);
  }

  // Each frame touches only its own steps and screenshots: cursors into the steps (frame steps
  // first, in frame order, then the timed ones in time order) and into the screenshots by frame.
  const std::vector<TReplayStep>& steps = script_.Steps;
  std::size_t nextFrameStep = 0;
  std::size_t nextTimeStep = static_cast<std::size_t>(
      std::find_if(steps.begin(), steps.end(), [](const TReplayStep& s) { return s.ByTime; }) - steps.begin());
  std::vector<TReplayScreenshot> shots = script_.Screenshots;
  std::stable_sort(shots.begin(), shots.end(),
                   [](const TReplayScreenshot& x, const TReplayScreenshot& y) { return x.Frame < y.Frame; });
  std::size_t nextShot = 0;
  for (std::int64_t frame = 1; result.Started && frame <= script_.Frames && !session.Finished(); ++frame) {
    if (StopRequested && StopRequested()) break;
    // Actions due before this frame: by frame number, or by the game clock.
    while (nextFrameStep < steps.size() && !steps[nextFrameStep].ByTime && steps[nextFrameStep].AtFrame <= frame) {
      if (steps[nextFrameStep].AtFrame == frame) Apply(steps[nextFrameStep].Action);
      ++nextFrameStep;
    }
    while (nextTimeStep < steps.size() && steps[nextTimeStep].AtMs <= platform_.Milliseconds()) {
      Apply(steps[nextTimeStep].Action);
      ++nextTimeStep;
    }
    session.Step();
    result.FramesRun = frame;
    if (AfterFrame && session.Form() != nullptr) AfterFrame(*session.Form(), frame);
    for (; nextShot < shots.size() && shots[nextShot].Frame <= frame; ++nextShot) {
      if (shots[nextShot].Frame == frame) TakeScreenshot(shots[nextShot], frame, result);
    }
  }
  result.Finished = session.Finished();
  result.ExitCode = session.ExitCode();
  result.Presented = platform_.PresentCount();
  if (const auto* last = platform_.LastFrame()) result.LastFrameHash = last->Hash();

  auto& s = result.Summary;
  s.emplace_back("Frames", Int(result.FramesRun));
  s.emplace_back("Presented", Int(static_cast<std::int64_t>(result.Presented)));
  s.emplace_back("ClockMs", Int(platform_.Milliseconds()));
  s.emplace_back("Started", result.Started ? "true" : "false");
  s.emplace_back("Finished", result.Finished ? "true" : "false");
  s.emplace_back("ExitCode", Int(result.ExitCode));
  // The last message box the game showed (a failed start-up's reason), or null.
  const auto& boxes = platform_.MessageBoxes();
  s.emplace_back("Message", boxes.empty() ? "null" : JsonString(boxes.back().Text));
  s.emplace_back("GoodbyeWindow", platform_.SecondWindowOpen() ? "true" : "false");
  AddStateFields(s);
  s.emplace_back("LastFrameHash", Hex(result.LastFrameHash));
  return result;
}

std::string ReplaySummaryJson(const TReplayResult& result) {
  std::ostringstream out;
  out << "{";
  for (std::size_t i = 0; i < result.Summary.size(); ++i) {
    out << (i == 0 ? "\n" : ",\n") << "  \"" << result.Summary[i].first << "\": " << result.Summary[i].second;
  }
  out << "\n}\n";
  return out.str();
}

}  // namespace kestrune
