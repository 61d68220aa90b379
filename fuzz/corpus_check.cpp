// Runs a fuzz target's entry point once on every file of the folders given, without libFuzzer:
// the normal and sanitizer builds replay the seeds and the inputs the fuzzers kept, so a fault
// they once found stays found. Exits 1 when a folder holds no file or cannot be read; a failing
// input stops the program as it would stop the fuzzer (abort or a sanitizer report), after its
// name has been printed.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc < 2) {
    std::cerr << "usage: " << argv[0] << " FOLDER...\n";
    return 2;
  }
  std::size_t inputs = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(argv[i], error), end; !error && it != end; it.increment(error))
      if (it->is_regular_file()) files.push_back(it->path());
    if (error || files.empty()) {
      std::cerr << argv[0] << ": no inputs in " << argv[i] << (error ? ": " + error.message() : "") << "\n";
      return 1;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      std::ifstream in(file, std::ios::binary);
      const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      if (!in.eof() && in.fail()) {
        std::cerr << argv[0] << ": cannot read " << file.string() << "\n";
        return 1;
      }
      // Named first, so the input that stops the program is the last one printed.
      std::cerr << file.filename().string() << "\n";
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++inputs;
    }
  }
  std::cout << inputs << " inputs, no failure\n";
  return 0;
}
