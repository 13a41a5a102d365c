#include "platform/sdl/sdl_window.h"

#include <algorithm>
#include <cstdio>

#include "platform/text_encoding.h"

namespace placarim::platform::sdl {
namespace {

constexpr uint64_t kFrameMs = 15;  // about one display refresh
constexpr uint64_t kMaxFrameMs = 100;
constexpr int kScreenBottomMargin = 32;

struct WindowSize {
  int width, height;
};

WindowSize DisplaySize(SDL_Window* window) {
  SDL_Rect bounds{0, 0, 1024, 768};
  const int display = window ? std::max(0, SDL_GetWindowDisplayIndex(window)) : 0;
  SDL_GetDisplayBounds(display, &bounds);
  return {bounds.w, bounds.h};
}

}  // namespace

void DisplayLink::PresentPending() {
  if (window_) window_->PresentIfPending();
}

void DisplayLink::PresentIfDue() {
  if (window_) window_->PresentIfDue();
}

void DisplayLink::Invalidate() {
  if (window_) window_->Invalidate();
}

SDL_Window* DisplayLink::Window() const {
  return window_ ? window_->Handle() : nullptr;
}

std::unique_ptr<SdlWindow> SdlWindow::Create(const WindowSettings& settings, DisplayLink& link) {
  std::unique_ptr<ConsoleFont> font = ConsoleFont::Open(settings);
  if (!font) return nullptr;
  const CellMetrics cell = font->Metrics();
  const int columns = std::max(1, settings.columns);
  const int rows = std::max(1, settings.rows);

  // The client area is the whole console; its limits follow the screen the
  // way a maximized console window fills it but never grows past 80 × 25.
  SDL_Rect screen{0, 0, 1024, 768};
  SDL_GetDisplayBounds(0, &screen);
  const int max_width = std::min(columns * cell.width, screen.w);
  const int max_height = std::min(rows * cell.height, screen.h);
  Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN;
  if (settings.maximized) flags |= SDL_WINDOW_MAXIMIZED;
  const std::string title = Cp1252ToUtf8(settings.title);
  SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED,
                                        SDL_WINDOWPOS_UNDEFINED, max_width, max_height, flags);
  if (!window) {
    std::fprintf(stderr, "placarim: cannot open the window: %s\n", SDL_GetError());
    return nullptr;
  }
  SDL_SetWindowMinimumSize(window, std::min(16, columns) * cell.width,
                           std::min(4, rows) * cell.height);
  SDL_SetWindowMaximumSize(window, max_width, max_height);

  // An 80 × 25 text console needs no graphics card: SDL's software renderer
  // drawing straight into the X window's image. A hardware renderer would load
  // an OpenGL library (with a software rasterizer where there is no card, some
  // 60 MB resident) and take longer to start than a whole screen takes to draw.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  SDL_Texture* texture =
      renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                   columns * cell.width, rows * cell.height)
               : nullptr;
  if (!texture) {
    std::fprintf(stderr, "placarim: cannot draw in the window: %s\n", SDL_GetError());
    if (renderer) SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    return nullptr;
  }
  SDL_StartTextInput();
  return std::unique_ptr<SdlWindow>(
      new SdlWindow(window, renderer, texture, std::move(font), columns, rows, link));
}

SdlWindow::SdlWindow(SDL_Window* window, SDL_Renderer* renderer, SDL_Texture* texture,
                     std::unique_ptr<ConsoleFont> font, int columns, int rows, DisplayLink& link)
    : window_(window),
      renderer_(renderer),
      texture_(texture),
      font_(std::move(font)),
      glyphs_(font_->Metrics().width, font_->Metrics().height,
              [f = font_.get()](uint8_t byte, std::vector<uint8_t>& mask) { f->RenderMask(byte, mask); }),
      image_(columns, rows, font_->Metrics().width, font_->Metrics().height),
      link_(link) {
  link_.Attach(this);
  PresentNow();
}

SdlWindow::~SdlWindow() {
  link_.Detach(this);
  if (captured_) SDL_DestroyTexture(captured_);
  SDL_DestroyTexture(texture_);
  SDL_DestroyRenderer(renderer_);
  SDL_DestroyWindow(window_);
}

void SdlWindow::DrawRun(int col, int row, const uint8_t* text, int count, Rgb fg, Rgb bg) {
  image_.DrawRun(glyphs_, col, row, text, count, fg, bg);
}

void SdlWindow::ScrollUp(Rgb fill) {
  image_.ScrollUp(fill);
}

bool SdlWindow::CanScrollInPlace() const {
  if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) == 0) return false;
  int x = 0, y = 0, width = 0, height = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &width, &height);
  return y + height < DisplaySize(window_).height - kScreenBottomMargin;
}

void SdlWindow::ShowCaret(int col, int row) {
  caret_visible_ = true;
  caret_col_ = col;
  caret_row_ = row;
  Present();
}

void SdlWindow::HideCaret() {
  if (!caret_visible_) return;
  caret_visible_ = false;
  Present();
}

void SdlWindow::SetTitle(const std::string& cp1252) {
  SDL_SetWindowTitle(window_, Cp1252ToUtf8(cp1252).c_str());
}

void SdlWindow::Present() {
  pending_ = true;
  PresentIfDue();
}

void SdlWindow::PresentIfDue() {
  if (pending_ && SDL_GetTicks64() - last_present_ms_ >= frame_ms_) PresentNow();
}

void SdlWindow::PresentIfPending() {
  if (pending_) PresentNow();
}

void SdlWindow::Invalidate() {
  pending_ = true;
}

void SdlWindow::PresentNow() {
  const uint64_t start = SDL_GetTicks64();
  Render();
  pending_ = false;
  last_present_ms_ = SDL_GetTicks64();
  frame_ms_ = std::clamp<uint64_t>(2 * (last_present_ms_ - start), kFrameMs, kMaxFrameMs);
}

void SdlWindow::Render() {
  PixelBand band = image_.TakeChangedRows();
  if (texture_stale_) band = {0, image_.Height()}, texture_stale_ = false;
  image_.ForEachStoredRun(band, [&](int top, int count, const uint32_t* pixels) {
    const SDL_Rect rows{0, top, image_.Width(), count};
    if (SDL_UpdateTexture(texture_, &rows, pixels, image_.Width() * 4) != 0) texture_stale_ = true;
  });
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (magnifying_ && captured_) {
    SDL_RenderCopy(renderer_, captured_, &magnified_source_, nullptr);
  } else {
    const SDL_Rect whole{0, 0, image_.Width(), image_.Height()};
    SDL_RenderCopy(renderer_, texture_, nullptr, &whole);
    if (caret_visible_) DrawCaret();
  }
  SDL_RenderPresent(renderer_);
}

// A bar one cell wide and 2 pixels high on the baseline, in the inverse of the
// colour under it, so it shows on every background.
void SdlWindow::DrawCaret() {
  const CellMetrics cell = font_->Metrics();
  const int x = caret_col_ * cell.width;
  const int y = caret_row_ * cell.height + cell.ascent;
  if (x < 0 || y < 0 || x >= image_.Width() || y >= image_.Height()) return;
  const uint32_t under = image_.PixelAt(x, y);
  SDL_SetRenderDrawColor(renderer_, 255 - ((under >> 16) & 0xFF), 255 - ((under >> 8) & 0xFF),
                         255 - (under & 0xFF), 255);
  const SDL_Rect bar{x, y, cell.width, std::min(2, image_.Height() - y)};
  SDL_RenderFillRect(renderer_, &bar);
}

void SdlWindow::CaptureImage() {
  if (captured_) SDL_DestroyTexture(captured_);
  captured_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                image_.Width(), image_.Height());
  if (!captured_) return;
  image_.ForEachStoredRun({0, image_.Height()}, [&](int top, int count, const uint32_t* pixels) {
    const SDL_Rect rows{0, top, image_.Width(), count};
    SDL_UpdateTexture(captured_, &rows, pixels, image_.Width() * 4);
  });
}

void SdlWindow::ShowMagnified(int src_x, int src_y, int src_w, int src_h) {
  if (!captured_) return;
  magnifying_ = true;
  // Keep the source inside the captured image; an empty one shows nothing new.
  const int x = std::clamp(src_x, 0, image_.Width() - 1);
  const int y = std::clamp(src_y, 0, image_.Height() - 1);
  magnified_source_ = {x, y, std::clamp(src_w, 1, image_.Width() - x),
                       std::clamp(src_h, 1, image_.Height() - y)};
  Present();
}

void SdlWindow::ReleaseImage() {
  magnifying_ = false;
  if (captured_) SDL_DestroyTexture(captured_);
  captured_ = nullptr;
  Present();
}

}  // namespace placarim::platform::sdl
