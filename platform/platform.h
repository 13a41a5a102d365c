// The platform layer: the few services the console, the keyboard, wave playback
// and the speech layer ask of the operating system. Everything above this layer
// is platform-free; the SDL2 implementation (platform/sdl) serves the real program
// and the headless fake (platform/fake) serves the tests.
//
// Threads: every method is called from the main thread only, except
// EventSource::PushWakeUp, which any thread may call, and the audio device's
// completion reports, which its own thread turns into AudioBlockDone events.
//
// Blocking and errors: nothing here throws (Exit aside) and nothing blocks
// unless its comment says so. Each interface keeps one convention for
// failure, stated above it: a null object, false, a status enum, or (the
// wave-out device alone) an error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace placarim::platform {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Pixel metrics of one character cell of the console font.
struct CellMetrics {
  int width = 8;     // average character width
  int height = 16;   // character height plus external leading
  int ascent = 12;   // baseline offset from the cell top
  int overhang = 0;  // horizontal text offset
};

// What the console asks for when it creates its window.
struct WindowSettings {
  std::string font_face = "Lucida Console";
  int char_width = 0;   // pixels
  int char_height = 0;  // pixels
  int weight = 700;
  bool maximized = false;
  std::string title;  // Windows-1252
  int columns = 80;
  int rows = 25;
};

// Size of the desktop area not covered by panels, in pixels.
struct WorkArea {
  int width = 1024;
  int height = 734;
};

// The window's drawing surface, addressed in character cells.
// Drawing calls take effect on screen at the next Present().
// Errors: none are reported (every call returns void or a size).
class Surface {
 public:
  virtual ~Surface() = default;
  virtual CellMetrics Metrics() const = 0;
  // Draws `count` Windows-1252 bytes from cell (col, row), opaque background.
  virtual void DrawRun(int col, int row, const uint8_t* text, int count, Rgb fg, Rgb bg) = 0;
  // Moves the whole image up by one cell row and fills the freed bottom row.
  virtual void ScrollUp(Rgb fill) = 0;
  // Whether moving pixels in place is possible now (window active and its
  // bottom edge above the last 32 pixels of the screen); else repaint.
  virtual bool CanScrollInPlace() const = 0;
  // Caret: a bar one cell wide and 2 pixels high at the cell's baseline.
  virtual void ShowCaret(int col, int row) = 0;
  virtual void HideCaret() = 0;
  virtual void SetTitle(const std::string& cp1252) = 0;
  virtual void Present() = 0;
  // Magnifier: keep a copy of the current image, then show the source
  // rectangle (pixels of that copy) stretched over the whole window.
  virtual void CaptureImage() = 0;
  virtual void ShowMagnified(int src_x, int src_y, int src_w, int src_h) = 0;
  virtual void ReleaseImage() = 0;
  virtual int PixelWidth() const = 0;
  virtual int PixelHeight() const = 0;
};

enum class EventType {
  KeyDown,         // vk, mods; `system` when Windows would call it a system key (Alt held, or F10)
  KeyUp,           // vk, mods
  Char,            // ch: one Windows-1252 byte; mods as held when it was typed
  FocusGained,
  FocusLost,
  MouseRightDown,  // x, y in window pixels
  MouseMove,       // x, y
  MouseRightUp,    // x, y
  Expose,          // the window needs repainting whole
  CloseRequest,    // the user asked to close the window
  Quit,            // the program must end now
  AudioBlockDone,  // block: the id given to AudioDevice::Write
  WakeUp,          // code: the value given to PushWakeUp
};

struct Modifiers {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  friend bool operator==(const Modifiers&, const Modifiers&) = default;
};

struct Event {
  EventType type = EventType::WakeUp;
  int vk = 0;  // Windows virtual-key code (see vk.h)
  Modifiers mods;
  bool system = false;
  uint8_t ch = 0;
  int x = 0, y = 0;
  int block = 0;
  int code = 0;
};

// Errors: none. WaitForEvent is the one call that blocks: the main thread
// waits here, and everything else reaches it as an event.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // Takes the next pending event without blocking; false when none is pending.
  virtual bool Poll(Event& event) = 0;
  // Blocks until at least one event is pending; takes nothing.
  virtual void WaitForEvent() = 0;
  // Queues a WakeUp event carrying `code`. Any thread may call it.
  virtual void PushWakeUp(int code) = 0;
};

struct DateTime {
  int year = 2000, month = 1, day = 1;
  int weekday = 6;  // 0 = Sunday
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Errors: none. SleepMs blocks the calling (main) thread.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t NowMs() = 0;  // monotonic milliseconds
  virtual void SleepMs(int ms) = 0;
  virtual DateTime LocalNow() = 0;
};

struct AudioFormat {
  uint32_t rate = 11025;
  uint16_t bits = 8;
  uint16_t channels = 1;
  friend bool operator==(const AudioFormat&, const AudioFormat&) = default;
};

// The wave-out device. Blocks are played in the order written; when a block has
// been played (or returned by Reset) the device posts AudioBlockDone with the
// block's id to the event source. The bytes must stay valid until then.
// Errors: every int result is kNoError or one of the codes below, never
// thrown. Only Open blocks, and only while the first attempt to open the
// device is still under way (at most 3 s); Write queues and returns.
class AudioDevice {
 public:
  static constexpr int kNoError = 0;
  static constexpr int kBusy = 4;        // the device is allocated elsewhere
  static constexpr int kInvalidHandle = 5;  // written to a device that is not open
  static constexpr int kNoDriver = 6;       // no audio output can be had
  static constexpr int kBadFormat = 32;  // the format cannot be played
  static constexpr int kStillPlaying = 33;  // Unprepare of a block still queued
  virtual ~AudioDevice() = default;
  virtual int Open(const AudioFormat& format) = 0;
  virtual bool IsOpen() const = 0;
  virtual int Write(int block, const uint8_t* data, size_t length) = 0;
  // Returns every queued block at once (each gets its AudioBlockDone).
  virtual void Reset() = 0;
  virtual void Close() = 0;
  // Releases a finished block; a non-zero result is the device's error code.
  virtual int Unprepare(int block) = 0;
};

// The simple in-memory sound player: loops one RIFF/WAVE image until stopped,
// beside (not through) the wave-out device.
// Errors: none reported; an image it cannot read or play stays silent.
class TonePlayer {
 public:
  virtual ~TonePlayer() = default;
  virtual void PlayLooped(const std::vector<uint8_t>& wave_image) = 0;
  virtual void Stop() = 0;
};

enum class ClipboardStatus { Busy, NoText, Text };

// Errors: GetText says what it found (Busy when the clipboard cannot be read
// now); SetText gives false when the text could not be placed.

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // UTF-8 text on the desktop side; conversion is the caller's.
  virtual ClipboardStatus GetText(std::string& utf8) = 0;
  virtual bool SetText(const std::string& utf8) = 0;
};

// Errors: false when the program could not be started.
class Shell {
 public:
  virtual ~Shell() = default;
  // Starts `program` with `args` in `directory` without waiting for it.
  // False when it could not be started.
  virtual bool Launch(const std::string& program, const std::vector<std::string>& args,
                      const std::string& directory) = 0;
};

// Thrown by Platform::Exit in builds that must not end the process (tests);
// the real platform ends the process instead.
struct ProgramExit {
  int code;
};

// Errors: CreateWindow gives nullptr when no window can be had; the rest
// hand out the services above and cannot fail.
class Platform {
 public:
  virtual ~Platform() = default;
  // Creates the console window; nullptr when no window can be had.
  virtual std::unique_ptr<Surface> CreateWindow(const WindowSettings& settings) = 0;
  virtual WorkArea GetWorkArea() = 0;
  virtual EventSource& Events() = 0;
  virtual Clock& GetClock() = 0;
  virtual AudioDevice& Audio() = 0;
  virtual TonePlayer& Tones() = 0;
  virtual Clipboard& GetClipboard() = 0;
  virtual Shell& GetShell() = 0;
  // The default message beep: a short tone.
  virtual void Beep() = 0;
  // Ends the program with `code`.
  [[noreturn]] virtual void Exit(int code) = 0;
};

}  // namespace placarim::platform
