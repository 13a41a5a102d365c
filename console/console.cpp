#include "console/console.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "console/braille_switch.h"
#include "console/console_settings.h"
#include "console/console_stream.h"
#include "console/display_line.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "console/screen_buffer.h"
#include "platform/config_file.h"
#include "platform/text_encoding.h"
#include "sound/tone.h"

namespace placarim::console {
namespace {

constexpr const char* kEndTitle = "Programa terminado";

// The window's title: the program's path, as the desktop shows programs.
std::string ModuleTitle() {
  std::error_code ec;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  std::string title = ec ? std::string("Placarim") : platform::Utf8ToCp1252(path.string());
  if (title.size() > 80) title.resize(80);
  return title;
}

}  // namespace

// Everything the console owns; also the sink that turns buffer changes into
// drawing on the platform's surface.
struct Console::State final : ScreenBuffer::Sink {
  State(platform::Platform& p, std::function<void(uint16_t)> delay)
      : platform(p), tone(p.Tones()), braille(keyboard.Braille(), tone, std::move(delay)), display(keyboard.Queue()) {}

  platform::Platform& platform;
  ScreenBuffer screen;
  Keyboard keyboard;
  sound::ModeTone tone;
  BrailleSwitch braille;
  DisplayLine display;
  ConsoleSettings settings;
  uint8_t attribute = 0x0F;
  std::unique_ptr<platform::Surface> surface;
  std::string title = ModuleTitle();
  bool created = false;
  bool focused = false;
  bool reading = false;
  bool invalid = false;   // the whole window must be repainted before presenting
  bool closing = false;   // Done is draining the keys
  bool detached = false;  // the program has ended: the window takes no keys
  bool magnifying = false;
  std::function<void(int)> audio_done;

  platform::Rgb Fg(uint8_t attr) const { return ColorOf(settings.color_table, attr & 15); }
  platform::Rgb Bg(uint8_t attr) const { return ColorOf(settings.color_table, attr >> 4); }

  // One text call per run of cells with the same attribute.
  void DrawSpan(int row, int left, int right) override {
    if (!surface || invalid) return;
    const uint8_t* text = screen.RowText(row);
    const uint8_t* attr = screen.RowAttr(row);
    for (int c = left; c < right;) {
      int end = c + 1;
      while (end < right && attr[end] == attr[c]) ++end;
      surface->DrawRun(c, row, text + c, end - c, Fg(attr[c]), Bg(attr[c]));
      c = end;
    }
  }

  void Scrolled() override {
    if (!surface || invalid) return;
    if (settings.slow_scroll && surface->CanScrollInPlace()) {
      surface->ScrollUp(Bg(attribute));
    } else {
      invalid = true;  // repainted once, when the operation presents
    }
  }

  void Bell() override { platform.Beep(); }

  // Repaints what is invalid and shows the result.
  void Present() {
    if (!surface) return;
    if (invalid) {
      invalid = false;
      for (int row = 0; row < ScreenBuffer::kRows; ++row) DrawSpan(row, 0, ScreenBuffer::kColumns);
    }
    surface->Present();
  }

  void ShowCaret() {
    if (!surface) return;
    surface->ShowCaret(screen.Column(), screen.Row());
    surface->Present();
  }

  void HideCaret() {
    if (!surface) return;
    surface->HideCaret();
    surface->Present();
  }

  void Magnify(int x, int y) {
    const int f = settings.magnifier;
    const int w = surface->PixelWidth(), h = surface->PixelHeight();
    surface->ShowMagnified(std::max(0, x - x / f), std::max(0, y - y / f), w / f, h / f);
    surface->Present();
  }

  // The program is ending with its window still open.
  void EndOfProgram() {
    if (created && surface) {
      surface->SetTitle(kEndTitle);
      surface->Present();
    }
    keyboard.break_checking = false;
    detached = true;
  }
};

Console::Console(platform::Platform& platform, std::string start_directory)
    : platform_(platform), start_directory_(std::move(start_directory)), state_(std::make_unique<State>(platform, [this](uint16_t ms) { Delay(ms); })) {
  state_->screen.Fill(state_->attribute);
}

Console::~Console() {
  try {
    state_->tone.Stop();
    state_->EndOfProgram();
  } catch (...) {
    // Nothing may escape a destructor; the window goes with the process.
  }
}

// --- screen -----------------------------------------------------------------

void Console::Init() {
  State& s = *state_;
  if (s.created) return;
  const std::string path = platform::LocateConfigFile(start_directory_);
  s.settings = ReadConsoleSettings(
      [&](std::string_view section, std::string_view key) { return platform::ReadConfigValue(path, section, key); },
      platform_.GetWorkArea());
  s.attribute = s.settings.attribute;
  // The cursor keeps any place GotoXY gave it before the window existed.
  s.screen.Fill(s.attribute);

  platform::WindowSettings window;
  window.font_face = s.settings.font_face;
  window.char_width = s.settings.char_width;
  window.char_height = s.settings.char_height;
  window.weight = s.settings.weight;
  window.maximized = s.settings.maximized;
  window.title = s.title;
  window.columns = kColumns;
  window.rows = kRows;
  s.surface = platform_.CreateWindow(window);
  s.created = true;
  s.detached = false;
  s.keyboard.break_checking = true;
  s.invalid = true;
  s.Present();
  s.braille.Set(s.settings.braille_mode);
  s.display.SetComputerBraille(s.settings.computer_braille);
}

bool Console::Created() const { return state_->created; }

void Console::Write(std::string_view bytes) {
  Init();
  state_->screen.Write(bytes, state_->attribute, *state_);
  state_->Present();
}

void Console::WriteChar(uint8_t byte) {
  const char c = static_cast<char>(byte);
  Write(std::string_view(&c, 1));
}

void Console::GotoXY(int x, int y) { state_->screen.MoveTo(x - 1, y - 1); }

int Console::WhereX() const { return state_->screen.Column() + 1; }

int Console::WhereY() const { return state_->screen.Row() + 1; }

void Console::ClrScr() {
  Init();
  State& s = *state_;
  s.screen.Fill(s.attribute);
  s.screen.MoveTo(0, 0);
  s.invalid = true;
  s.Present();
}

void Console::ClrEol() {
  Init();
  State& s = *state_;
  const int left = s.screen.ClearToEndOfRow(s.attribute);
  s.DrawSpan(s.screen.Row(), left, kColumns);
  s.Present();
}

void Console::TextColor(int color) {
  Init();
  if (state_->settings.fixed_colors) return;
  state_->attribute = static_cast<uint8_t>((state_->attribute & 0xF0) | (color & 0x0F));
}

void Console::TextBackground(int color) {
  Init();
  if (state_->settings.fixed_colors) return;
  // Backgrounds 8 to 15 are colours: there is no blink bit.
  state_->attribute = static_cast<uint8_t>((state_->attribute & 0x0F) | (color * 16));
}

uint8_t Console::TextAttr() const { return state_->attribute; }

void Console::SetTextAttr(uint8_t attribute) {
  Init();
  // Fixed colours hold for every writer, the line editor's own colours too.
  if (!state_->settings.fixed_colors) state_->attribute = attribute;
}

uint8_t Console::ScreenChar(int x, int y) const { return state_->screen.CharAt(x - 1, y - 1); }

uint8_t Console::ScreenAttr(int x, int y) const { return state_->screen.AttrAt(x - 1, y - 1); }

// --- ending -------------------------------------------------------------------

void Console::Done(int exit_code) {
  State& s = *state_;
  if (s.created && !s.closing) {
    s.closing = true;
    while (KeyPressed()) ReadKey();
    s.surface.reset();
    s.created = false;
    s.closing = false;
    s.reading = false;
    s.magnifying = false;
    s.screen.Fill(s.attribute);
    s.screen.MoveTo(0, 0);
  }
  platform_.Exit(exit_code);
  std::abort();  // Exit never returns
}

void Console::Terminate() {
  State& s = *state_;
  if (s.focused && s.reading) s.HideCaret();
  s.EndOfProgram();
  platform_.Exit(255);
  std::abort();  // Exit never returns
}

// --- keyboard -----------------------------------------------------------------

bool Console::KeyPressed() {
  Init();
  PumpAllMessages();
  return !state_->keyboard.Queue().Empty();
}

uint8_t Console::ReadKey() {
  Init();
  State& s = *state_;
  if (s.keyboard.Queue().Empty()) {
    // While waiting the caret shows where typing goes; it goes away however
    // the wait ends.
    struct Reading {
      State& s;
      explicit Reading(State& state) : s(state) {
        s.reading = true;
        if (s.focused) s.ShowCaret();
      }
      ~Reading() {
        if (s.reading && s.focused) s.HideCaret();
        s.reading = false;
      }
    } reading(s);
    while (s.keyboard.Queue().Empty()) {
      platform_.Events().WaitForEvent();
      KeyPressed();
    }
  }
  return s.keyboard.Queue().Pop();
}

void Console::Delay(uint16_t milliseconds) {
  platform_.GetClock().SleepMs(milliseconds);
  PumpAllMessages();
  PumpMessages();
}

void Console::PumpMessages() {
  platform::Event event;
  while (platform_.Events().Poll(event)) Dispatch(event);
}

void Console::PumpAllMessages() { PumpMessages(); }

void Console::WaitMessage() {
  platform_.Events().WaitForEvent();
  PumpAllMessages();
}

uint16_t Console::ReadLine(char* buffer, uint16_t size) {
  int count = 0;
  for (;;) {
    const uint8_t c = ReadKey();
    if (c == plain::kEnter) break;
    if (c == plain::kBackspace) {
      if (count > 0) {
        --count;
        WriteChar(8);
      }
    } else if (c >= 32 && count < size - 2) {
      buffer[count++] = static_cast<char>(c);
      WriteChar(c);
    }
  }
  WriteChar(13);
  WriteChar(10);
  if (size < 2) return 0;  // no room for the line end: nothing is stored
  buffer[count] = 13;
  buffer[count + 1] = 10;
  return static_cast<uint16_t>(count + 2);
}

BrailleSwitch& Console::Braille() { return state_->braille; }

DisplayLine& Console::Display() { return state_->display; }

void Console::AttachBrailleDisplay(platform::BrailleDisplay* display) { state_->display.Attach(display); }

platform::Modifiers Console::HeldModifiers() const { return state_->keyboard.Queue().LastModifiers(); }

// --- services -----------------------------------------------------------------

void Console::SetAudioBlockDoneHandler(std::function<void(int block)> handler) {
  state_->audio_done = std::move(handler);
}

void Console::ReportAudioError(std::string_view message) {
  StdWrite(*this, message);
  StdReadLn(*this);
}

void Console::ShowNotice(std::string_view message) {
  StdWriteLn(*this, message);
}

void Console::PostWakeUp(int code) { platform_.Events().PushWakeUp(code); }

int64_t Console::NowMs() { return platform_.GetClock().NowMs(); }

void Console::Beep() { platform_.Beep(); }

// --- the window's messages ----------------------------------------------------

void Console::Dispatch(const platform::Event& event) {
  using platform::EventType;
  State& s = *state_;
  switch (event.type) {
    case EventType::Char:
      if (!s.detached) s.keyboard.OnChar(event.ch, event.mods);
      break;
    case EventType::KeyDown:
      if (!s.detached) Perform(s.keyboard.OnKeyDown(event.vk, event.mods, event.system));
      break;
    case EventType::KeyUp:
      if (!s.detached) s.keyboard.OnKeyUp(event.vk, event.mods);
      break;
    case EventType::FocusGained:
      s.focused = true;
      if (s.reading) s.ShowCaret();
      break;
    case EventType::FocusLost:
      s.keyboard.OnFocusLost();
      if (s.reading) s.HideCaret();
      s.focused = false;
      break;
    case EventType::MouseRightDown:
      if (s.surface && !s.magnifying) {
        s.magnifying = true;
        s.surface->CaptureImage();
        s.Magnify(event.x, event.y);
      }
      break;
    case EventType::MouseMove:
      if (s.surface && s.magnifying) s.Magnify(event.x, event.y);
      break;
    case EventType::MouseRightUp:
      if (s.surface && s.magnifying) {
        s.magnifying = false;
        s.surface->ReleaseImage();
        s.invalid = true;
        s.Present();
      }
      break;
    case EventType::Expose:
      if (s.created) {
        s.invalid = true;
        s.Present();
      }
      break;
    case EventType::CloseRequest:
      if (!s.closing && !s.detached) Done();
      break;
    case EventType::Quit:
      Terminate();
    case EventType::AudioBlockDone:
      if (s.audio_done) s.audio_done(event.block);
      break;
    case EventType::WakeUp:
      if (event.code == platform::kBrailleDisplayWakeUp && !s.detached) s.display.TakeDisplayKeys();
      break;
  }
}

void Console::Perform(KeyAction action) {
  switch (action) {
    case KeyAction::None:
      break;
    case KeyAction::Terminate:
      Terminate();
    case KeyAction::Close:
      if (!state_->closing) Done();
      break;
    case KeyAction::BrailleOff:
      state_->braille.Set(0);
      break;
    case KeyAction::BrailleNext:
      state_->braille.Next();
      break;
  }
}

}  // namespace placarim::console
