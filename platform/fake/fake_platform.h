// A headless platform for tests: everything a unit asks of the operating system,
// recorded and scripted, with a virtual clock so nothing ever really waits.
//
// How to use it:
//
//   placarim::platform::fake::FakePlatform fake;
//   placarim::console::Console console(fake, dir);       // any unit takes it as Platform&
//   fake.Type("12\r");                                   // key presses, ready now
//   fake.events.PostAt(500, keys::Press(vk::kUp));       // ready at virtual time 500 ms
//   fake.Post(keys::Ctrl('c'));                          // any list of events
//   ... run the unit ...
//   EXPECT_EQ(fake.screen.RowText(0).substr(0, 2), "12");
//   EXPECT_EQ(fake.audio.written.size(), 3u);
//   EXPECT_THROW(console.Done(), placarim::platform::ProgramExit);
//
// Time: fake.clock.NowMs() starts at 0. SleepMs returns at once and moves the
// clock on. WaitForEvent moves the clock to the next scheduled event; when no
// event can ever arrive it asks the idle handler (SetIdleHandler) for more, and
// if there is none it throws std::runtime_error instead of hanging. A clock that
// runs past `clock.limit_ms` (one virtual day by default) throws as well, so a
// polling loop that never ends fails the test.
//
// Audio: every Open format and every written block is recorded; a block is
// played for bytes / (rate * channels * bits / 8) seconds after the previous one
// ends, and its AudioBlockDone event becomes ready when the clock gets there.
// Reset makes every block still queued done at once.
//
// Exit(code) records the code and throws platform::ProgramExit{code}.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/vk.h"

namespace placarim::platform::fake {

// ---------------------------------------------------------------------------
// Clock
class FakeClock : public Clock {
 public:
  int64_t NowMs() override { return now_ms_; }
  // Returns at once, advancing virtual time by `ms`.
  void SleepMs(int ms) override;
  // The start time (SetLocalTime, default 2024-03-15 10:20:30.000, a Friday)
  // plus the virtual time passed since.
  DateTime LocalNow() override;

  void AdvanceTo(int64_t time_ms);  // never goes back
  void Advance(int64_t ms) { AdvanceTo(now_ms_ + ms); }
  void SetLocalTime(int year, int month, int day, int hour, int minute, int second,
                    int millisecond = 0);

  int64_t limit_ms = 24LL * 60 * 60 * 1000;
  int sleep_calls = 0;
  int64_t slept_ms = 0;

 private:
  int64_t now_ms_ = 0;
  int64_t start_local_ms_ = 0;  // local wall time at virtual 0, ms since 1970
};

// ---------------------------------------------------------------------------
// Events
class FakeEvents : public EventSource {
 public:
  explicit FakeEvents(FakeClock& clock) : clock_(clock) {}

  bool Poll(Event& event) override;
  void WaitForEvent() override;
  void PushWakeUp(int code) override;

  // Scheduling: events are ready in time order, ties in the order posted.
  void Post(const Event& event) { PostAt(clock_.NowMs(), event); }
  void Post(const std::vector<Event>& events) { PostAt(clock_.NowMs(), events); }
  void PostAt(int64_t time_ms, const Event& event);
  void PostAt(int64_t time_ms, const std::vector<Event>& events);
  void PostAfter(int64_t delay_ms, const std::vector<Event>& events) {
    PostAt(clock_.NowMs() + delay_ms, events);
  }

  // Called when WaitForEvent finds nothing ready or scheduled; it may post
  // events (e.g. "when the program waits, press Enter"). When it posts none,
  // WaitForEvent throws.
  void SetIdleHandler(std::function<void()> handler) { idle_ = std::move(handler); }

  size_t Ready() const;      // events whose time has come
  size_t Scheduled() const;  // all events not yet taken
  std::vector<Event> taken;  // every event Poll has handed out, in order
  int wait_calls = 0;

  // Removes the scheduled events (not yet due) that `match` selects and returns
  // them in order; the audio device's Reset uses it.
  std::vector<Event> TakeFuture(const std::function<bool(const Event&)>& match);

 private:
  struct Entry {
    int64_t time;
    uint64_t seq;
    Event event;
  };
  FakeClock& clock_;
  mutable std::mutex mutex_;  // PushWakeUp may come from any thread
  std::vector<Entry> entries_;  // sorted by (time, seq)
  uint64_t next_seq_ = 0;
  std::function<void()> idle_;
};

// ---------------------------------------------------------------------------
// Recorded screen
struct Cell {
  uint8_t ch = ' ';
  Rgb fg{};
  Rgb bg{};
};

struct Caret {
  bool visible = false;
  int col = 0, row = 0;
};

struct Magnified {
  int x = 0, y = 0, w = 0, h = 0;
};

class FakeScreen {
 public:
  void Resize(int columns, int rows);
  const Cell& At(int col, int row) const { return cells.at(static_cast<size_t>(row * columns + col)); }
  std::string RowText(int row) const;  // all columns, trailing blanks kept
  std::string Text() const;            // rows without trailing blanks, joined by '\n'

  int columns = 80, rows = 25;
  std::vector<Cell> cells = std::vector<Cell>(80 * 25);
  CellMetrics metrics;
  bool can_scroll_in_place = true;  // what Surface::CanScrollInPlace answers

  bool exists = false;  // a window is alive
  std::string title;
  Caret caret;
  int draw_calls = 0;  // DrawRun calls
  int drawn_cells = 0;
  int scroll_count = 0;
  Rgb last_scroll_fill{};
  int present_count = 0;
  int caret_shows = 0;
  bool image_captured = false;
  int capture_count = 0;
  std::vector<Magnified> magnified;  // every ShowMagnified call
};

// ---------------------------------------------------------------------------
// Audio
struct WrittenBlock {
  int block = 0;
  std::vector<uint8_t> bytes;
  AudioFormat format;
  int64_t written_ms = 0;
  int64_t done_ms = 0;  // when its AudioBlockDone becomes ready
};

class FakeAudio : public AudioDevice {
 public:
  explicit FakeAudio(FakeClock& clock, FakeEvents& events) : clock_(clock), events_(events) {}
  int Open(const AudioFormat& format) override;
  bool IsOpen() const override { return open_; }
  int Write(int block, const uint8_t* data, size_t length) override;
  void Reset() override;
  void Close() override;
  int Unprepare(int block) override;

  // The next `times` Open calls fail with `code` (e.g. kBusy).
  void FailOpen(int code, int times = 1) { open_failures_.insert(open_failures_.end(), times, code); }
  // The next `times` Unprepare calls fail with `code`. Without one, releasing
  // a block that is still queued fails with kStillPlaying.
  void FailUnprepare(int code, int times = 1) {
    unprepare_failures_.insert(unprepare_failures_.end(), times, code);
  }
  // Blocks written and not yet played at the current virtual time.
  int QueuedBlocks() const;
  // Every written byte, concatenated.
  std::vector<uint8_t> AllBytes() const;

  std::vector<AudioFormat> opened;  // every successful Open
  int open_calls = 0;
  std::vector<WrittenBlock> written;
  std::vector<int> unprepared;
  int reset_count = 0;
  int close_count = 0;
  int closed_with_blocks_queued = 0;

 private:
  FakeClock& clock_;
  FakeEvents& events_;
  bool open_ = false;
  AudioFormat format_;
  int64_t busy_until_ms_ = 0;
  std::deque<int> open_failures_, unprepare_failures_;
};

// ---------------------------------------------------------------------------
// Small services
class FakeTones : public TonePlayer {
 public:
  void PlayLooped(const std::vector<uint8_t>& wave_image) override {
    played.push_back(wave_image);
    playing = true;
  }
  void Stop() override {
    ++stops;
    playing = false;
  }
  std::vector<std::vector<uint8_t>> played;
  int stops = 0;
  bool playing = false;
};

class FakeClipboard : public Clipboard {
 public:
  ClipboardStatus GetText(std::string& utf8) override;
  bool SetText(const std::string& utf8) override;
  std::optional<std::string> text;  // UTF-8; nothing = holds no text
  bool busy = false;                // another program has it open
  int set_calls = 0;
};

struct Launch {
  std::string program;
  std::vector<std::string> args;
  std::string directory;
};

class FakeShell : public Shell {
 public:
  bool Launch(const std::string& program, const std::vector<std::string>& args,
              const std::string& directory) override;
  std::vector<fake::Launch> launches;
  bool fail = false;  // every launch fails (and is still recorded)
};

// ---------------------------------------------------------------------------
// The platform
class FakePlatform : public Platform {
 public:
  FakePlatform();
  ~FakePlatform() override;

  std::unique_ptr<Surface> CreateWindow(const WindowSettings& settings) override;
  WorkArea GetWorkArea() override { return work_area; }
  EventSource& Events() override { return events; }
  Clock& GetClock() override { return clock; }
  AudioDevice& Audio() override { return audio; }
  TonePlayer& Tones() override { return tones; }
  Clipboard& GetClipboard() override { return clipboard; }
  Shell& GetShell() override { return shell; }
  void Beep() override { ++beeps; }
  [[noreturn]] void Exit(int code) override;

  // Shorthands for scripting at the current virtual time.
  void Post(const std::vector<Event>& script) { events.Post(script); }
  void Type(std::string_view cp1252);
  void Press(int vk, Modifiers mods = {});

  FakeClock clock;
  FakeEvents events{clock};
  FakeAudio audio{clock, events};
  FakeTones tones;
  FakeClipboard clipboard;
  FakeShell shell;
  FakeScreen screen;
  WorkArea work_area;

  std::vector<WindowSettings> windows_created;
  bool fail_window = false;     // CreateWindow returns nullptr
  bool focus_on_create = true;  // a new window gets FocusGained, as a desktop gives it
  int beeps = 0;
  std::optional<int> exit_code;
};

// ---------------------------------------------------------------------------
// Key scripts: the events a desktop delivers for key presses, following the
// Windows rules the console is written for (a key that types a character gets
// KeyDown, Char, KeyUp; Alt without Ctrl, and F10, are system keys and type no
// character; Enter, Backspace, Tab, Esc and Ctrl+letter arrive as characters).
namespace keys {

Event KeyDown(int vk, Modifiers mods = {});  // `system` set by the rule above
Event KeyUp(int vk, Modifiers mods = {});
Event Char(uint8_t ch, Modifiers mods = {});

// The character Windows types for `vk` with `mods` (US layout), if any.
std::optional<uint8_t> CharFor(int vk, Modifiers mods);

// One key press: KeyDown, the Char it types (if any), KeyUp.
std::vector<Event> Press(int vk, Modifiers mods = {});
// Each Windows-1252 byte as a key press (upper case with Shift; '\r' Enter,
// '\b' Backspace, '\t' Tab, 27 Escape; other bytes as a Char between a
// KeyDown and KeyUp of no particular key).
std::vector<Event> Type(std::string_view cp1252);
std::vector<Event> Ctrl(int vk);  // Ctrl+key; Ctrl('C') types 3 (letters as upper-case vks)
std::vector<Event> Alt(int vk);   // a system key, no character
std::vector<Event> CtrlAlt(int vk);
// AltGr (Ctrl+Alt) + key, typing the layout's character `ch`.
std::vector<Event> AltGr(int vk, uint8_t ch);
// All keys go down in order (each typing its character), then all come up in
// order: a braille chord.
std::vector<Event> Chord(std::initializer_list<int> vks);

Event Focus(bool gained);
Event MouseRightDown(int x, int y);
Event MouseMove(int x, int y);
Event MouseRightUp(int x, int y);
Event Expose();
Event CloseRequest();
Event Quit();
Event WakeUp(int code);

// Concatenates scripts.
std::vector<Event> Then(std::vector<Event> a, const std::vector<Event>& b);

}  // namespace keys

}  // namespace placarim::platform::fake
