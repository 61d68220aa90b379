// The main window's sound and music services.
#include "shell/SoundService.h"

#include "game/GameState.h"
#include "shell/MainForm.h"

namespace kestrune {

void TMForm::PlaySound(const std::string& name) {
  if (GameState.SoundOn != 1) return;
  TWaveCollectionItem& item = MDXWaveList.Items.FindWave(name);
  // Always from the start: a one-shot restarts on its first copy, a looped sound restarts.
  item.Stop();
  item.Play(false);
}

void TMForm::StopSound(const std::string& name) {
  if (GameState.SoundOn != 1) return;
  MDXWaveList.Items.FindWave(name).Stop();
}

void TMForm::PlayScreenMusic() {
  const char* path = GameState.Screen == ScreenRace ? kRaceSongPath : kMenuSongPath;
  if (GameState.MusicOn == 0) return;
  if (GameState.MusicHandle != 0) Music.SongFree(GameState.MusicHandle);
  GameState.MusicHandle = Music.SongLoadFromFile(path);
  if (GameState.MusicHandle != 0) Music.SongPlay(GameState.MusicHandle);
}

void TMForm::StopMusic() {
  if (GameState.MusicHandle != 0) Music.SongFree(GameState.MusicHandle);
  GameState.MusicHandle = 0;
}

}  // namespace kestrune
