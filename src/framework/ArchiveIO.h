#pragma once
// Reading and writing picture archives (.dxg) and sound archives (.dxw). Both are the same
// container: a component resource holding a tagged property stream with one collection.
//
// Readers raise the framework's exceptions (EFOpenError "Cannot open file ...", EReadError
// "Error reading ...: ...", EInvalidGraphic, EWaveError, ...) with the messages users see.
// Errors in an item's property read as
//   Error reading <root>.List: Error reading <item>.<property>: <message>
// where <root> is the root component's name (its class name when it has none) and <item> the
// item's class name: items have no object name, whatever their Name property says.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/ArchiveTypes.h"

namespace kestrune {

// What the pictures of a picture archive are decoded to: 32-bit records (Picture), which tools
// edit and write back, or the back surface's RGB565 (Picture16), which is all a game that only
// shows them needs, in half the memory. The checks and errors are the same either way.
enum class PictureDepth { Rgb32, Display16 };

PictureArchive ReadPictureArchive(const std::string& path, PictureDepth depth = PictureDepth::Rgb32);
PictureArchive ReadPictureArchiveFromMemory(const std::vector<std::uint8_t>& bytes);
PictureArchive ReadPictureArchiveFromMemory(const std::uint8_t* data, std::size_t size,
                                            PictureDepth depth = PictureDepth::Rgb32);
WaveArchive ReadWaveArchive(const std::string& path);
WaveArchive ReadWaveArchiveFromMemory(const std::vector<std::uint8_t>& bytes);
WaveArchive ReadWaveArchiveFromMemory(const std::uint8_t* data, std::size_t size);

// Writers produce exactly what the readers accept. Pictures are stored as 24-bit "TDIB" (or as a
// 24-bit "TBitmap" file when the record's PictureKind says so; an empty picture of another kind
// keeps its kind name). An archive file is replaced whole or not at all. Failures: EFCreateError
// "Cannot create file ...", EWriteError "Cannot write file ...".
std::vector<std::uint8_t> WritePictureArchiveToMemory(const PictureArchive& archive);
void WritePictureArchive(const std::string& path, const PictureArchive& archive);
std::vector<std::uint8_t> WriteWaveArchiveToMemory(const WaveArchive& archive);
void WriteWaveArchive(const std::string& path, const WaveArchive& archive);

// The bytes of an archive file; EFOpenError "Cannot open file \"%s\". %s" when it cannot be read,
// is not a regular file or is larger than kMaxArchiveFileBytes (thirty times the largest
// archive of the game's own data).
inline constexpr std::uint64_t kMaxArchiveFileBytes = 256ull << 20;
std::vector<std::uint8_t> ReadArchiveFile(const std::string& path);

// What an archive holds, by the root class name it stores (which the readers themselves
// ignore); Unknown when the header cannot be read or names another class.
enum class ArchiveContent { Unknown, Pictures, Waves };
ArchiveContent DetectArchiveContent(const std::vector<std::uint8_t>& bytes);

// A whole RIFF WAVE file for a wave item (what the sound device is handed).
std::vector<std::uint8_t> MakeRiffWave(const WaveFormat& format, const std::vector<std::uint8_t>& data);

}  // namespace kestrune
