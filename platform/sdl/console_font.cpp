#include "platform/sdl/console_font.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/sdl/builtin_font.h"
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
  const std::vector<FontFile> files = FontFilesToTry(face, weight);
  if (files.empty()) return std::nullopt;
  return files.front();
}

std::vector<FontFile> FontFilesToTry(const std::string& face, int weight) {
  std::vector<FontFile> files;
  if (!FcInit()) return files;
  if (!face.empty()) {
    if (auto file = Match(face, weight, false, true)) files.push_back(*file);
  }
  if (auto file = Match("DejaVu Sans Mono", weight, true, true)) files.push_back(*file);
  if (auto file = Match("monospace", weight, true, false)) files.push_back(*file);
  // Then every font fontconfig has, the closest to a monospace face first.
  FcPattern* want = FcPatternCreate();
  FcPatternAddInteger(want, FC_SPACING, FC_MONO);
  FcConfigSubstitute(nullptr, want, FcMatchPattern);
  FcDefaultSubstitute(want);
  FcResult result = FcResultNoMatch;
  if (FcFontSet* all = FcFontSort(nullptr, want, FcFalse, nullptr, &result)) {
    for (int i = 0; i < all->nfont; ++i) {
      FcChar8* path = nullptr;
      if (FcPatternGetString(all->fonts[i], FC_FILE, 0, &path) != FcResultMatch) continue;
      FontFile f;
      f.path = reinterpret_cast<const char*>(path);
      FcPatternGetInteger(all->fonts[i], FC_INDEX, 0, &f.index);
      files.push_back(f);
    }
    FcFontSetDestroy(all);
  }
  FcPatternDestroy(want);
  return files;
}

std::unique_ptr<ConsoleFont> ConsoleFont::Open(const WindowSettings& settings) {
  const int height = settings.char_height > 0 ? settings.char_height : kDefaultHeight;
  if (TTF_Init() == 0) {  // counted: each font quits it once
    for (const FontFile& file : FontFilesToTry(settings.font_face, settings.weight)) {
      TTF_Font* font = TTF_OpenFontIndex(file.path.c_str(), height, file.index);
      if (!font) continue;
      if (settings.weight >= 600 && !file.bold) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
      FitHeight(font, height);
      const int advance = std::max(1, AdvanceOf(font, 'x'));
      CellMetrics metrics;
      metrics.width = settings.char_width > 0 ? settings.char_width : advance;
      metrics.height = std::max(TTF_FontHeight(font), TTF_FontLineSkip(font));
      metrics.ascent = TTF_FontAscent(font);
      metrics.overhang = 0;
      return std::unique_ptr<ConsoleFont>(new ConsoleFont(font, advance, metrics));
    }
    TTF_Quit();
  }
  // No font at all: the window still opens, in the built-in bitmap font.
  std::fprintf(stderr, "placarim: no font can be opened for \"%s\"; using the built-in one\n",
               settings.font_face.c_str());
  const CellMetrics metrics = BuiltInFontMetrics(settings.char_width, settings.char_height);
  return std::unique_ptr<ConsoleFont>(new ConsoleFont(nullptr, metrics.width, metrics));
}

ConsoleFont::ConsoleFont(TTF_Font* font, int advance, CellMetrics metrics)
    : font_(font), advance_(advance), metrics_(metrics) {}

ConsoleFont::~ConsoleFont() {
  if (font_ == nullptr) return;  // the built-in font started nothing
  TTF_CloseFont(font_);
  TTF_Quit();
}

void ConsoleFont::RenderMask(uint8_t byte, std::vector<uint8_t>& mask) const {
  if (font_ == nullptr) {
    RenderBuiltInGlyph(byte, metrics_, mask);
    return;
  }
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
