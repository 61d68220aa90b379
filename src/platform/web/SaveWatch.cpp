#include "platform/web/SaveWatch.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

namespace kestrune {

SaveWatch::SaveWatch(std::string folder) : folder_(std::move(folder)), last_(Fingerprint()) {}

std::string SaveWatch::Fingerprint() const {
  namespace fs = std::filesystem;
  std::error_code error;
  // Sorted by name: the folder's listing order says nothing.
  std::map<std::string, std::string> files;
  for (fs::recursive_directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
    std::error_code fileError;
    if (!it->is_regular_file(fileError)) continue;
    const auto size = static_cast<unsigned long long>(it->file_size(fileError));
    // The clock's count may be wider than long long (Emscripten's library): nanoseconds fit.
    const auto written = static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                    it->last_write_time(fileError).time_since_epoch())
                                                    .count());
    files[it->path().generic_string()] = std::to_string(size) + "@" + std::to_string(written);
  }
  std::string out;
  for (const auto& [name, stamp] : files) out += name + "=" + stamp + "\n";
  return out;
}

bool SaveWatch::Changed() {
  std::string now = Fingerprint();
  if (now == last_) return false;
  last_ = std::move(now);
  return true;
}

}  // namespace kestrune
