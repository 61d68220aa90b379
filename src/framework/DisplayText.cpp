#include "framework/DisplayText.h"

#include <cstdint>
#include <cstdio>

namespace kestrune {
namespace {

void AppendEscaped(std::string& out, unsigned char c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
  out += buffer;
}

// Length of the valid UTF-8 sequence starting at text[i] (0 if invalid), and its code point.
std::size_t Utf8Sequence(const std::string& text, std::size_t i, std::uint32_t& code) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and code points past U+10FFFF are not valid.
  if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
      (code >= 0xD800 && code <= 0xDFFF))
    return 0;
  return length;
}

}  // namespace

std::string EscapeForDisplay(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    std::uint32_t code = 0;
    const std::size_t length = c >= 0x80 ? Utf8Sequence(text, i, code) : 0;
    if (length > 0 && !(code >= 0x80 && code <= 0x9F)) {
      out.append(text, i, length);
      i += length;
      continue;
    }
    // A control character, or an invalid or C1 sequence: each byte of it escaped.
    const std::size_t n = length > 0 ? length : 1;
    for (std::size_t k = 0; k < n; ++k) AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
    i += n;
  }
  return out;
}

std::string WrapLines(const std::string& text, std::size_t width) {
  if (width == 0) return text;
  // Widths count characters: the bytes that start one (UTF-8 continuation bytes do not).
  auto starts = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; };
  std::string out;
  std::size_t lineStart = 0, lineChars = 0;
  std::size_t lastSpace = std::string::npos;
  for (char c : text) {
    if (c == '\n') {
      out += c;
      lineStart = out.size();
      lineChars = 0;
      lastSpace = std::string::npos;
      continue;
    }
    if (starts(c) && lineChars == width) {
      if (lastSpace != std::string::npos) {
        // Break at the last space: what follows it starts the new line.
        out[lastSpace] = '\n';
        lineStart = lastSpace + 1;
        lineChars = 0;
        for (std::size_t k = lineStart; k < out.size(); ++k) lineChars += starts(out[k]) ? 1 : 0;
      } else {
        out += '\n';
        lineStart = out.size();
        lineChars = 0;
      }
      lastSpace = std::string::npos;
    }
    if (c == ' ') lastSpace = out.size();
    out += c;
    if (starts(c)) ++lineChars;
  }
  return out;
}

std::vector<std::string> CapWarnings(const std::vector<std::string>& warnings, std::size_t shown) {
  if (warnings.size() <= shown) return warnings;
  std::vector<std::string> kept(warnings.begin(), warnings.begin() + static_cast<std::ptrdiff_t>(shown));
  kept.push_back("... and " + std::to_string(warnings.size() - shown) + " more");
  return kept;
}

}  // namespace kestrune
