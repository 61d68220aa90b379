// kestrune-pack: command-line tool for the game's picture (.dxg) and sound (.dxw) archives.
// Exit status: 0 success, 1 bad input (one line on standard error naming the file), 2 usage.

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "PackCommands.h"
#include "app/ToolCommandLine.h"
#include "framework/DisplayText.h"

namespace {

constexpr const char* kUsage =
    "usage: kestrune-pack COMMAND ...\n"
    "\n"
    "  list ARCHIVE               one line per item of a picture (.dxg) or sound (.dxw) archive\n"
    "  extract ARCHIVE DIR        every picture as PNG, every wave as .wav, and DIR/manifest.txt\n"
    "  build MANIFEST OUTPUT      the archive a manifest describes (the inverse of extract)\n"
    "  sheet ARCHIVE OUTPUT.png [--scale N] [--width PIXELS]\n"
    "                             contact sheet of a picture archive: names, sizes, pattern grid\n"
    "                             and numbers, transparency shown as a checkerboard\n"
    "  --help                     this text\n"
    "  --version                  the version\n"
    "\n"
    "Options before the command:\n"
    "  --data DIR                 the game's data set (the folder holding Data/): an ARCHIVE\n"
    "                             named without a folder that is not in the working folder is\n"
    "                             read from its Data/Res (the installed data set when not given)\n"
    "Every option taking a value may also be written --option=VALUE.\n"
    "\n"
    "Exit status: 0 done, 1 bad input, 2 wrong usage.\n";

int Usage(const std::string& problem) {
  std::cerr << "kestrune-pack: " << problem << "\n" << kUsage;
  return 2;
}

bool ParseOption(const std::string& text, int low, int high, int& out) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && p == end && out >= low && out <= high;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args = kestrune::SplitAttachedValues({argv + 1, argv + argc});
  std::string dataDir;
  bool dataGiven = false;
  while (!args.empty() && args[0] == "--data") {
    if (args.size() < 2) return Usage("--data needs a value");
    dataDir = args[1];
    dataGiven = true;
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage("no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return 0;
  }
  if (command == "--version") {
    std::cout << kestrune::VersionText("kestrune-pack");
    return 0;
  }
  // A bare archive name missing from the working folder is read from the data set's Data/Res.
  if (command != "build" && args.size() >= 2) {
    std::error_code error;
    const std::filesystem::path named = args[1];
    if (named == named.filename() && !std::filesystem::exists(named, error)) {
      std::string reason;
      if (const auto root = kestrune::FindToolDataRoot(dataDir, argv[0], reason)) {
        args[1] = (*root / "Data" / "Res" / named).string();
      } else if (dataGiven) {
        std::cerr << "kestrune-pack: " << reason << "\n";
        return 1;
      }
    }
  }
  try {
    namespace pack = kestrune::pack;
    if (command == "list") {
      if (args.size() != 2) return Usage("list takes ARCHIVE");
      pack::ListArchive(args[1], std::cout);
    } else if (command == "extract") {
      if (args.size() != 3) return Usage("extract takes ARCHIVE DIR");
      pack::ExtractArchive(args[1], args[2]);
    } else if (command == "build") {
      if (args.size() != 3) return Usage("build takes MANIFEST OUTPUT");
      pack::BuildArchive(args[1], args[2]);
    } else if (command == "sheet") {
      if (args.size() < 3) return Usage("sheet takes ARCHIVE OUTPUT.png");
      pack::SheetOptions options;
      for (std::size_t i = 3; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return Usage(args[i] + " needs a value");
        if (args[i] == "--scale") {
          if (!ParseOption(args[i + 1], 1, 8, options.Scale)) return Usage("--scale must be 1 to 8");
        } else if (args[i] == "--width") {
          if (!ParseOption(args[i + 1], 64, 65536, options.MaxWidth))
            return Usage("--width must be 64 to 65536");
        } else {
          return Usage("unknown option " + args[i]);
        }
      }
      pack::DrawSheet(args[1], args[2], options);
    } else {
      return Usage("unknown command \"" + command + "\"");
    }
  } catch (const std::exception& e) {
    // Archive names and properties are whatever bytes the file holds: shown escaped.
    std::cerr << "kestrune-pack: " << kestrune::EscapeForDisplay(e.what()) << "\n";
    return 1;
  }
  // Output that could not be written (a full disk, a closed pipe) is a failure, said as one.
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "kestrune-pack: cannot write the output: " << std::strerror(errno) << "\n";
    return 1;
  }
  return 0;
}
