// The kestrune executable: the game joined to the SDL back end.
#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/LaunchOptions.h"
#include "app/PlayerSettings.h"
#include "app/ReplayWindow.h"
#include "app/Screenshots.h"
#include "app/SessionRecorder.h"
#include "framework/DisplayText.h"
#include "framework/Errors.h"
#include "framework/FileAccess.h"
#include "platform/sdl/SdlControls.h"
#include "platform/sdl/SdlPlatform.h"
#include "shell/Game.h"
#include "shell/SavedFiles.h"
#include "shell/TerminationSignals.h"

namespace {

// The folder of the running executable, for finding an installed data set beside it.
std::filesystem::path ExecutableFolder(const char* argv0) {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return self.parent_path();
  return std::filesystem::absolute(argv0, error).parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  // Termination signals are taken from the first instant: one that arrives while the game is
  // still starting (a session ending, Ctrl+C) ends it with its save once it runs, instead of
  // killing it half-started.
  const kestrune::TTerminationSignals signals;
  kestrune::LaunchOptions options;
  std::string error;
  if (!kestrune::ParseLaunchOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::cerr << "kestrune: " << error << " (kestrune --help lists the options)" << std::endl;
    return 2;
  }
  if (options.ShowHelp) {
    std::cout << kestrune::LaunchHelpText();
    return 0;
  }
  if (options.ShowVersion) {
    std::cout << kestrune::LaunchVersionText();
    return 0;
  }

  // A recording's file is named relative to where the game was started.
  std::error_code fsError;
  const std::filesystem::path recordPath = options.RecordFile.empty()
                                               ? std::filesystem::path()
                                               : std::filesystem::absolute(options.RecordFile, fsError);

  const std::filesystem::path replayPath = options.ReplayFile.empty()
                                               ? std::filesystem::path()
                                               : std::filesystem::absolute(options.ReplayFile, fsError);

  // The game reads Data/ and Docs/ relative to its working directory.
  const auto search = kestrune::FindGameRoot(options.DataDir, ExecutableFolder(argv[0]),
                                             std::filesystem::current_path(fsError));
  if (!search.Root) {
    // Nothing is made anywhere: a start without a data set leaves no Data/Save behind.
    std::cerr << "kestrune: no data set found (a folder holding Data/Res); searched:" << std::endl;
    for (const auto& folder : search.Searched)
      std::cerr << "  " << kestrune::EscapeForDisplay(folder.string()) << std::endl;
    std::cerr << "kestrune: build the data set or name its folder with --data" << std::endl;
    return 1;
  }
  const std::filesystem::path root = *search.Root;
  std::filesystem::current_path(root, fsError);
  if (fsError) {
    std::cerr << "kestrune: cannot enter " << root.string() << ": " << fsError.message() << std::endl;
    return 1;
  }

  kestrune::SdlPlatformSettings settings;
  const kestrune::PlayerFolders folders = kestrune::ChoosePlayerFolders(
      root, search.Installed, kestrune::UserBaseFoldersFrom([](const char* name) { return std::getenv(name); }));
  settings.SaveFolder = folders.Saves.string();
  // Without a home folder (HOME unset and no account entry) there is nowhere of the player's own
  // to write: the game plays, but keeps nothing.
  if (folders.Saves.empty() || folders.Settings.empty()) {
    std::cerr << "kestrune: no home folder (HOME is unset or not an absolute path, and the system names no home "
                 "for this user): "
              << (folders.Saves.empty() ? "the options, the high scores and screenshots are not saved"
                                        : "the display settings are not read or saved")
              << " this session; set HOME or XDG_DATA_HOME and XDG_CONFIG_HOME to keep them" << std::endl;
  }
  // A save folder that cannot be written is found out now, not when the game ends: said on
  // standard error and once on screen, and the game plays on.
  std::string unsaved;
  if (!folders.Saves.empty()) {
    const std::string problem = kestrune::FolderWriteProblem(folders.Saves);
    if (!problem.empty()) {
      unsaved = "Kestrune cannot save into " + kestrune::EscapeForDisplay(folders.Saves.string()) + ": " + problem +
                ".\n\nYou can play, but your options and high scores will not be kept.";
      std::cerr << "kestrune: the save folder " << kestrune::EscapeForDisplay(folders.Saves.string())
                << " cannot be written (" << problem << "): nothing will be saved this session" << std::endl;
    }
  }
  if (options.Verbose) {
    std::cerr << "kestrune: data: " << root.string() << (search.Installed ? " (installed)" : " (portable)")
              << "\nkestrune: saves: " << folders.Saves.string()
              << "\nkestrune: settings: " << folders.Settings.string()
              << "\nkestrune: screenshots: " << folders.Screenshots.string() << std::endl;
  }
  // Display.cfg in the settings folder holds the display choices and the window's last place;
  // the command line overrides the choices.
  const bool haveSettings = !folders.Settings.empty();
  const std::string displayFile = haveSettings ? (folders.Settings / "Display.cfg").string() : std::string();
  std::vector<std::string> warnings;
  // Read only when it is a small regular file: a FIFO or a device there must not hang the start.
  std::string displayText;
  // The window's place is written back at the end only to a file read whole now (or none yet):
  // a file that could not be read is left as it is.
  bool displayWritable = false;
  if (haveSettings) {
    try {
      const auto bytes = kestrune::ReadRegularFile(displayFile, 64 * 1024);
      displayText.assign(bytes.begin(), bytes.end());
      displayWritable = true;
    } catch (const kestrune::EKestruneError& e) {
      // Missing: the defaults. There but unreadable: the defaults, said, and left as it is.
      std::error_code missing;
      displayWritable = !std::filesystem::exists(std::filesystem::symlink_status(displayFile, missing));
      if (!displayWritable)
        std::cerr << "kestrune: Display.cfg cannot be read (" << kestrune::EscapeForDisplay(e.what())
                  << "); the defaults stand in" << std::endl;
    }
  }
  const kestrune::DisplayOptions display =
      kestrune::DisplayForSession(options, kestrune::ReadDisplayOptions(displayText, warnings));
  // Each settings file reports a few of its problems and counts the rest.
  for (const std::string& warning : kestrune::CapWarnings(warnings))
    std::cerr << "kestrune: Display.cfg: " << warning << std::endl;
  settings.IntegerScale = display.IntegerScale;
  settings.NearestFilter = display.NearestFilter;
  settings.Vsync = display.Vsync;
  if (options.AcceleratedRenderer)
    settings.Renderer = *options.AcceleratedRenderer ? kestrune::PresentPath::Accelerated : kestrune::PresentPath::Software;
  settings.Verbose = options.Verbose;
  if (display.LastWindow)
    settings.LastWindow = kestrune::PixelRect{display.LastWindow->X, display.LastWindow->Y,
                                              display.LastWindow->Width, display.LastWindow->Height};
  // The emblem the build draws beside the data.
  settings.IconFile = "Data/Res/Icon.bmp";
  kestrune::SetFullScreenForSession(options.FullScreen);
  // The player's keys and pad controls, and the volumes, in files beside Display.cfg.
  {
    const std::filesystem::path& folder = folders.Settings;
    // No settings folder: the defaults, as for missing files.
    const auto settingsFile = [&folder](const char* name) {
      if (folder.empty()) return std::string();
      std::string problem;
      std::string text = kestrune::ReadSettingsFile((folder / name).string(), &problem);
      if (!problem.empty())
        std::cerr << "kestrune: " << name << " cannot be read (" << kestrune::EscapeForDisplay(problem)
                  << "); the defaults stand in" << std::endl;
      return text;
    };
    std::vector<std::string> problems;
    settings.Controls = kestrune::SdlReadControls(settingsFile(kestrune::kControlsFileName), problems);
    for (const std::string& problem : kestrune::CapWarnings(problems))
      std::cerr << "kestrune: " << kestrune::kControlsFileName << ": " << problem << std::endl;
    problems.clear();
    const kestrune::SoundVolumes volumes =
        kestrune::ReadSoundVolumes(settingsFile(kestrune::kSoundFileName), problems);
    for (const std::string& problem : kestrune::CapWarnings(problems))
      std::cerr << "kestrune: " << kestrune::kSoundFileName << ": " << problem << std::endl;
    settings.MusicVolume = volumes.Music;
    settings.SoundVolume = volumes.Sound;
    if (options.ShowControls) {
      std::cout << kestrune::SdlFormatControls(*settings.Controls);
      return 0;
    }
  }
  // F12: the picture as a PNG in Screenshots beside the saves, written by the taker's worker.
  // Declared before the window, so pictures still being written are waited for after it closes.
  std::unique_ptr<kestrune::ScreenshotTaker> screenshots;
  settings.TakeScreenshot = [&screenshots, folder = folders.Screenshots](
                                const std::uint16_t* pixels, int width, int height, int pitchPixels) {
    if (folder.empty()) {
      std::cerr << "Kestrune: no screenshot saved: there is no folder of the player's to save it in" << std::endl;
      return;
    }
    if (!screenshots) screenshots = std::make_unique<kestrune::ScreenshotTaker>(folder);
    const auto file = screenshots->Take(pixels, width, height, pitchPixels, std::time(nullptr));
    if (!file.empty()) std::cerr << "Kestrune: screenshot " << file.string() << std::endl;
  };
  if (!replayPath.empty()) return kestrune::PlayReplayInWindow(replayPath.string(), settings);
  // The next session opens the window where this one left it.
  settings.WindowClosing = [&displayFile, &displayText, displayWritable](const kestrune::PixelRect& place) {
    if (!displayWritable || place.W <= 0 || place.H <= 0) return;
    try {
      kestrune::WriteFileAtomically(displayFile,
                                    kestrune::WithLastWindow(displayText, {place.X, place.Y, place.W, place.H}));
    } catch (const kestrune::EKestruneError& e) {
      std::cerr << "kestrune: the window's place was not saved: " << kestrune::EscapeForDisplay(e.what())
                << std::endl;
    }
  };
  auto platform = kestrune::CreateSdlPlatform(settings);
  if (!unsaved.empty()) platform->ShowMessageBox("Kestrune", unsaved);
  const auto seed = static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  if (options.RecordFile.empty()) return kestrune::RunGame(*platform, seed);

  std::ofstream record(recordPath);
  if (!record) {
    std::cerr << "kestrune: cannot write " << recordPath.string() << std::endl;
    return 1;
  }
  // A signal ends a recorded game as it ends a played one (saved, then the loop stops), so the
  // recording still gets its closing frame count: the handlers taken at the top see to it.
  kestrune::SessionRecorder recorder(*platform, record, seed);
  // A recording that cannot be written (a full disk) is said at once; the game goes on.
  recorder.OnWriteFailed = [&recordPath] {
    std::cerr << "kestrune: cannot write the recording " << kestrune::EscapeForDisplay(recordPath.string())
              << " (disk full or not writable); the game goes on unrecorded" << std::endl;
  };
  kestrune::TGameSession session(recorder, seed);
  if (!session.Start()) return session.ExitCode();
  // A replay starts from fresh saves: what of the player's saves changes the run goes with it.
  recorder.NoteSavedGoodbyeSwitch(kestrune::ReadPromotionSwitch());
  std::int64_t frame = 0;
  while (!session.Finished()) {
    recorder.BeginFrame(++frame);
    session.Step();
  }
  recorder.Finish(frame);
  record.close();
  if (recorder.WriteFailed() || !record) {
    std::cerr << "kestrune: the recording " << kestrune::EscapeForDisplay(recordPath.string())
              << " is incomplete" << std::endl;
    return session.ExitCode() != 0 ? session.ExitCode() : 1;
  }
  std::cerr << "Kestrune: recorded " << frame << " frames in " << recordPath.string() << std::endl;
  return session.ExitCode();
}
