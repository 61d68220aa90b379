#include "PackCommands.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "Manifest.h"
#include "OutputFile.h"
#include "PackError.h"
#include "PatternGrid.h"
#include "PngFile.h"
#include "framework/ArchiveIO.h"
#include "framework/ByteStream.h"
#include "framework/DibCodec.h"
#include "framework/Errors.h"
#include "framework/PatternLayout.h"
#include "framework/RiffWave.h"

namespace kestrune::pack {
namespace {

namespace fs = std::filesystem;

const char* YesNo(bool v) { return v ? "yes" : "no"; }

struct LoadedArchive {
  ArchiveContent content;
  PictureArchive pictures;
  WaveArchive waves;
};

// Reads either kind of archive: the kind comes from the root class the archive names, or from
// the file name (".dxw" for sounds) when that is unreadable, so the reader reports what is wrong.
LoadedArchive Load(const std::string& path) {
  LoadedArchive a;
  try {
    const std::vector<std::uint8_t> bytes = ReadArchiveFile(path);
    a.content = DetectArchiveContent(bytes);
    if (a.content == ArchiveContent::Unknown)
      a.content = fs::path(path).extension() == ".dxw" ? ArchiveContent::Waves : ArchiveContent::Pictures;
    if (a.content == ArchiveContent::Waves)
      a.waves = ReadWaveArchiveFromMemory(bytes);
    else
      a.pictures = ReadPictureArchiveFromMemory(bytes);
  } catch (const EKestruneError& e) {
    throw PackError(path, e.what());
  }
  return a;
}

// "007-Car_1" style file names: the index keeps them unique and in order.
std::string FileStem(std::size_t index, const std::string& name) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%03zu", index);
  std::string stem = prefix;
  if (!name.empty()) stem += '-';
  for (std::size_t i = 0; i < name.size() && i < 40; ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    stem += (std::isalnum(c) || c == '-' || c == '_') ? static_cast<char>(c) : '_';
  }
  return stem;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  try {
    return ReadArchiveFile(path.string());
  } catch (const EKestruneError& e) {
    throw PackError(path.string(), e.what());
  }
}

}  // namespace

void ListArchive(const std::string& archivePath, std::ostream& out) {
  const LoadedArchive a = Load(archivePath);
  if (a.content == ArchiveContent::Waves) {
    for (std::size_t i = 0; i < a.waves.Items.size(); ++i) {
      const WaveItemRecord& w = a.waves.Items[i];
      out << i << " \"" << EscapeValue(w.Name) << "\" ";
      if (w.HasWave)
        out << w.Format.Channels << "ch " << w.Format.SamplesPerSec << "Hz " << w.Format.BitsPerSample
            << "bit data " << w.Data.size();
      else
        out << "no wave";
      out << " looped " << YesNo(w.Looped) << " maxplayingcount " << w.MaxPlayingCount << "\n";
    }
    return;
  }
  for (std::size_t i = 0; i < a.pictures.Items.size(); ++i) {
    const PictureItemRecord& p = a.pictures.Items[i];
    out << i << " \"" << EscapeValue(p.Name) << "\" " << EscapeValue(p.PictureKind) << " " << p.Picture.Width
        << "x" << p.Picture.Height << " pattern " << p.PatternWidth << "x" << p.PatternHeight << " count "
        << PatternCount(p) << " skip " << p.SkipWidth << "x" << p.SkipHeight << " transparent "
        << YesNo(p.Transparent) << " " << FormatColor(p.TransparentColor) << " systemmemory "
        << YesNo(p.SystemMemory) << "\n";
  }
}

void ExtractArchive(const std::string& archivePath, const std::string& dir) {
  const LoadedArchive a = Load(archivePath);
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) throw PackError(dir, "cannot create folder: " + ec.message());
  // Either the whole set (files and manifest) is written, or nothing of it stays.
  WrittenFiles files;
  try {
    Manifest m;
    m.Content = a.content;
    if (a.content == ArchiveContent::Waves) {
      for (std::size_t i = 0; i < a.waves.Items.size(); ++i) {
        const WaveItemRecord& w = a.waves.Items[i];
        WaveEntry e{w, "", 0};
        e.Item.Data.clear();
        if (w.HasWave) {
          e.File = FileStem(i, w.Name) + ".wav";
          files.Write((fs::path(dir) / e.File).string(), MakeRiffWave(w.Format, w.Data));
        }
        m.Waves.push_back(std::move(e));
      }
    } else {
      m.ColorTable = a.pictures.ColorTable;
      for (std::size_t i = 0; i < a.pictures.Items.size(); ++i) {
        const PictureItemRecord& p = a.pictures.Items[i];
        PictureEntry e{p, "", 0};
        e.Item.Picture = {};
        if (!p.Picture.Empty()) {
          e.File = FileStem(i, p.Name) + ".png";
          const std::string path = (fs::path(dir) / e.File).string();
          WritePng(path, p.Picture);
          files.Add(path);
        }
        m.Pictures.push_back(std::move(e));
      }
    }
    const std::string text = FormatManifest(m);
    files.Write((fs::path(dir) / "manifest.txt").string(), std::vector<std::uint8_t>(text.begin(), text.end()));
  } catch (const PackError& e) {
    const std::size_t removed = files.Discard();
    throw PackError(archivePath, std::string("extract failed, ") + std::to_string(removed) +
                                     " files already written were removed: " + e.what());
  }
}

void BuildArchive(const std::string& manifestPath, const std::string& outputPath) {
  const std::vector<std::uint8_t> bytes = ReadBytes(manifestPath);
  const Manifest m = ParseManifest(std::string(bytes.begin(), bytes.end()), manifestPath);
  const fs::path base = fs::path(manifestPath).parent_path();
  auto where = [&](int line) { return manifestPath + ":" + std::to_string(line); };
  try {
    if (m.Content == ArchiveContent::Waves) {
      WaveArchive archive;
      for (const WaveEntry& e : m.Waves) {
        WaveItemRecord item = e.Item;
        if (!e.File.empty()) {
          const fs::path file = base / e.File;
          const std::vector<std::uint8_t> riff = ReadBytes(file);
          try {
            ByteReader in(riff);
            ParseRiffWave(in, item);
          } catch (const EKestruneError& err) {
            throw PackError(file.string(), err.what());
          }
        }
        archive.Items.push_back(std::move(item));
      }
      WriteOutputFile(outputPath, WriteWaveArchiveToMemory(archive));
      return;
    }
    // The game refuses an archive past its budgets, so none is built: checked from the pictures'
    // sizes before any is decoded.
    std::uint64_t pixelsLeft = kMaxArchivePixels;
    TPatternBudget patterns;
    for (const PictureEntry& e : m.Pictures) {
      const PictureItemRecord& item = e.Item;
      PngSize size;
      if (!e.File.empty()) {
        if (item.PictureKind != "TDIB" && item.PictureKind != "TBitmap")
          throw PackError(where(e.Line), "a picture of kind \"" + EscapeValue(item.PictureKind) +
                                             "\" cannot be stored; use TDIB or TBitmap");
        size = ReadPngSize((base / e.File).string());
      }
      const std::string picture = "picture \"" + EscapeValue(item.Name) + "\" (" + std::to_string(size.Width) +
                                  " x " + std::to_string(size.Height) + ")";
      if (!TakeArchivePixels(pixelsLeft, std::uint64_t(size.Width) * std::uint64_t(size.Height)))
        throw PackError(where(e.Line), picture + " takes the archive past its pixel budget: at most " +
                                           std::to_string(kMaxArchivePixels) +
                                           " pixels in all its pictures (the game would refuse it)");
      const TPatternGrid grid = LayPatterns(size.Width, size.Height, item.PatternWidth, item.PatternHeight,
                                            item.SkipWidth, item.SkipHeight);
      if (const std::string over = patterns.Add(grid); !over.empty())
        throw PackError(where(e.Line), picture + " cut into " + std::to_string(grid.Count()) +
                                           (grid.Count() == 1 ? " pattern of " : " patterns of ") +
                                           std::to_string(grid.Width) + " x " + std::to_string(grid.Height) +
                                           " takes the archive past its pattern budget: " + over +
                                           " (the game would refuse it)");
    }
    PictureArchive archive;
    archive.ColorTable = m.ColorTable;
    for (const PictureEntry& e : m.Pictures) {
      PictureItemRecord item = e.Item;
      if (!e.File.empty()) {
        PngPicture png = ReadPng((base / e.File).string());
        // Transparent pixels of a PNG with alpha take the item's transparent colour.
        const std::uint32_t key = ((item.TransparentColor & 0xFF) << 16) | (item.TransparentColor & 0xFF00) |
                                  ((item.TransparentColor >> 16) & 0xFF);
        for (std::size_t i = 0; i < png.Picture.Pixels.size(); ++i)
          if (png.Transparent[i]) png.Picture.Pixels[i] = key;
        item.Picture = std::move(png.Picture);
      }
      archive.Items.push_back(std::move(item));
    }
    WriteOutputFile(outputPath, WritePictureArchiveToMemory(archive));
  } catch (const EKestruneError& e) {
    throw PackError(outputPath, e.what());
  }
}

void DrawSheet(const std::string& archivePath, const std::string& outputPath, const SheetOptions& options) {
  const LoadedArchive a = Load(archivePath);
  if (a.content != ArchiveContent::Pictures) throw PackError(archivePath, "not a picture archive");
  WritePng(outputPath, MakeContactSheet(a.pictures, options));
}

}  // namespace kestrune::pack
