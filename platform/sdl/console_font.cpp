#include "platform/sdl/console_font.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/sdl/glyph_cache.h"
#include "platform/text_encoding.h"

namespace placarim::platform::sdl {
namespace {

constexpr int kDefaultHeight = 16;  // pixels, when the settings name no height

bool HasFamily(FcPattern* pattern, const std::string& family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0) return true;
  }
  return false;
}

// Asks fontconfig for the best match; `must_be_named` refuses a substitute.
std::optional<FontFile> Match(const std::string& family, int weight, bool monospace,
                              bool must_be_named) {
  FcPattern* want = FcPatternCreate();
  FcPatternAddString(want, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(want, FC_WEIGHT, FcWeightFromOpenType(std::clamp(weight, 1, 1000)));
  if (monospace) FcPatternAddInteger(want, FC_SPACING, FC_MONO);
  FcPatternAddBool(want, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, want, FcMatchPattern);
  FcDefaultSubstitute(want);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(nullptr, want, &result);
  FcPatternDestroy(want);
  if (!found) return std::nullopt;

  std::optional<FontFile> file;
  FcChar8* path = nullptr;
  if ((!must_be_named || HasFamily(found, family)) &&
      FcPatternGetString(found, FC_FILE, 0, &path) == FcResultMatch) {
    FontFile f;
    f.path = reinterpret_cast<const char*>(path);
    FcPatternGetInteger(found, FC_INDEX, 0, &f.index);
    int found_weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(found, FC_WEIGHT, 0, &found_weight);
    f.bold = found_weight >= FC_WEIGHT_DEMIBOLD;
    file = f;
  }
  FcPatternDestroy(found);
  return file;
}

// SDL_ttf sizes fonts in points; find the size whose line height is `pixels`.
void FitHeight(TTF_Font* font, int pixels) {
  int size = pixels;
  for (int round = 0; round < 4; ++round) {
    const int height = TTF_FontHeight(font);
    if (height == pixels || height <= 0) return;
    const int next = std::max(1, static_cast<int>(std::lround(size * double(pixels) / height)));
    if (next == size) break;
    size = next;
    TTF_SetFontSize(font, size);
  }
  while (size > 1 && TTF_FontHeight(font) > pixels) TTF_SetFontSize(font, --size);
}

int AdvanceOf(TTF_Font* font, Uint32 ch) {
  int minx, maxx, miny, maxy, advance = 0;
  if (TTF_GlyphMetrics32(font, ch, &minx, &maxx, &miny, &maxy, &advance) != 0) return 0;
  return advance;
}

}  // namespace

std::optional<FontFile> FindFontFile(const std::string& face, int weight) {
  if (!FcInit()) return std::nullopt;
  if (!face.empty()) {
    if (auto file = Match(face, weight, false, true)) return file;
  }
  if (auto file = Match("DejaVu Sans Mono", weight, true, true)) return file;
  return Match("monospace", weight, true, false);
}

std::unique_ptr<ConsoleFont> ConsoleFont::Open(const WindowSettings& settings) {
  if (TTF_Init() != 0) return nullptr;  // counted: each font quits it once
  const std::optional<FontFile> file = FindFontFile(settings.font_face, settings.weight);
  if (!file) {
    std::fprintf(stderr, "placarim: no font found for \"%s\"\n", settings.font_face.c_str());
    TTF_Quit();
    return nullptr;
  }
  const int height = settings.char_height > 0 ? settings.char_height : kDefaultHeight;
  TTF_Font* font = TTF_OpenFontIndex(file->path.c_str(), height, file->index);
  if (!font) {
    std::fprintf(stderr, "placarim: cannot open font %s: %s\n", file->path.c_str(), TTF_GetError());
    TTF_Quit();
    return nullptr;
  }
  if (settings.weight >= 600 && !file->bold) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
  FitHeight(font, height);

  const int advance = std::max(1, AdvanceOf(font, 'x'));
  CellMetrics metrics;
  metrics.width = settings.char_width > 0 ? settings.char_width : advance;
  metrics.height = std::max(TTF_FontHeight(font), TTF_FontLineSkip(font));
  metrics.ascent = TTF_FontAscent(font);
  metrics.overhang = 0;
  return std::unique_ptr<ConsoleFont>(new ConsoleFont(font, advance, metrics));
}

ConsoleFont::ConsoleFont(TTF_Font* font, int advance, CellMetrics metrics)
    : font_(font), advance_(advance), metrics_(metrics) {}

ConsoleFont::~ConsoleFont() {
  TTF_CloseFont(font_);
  TTF_Quit();
}

void ConsoleFont::RenderMask(uint8_t byte, std::vector<uint8_t>& mask) const {
  const char32_t code_point = Cp1252ToCodePoint(byte);
  if (code_point <= 32 || code_point == 0x7F || code_point == 0xA0) return;  // blank cells
  SDL_Surface* glyph = TTF_RenderGlyph32_Blended(font_, code_point, SDL_Color{255, 255, 255, 255});
  if (!glyph) return;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(glyph, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(glyph);
  if (!argb) return;

  // Copy the glyph's coverage into a mask of the font's own width, then
  // stretch it to the cell width the console asked for.
  const int natural = advance_;
  const int rows = std::min(argb->h, metrics_.height);
  std::vector<uint8_t> own(static_cast<size_t>(natural) * metrics_.height, 0);
  SDL_LockSurface(argb);
  for (int y = 0; y < rows; ++y) {
    const auto* line = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                         static_cast<size_t>(y) * argb->pitch);
    for (int x = 0; x < std::min(argb->w, natural); ++x) {
      own[static_cast<size_t>(y) * natural + x] = static_cast<uint8_t>(line[x] >> 24);
    }
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  mask = StretchMaskWidth(own, natural, metrics_.height, metrics_.width);
}

}  // namespace placarim::platform::sdl
