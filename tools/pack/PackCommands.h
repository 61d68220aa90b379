#pragma once
// The commands of kestrune-pack. Each fails with PackError (a bad input file, named in the
// message) or with the framework's errors for files it cannot write.

#include <ostream>
#include <string>

#include "ContactSheet.h"

namespace kestrune::pack {

// One line per item.
void ListArchive(const std::string& archivePath, std::ostream& out);
// Every picture as a PNG, every wave as a .wav file, and manifest.txt, into dir (created).
void ExtractArchive(const std::string& archivePath, const std::string& dir);
// The archive a manifest describes.
void BuildArchive(const std::string& manifestPath, const std::string& outputPath);
// A contact sheet PNG of a picture archive.
void DrawSheet(const std::string& archivePath, const std::string& outputPath, const SheetOptions& options);

}  // namespace kestrune::pack
