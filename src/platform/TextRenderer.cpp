#include "platform/TextRenderer.h"

#include <SDL_ttf.h>
#ifndef __EMSCRIPTEN__
#include <fontconfig/fontconfig.h>
#endif

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <tuple>

namespace kestrune {
namespace {

// Families the game names, the free faces that stand in for them when they are missing, the
// Debian packages of those, and a size factor where a stand-in runs much wider than the face it
// replaces (the seven-segment face is about half as wide again as the narrow LCD face, so the
// dashboard's texts would run out of their fields, "LEVEL 12" for one).
struct StandIn {
  const char* Family;
  const char* Replacement;
  const char* Package;
  double SizeFactor;
};
constexpr StandIn kStandIns[] = {
    {"DS Crystal", "DSEG7 Classic", "fonts-dseg", 0.72},
    {"Beast Impacted", "Bebas Neue", "fonts-bebas-neue", 1.0},
    {"Courier", "Liberation Mono", "fonts-liberation2", 1.0},
    {"Arial", "Liberation Sans", "fonts-liberation2", 1.0},
};

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

struct FaceFile {
  std::string Path;
  int Index = 0;
  bool IsBold = false;
  std::string Family;
  double SizeFactor = 1.0;
};

// What fontconfig picks for a family; Family is empty when nothing matched at all. A browser has
// no fontconfig (nor installed fonts): there only the faces in the font folder are found.
FaceFile MatchFamily(const std::string& family, bool bold) {
  FaceFile out;
#ifdef __EMSCRIPTEN__
  (void)family, (void)bold;
#else
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  // The style name too: some families have several cuts of the same weight ("Book", "Regular").
  FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(bold ? "Bold" : "Regular"));
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  if (match != nullptr) {
    FcChar8* file = nullptr;
    FcChar8* fam = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
      out.Path = reinterpret_cast<char*>(file);
    if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch)
      out.Family = reinterpret_cast<char*>(fam);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    out.Index = index;
    out.IsBold = weight >= FC_WEIGHT_BOLD;
    // A face can list several family names (for example "Bebas Neue" and "Bebas Neue Bold").
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &fam) == FcResultMatch; ++i) {
      if (SameName(reinterpret_cast<char*>(fam), family)) {
        out.Family = family;
        break;
      }
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
#endif
  return out;
}

// The faces kept in the game's font folder (Data/Fonts) for each family the game names: the same
// files on every machine, so its text looks the same everywhere. An empty bold file means the
// regular cut emboldened by the rasteriser.
struct ShippedFace {
  const char* Family;
  const char* Regular;
  const char* Bold;
};
constexpr ShippedFace kShippedFaces[] = {
    {"DS Crystal", "DSEG7Classic-Regular.ttf", ""},
    {"Beast Impacted", "BebasNeue-Regular.otf", "BebasNeue-Bold.otf"},
    {"Courier", "LiberationMono-Regular.ttf", ""},
    {"Arial", "LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"},
};

double SizeFactorOf(const std::string& family) {
  for (const StandIn& s : kStandIns)
    if (SameName(family, s.Family)) return s.SizeFactor;
  return 1.0;
}

// The family's file in the font folder, if the folder has it.
FaceFile ShippedFile(const std::filesystem::path& folder, const std::string& family, bool bold) {
  FaceFile face;
  if (folder.empty()) return face;
  for (const ShippedFace& s : kShippedFaces) {
    if (!SameName(family, s.Family)) continue;
    const bool hasBold = bold && *s.Bold != '\0';
    const std::filesystem::path file = folder / (hasBold ? s.Bold : s.Regular);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return face;
    face.Path = file.string();
    face.IsBold = hasBold;
    face.Family = family;
    face.SizeFactor = SizeFactorOf(family);
    return face;
  }
  return face;
}

// The shipped file first; a data set without it (or a family the folder has no file for) falls
// back to what fontconfig finds: the family itself, else its free stand-in.
FaceFile ResolveFace(const std::filesystem::path& folder, const std::string& family, bool bold) {
  FaceFile shipped = ShippedFile(folder, family, bold);
  if (!shipped.Path.empty()) return shipped;
  FaceFile face = MatchFamily(family, bold);
  if (SameName(face.Family, family)) return face;
  for (const StandIn& s : kStandIns) {
    if (SameName(family, s.Family)) {
      FaceFile standIn = MatchFamily(s.Replacement, bold);
      standIn.SizeFactor = s.SizeFactor;
      if (!standIn.Path.empty()) return standIn;
    }
  }
  return face;  // fontconfig's own nearest choice
}

class TtfTextRenderer final : public ITextRenderer {
 public:
  explicit TtfTextRenderer(const std::string& fontFolder) {
    // Fixed now: the working directory may change later.
    std::error_code error;
    if (!fontFolder.empty()) folder_ = std::filesystem::absolute(fontFolder, error);
    ok_ = TTF_WasInit() > 0 || TTF_Init() == 0;
#ifndef __EMSCRIPTEN__
    FcInit();
#endif
  }
  ~TtfTextRenderer() override {
    for (auto& [key, font] : fonts_)
      if (font != nullptr) TTF_CloseFont(font);
    fonts_.clear();
  }

  TextMask Render(const FontRequest& request, const std::string& text) override {
    TextMask mask;
    TTF_Font* font = Font(request);
    if (font == nullptr || text.empty()) return mask;
    SDL_Surface* rendered =
        TTF_RenderUTF8_Blended(font, Windows1252ToUtf8(text).c_str(), SDL_Color{255, 255, 255, 255});
    if (rendered == nullptr) return mask;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (argb == nullptr) return mask;
    mask.Width = argb->w;
    mask.Height = argb->h;
    mask.Coverage.resize(static_cast<std::size_t>(mask.Width) * mask.Height);
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(
          static_cast<const std::uint8_t*>(argb->pixels) + static_cast<std::size_t>(y) * argb->pitch);
      for (int x = 0; x < argb->w; ++x)
        mask.Coverage[static_cast<std::size_t>(y) * mask.Width + x] = static_cast<std::uint8_t>(row[x] >> 24);
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return mask;
  }

  int Width(const FontRequest& request, const std::string& text) override {
    TTF_Font* font = Font(request);
    int w = 0, h = 0;
    if (font == nullptr || text.empty() || TTF_SizeUTF8(font, Windows1252ToUtf8(text).c_str(), &w, &h) != 0)
      return 0;
    return w;
  }

  int Height(const FontRequest& request, const std::string& text) override {
    (void)text;
    TTF_Font* font = Font(request);
    return font == nullptr ? 0 : TTF_FontHeight(font);
  }

 private:
  TTF_Font* Font(const FontRequest& request) {
    if (!ok_) return nullptr;
    const auto key = std::make_tuple(request.Family, request.PointSize, request.Bold);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    TTF_Font* font = Open(ResolveFace(folder_, request.Family, request.Bold), request);
    // A damaged file in the font folder: the installed font stands in, as without the folder.
    if (font == nullptr && !folder_.empty()) font = Open(ResolveFace({}, request.Family, request.Bold), request);
    fonts_[key] = font;  // a failure is remembered too: no retry every frame
    if (font == nullptr && request.PointSize > 0) ReportMissing(request.Family);
    return font;
  }

  static TTF_Font* Open(const FaceFile& face, const FontRequest& request) {
    if (face.Path.empty() || request.PointSize <= 0) return nullptr;
    const int points = std::max(1, static_cast<int>(std::lround(request.PointSize * face.SizeFactor)));
    TTF_Font* font = TTF_OpenFontIndexDPI(face.Path.c_str(), points, face.Index, 96, 96);
    // Faces without a bold cut are emboldened by the rasteriser.
    if (font != nullptr && request.Bold && !face.IsBold) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
    return font;
  }

  // Text in a family without any font is neither drawn nor measured: say so once per family, with
  // what to install.
  void ReportMissing(const std::string& family) {
    std::string key;
    for (char c : family) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!reported_.insert(key).second) return;
    std::cerr << "Kestrune: no font for \"" << family << "\"";
    for (const StandIn& s : kStandIns) {
      if (SameName(family, s.Family)) {
        std::cerr << " (its stand-in " << s.Replacement << " comes with the package " << s.Package << ")";
        break;
      }
    }
    std::cerr << "; its text is not drawn" << std::endl;
  }

  bool ok_ = false;
  std::filesystem::path folder_;
  std::set<std::string> reported_;
  std::map<std::tuple<std::string, int, bool>, TTF_Font*> fonts_;
};

}  // namespace

std::string Windows1252ToUtf8(const std::string& text) {
  // Bytes 0x80..0x9F; 0 where the code page assigns nothing.
  static constexpr std::uint16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                              0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  out.reserve(text.size() * 2);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    unsigned cp = byte;
    if (byte >= 0x80 && byte < 0xA0 && kHigh[byte - 0x80] != 0) cp = kHigh[byte - 0x80];
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::unique_ptr<ITextRenderer> CreateTextRenderer(const std::string& fontFolder) {
  return std::make_unique<TtfTextRenderer>(fontFolder);
}

std::string ResolveFontFile(const std::string& family, bool bold, const std::string& fontFolder) {
#ifndef __EMSCRIPTEN__
  FcInit();
#endif
  std::error_code error;
  const std::filesystem::path folder =
      fontFolder.empty() ? std::filesystem::path() : std::filesystem::absolute(fontFolder, error);
  return ResolveFace(folder, family, bold).Path;
}

}  // namespace kestrune
