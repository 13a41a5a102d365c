// The console window on SDL2: a window whose client area is the 80 × 25 cell
// console image. Drawing changes the image in memory (ConsoleImage); Present
// shows it. Presenting is paced to one frame per display refresh: a Present
// asked for sooner is kept pending and made when the frame is due, or at once
// when the program next waits for an event or sleeps (DisplayLink), so a burst
// of output costs one upload per frame instead of one per line. Where
// presenting itself is slow (a software renderer), frames are spaced to twice
// their cost so that drawing keeps most of the time.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/console_font.h"
#include "platform/sdl/console_image.h"
#include "platform/sdl/glyph_cache.h"

namespace placarim::platform::sdl {

class SdlWindow;

// Lets the event source and the clock finish the window's pending Present
// before the program waits; there is at most one console window.
class DisplayLink {
 public:
  void Attach(SdlWindow* window) { window_ = window; }
  void Detach(SdlWindow* window) {
    if (window_ == window) window_ = nullptr;
  }
  void PresentPending();  // the program is about to block
  void PresentIfDue();    // the program polls
  void Invalidate();      // the desktop lost the window's pixels
  SDL_Window* Window() const;

 private:
  SdlWindow* window_ = nullptr;
};

class SdlWindow final : public Surface {
 public:
  // Nothing when the window, its renderer or the font cannot be had.
  static std::unique_ptr<SdlWindow> Create(const WindowSettings& settings, DisplayLink& link);
  ~SdlWindow() override;

  CellMetrics Metrics() const override { return font_->Metrics(); }
  void DrawRun(int col, int row, const uint8_t* text, int count, Rgb fg, Rgb bg) override;
  void ScrollUp(Rgb fill) override;
  bool CanScrollInPlace() const override;
  void ShowCaret(int col, int row) override;
  void HideCaret() override;
  void SetTitle(const std::string& cp1252) override;
  void Present() override;
  void CaptureImage() override;
  void ShowMagnified(int src_x, int src_y, int src_w, int src_h) override;
  void ReleaseImage() override;
  int PixelWidth() const override { return image_.Width(); }
  int PixelHeight() const override { return image_.Height(); }

  void PresentNow();
  void PresentIfPending();
  void PresentIfDue();
  void Invalidate();
  SDL_Window* Handle() const { return window_; }

 private:
  SdlWindow(SDL_Window* window, SDL_Renderer* renderer, SDL_Texture* texture,
            std::unique_ptr<ConsoleFont> font, int columns, int rows, DisplayLink& link);
  void Render();
  void DrawCaret();

  SDL_Window* window_;
  SDL_Renderer* renderer_;
  SDL_Texture* texture_;  // the window's copy of the image
  std::unique_ptr<ConsoleFont> font_;
  GlyphCache glyphs_;
  ConsoleImage image_;
  DisplayLink& link_;

  bool caret_visible_ = false;
  int caret_col_ = 0, caret_row_ = 0;

  SDL_Texture* captured_ = nullptr;  // the magnifier's copy of the image
  bool magnifying_ = false;
  SDL_Rect magnified_source_{};

  bool pending_ = false;
  bool texture_stale_ = false;  // the whole texture must be uploaded again
  uint64_t last_present_ms_ = 0;
  uint64_t frame_ms_ = 15;  // at least one display refresh; longer when presenting is slow
};

}  // namespace placarim::platform::sdl
