// The package's copyright file, in Debian's machine-readable format: every font the game ships
// is covered by a paragraph naming its holders and the SIL Open Font License, every licence it
// names is given in full, and it is what the install puts in the package's documents.
#include <fnmatch.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kestrune {
namespace {

namespace fs = std::filesystem;

struct FilesParagraph {
  std::vector<std::string> Patterns;
  std::string Copyright, License;
};

struct CopyrightFile {
  std::vector<FilesParagraph> Files;
  std::map<std::string, std::string> Licenses;  // stand-alone License paragraphs: name -> text
};

// Paragraphs are separated by empty lines; a field's continuation lines start with a space.
CopyrightFile Parse(const std::string& text) {
  CopyrightFile out;
  std::istringstream lines(text);
  std::map<std::string, std::string> fields;
  std::string last;
  auto flush = [&] {
    if (fields.count("Files")) {
      FilesParagraph p;
      std::istringstream patterns(fields["Files"]);
      for (std::string pattern; patterns >> pattern;) p.Patterns.push_back(pattern);
      p.Copyright = fields["Copyright"];
      p.License = fields["License"].substr(0, fields["License"].find('\n'));
      out.Files.push_back(p);
    } else if (fields.count("License")) {
      const std::string& license = fields["License"];
      const std::size_t newline = license.find('\n');
      out.Licenses[license.substr(0, newline)] = newline == std::string::npos ? "" : license.substr(newline + 1);
    }
    fields.clear();
  };
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) {
      flush();
    } else if (line[0] == ' ') {
      fields[last] += "\n" + line.substr(1);
    } else {
      const std::size_t colon = line.find(':');
      last = line.substr(0, colon);
      fields[last] = colon + 1 < line.size() ? line.substr(line.find_first_not_of(' ', colon + 1)) : "";
    }
  }
  flush();
  return out;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Copyright, EveryFontIsCoveredByItsHoldersAndTheOpenFontLicense) {
  const fs::path source = fs::path(KESTRUNE_TEST_SOURCE_DIR) / "..";
  const CopyrightFile copyright = Parse(ReadAll(source / "assets" / "copyright"));
  ASSERT_FALSE(copyright.Files.empty());
  // The last matching paragraph decides, as the format says.
  auto governing = [&](const std::string& path) -> const FilesParagraph* {
    const FilesParagraph* found = nullptr;
    for (const FilesParagraph& p : copyright.Files)
      for (const std::string& pattern : p.Patterns)
        if (::fnmatch(pattern.c_str(), path.c_str(), 0) == 0) found = &p;
    return found;
  };
  int fonts = 0;
  for (const auto& entry : fs::directory_iterator(source / "assets" / "fonts")) {
    const std::string name = entry.path().filename().string();
    const std::string path = "assets/fonts/" + name;
    const FilesParagraph* p = governing(path);
    ASSERT_NE(p, nullptr) << path;
    const std::string extension = entry.path().extension().string();
    if (extension != ".otf" && extension != ".ttf") continue;
    ++fonts;
    EXPECT_EQ(p->License, "OFL-1.1") << path;
    EXPECT_EQ(p->Copyright.find("Kestrune"), std::string::npos) << path << " is credited to the game";
  }
  EXPECT_GT(fonts, 0);
  EXPECT_EQ(governing("src/app/main.cpp")->License, "Expat");
  // Every licence a paragraph names is given in full.
  for (const FilesParagraph& p : copyright.Files) {
    ASSERT_TRUE(copyright.Licenses.count(p.License)) << p.License;
    EXPECT_GT(copyright.Licenses.at(p.License).size(), 500u) << p.License;
  }
  EXPECT_NE(copyright.Licenses.at("OFL-1.1").find("SIL OPEN FONT LICENSE Version 1.1"), std::string::npos);
  EXPECT_NE(copyright.Licenses.at("Expat").find("Permission is hereby granted"), std::string::npos);
}

}  // namespace
}  // namespace kestrune
