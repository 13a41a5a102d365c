#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <chrono>

namespace placarim::platform::fake {

// ---------------------------------------------------------------------------
// Clock

void FakeClock::SleepMs(int ms) {
  ++sleep_calls;
  if (ms > 0) {
    slept_ms += ms;
    Advance(ms);
  }
}

void FakeClock::AdvanceTo(int64_t time_ms) {
  if (time_ms <= now_ms_) return;
  if (time_ms > limit_ms) {
    throw std::runtime_error(
        "fake clock: virtual time passed its limit; the code under test waits for "
        "something that never comes");
  }
  now_ms_ = time_ms;
}

void FakeClock::SetLocalTime(int year, int month, int day, int hour, int minute, int second,
                             int millisecond) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year(year) / month / day};
  const auto ms = duration_cast<milliseconds>(date.time_since_epoch()).count() +
                  ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  start_local_ms_ = ms - now_ms_;
}

DateTime FakeClock::LocalNow() {
  using namespace std::chrono;
  if (start_local_ms_ == 0) SetLocalTime(2024, 3, 15, 10, 20, 30);
  const milliseconds total{start_local_ms_ + now_ms_};
  const sys_days days = floor<std::chrono::days>(sys_time<milliseconds>(total));
  const year_month_day ymd{days};
  int64_t in_day = (total - days.time_since_epoch()).count();
  DateTime t;
  t.year = static_cast<int>(ymd.year());
  t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  t.weekday = static_cast<int>(weekday(days).c_encoding());
  t.millisecond = static_cast<int>(in_day % 1000);
  in_day /= 1000;
  t.second = static_cast<int>(in_day % 60);
  t.minute = static_cast<int>(in_day / 60 % 60);
  t.hour = static_cast<int>(in_day / 3600);
  return t;
}

// ---------------------------------------------------------------------------
// Events

void FakeEvents::PostAt(int64_t time_ms, const Event& event) {
  std::lock_guard lock(mutex_);
  Entry entry{time_ms, next_seq_++, event};
  auto at = std::upper_bound(entries_.begin(), entries_.end(), entry, [](const Entry& a, const Entry& b) {
    return a.time != b.time ? a.time < b.time : a.seq < b.seq;
  });
  entries_.insert(at, std::move(entry));
}

void FakeEvents::PostAt(int64_t time_ms, const std::vector<Event>& events) {
  for (const Event& e : events) PostAt(time_ms, e);
}

void FakeEvents::PushWakeUp(int code) {
  Event e;
  e.type = EventType::WakeUp;
  e.code = code;
  Post(e);
}

bool FakeEvents::Poll(Event& event) {
  std::lock_guard lock(mutex_);
  if (entries_.empty() || entries_.front().time > clock_.NowMs()) return false;
  event = entries_.front().event;
  entries_.erase(entries_.begin());
  taken.push_back(event);
  return true;
}

void FakeEvents::WaitForEvent() {
  ++wait_calls;
  for (int round = 0; round < 2; ++round) {
    int64_t next = 0;
    bool any = false;
    {
      std::lock_guard lock(mutex_);
      if (!entries_.empty()) {
        any = true;
        next = entries_.front().time;
      }
    }
    if (any) {
      clock_.AdvanceTo(next);
      return;
    }
    if (round == 0 && idle_) idle_();
  }
  throw std::runtime_error(
      "fake events: WaitForEvent called with no event pending or scheduled; the "
      "program would wait forever");
}

size_t FakeEvents::Ready() const {
  std::lock_guard lock(mutex_);
  return static_cast<size_t>(std::count_if(entries_.begin(), entries_.end(),
                                           [&](const Entry& e) { return e.time <= clock_.NowMs(); }));
}

size_t FakeEvents::Scheduled() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

std::vector<Event> FakeEvents::TakeFuture(const std::function<bool(const Event&)>& match) {
  std::lock_guard lock(mutex_);
  std::vector<Event> out;
  const int64_t now = clock_.NowMs();
  std::erase_if(entries_, [&](const Entry& e) {
    if (e.time <= now || !match(e.event)) return false;
    out.push_back(e.event);
    return true;
  });
  return out;
}

// ---------------------------------------------------------------------------
// Screen

void FakeScreen::Resize(int new_columns, int new_rows) {
  columns = new_columns;
  rows = new_rows;
  cells.assign(static_cast<size_t>(columns * rows), Cell{});
}

std::string FakeScreen::RowText(int row) const {
  std::string s;
  for (int c = 0; c < columns; ++c) s += static_cast<char>(At(c, row).ch);
  return s;
}

std::string FakeScreen::Text() const {
  std::string all;
  for (int r = 0; r < rows; ++r) {
    std::string row = RowText(r);
    row.erase(row.find_last_not_of(' ') + 1);
    if (r > 0) all += '\n';
    all += row;
  }
  return all;
}

namespace {

// The window the console draws on: every call lands in the platform's screen
// record, which outlives the window so tests can look after it is gone.
class FakeSurface : public Surface {
 public:
  explicit FakeSurface(FakeScreen& screen) : s_(screen) { s_.exists = true; }
  ~FakeSurface() override {
    s_.exists = false;
    s_.caret.visible = false;
  }
  CellMetrics Metrics() const override { return s_.metrics; }
  void DrawRun(int col, int row, const uint8_t* text, int count, Rgb fg, Rgb bg) override {
    if (count < 0 || col < 0 || col + count > s_.columns || row < 0 || row >= s_.rows) {
      throw std::out_of_range("fake screen: DrawRun outside the screen");
    }
    ++s_.draw_calls;
    for (int i = 0; i < count; ++i) {
      s_.cells[static_cast<size_t>(row * s_.columns + col + i)] = Cell{text[i], fg, bg};
      ++s_.drawn_cells;
    }
  }
  void ScrollUp(Rgb fill) override {
    ++s_.scroll_count;
    s_.last_scroll_fill = fill;
    std::move(s_.cells.begin() + s_.columns, s_.cells.end(), s_.cells.begin());
    std::fill(s_.cells.end() - s_.columns, s_.cells.end(), Cell{' ', fill, fill});
  }
  bool CanScrollInPlace() const override { return s_.can_scroll_in_place; }
  void ShowCaret(int col, int row) override {
    ++s_.caret_shows;
    s_.caret = Caret{true, col, row};
  }
  void HideCaret() override { s_.caret.visible = false; }
  void SetTitle(const std::string& cp1252) override { s_.title = cp1252; }
  void Present() override { ++s_.present_count; }
  void CaptureImage() override {
    s_.image_captured = true;
    ++s_.capture_count;
  }
  void ShowMagnified(int x, int y, int w, int h) override {
    if (!s_.image_captured) throw std::logic_error("fake screen: ShowMagnified without CaptureImage");
    s_.magnified.push_back({x, y, w, h});
  }
  void ReleaseImage() override { s_.image_captured = false; }
  int PixelWidth() const override { return s_.columns * s_.metrics.width; }
  int PixelHeight() const override { return s_.rows * s_.metrics.height; }

 private:
  FakeScreen& s_;
};

}  // namespace

// ---------------------------------------------------------------------------
// Audio

int FakeAudio::Open(const AudioFormat& format) {
  ++open_calls;
  if (!open_failures_.empty()) {
    const int code = open_failures_.front();
    open_failures_.pop_front();
    if (code != kNoError) return code;
  }
  open_ = true;
  format_ = format;
  opened.push_back(format);
  busy_until_ms_ = clock_.NowMs();
  return kNoError;
}

int FakeAudio::Write(int block, const uint8_t* data, size_t length) {
  if (!open_) return kInvalidHandle;
  const int64_t bytes_per_second =
      std::max<int64_t>(1, int64_t{format_.rate} * format_.channels * format_.bits / 8);
  const int64_t duration = (static_cast<int64_t>(length) * 1000 + bytes_per_second - 1) / bytes_per_second;
  const int64_t start = std::max(busy_until_ms_, clock_.NowMs());
  busy_until_ms_ = start + duration;
  written.push_back({block, std::vector<uint8_t>(data, data + length), format_, clock_.NowMs(), busy_until_ms_});
  Event done;
  done.type = EventType::AudioBlockDone;
  done.block = block;
  events_.PostAt(busy_until_ms_, done);
  return kNoError;
}

void FakeAudio::Reset() {
  ++reset_count;
  const int64_t now = clock_.NowMs();
  auto returned = events_.TakeFuture([](const Event& e) { return e.type == EventType::AudioBlockDone; });
  for (const Event& e : returned) events_.Post(e);
  for (WrittenBlock& w : written) w.done_ms = std::min(w.done_ms, now);
  busy_until_ms_ = now;
}

void FakeAudio::Close() {
  ++close_count;
  if (QueuedBlocks() > 0) ++closed_with_blocks_queued;
  open_ = false;
}

int FakeAudio::Unprepare(int block) {
  unprepared.push_back(block);
  if (unprepare_failures_.empty()) {
    const int64_t now = clock_.NowMs();
    for (const WrittenBlock& w : written) {
      if (w.block == block && w.done_ms > now) return kStillPlaying;
    }
    return kNoError;
  }
  const int code = unprepare_failures_.front();
  unprepare_failures_.pop_front();
  return code;
}

int FakeAudio::QueuedBlocks() const {
  const int64_t now = clock_.NowMs();
  return static_cast<int>(
      std::count_if(written.begin(), written.end(), [&](const WrittenBlock& w) { return w.done_ms > now; }));
}

std::vector<uint8_t> FakeAudio::AllBytes() const {
  std::vector<uint8_t> all;
  for (const WrittenBlock& w : written) all.insert(all.end(), w.bytes.begin(), w.bytes.end());
  return all;
}

// ---------------------------------------------------------------------------
// Small services

ClipboardStatus FakeClipboard::GetText(std::string& utf8) {
  if (busy) return ClipboardStatus::Busy;
  if (!text) return ClipboardStatus::NoText;
  utf8 = *text;
  return ClipboardStatus::Text;
}

bool FakeClipboard::SetText(const std::string& utf8) {
  ++set_calls;
  if (busy) return false;
  text = utf8;
  return true;
}

bool FakeShell::Launch(const std::string& program, const std::vector<std::string>& args,
                       const std::string& directory) {
  launches.push_back({program, args, directory});
  return !fail;
}

// ---------------------------------------------------------------------------
// Platform

FakePlatform::FakePlatform() = default;
FakePlatform::~FakePlatform() = default;

std::unique_ptr<Surface> FakePlatform::CreateWindow(const WindowSettings& settings) {
  windows_created.push_back(settings);
  if (fail_window) return nullptr;
  screen.Resize(settings.columns, settings.rows);
  screen.title = settings.title;
  if (focus_on_create) events.Post(keys::Focus(true));
  return std::make_unique<FakeSurface>(screen);
}

void FakePlatform::Exit(int code) {
  exit_code = code;
  throw ProgramExit{code};
}

void FakePlatform::Type(std::string_view cp1252) { events.Post(keys::Type(cp1252)); }

void FakePlatform::Press(int vk, Modifiers mods) { events.Post(keys::Press(vk, mods)); }

// ---------------------------------------------------------------------------
// Key scripts

namespace keys {
namespace {

Event Make(EventType type) {
  Event e;
  e.type = type;
  return e;
}

bool IsLetter(int vk) { return vk >= vk::kA && vk < vk::kA + 26; }
bool IsDigit(int vk) { return vk >= vk::k0 && vk < vk::k0 + 10; }

}  // namespace

Event KeyDown(int vk, Modifiers mods) {
  Event e = Make(EventType::KeyDown);
  e.vk = vk;
  e.mods = mods;
  e.system = !mods.ctrl && (mods.alt || vk == vk::kF10);
  return e;
}

Event KeyUp(int vk, Modifiers mods) {
  Event e = Make(EventType::KeyUp);
  e.vk = vk;
  e.mods = mods;
  e.system = !mods.ctrl && mods.alt;
  return e;
}

Event Char(uint8_t ch, Modifiers mods) {
  Event e = Make(EventType::Char);
  e.ch = ch;
  e.mods = mods;
  return e;
}

std::optional<uint8_t> CharFor(int vk, Modifiers mods) {
  if (mods.alt) return std::nullopt;  // system characters, or the layout's AltGr table
  if (IsLetter(vk)) {
    if (mods.ctrl) return static_cast<uint8_t>(vk - vk::kA + 1);
    return static_cast<uint8_t>(mods.shift ? vk : vk - vk::kA + 'a');
  }
  if (mods.ctrl) {
    switch (vk) {
      case vk::kReturn: return uint8_t{13};  // the console turns it into 10
      case vk::kBack: return uint8_t{8};     // the console turns it into 127
      case vk::kEscape: return uint8_t{27};
      case vk::kSpace: return uint8_t{32};
      default: return std::nullopt;
    }
  }
  if (IsDigit(vk)) {
    static constexpr char kShifted[] = ")!@#$%^&*(";
    return static_cast<uint8_t>(mods.shift ? kShifted[vk - vk::k0] : vk);
  }
  switch (vk) {
    case vk::kSpace: return uint8_t{32};
    case vk::kReturn: return uint8_t{13};
    case vk::kBack: return uint8_t{8};
    case vk::kTab: return uint8_t{9};
    case vk::kEscape: return uint8_t{27};
    default: return std::nullopt;
  }
}

std::vector<Event> Press(int vk, Modifiers mods) {
  std::vector<Event> script{KeyDown(vk, mods)};
  if (auto ch = CharFor(vk, mods)) script.push_back(Char(*ch, mods));
  script.push_back(KeyUp(vk, mods));
  return script;
}

std::vector<Event> Type(std::string_view cp1252) {
  std::vector<Event> script;
  for (char c : cp1252) {
    const auto b = static_cast<uint8_t>(c);
    int vk = 0;
    Modifiers mods;
    if (b >= 'a' && b <= 'z') {
      vk = vk::kA + (b - 'a');
    } else if (b >= 'A' && b <= 'Z') {
      vk = vk::kA + (b - 'A');
      mods.shift = true;
    } else if (b >= '0' && b <= '9') {
      vk = vk::k0 + (b - '0');
    } else if (b == ' ') {
      vk = vk::kSpace;
    } else if (b == '\r') {
      vk = vk::kReturn;
    } else if (b == '\b') {
      vk = vk::kBack;
    } else if (b == '\t') {
      vk = vk::kTab;
    } else if (b == 27) {
      vk = vk::kEscape;
    }
    if (vk != 0) {
      auto press = Press(vk, mods);
      script.insert(script.end(), press.begin(), press.end());
    } else {
      script.push_back(KeyDown(0, mods));
      script.push_back(Char(b, mods));
      script.push_back(KeyUp(0, mods));
    }
  }
  return script;
}

std::vector<Event> Ctrl(int vk) {
  return Press(vk, Modifiers{.ctrl = true});
}

std::vector<Event> Alt(int vk) { return Press(vk, Modifiers{.alt = true}); }

std::vector<Event> CtrlAlt(int vk) { return Press(vk, Modifiers{.ctrl = true, .alt = true}); }

std::vector<Event> AltGr(int vk, uint8_t ch) {
  const Modifiers mods{.ctrl = true, .alt = true};
  return {KeyDown(vk, mods), Char(ch, mods), KeyUp(vk, mods)};
}

std::vector<Event> Chord(std::initializer_list<int> vks) {
  std::vector<Event> script;
  for (int vk : vks) {
    script.push_back(KeyDown(vk));
    if (auto ch = CharFor(vk, {})) script.push_back(Char(*ch));
  }
  for (int vk : vks) script.push_back(KeyUp(vk));
  return script;
}

Event Focus(bool gained) { return Make(gained ? EventType::FocusGained : EventType::FocusLost); }

Event MouseRightDown(int x, int y) {
  Event e = Make(EventType::MouseRightDown);
  e.x = x, e.y = y;
  return e;
}

Event MouseMove(int x, int y) {
  Event e = Make(EventType::MouseMove);
  e.x = x, e.y = y;
  return e;
}

Event MouseRightUp(int x, int y) {
  Event e = Make(EventType::MouseRightUp);
  e.x = x, e.y = y;
  return e;
}

Event Expose() { return Make(EventType::Expose); }
Event CloseRequest() { return Make(EventType::CloseRequest); }
Event Quit() { return Make(EventType::Quit); }

Event WakeUp(int code) {
  Event e = Make(EventType::WakeUp);
  e.code = code;
  return e;
}

std::vector<Event> Then(std::vector<Event> a, const std::vector<Event>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace keys

}  // namespace placarim::platform::fake
