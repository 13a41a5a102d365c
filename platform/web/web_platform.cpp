#include "platform/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <array>

#include "platform/local_time.h"
#include "platform/sdl/builtin_font.h"
#include "platform/sdl/console_image.h"
#include "platform/sdl/glyph_cache.h"
#include "platform/text_encoding.h"
#include "platform/web/web_keys.h"

// The page's side, in web_library.js.
extern "C" {
int placarim_web_take(int* fields, char* code, int code_size, char* key, int key_size);
void placarim_web_wait(void);
void placarim_web_sleep(int ms);
void placarim_web_push(int type, int value);
void placarim_web_canvas_size(int width, int height);
void placarim_web_draw_rows(const uint8_t* rgba, int top, int count, int width);
void placarim_web_capture(const uint8_t* rgba, int width, int height);
void placarim_web_magnify(int x, int y, int width, int height);
void placarim_web_release_capture(void);
void placarim_web_set_title(const char* utf8);
int placarim_web_clipboard_fetch(void);
void placarim_web_clipboard_copy(char* out, int size);
int placarim_web_clipboard_set(const char* utf8);
int placarim_web_open_url(const char* url);
void placarim_web_work_area(int* width_height);
}

namespace placarim::platform::web {
namespace {

// Kinds placarim_web_take returns and the fields it fills.
constexpr int kNothing = 0;
constexpr int kReadyEvent = 1;  // fields: type, vk, ctrl, shift, alt, system, ch, block, code, x, y
constexpr int kRawKey = 2;      // fields: down, ctrl, shift, alt, alt_graph, num_lock

Event EventOfFields(const std::array<int, 12>& f) {
  Event event;
  event.type = static_cast<EventType>(f[0]);
  event.vk = f[1];
  event.mods = {f[2] != 0, f[3] != 0, f[4] != 0};
  event.system = f[5] != 0;
  event.ch = static_cast<uint8_t>(f[6]);
  event.block = f[7];
  event.code = f[8];
  event.x = f[9];
  event.y = f[10];
  return event;
}

// The console's picture in memory (the desktop's own image and built-in
// font), copied to the page's canvas a band of changed rows at a time.
class WebSurface final : public Surface {
 public:
  explicit WebSurface(const WindowSettings& settings)
      : cell_(sdl::BuiltInFontMetrics(settings.char_width, settings.char_height)),
        glyphs_(cell_.width, cell_.height,
                [cell = cell_](uint8_t byte, std::vector<uint8_t>& mask) { sdl::RenderBuiltInGlyph(byte, cell, mask); }),
        image_(std::max(1, settings.columns), std::max(1, settings.rows), cell_.width, cell_.height) {
    placarim_web_canvas_size(image_.Width(), image_.Height());
    SetTitle(settings.title);
    whole_ = true;
    Present();
  }

  CellMetrics Metrics() const override { return cell_; }
  void DrawRun(int col, int row, const uint8_t* text, int count, Rgb fg, Rgb bg) override {
    image_.DrawRun(glyphs_, col, row, text, count, fg, bg);
  }
  void ScrollUp(Rgb fill) override { image_.ScrollUp(fill); }
  bool CanScrollInPlace() const override { return true; }
  void ShowCaret(int col, int row) override {
    MarkCaret();
    caret_ = true, caret_col_ = col, caret_row_ = row;
    MarkCaret();
    Present();
  }
  void HideCaret() override {
    if (!caret_) return;
    MarkCaret();
    caret_ = false;
    Present();
  }
  void SetTitle(const std::string& cp1252) override { placarim_web_set_title(Cp1252ToUtf8(cp1252).c_str()); }

  void Present() override {
    sdl::PixelBand band = image_.TakeChangedRows();
    if (whole_) band = {0, image_.Height()}, whole_ = false;
    if (!caret_band_.Empty()) {
      band = band.Empty() ? caret_band_ : sdl::PixelBand{std::min(band.top, caret_band_.top), std::max(band.bottom, caret_band_.bottom)};
      caret_band_ = {};
    }
    if (band.Empty() || magnifying_) {
      if (!band.Empty()) stale_ = true;
      return;
    }
    Upload(band);
  }

  void CaptureImage() override {
    Rgba({0, image_.Height()}, false);
    placarim_web_capture(rgba_.data(), image_.Width(), image_.Height());
  }
  void ShowMagnified(int src_x, int src_y, int src_w, int src_h) override {
    magnifying_ = true;
    const int x = std::clamp(src_x, 0, image_.Width() - 1);
    const int y = std::clamp(src_y, 0, image_.Height() - 1);
    placarim_web_magnify(x, y, std::clamp(src_w, 1, image_.Width() - x), std::clamp(src_h, 1, image_.Height() - y));
  }
  void ReleaseImage() override {
    placarim_web_release_capture();
    if (magnifying_) whole_ = true;  // the canvas showed the magnified copy
    magnifying_ = false;
    if (stale_) whole_ = true, stale_ = false;
    Present();
  }
  int PixelWidth() const override { return image_.Width(); }
  int PixelHeight() const override { return image_.Height(); }

 private:
  void MarkCaret() {
    if (!caret_) return;
    const int y = caret_row_ * cell_.height + cell_.ascent;
    const sdl::PixelBand here{std::clamp(y, 0, image_.Height()), std::clamp(y + 2, 0, image_.Height())};
    if (here.Empty()) return;
    caret_band_ = caret_band_.Empty() ? here : sdl::PixelBand{std::min(caret_band_.top, here.top), std::max(caret_band_.bottom, here.bottom)};
  }

  // The band's pixels as the canvas wants them (R, G, B, A bytes), with the
  // caret drawn in: a bar one cell wide and 2 pixels high on the baseline in
  // the inverse of the colour under it, as in the desktop's window.
  void Rgba(sdl::PixelBand band, bool with_caret) {
    const int width = image_.Width();
    rgba_.resize(static_cast<size_t>(band.bottom - band.top) * width * 4);
    uint8_t* out = rgba_.data();
    const int caret_top = caret_row_ * cell_.height + cell_.ascent;
    const int caret_left = caret_col_ * cell_.width;
    for (int y = band.top; y < band.bottom; ++y) {
      const uint32_t* row = image_.Row(y);
      const bool caret_row = with_caret && caret_ && y >= caret_top && y < caret_top + 2;
      for (int x = 0; x < width; ++x) {
        uint32_t p = row[x];
        if (caret_row && x >= caret_left && x < caret_left + cell_.width) p = ~p;
        *out++ = static_cast<uint8_t>(p >> 16);
        *out++ = static_cast<uint8_t>(p >> 8);
        *out++ = static_cast<uint8_t>(p);
        *out++ = 255;
      }
    }
  }

  void Upload(sdl::PixelBand band) {
    Rgba(band, true);
    placarim_web_draw_rows(rgba_.data(), band.top, band.bottom - band.top, image_.Width());
  }

  CellMetrics cell_;
  sdl::GlyphCache glyphs_;
  sdl::ConsoleImage image_;
  std::vector<uint8_t> rgba_;
  bool whole_ = false;
  bool magnifying_ = false;
  bool stale_ = false;  // changes drawn while the magnified copy was shown
  bool caret_ = false;
  int caret_col_ = 0, caret_row_ = 0;
  sdl::PixelBand caret_band_;
};

}  // namespace

bool WebEvents::Poll(Event& event) {
  if (pending_.empty()) TakeFromPage();
  if (pending_.empty()) return false;
  event = pending_.front();
  pending_.pop_front();
  return true;
}

void WebEvents::TakeFromPage() {
  std::array<int, 12> fields{};
  char code[32];
  char key[32];
  for (;;) {
    const int kind = placarim_web_take(fields.data(), code, sizeof code, key, sizeof key);
    if (kind == kNothing) return;
    if (kind == kReadyEvent) {
      pending_.push_back(EventOfFields(fields));
      continue;
    }
    if (kind != kRawKey) return;
    BrowserKey browser{code, key, fields[0] != 0, fields[1] != 0, fields[2] != 0,
                       fields[3] != 0, fields[4] != 0, fields[5] != 0};
    scratch_.clear();
    TranslateBrowserKey(browser, scratch_);
    pending_.insert(pending_.end(), scratch_.begin(), scratch_.end());
    if (!pending_.empty()) return;
  }
}

void WebEvents::WaitForEvent() {
  if (!pending_.empty()) return;
  placarim_web_wait();
}

void WebEvents::PushWakeUp(int code) {
  placarim_web_push(static_cast<int>(EventType::WakeUp), code);
}

int64_t WebClock::NowMs() { return static_cast<int64_t>(emscripten_get_now()); }

void WebClock::SleepMs(int ms) { placarim_web_sleep(std::max(0, ms)); }

DateTime WebClock::LocalNow() { return LocalDateTime(); }

ClipboardStatus WebClipboard::GetText(std::string& utf8) {
  const int length = placarim_web_clipboard_fetch();
  if (length < 0) return ClipboardStatus::NoText;
  utf8.assign(static_cast<size_t>(length) + 1, '\0');
  placarim_web_clipboard_copy(utf8.data(), length + 1);
  utf8.resize(std::char_traits<char>::length(utf8.c_str()));
  return utf8.empty() ? ClipboardStatus::NoText : ClipboardStatus::Text;
}

bool WebClipboard::SetText(const std::string& utf8) { return placarim_web_clipboard_set(utf8.c_str()) != 0; }

bool WebShell::Launch(const std::string&, const std::vector<std::string>& args, const std::string&) {
  for (const std::string& arg : args) {
    if (arg.rfind("http://", 0) == 0 || arg.rfind("https://", 0) == 0) return placarim_web_open_url(arg.c_str()) != 0;
  }
  return false;
}

std::unique_ptr<Surface> WebPlatform::CreateWindow(const WindowSettings& settings) {
  return std::make_unique<WebSurface>(settings);
}

WorkArea WebPlatform::GetWorkArea() {
  int size[2] = {1024, 734};
  placarim_web_work_area(size);
  return {size[0], size[1]};
}

void WebPlatform::Beep() { audio::WebBeep(); }

void WebPlatform::Exit(int code) { throw ProgramExit{code}; }

}  // namespace placarim::platform::web
