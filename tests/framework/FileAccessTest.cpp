#include "framework/FileAccess.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "framework/Errors.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

class FileAccessTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrune-files-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Slurp(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  fs::path dir_;
};

// Both readers: into a vector, and straight into memory of their own.
std::vector<std::uint8_t> ReadEither(bool ownMemory, const std::string& path, std::uint64_t cap) {
  if (!ownMemory) return ReadRegularFile(path, cap);
  const TFileBytes bytes = ReadRegularFileBytes(path, cap);
  return std::vector<std::uint8_t>(bytes.data(), bytes.data() + bytes.size());
}

TEST_F(FileAccessTest, ReadsOnlyRegularFilesWithinTheCapAndNeverBlocks) {
  WriteFileAtomically(Path("small"), std::string("12345"));
  // Several 64 KiB blocks long, with no two neighbouring bytes alike.
  std::string large(300000, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 + i / 251);
  WriteFileAtomically(Path("large"), large);
  WriteFileAtomically(Path("empty"), std::string());

  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", Path("zero"));
  struct Case {
    std::string path;
    std::uint64_t cap;
    const char* reason;
  };
  const Case cases[] = {
      {Path("missing"), 100, "No such file"},
      {dir_.string(), 100, "Is a directory"},
      {Path("fifo"), 100, "Not a regular file"},  // would hang a plain open
      {Path("zero"), 100, "Not a regular file"},  // would read for ever
      {Path("small"), 4, "File is too large"},
  };
  for (const bool ownMemory : {false, true}) {
    SCOPED_TRACE(ownMemory ? "own memory" : "vector");
    EXPECT_EQ(ReadEither(ownMemory, Path("small"), 5), std::vector<std::uint8_t>({'1', '2', '3', '4', '5'}));
    EXPECT_EQ(ReadEither(ownMemory, Path("large"), large.size()),
              std::vector<std::uint8_t>(large.begin(), large.end()));
    EXPECT_TRUE(ReadEither(ownMemory, Path("empty"), 0).empty());
    for (const Case& c : cases) {
      SCOPED_TRACE(c.path);
      try {
        ReadEither(ownMemory, c.path, c.cap);
        ADD_FAILURE() << "no error";
      } catch (const EFOpenError& e) {
        const std::string message = e.what();
        EXPECT_EQ(message.rfind("Cannot open file \"" + c.path + "\". ", 0), 0u) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
      }
    }
  }
}

TEST_F(FileAccessTest, AtomicWriteReplacesWholeOrLeavesTheOldFile) {
  const std::string target = Path("options");
  WriteFileAtomically(target, std::string("old\r\n"));
  WriteFileAtomically(target, std::string("new content\r\n"));
  EXPECT_EQ(Slurp(target), "new content\r\n");
  EXPECT_EQ(EntryCount(), 1u);  // no temporary file left behind

  // A folder or a link to a device in the file's place is left alone, and no temporary file
  // stays behind.
  fs::create_directories(dir_ / "busy");
  WriteFileAtomically(Path("busy/keep"), std::string("kept"));
  fs::create_symlink("/dev/null", Path("device"));
  EXPECT_THROW(WriteFileAtomically(Path("busy"), std::string("x")), EFCreateError);
  EXPECT_THROW(WriteFileAtomically(Path("device"), std::string("x")), EFCreateError);
  EXPECT_EQ(Slurp(Path("busy/keep")), "kept");
  EXPECT_TRUE(fs::is_symlink(Path("device")));
  EXPECT_EQ(EntryCount(), 3u);

  // A write that fails part-way (here a file size limit standing in for a full disk) removes
  // its temporary file and keeps the old file whole.
  {
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
      WriteFileAtomically(target, std::string(5000, 'x'));
    } catch (const EWriteError&) {
      failed = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(failed);
  }
  EXPECT_EQ(Slurp(target), "new content\r\n");
  EXPECT_EQ(EntryCount(), 3u);

  // A missing folder cannot take the temporary file.
  EXPECT_THROW(WriteFileAtomically(Path("nowhere/file"), std::string("x")), EFCreateError);
}

}  // namespace
}  // namespace kestrune
