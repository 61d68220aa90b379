#include "Manifest.h"

#include <charconv>
#include <cstdio>
#include <sstream>

#include "PackError.h"
#include "framework/ColorNames.h"

namespace kestrune::pack {
namespace {

constexpr const char* kHeader = "kestrune-pack manifest 1";

const char* YesNo(bool v) { return v ? "yes" : "no"; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class LineError {
 public:
  LineError(const std::string& source, int line) : source_(source), line_(line) {}
  [[noreturn]] void operator()(const std::string& message) const {
    throw PackError(source_ + ":" + std::to_string(line_), message);
  }

 private:
  const std::string& source_;
  int line_;
};

bool ParseInt(const std::string& s, std::int32_t& out) {
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, out);
  return ec == std::errc() && p == end;
}

bool ParseBool(const std::string& s, bool& out) {
  if (s == "yes" || s == "true") return out = true, true;
  if (s == "no" || s == "false") return out = false, true;
  return false;
}

bool ParseColor(const std::string& s, std::uint32_t& out) {
  if (s.size() == 7 && s[0] == '#') {
    std::uint32_t rgb = 0;
    for (std::size_t i = 1; i < 7; ++i) {
      const int d = HexDigit(s[i]);
      if (d < 0) return false;
      rgb = rgb << 4 | static_cast<std::uint32_t>(d);
    }
    out = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16);
    return true;
  }
  if (s.size() > 2 && s.size() <= 10 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    std::uint32_t v = 0;
    for (std::size_t i = 2; i < s.size(); ++i) {
      const int d = HexDigit(s[i]);
      if (d < 0) return false;
      v = v << 4 | static_cast<std::uint32_t>(d);
    }
    out = v;
    return true;
  }
  if (auto named = ColorFromIdent(s)) return out = *named, true;
  return false;
}

// "a b" as two integers.
bool ParsePair(const std::string& s, std::int32_t& a, std::int32_t& b) {
  const std::size_t space = s.find(' ');
  return space != std::string::npos && ParseInt(s.substr(0, space), a) && ParseInt(s.substr(space + 1), b);
}

}  // namespace

std::string EscapeValue(const std::string& value) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : value) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else if (c < 0x20 || c == 0x7F)
      out += std::string("\\x") + hex[c >> 4] + hex[c & 15];
    else
      out += static_cast<char>(c);
  }
  return out;
}

std::string UnescapeValue(const std::string& value, bool& ok) {
  ok = true;
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\') {
      out += value[i];
      continue;
    }
    if (++i >= value.size()) return ok = false, out;
    switch (value[i]) {
      case '\\':
        out += '\\';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'x': {
        const int hi = i + 1 < value.size() ? HexDigit(value[i + 1]) : -1;
        const int lo = i + 2 < value.size() ? HexDigit(value[i + 2]) : -1;
        if (hi < 0 || lo < 0) return ok = false, out;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default:
        return ok = false, out;
    }
  }
  return out;
}

std::string FormatColor(std::uint32_t stored) {
  char buffer[16];
  if (stored <= 0xFFFFFF)
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", stored & 0xFF, (stored >> 8) & 0xFF, stored >> 16);
  else
    std::snprintf(buffer, sizeof buffer, "0x%08X", stored);
  return buffer;
}

std::string FormatManifest(const Manifest& m) {
  std::ostringstream out;
  out << kHeader << "\n";
  if (m.Content == ArchiveContent::Waves) {
    out << "archive waves\n";
    for (const WaveEntry& e : m.Waves) {
      const WaveItemRecord& w = e.Item;
      out << "\nitem\n";
      out << "name " << EscapeValue(w.Name) << "\n";
      if (!e.File.empty()) out << "file " << EscapeValue(e.File) << "\n";
      out << "looped " << YesNo(w.Looped) << "\n";
      out << "maxplayingcount " << w.MaxPlayingCount << "\n";
    }
    return out.str();
  }
  out << "archive pictures\n";
  if (!m.ColorTable.empty()) {
    static const char* hex = "0123456789ABCDEF";
    out << "colortable ";
    for (std::uint8_t b : m.ColorTable) out << hex[b >> 4] << hex[b & 15];
    out << "\n";
  }
  for (const PictureEntry& e : m.Pictures) {
    const PictureItemRecord& p = e.Item;
    out << "\nitem\n";
    out << "name " << EscapeValue(p.Name) << "\n";
    out << "kind " << EscapeValue(p.PictureKind) << "\n";
    if (!e.File.empty()) out << "file " << EscapeValue(e.File) << "\n";
    out << "pattern " << p.PatternWidth << " " << p.PatternHeight << "\n";
    out << "skip " << p.SkipWidth << " " << p.SkipHeight << "\n";
    out << "transparent " << YesNo(p.Transparent) << "\n";
    out << "transparentcolor " << FormatColor(p.TransparentColor) << "\n";
    out << "systemmemory " << YesNo(p.SystemMemory) << "\n";
  }
  return out.str();
}

Manifest ParseManifest(const std::string& text, const std::string& source) {
  Manifest m;
  bool haveHeader = false, haveArchive = false;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const LineError fail(source, number);
    if (line.empty() || line[0] == '#') continue;
    if (!haveHeader) {
      if (line != kHeader) fail(std::string("not a manifest (the first line must be \"") + kHeader + "\")");
      haveHeader = true;
      continue;
    }
    const std::size_t space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string raw = space == std::string::npos ? "" : line.substr(space + 1);
    bool ok = true;
    const std::string value = UnescapeValue(raw, ok);
    if (!ok) fail("bad escape in \"" + raw + "\"");
    const bool pictures = m.Content == ArchiveContent::Pictures;

    if (key == "archive") {
      if (haveArchive) fail("\"archive\" given twice");
      if (value == "pictures")
        m.Content = ArchiveContent::Pictures;
      else if (value == "waves")
        m.Content = ArchiveContent::Waves;
      else
        fail("archive must be \"pictures\" or \"waves\", not \"" + value + "\"");
      haveArchive = true;
      continue;
    }
    if (!haveArchive) fail("\"archive pictures\" or \"archive waves\" must come before \"" + key + "\"");
    if (key == "colortable") {
      if (!pictures) fail("only picture archives have a colour table");
      if (value.size() != 2048) fail("colortable must be 2048 hexadecimal digits (1024 bytes)");
      m.ColorTable.resize(1024);
      for (std::size_t i = 0; i < 1024; ++i) {
        const int hi = HexDigit(value[2 * i]), lo = HexDigit(value[2 * i + 1]);
        if (hi < 0 || lo < 0) fail("colortable must be hexadecimal digits");
        m.ColorTable[i] = static_cast<std::uint8_t>(hi * 16 + lo);
      }
      continue;
    }
    if (key == "item") {
      if (!raw.empty()) fail("\"item\" takes no value");
      if (pictures)
        m.Pictures.push_back(PictureEntry{PictureItemRecord{}, "", number});
      else
        m.Waves.push_back(WaveEntry{WaveItemRecord{}, "", number});
      continue;
    }
    if (pictures ? m.Pictures.empty() : m.Waves.empty()) fail("\"" + key + "\" outside an item");

    if (key == "name") {
      (pictures ? m.Pictures.back().Item.Name : m.Waves.back().Item.Name) = value;
    } else if (key == "file") {
      if (value.empty()) fail("file needs a path");
      (pictures ? m.Pictures.back().File : m.Waves.back().File) = value;
    } else if (pictures) {
      PictureItemRecord& p = m.Pictures.back().Item;
      if (key == "kind") {
        if (value.empty() || value.size() > 255) fail("kind must be 1 to 255 bytes");
        p.PictureKind = value;
      } else if (key == "pattern") {
        if (!ParsePair(value, p.PatternWidth, p.PatternHeight)) fail("pattern needs WIDTH HEIGHT");
      } else if (key == "skip") {
        if (!ParsePair(value, p.SkipWidth, p.SkipHeight)) fail("skip needs WIDTH HEIGHT");
      } else if (key == "transparent") {
        if (!ParseBool(value, p.Transparent)) fail("transparent must be yes or no");
      } else if (key == "systemmemory") {
        if (!ParseBool(value, p.SystemMemory)) fail("systemmemory must be yes or no");
      } else if (key == "transparentcolor") {
        if (!ParseColor(value, p.TransparentColor))
          fail("transparentcolor must be #RRGGBB, 0xHHHHHHHH or a colour name, not \"" + value + "\"");
      } else {
        fail("unknown picture property \"" + key + "\"");
      }
    } else {
      WaveItemRecord& w = m.Waves.back().Item;
      if (key == "looped") {
        if (!ParseBool(value, w.Looped)) fail("looped must be yes or no");
      } else if (key == "maxplayingcount") {
        if (!ParseInt(value, w.MaxPlayingCount) || w.MaxPlayingCount < 0)
          fail("maxplayingcount must be a whole number of 0 or more");
      } else {
        fail("unknown wave property \"" + key + "\"");
      }
    }
  }
  if (!haveHeader) throw PackError(source, "not a manifest (empty)");
  if (!haveArchive) throw PackError(source, "no \"archive\" line");
  return m;
}

}  // namespace kestrune::pack
