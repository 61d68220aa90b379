// The program of the browser build: the game on the web back end, one frame per call of the
// browser's frame callback. The data set is packed under /game; the save folder is the browser's
// persistent storage (IndexedDB), loaded before the game starts and written back after every
// save. A page asking for replays only (the browser tests) gets no game, only kestrune_run_replay;
// a page asking for a recording gets the game with its session written as a replay script.
#include <emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <exception>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "app/ReplayRunner.h"
#include "app/ReplayScript.h"
#include "app/SessionRecorder.h"
#include "game/GameState.h"
#include "platform/web/SaveWatch.h"
#include "platform/web/WebPlatform.h"
#include "shell/Game.h"
#include "shell/MainForm.h"
#include "shell/SavedFiles.h"

// clang-format off
EM_JS(void, kestrune_page_mount_saves, (const char* folder), {
  const path = UTF8ToString(folder);
  try { FS.mkdir(path); } catch (e) {}
  FS.mount(IDBFS, {}, path);
  FS.syncfs(true, function(err) {
    if (err) console.warn("Kestrune: the saved files could not be read from the browser's storage: " + err);
    Module.ccall("kestrune_saves_loaded", null, [], []);
  });
});
EM_JS(void, kestrune_page_persist, (), {
  Module.kestruneSaving = (Module.kestruneSaving || 0) + 1;
  FS.syncfs(false, function(err) {
    Module.kestruneSaving--;
    if (err) console.error("Kestrune: the saved files could not be written to the browser's storage: " + err);
    if (Module.kestrunePage && Module.kestrunePage.persisted) Module.kestrunePage.persisted(!err);
  });
});
EM_JS(void, kestrune_page_ended, (int exitCode), {
  if (Module.kestrunePage && Module.kestrunePage.ended) Module.kestrunePage.ended(exitCode);
});
EM_JS(int, kestrune_page_replay_only, (), {
  return Module.kestruneReplayOnly ? 1 : 0;
});
EM_JS(int, kestrune_page_records, (), {
  return Module.kestruneRecord ? 1 : 0;
});
// clang-format on

namespace {

constexpr const char* kSaveFolder = "/save";

std::unique_ptr<kestrune::IPlatform> gPlatform;
// A recorded session: the recorder stands between the game and the back end.
std::ostringstream gRecording;
std::unique_ptr<kestrune::SessionRecorder> gRecorder;
std::int64_t gFrame = 0;
std::unique_ptr<kestrune::TGameSession> gSession;
std::unique_ptr<kestrune::SaveWatch> gSaves;
bool gSavesLoaded = false;
bool gStarted = false;
// The recorded session was ended where it stood: the game runs no more and saves nothing.
bool gStopped = false;

void End() {
  emscripten_cancel_main_loop();
  if (gSaves && gSaves->Changed()) kestrune_page_persist();
  const int code = gSession ? gSession->ExitCode() : 1;
  kestrune_page_ended(code);
}

void Frame() {
  if (!gSavesLoaded || !gSession) return;
  if (!gStarted) {
    gStarted = true;
    gSaves = std::make_unique<kestrune::SaveWatch>(kSaveFolder);
    if (!gSession->Start()) End();
    // A replay starts from fresh saves: what of the player's saves changes the run goes with it.
    if (gRecorder) gRecorder->NoteSavedGoodbyeSwitch(kestrune::ReadPromotionSwitch());
    return;
  }
  if (gRecorder) gRecorder->BeginFrame(++gFrame);
  gSession->Step();
  if (gSaves->Changed()) kestrune_page_persist();
  if (gSession->Finished()) End();
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void kestrune_saves_loaded() { gSavesLoaded = true; }

// Runs a replay script (its text) on the headless back end and returns the summary as JSON,
// with the run's time in milliseconds added as "wall_ms". Errors come back as {"error": ...}.
extern "C" EMSCRIPTEN_KEEPALIVE const char* kestrune_run_replay(const char* scriptText) {
  static std::string json;
  try {
    kestrune::TReplayRunner runner(kestrune::ParseReplayScript(scriptText));
    runner.WriteScreenshots = false;
    const auto start = std::chrono::steady_clock::now();
    const kestrune::TReplayResult result = runner.Run();
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    json = kestrune::ReplaySummaryJson(result);
    const auto close = json.rfind('}');
    if (close != std::string::npos) json.insert(close, ",\"wall_ms\":" + std::to_string(ms));
  } catch (const std::exception& e) {
    std::string text;
    for (const char c : std::string(e.what())) {
      if (c == '"' || c == '\\') text += '\\';
      text += (c == '\n' ? ' ' : c);
    }
    json = "{\"error\":\"" + text + "\"}";
  }
  return json.c_str();
}

// The page is going away (the tab or the browser closes): the game saves as leaving it does,
// and the saved files go to the browser's storage at once.
extern "C" EMSCRIPTEN_KEEPALIVE void kestrune_page_closing() {
  if (!gSession || !gStarted || gStopped || gSession->Finished()) return;
  if (kestrune::TMForm* form = gSession->Form(); form != nullptr && !form->Terminated()) {
    form->ExitGame();
    if (gSaves) gSaves->Changed();
    kestrune_page_persist();
  }
}

// Ends a recorded session where it stands (the game stops running) and returns its replay
// script; without a recording, an empty text.
extern "C" EMSCRIPTEN_KEEPALIVE const char* kestrune_stop_recording() {
  static std::string script;
  if (!gRecorder || !script.empty()) return script.c_str();
  // The game stays as it is (the recorder with it), so its state can still be read.
  emscripten_cancel_main_loop();
  gStopped = true;
  gRecorder->Finish(gFrame);
  script = gRecording.str();
  return script.c_str();
}

// The screen and the overlay shown, as screen * 100 + overlay (-1 before the game has started):
// the page shows its letter picker during name entry and holds the accelerator in a race.
extern "C" EMSCRIPTEN_KEEPALIVE int kestrune_shell_mode() {
  if (!gSession || !gStarted || gStopped || gSession->Finished()) return -1;
  return kestrune::GameState.Screen * 100 + kestrune::GameState.Overlay;
}

// The page's "Save my progress to a file": the options and the high-score table are written
// now, as leaving the game writes them, so that the file holds this session's progress; the game
// goes on. Returns 1 when they were written.
extern "C" EMSCRIPTEN_KEEPALIVE int kestrune_write_saves_now() {
  if (!gSession || !gStarted || gStopped || gSession->Finished()) return 0;
  kestrune::TMForm* form = gSession->Form();
  if (form == nullptr || form->Terminated() || !form->Handlers.WriteSaveFiles) return 0;
  const bool written = form->Handlers.WriteSaveFiles();
  if (gSaves) gSaves->Changed();
  kestrune_page_persist();
  return written ? 1 : 0;
}

// The running game's state fields (as in a replay's summary), for the page's tests.
extern "C" EMSCRIPTEN_KEEPALIVE const char* kestrune_game_state() {
  static std::string json;
  json = kestrune::GameStateJson();
  return json.c_str();
}

int main() {
  // Emscripten's file system starts with a file-creation mask of 0777, so files the game creates
  // with the mask applied (its saves) would get no permissions at all and could not be read
  // back: the usual mask of a desktop session instead.
  umask(022);
  if (chdir("/game") != 0) {
    std::cerr << "Kestrune: the data set is missing from the page's package" << std::endl;
    kestrune_page_ended(1);
    return 1;
  }
  if (kestrune_page_replay_only() != 0) return 0;
  kestrune::WebPlatformSettings settings;
  settings.SaveFolder = kSaveFolder;
  gPlatform = kestrune::CreateWebPlatform(settings);
  const auto seed = static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  if (kestrune_page_records() != 0)
    gRecorder = std::make_unique<kestrune::SessionRecorder>(*gPlatform, gRecording, seed);
  gSession = std::make_unique<kestrune::TGameSession>(gRecorder ? *gRecorder : *gPlatform, seed);
  kestrune_page_mount_saves(kSaveFolder);
  // 0 frames per second: the browser's frame callback; no simulated endless loop, main returns.
  emscripten_set_main_loop(Frame, 0, 0);
  return 0;
}
