#pragma once
// Colour identifiers accepted for colour properties in archives ("clRed", "clBtnFace", ...).
// Values are 0x00BBGGRR. The system colour names resolve to fixed stand-ins: the classic
// desktop scheme's colours, since there is no system palette to ask.

#include <cstdint>
#include <optional>
#include <string>

namespace kestrune {

// The colour for an identifier (letter case ignored), or nothing for an unknown name.
std::optional<std::uint32_t> ColorFromIdent(const std::string& name);

}  // namespace kestrune
