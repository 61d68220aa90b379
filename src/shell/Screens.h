#pragma once
// The screens outside the race: each has an open operation (builds its sprites, sets Screen and
// the selection), a frame run once per frame, an action for its selected item and a close
// operation (kills its sprites, Screen := 0).

#include <cstdint>

namespace kestrune {

// 1: the intro picture with Continue and the link areas.
void OpenIntroScreen();
void IntroFrame();
void ActivateIntroItem(std::int32_t item);
void CloseIntroScreen();

// 2: the main menu. With fadeIn the buttons appear one after the other and actions wait for it.
void OpenMainMenu(bool fadeIn, std::int32_t selection, bool restartMusic);
void MainMenuFrame();
void MainMenuIntro();
void ActivateMainMenuItem(std::int32_t item);
void CloseMainMenu();

// 3: the car choice.
void OpenCarChoice();
void CarChoiceFrame();
void PreviousCar();
void NextCar();
void ActivateCarChoiceItem(std::int32_t item);
void CloseCarChoice();

// 4: the options.
void OpenOptions();
void OptionsFrame(std::uint32_t lagCount);
void DrawOptionValues();
void ToggleCountryEditing();
void ActivateOptionsItem(std::int32_t item);
void CloseOptions();

// 5: the high-score table.
void OpenHighScores();
void HighScoresFrame(std::uint32_t lagCount);
void DrawHighScoreTable();
void ActivateHighScoresItem(std::int32_t item);
void CloseHighScores();

// 6: the help pages.
void OpenHelp();
void HelpFrame(std::uint32_t lagCount);
void DrawHelpPage();
void PreviousHelpPage();
void NextHelpPage();
void ActivateHelpItem(std::int32_t item);
void CloseHelp();

// The close operation of whichever menu screen is open (nothing on the race screen or none).
void CloseCurrentScreen();

}  // namespace kestrune
