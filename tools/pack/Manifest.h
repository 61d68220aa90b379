#pragma once
// The manifest of an extracted archive: a text file holding every item property, one
// "key value" line each, and the file that holds each item's picture or wave. The format is
// described in docs/data-set.md ("Archive manifests").

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ArchiveIO.h"
#include "framework/ArchiveTypes.h"

namespace kestrune::pack {

struct PictureEntry {
  PictureItemRecord Item;  // every property; the picture itself lives in File
  std::string File;        // relative to the manifest; empty for an empty picture
  int Line = 0;
};

struct WaveEntry {
  WaveItemRecord Item;
  std::string File;  // empty when the item has no wave
  int Line = 0;
};

struct Manifest {
  ArchiveContent Content = ArchiveContent::Pictures;
  std::vector<std::uint8_t> ColorTable;  // pictures only: 1024 bytes or none
  std::vector<PictureEntry> Pictures;
  std::vector<WaveEntry> Waves;
};

std::string FormatManifest(const Manifest& manifest);
// Fails with PackError "<source>:<line>: <what is wrong>".
Manifest ParseManifest(const std::string& text, const std::string& source);

// Values are written verbatim except backslash, control bytes and DEL, which are escaped
// (\\, \n, \r, \t, \xHH); this keeps any name on one line.
std::string EscapeValue(const std::string& value);
std::string UnescapeValue(const std::string& value, bool& ok);

// "#RRGGBB" for plain colours (stored as 0x00BBGGRR), "0xHHHHHHHH" for anything else.
std::string FormatColor(std::uint32_t stored);

}  // namespace kestrune::pack
