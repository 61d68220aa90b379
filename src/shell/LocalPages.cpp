#include "shell/LocalPages.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "shell/MainForm.h"

namespace kestrune {
namespace {

// Percent-encodes everything but unreserved characters and the path separators.
std::string EncodePath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace

const char* LocalPageFile(TLocalPage) { return "guide.html"; }

const char* LocalPageAnchor(TLocalPage page) {
  switch (page) {
    case TLocalPage::Controls:
      return "#controls";
    case TLocalPage::About:
      return "#about";
    case TLocalPage::MoreGames:
      return "#more-games";
    case TLocalPage::Modding:
      return "#your-own-data";
    case TLocalPage::Licence:
      return "#licence";
    case TLocalPage::Guide:
    default:
      return "#playing";
  }
}

std::string LocalPageAddress(TLocalPage page) {
  std::error_code error;
  const std::filesystem::path path =
      std::filesystem::absolute(std::filesystem::path("Docs") / LocalPageFile(page), error);
  if (error || !std::filesystem::is_regular_file(path, error)) return "";
  return "file://" + EncodePath(path.generic_string()) + LocalPageAnchor(page);
}

void OpenLocalPage(TLocalPage page) {
  const std::string address = LocalPageAddress(page);
  if (address.empty()) {
    std::cerr << "Kestrune: cannot open Docs/" << LocalPageFile(page) << ": the file is missing" << std::endl;
    return;
  }
  if (MForm) MForm->OpenWebPage(address);
}

}  // namespace kestrune
