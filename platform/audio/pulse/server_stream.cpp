#include "platform/audio/pulse/server_stream.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace placarim::platform::audio::pulse {
namespace {

constexpr pa_usec_t kConnectTimeoutUs = 3'000'000;
// How often the played position is checked while blocks wait to be heard.
constexpr pa_usec_t kHeardCheckUs = 5'000;

class ServerStream final : public AudioSink {
 public:
  ServerStream(int rate, int channels, RenderSound render, BlockDone done)
      : render_(std::move(render)), done_(std::move(done)) {
    spec_.format = PA_SAMPLE_S16NE;
    spec_.rate = static_cast<uint32_t>(rate);
    spec_.channels = static_cast<uint8_t>(channels);
  }
  ~ServerStream() override;

  bool Open(std::string& why);
  void SetRunning(bool running) override;
  std::vector<int> Flush(const std::function<bool(bool)>& decide) override;
  void StartSound(const std::function<void()>& add) override;
  bool Lost() override { return lost_; }

 private:
  class Locked {
   public:
    explicit Locked(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~Locked() { pa_threaded_mainloop_unlock(loop_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

   private:
    pa_threaded_mainloop* loop_;
  };

  // Waits, with the loop locked, until `ready` or a failure or the deadline.
  template <typename Ready>
  bool WaitUntil(Ready ready, std::string& why);
  void Write(size_t bytes, pa_seek_mode_t seek = PA_SEEK_RELATIVE);
  // A whole buffer of what the renderer has now, in place of all the server
  // holds unplayed: a new sound starts at once, with no moment when the
  // stream is empty.
  void Rewrite();
  std::optional<uint64_t> Heard();
  void ReportHeard();
  void ArmHeardCheck();
  // Drops what the server holds; the blocks in it, oldest first.
  std::vector<int> DropHeld();
  void Signal() { pa_threaded_mainloop_signal(loop_, 0); }

  static void OnServerInfo(pa_context* context, const pa_server_info* info, void* self);
  static void OnContextState(pa_context* context, void* self);
  static void OnStreamState(pa_stream* stream, void* self);
  static void OnWrite(pa_stream* stream, size_t bytes, void* self);
  static void OnDeadline(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self);
  static void OnHeardCheck(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self);

  RenderSound render_;
  BlockDone done_;
  pa_sample_spec spec_{};
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_time_event* heard_check_ = nullptr;
  bool heard_check_armed_ = false;
  bool timed_out_ = false;
  std::atomic<bool> lost_{false};
  std::optional<bool> pipewire_;  // whether the server is PipeWire's PulseAudio service

  // The rest is used with the loop locked. Bytes written since the start; the
  // end of the last sound that was not silence.
  uint64_t written_ = 0;
  uint64_t sound_end_ = 0;
  struct Unheard {
    int block;
    uint64_t end;
  };
  std::deque<Unheard> unheard_;
  std::vector<int> finished_;
};

void Release(pa_operation* operation) {
  if (operation != nullptr) pa_operation_unref(operation);
}

ServerStream::~ServerStream() {
  if (loop_ == nullptr) return;
  {
    Locked lock(loop_);
    if (heard_check_ != nullptr) pa_threaded_mainloop_get_api(loop_)->time_free(heard_check_);
    if (stream_ != nullptr) {
      pa_stream_set_write_callback(stream_, nullptr, nullptr);
      pa_stream_set_state_callback(stream_, nullptr, nullptr);
      pa_stream_disconnect(stream_);
      pa_stream_unref(stream_);
    }
    if (context_ != nullptr) {
      pa_context_set_state_callback(context_, nullptr, nullptr);
      pa_context_disconnect(context_);
      pa_context_unref(context_);
    }
  }
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
  // Whatever the server still held will never be heard.
  for (const Unheard& block : unheard_) done_(block.block);
}

template <typename Ready>
bool ServerStream::WaitUntil(Ready ready, std::string& why) {
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  timeval when{};
  pa_gettimeofday(&when);
  pa_timeval_add(&when, kConnectTimeoutUs);
  timed_out_ = false;
  pa_time_event* deadline = api->time_new(api, &when, &ServerStream::OnDeadline, this);
  bool ok = false;
  for (;;) {
    if (ready()) {
      ok = true;
      break;
    }
    if (lost_) {
      why = pa_strerror(pa_context_errno(context_));
      break;
    }
    if (timed_out_) {
      why = "the sound server did not answer";
      break;
    }
    pa_threaded_mainloop_wait(loop_);
  }
  api->time_free(deadline);
  return ok;
}

bool ServerStream::Open(std::string& why) {
  loop_ = pa_threaded_mainloop_new();
  if (loop_ == nullptr) return false;
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  context_ = pa_context_new(api, "Placarim");
  if (context_ == nullptr) return false;
  pa_context_set_state_callback(context_, &ServerStream::OnContextState, this);
  // Never start a server: one that is not there is not wanted.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    why = pa_strerror(pa_context_errno(context_));
    return false;
  }
  Locked lock(loop_);
  if (pa_threaded_mainloop_start(loop_) < 0) return false;
  if (!WaitUntil([&] { return pa_context_get_state(context_) == PA_CONTEXT_READY; }, why)) return false;
  Release(pa_context_get_server_info(context_, &ServerStream::OnServerInfo, this));
  if (!WaitUntil([&] { return pipewire_.has_value(); }, why)) return false;

  heard_check_ = api->time_new(api, nullptr, &ServerStream::OnHeardCheck, this);
  stream_ = pa_stream_new(context_, "Placarim", &spec_, nullptr);
  if (stream_ == nullptr) {
    why = pa_strerror(pa_context_errno(context_));
    return false;
  }
  pa_stream_set_state_callback(stream_, &ServerStream::OnStreamState, this);
  pa_stream_set_write_callback(stream_, &ServerStream::OnWrite, this);
  pa_buffer_attr buffer{};
  buffer.maxlength = static_cast<uint32_t>(-1);
  buffer.tlength = static_cast<uint32_t>(pa_usec_to_bytes(kTargetMs * PA_USEC_PER_MSEC, &spec_));
  buffer.prebuf = static_cast<uint32_t>(-1);
  buffer.minreq = static_cast<uint32_t>(pa_usec_to_bytes(kRequestMs * PA_USEC_PER_MSEC, &spec_));
  buffer.fragsize = static_cast<uint32_t>(-1);
  // PulseAudio's sink mixes ahead of the ear and takes it back at a cork:
  // ADJUST_LATENCY lets it keep about half the target. PipeWire's graph
  // never takes back a cycle once run, and runs all its nodes in cycles of
  // the smallest latency any of them asks; given ADJUST_LATENCY its
  // PulseAudio service turns half the target into the stream's latency, so
  // a key waited for a whole cycle of up to 2,048 frames (43 ms) to be
  // heard. EARLY_REQUESTS asks for cycles of one request (kRequestMs) while
  // the service still holds the whole target ahead of the ear.
  const pa_stream_flags_t latency_flag = *pipewire_ ? PA_STREAM_EARLY_REQUESTS : PA_STREAM_ADJUST_LATENCY;
  const auto flags = static_cast<pa_stream_flags_t>(latency_flag | PA_STREAM_INTERPOLATE_TIMING |
                                                    PA_STREAM_AUTO_TIMING_UPDATE);
  if (pa_stream_connect_playback(stream_, nullptr, &buffer, flags, nullptr, nullptr) < 0) {
    why = pa_strerror(pa_context_errno(context_));
    return false;
  }
  return WaitUntil([&] { return pa_stream_get_state(stream_) == PA_STREAM_READY; }, why);
}

// The stream plays on while nothing sounds, silence then, as a card does:
// a stream corked just after a reset's flush and uncorked later starts empty,
// which the server counts as an underrun. Started again, the first sound
// drops the silence it would wait behind (StartSound). Blocks still unheard
// at a pause, which a reset would have dropped, are dropped here.
void ServerStream::SetRunning(bool running) {
  std::vector<int> dropped;
  {
    Locked lock(loop_);
    if (lost_) return;
    ReportHeard();
    if (!running && !unheard_.empty()) dropped = DropHeld();
  }
  for (const int block : dropped) done_(block);
}

std::vector<int> ServerStream::Flush(const std::function<bool(bool)>& decide) {
  Locked lock(loop_);
  ReportHeard();
  if (!decide(!unheard_.empty())) return {};
  return DropHeld();
}

void ServerStream::StartSound(const std::function<void()>& add) {
  Locked lock(loop_);
  bool only_silence_held = false;
  if (!lost_ && unheard_.empty() && written_ > sound_end_) {
    // Until the server first tells the played position (a round trip after
    // the stream opens, when the program's first sound often comes), a
    // stream that never sounded holds only silence all the same.
    const std::optional<uint64_t> heard = Heard();
    only_silence_held = sound_end_ == 0 || (heard && *heard >= sound_end_);
  }
  add();
  if (only_silence_held) Rewrite();
}

void ServerStream::Rewrite() {
  const pa_buffer_attr* buffer = pa_stream_get_buffer_attr(stream_);
  if (buffer != nullptr) Write(buffer->tlength, PA_SEEK_RELATIVE_ON_READ);
}

// The sound stops at once. The stream is filled again straight after it: a
// stream the server finds empty counts as an underrun.
std::vector<int> ServerStream::DropHeld() {
  std::vector<int> dropped;
  for (const Unheard& block : unheard_) dropped.push_back(block.block);
  unheard_.clear();
  sound_end_ = written_;
  if (!lost_) {
    if (*pipewire_) {
      // PipeWire takes back nothing a cycle has taken; its PulseAudio
      // service drops what it holds when a write starts at the read index.
      // One write does it: a flush empties the stream at once and the graph
      // may run a cycle before the refill comes (an underrun), and a stream
      // corked and uncorked may miss the next cycle.
      Rewrite();
    } else {
      // Corking makes PulseAudio's sink take back what it has mixed ahead
      // of the ear (a flush alone leaves that to play, up to the sink's
      // latency).
      Release(pa_stream_cork(stream_, 1, nullptr, nullptr));
      Release(pa_stream_flush(stream_, nullptr, nullptr));
      Rewrite();
      Release(pa_stream_cork(stream_, 0, nullptr, nullptr));
    }
  }
  return dropped;
}

// The server wants `bytes` more: the renderer fills them, silence included,
// so the stream never runs dry while it plays.
void ServerStream::Write(size_t bytes, pa_seek_mode_t seek) {
  void* data = nullptr;
  size_t size = bytes;
  if (pa_stream_begin_write(stream_, &data, &size) < 0 || data == nullptr) return;
  size -= size % pa_frame_size(&spec_);
  if (size == 0) {
    pa_stream_cancel_write(stream_);
    return;
  }
  finished_.clear();
  const bool sounded = render_(static_cast<uint8_t*>(data), size, finished_);
  // Blocks whose end was rendered are the stream's from now on, written or
  // not: a failed write leaves them ending where the sound written so far
  // ends, reported once that is heard (or dropped), in order, like any other.
  if (pa_stream_write(stream_, data, size, nullptr, 0, seek) == 0) {
    written_ += size;
    if (sounded) sound_end_ = written_;
  } else {
    pa_stream_cancel_write(stream_);
  }
  for (const int block : finished_) unheard_.push_back({block, written_});
  ReportHeard();
}

// How many of the bytes written have been played: those written less those
// the server still holds ahead of the ear.
//
// The library's latency follows a smoothed clock that runs on between the
// server's reports, and never backwards, even while the sink reads nothing:
// a sink that has mixed far ahead of the ear (seen: a null sink two seconds
// ahead once a client asking for a short latency joined it) reads none of
// the stream until the ear catches up, yet the library's latency fell to 0
// and a sound was reported done that a key then dropped unheard. So no more
// counts as played than the server's last report allows: what the stream
// and the sink held then, less the time since.
std::optional<uint64_t> ServerStream::Heard() {
  pa_usec_t latency = 0;
  int negative = 0;
  if (lost_ || pa_stream_get_latency(stream_, &latency, &negative) < 0) return std::nullopt;
  uint64_t held = negative != 0 ? 0 : pa_usec_to_bytes(latency, &spec_);
  const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
  if (timing != nullptr && timing->write_index_corrupt == 0 && timing->read_index_corrupt == 0 &&
      timing->write_index > timing->read_index) {
    const pa_usec_t ahead =
        pa_bytes_to_usec(static_cast<uint64_t>(timing->write_index - timing->read_index), &spec_) +
        timing->sink_usec;
    const pa_usec_t since = pa_timeval_age(&timing->timestamp);
    if (ahead > since) held = std::max<uint64_t>(held, pa_usec_to_bytes(ahead - since, &spec_));
  }
  return written_ > held ? written_ - held : 0;
}

void ServerStream::ReportHeard() {
  if (!unheard_.empty()) {
    if (const std::optional<uint64_t> heard = Heard()) {
      while (!unheard_.empty() && unheard_.front().end <= *heard) {
        const int block = unheard_.front().block;
        unheard_.pop_front();
        done_(block);
      }
    }
  }
  ArmHeardCheck();
}

// While blocks wait to be heard the played position is checked every few
// milliseconds; the server's requests alone come too seldom.
void ServerStream::ArmHeardCheck() {
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  if (unheard_.empty()) {
    if (heard_check_armed_) api->time_restart(heard_check_, nullptr);
    heard_check_armed_ = false;
  } else if (!heard_check_armed_) {
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, kHeardCheckUs);
    api->time_restart(heard_check_, &when);
    heard_check_armed_ = true;
  }
}

void ServerStream::OnServerInfo(pa_context*, const pa_server_info* info, void* self) {
  auto& stream = *static_cast<ServerStream*>(self);
  stream.pipewire_ = info != nullptr && info->server_name != nullptr &&
                     std::strstr(info->server_name, "PipeWire") != nullptr;
  stream.Signal();
}

void ServerStream::OnContextState(pa_context* context, void* self) {
  auto& stream = *static_cast<ServerStream*>(self);
  if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) stream.lost_ = true;
  stream.Signal();
}

void ServerStream::OnStreamState(pa_stream* s, void* self) {
  auto& stream = *static_cast<ServerStream*>(self);
  if (!PA_STREAM_IS_GOOD(pa_stream_get_state(s))) stream.lost_ = true;
  stream.Signal();
}

void ServerStream::OnWrite(pa_stream*, size_t bytes, void* self) {
  static_cast<ServerStream*>(self)->Write(bytes);
}

void ServerStream::OnDeadline(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
  auto& stream = *static_cast<ServerStream*>(self);
  stream.timed_out_ = true;
  stream.Signal();
}

void ServerStream::OnHeardCheck(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
  auto& stream = *static_cast<ServerStream*>(self);
  stream.heard_check_armed_ = false;
  stream.ReportHeard();
}

}  // namespace

std::unique_ptr<AudioSink> OpenServerStream(int rate, int channels, RenderSound render, BlockDone done,
                                            std::string* why) {
  auto stream = std::make_unique<ServerStream>(rate, channels, std::move(render), std::move(done));
  std::string reason;
  if (!stream->Open(reason)) {
    if (why != nullptr) *why = reason;
    return nullptr;
  }
  return stream;
}

}  // namespace placarim::platform::audio::pulse
