// libFuzzer target for the archive reader: any bytes must give an archive or one of the
// framework's errors, never a crash, hang or other exception. Archives that read back are
// written again and must read back the same (writer and reader agree).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/ArchiveIO.h"
#include "framework/Errors.h"

namespace {

using namespace kestrune;

bool SamePictures(const PictureArchive& a, const PictureArchive& b) {
  if (a.Items.size() != b.Items.size() || a.ColorTable != b.ColorTable) return false;
  for (std::size_t i = 0; i < a.Items.size(); ++i) {
    const PictureItemRecord &x = a.Items[i], &y = b.Items[i];
    if (x.Name != y.Name || x.Picture.Width != y.Picture.Width || x.Picture.Height != y.Picture.Height ||
        x.Picture.Pixels != y.Picture.Pixels || x.PatternWidth != y.PatternWidth ||
        x.PatternHeight != y.PatternHeight || x.SkipWidth != y.SkipWidth || x.SkipHeight != y.SkipHeight ||
        x.SystemMemory != y.SystemMemory || x.Transparent != y.Transparent ||
        x.TransparentColor != y.TransparentColor)
      return false;
  }
  return true;
}

bool SameWaves(const WaveArchive& a, const WaveArchive& b) {
  if (a.Items.size() != b.Items.size()) return false;
  for (std::size_t i = 0; i < a.Items.size(); ++i) {
    const WaveItemRecord &x = a.Items[i], &y = b.Items[i];
    if (x.Name != y.Name || x.Looped != y.Looped || x.MaxPlayingCount != y.MaxPlayingCount ||
        x.HasWave != y.HasWave || x.Data != y.Data || x.Format.Channels != y.Format.Channels ||
        x.Format.SamplesPerSec != y.Format.SamplesPerSec ||
        x.Format.BitsPerSample != y.Format.BitsPerSample || x.Format.Extra != y.Format.Extra)
      return false;
  }
  return true;
}

std::size_t PixelCount(const PictureArchive& a) {
  std::size_t n = 0;
  for (const auto& item : a.Items) n += item.Picture.Pixels.size();
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  DetectArchiveContent(bytes);
  try {
    const PictureArchive pictures = ReadPictureArchiveFromMemory(bytes);
    if (PixelCount(pictures) < (1u << 20) &&
        !SamePictures(pictures, ReadPictureArchiveFromMemory(WritePictureArchiveToMemory(pictures))))
      std::abort();
  } catch (const EKestruneError&) {
  }
  try {
    const WaveArchive waves = ReadWaveArchiveFromMemory(bytes);
    if (!SameWaves(waves, ReadWaveArchiveFromMemory(WriteWaveArchiveToMemory(waves)))) std::abort();
  } catch (const EKestruneError&) {
  }
  return 0;
}
