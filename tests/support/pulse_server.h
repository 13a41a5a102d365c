// Private sound servers for the tests and benchmarks that play through a
// sound server as a desktop does, PulseAudio or PipeWire with its PulseAudio
// service: a null sink at 48 kHz stereo whose monitor tells what was really
// played (MonitorRecorder), and a log that tells every underrun. Nothing of
// the user's own sound server is touched.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/played_sound.h"

namespace placarim::testing {

// A child process with its standard output on a pipe (or /dev/null) and its
// standard error into `log` (or /dev/null); `environment` ("NAME=value")
// adds to or replaces the caller's own for the child only.
inline pid_t Spawn(const std::vector<std::string>& argv, int* stdout_fd,
                   const std::vector<std::string>& environment = {}, const std::filesystem::path& log = {}) {
  int out[2] = {-1, -1};
  if (stdout_fd != nullptr && pipe(out) != 0) return -1;
  // Made before fork: the child of a threaded process may only exec.
  std::vector<std::string> env_strings = environment;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view entry(*e);
    const std::string_view name = entry.substr(0, entry.find('=') + 1);
    const bool replaced = std::any_of(environment.begin(), environment.end(),
                                      [&](const std::string& mine) { return mine.rfind(name, 0) == 0; });
    if (!replaced) env_strings.emplace_back(entry);
  }
  std::vector<char*> env;
  for (std::string& e : env_strings) env.push_back(e.data());
  env.push_back(nullptr);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // no server left behind by a test that crashed
    const int null = open("/dev/null", O_RDWR);
    const int err = log.empty() ? null : open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    dup2(stdout_fd != nullptr ? out[1] : null, STDOUT_FILENO);
    dup2(err >= 0 ? err : null, STDERR_FILENO);
    execvpe(args[0], args.data(), env.data());
    _exit(127);
  }
  if (stdout_fd != nullptr) {
    close(out[1]);
    *stdout_fd = out[0];
  }
  return pid;
}

inline void StopChild(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

// Whether `program` is on the PATH.
inline bool Installed(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "/usr/bin:/bin";
  while (!rest.empty()) {
    const std::string_view dir = rest.substr(0, rest.find(':'));
    rest = dir.size() < rest.size() ? rest.substr(dir.size() + 1) : std::string_view{};
    if (!dir.empty() && access((std::string(dir) + "/" + program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

// Whether something accepts connections on the unix socket `path`.
inline bool Accepts(const std::filesystem::path& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

// How long a server may take to start. On a loaded two-core machine a server
// that starts in 50 ms when quiet has been seen to take seconds; one that has
// not answered in this long is broken.
constexpr auto kServerStartLimit = std::chrono::seconds(30);

// Waits until `ready`, or `pid` has ended, or kServerStartLimit has passed.
template <typename Ready>
bool WaitForServer(pid_t pid, Ready ready) {
  const auto end = std::chrono::steady_clock::now() + kServerStartLimit;
  while (std::chrono::steady_clock::now() < end) {
    if (ready()) return true;
    if (pid <= 0 || waitpid(pid, nullptr, WNOHANG) != 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return ready();
}

// Counts the lines of `log` holding any of `words`, by message (the part
// after the source location), with how often each came.
inline void CountLines(const std::filesystem::path& log, const std::vector<std::string>& words,
                       std::map<std::string, int>& messages) {
  std::ifstream in(log);
  for (std::string line; std::getline(in, line);) {
    if (std::none_of(words.begin(), words.end(),
                     [&](const std::string& word) { return line.find(word) != std::string::npos; })) {
      continue;
    }
    const size_t colon = line.find(": ", line.find(']'));
    std::string message = colon == std::string::npos ? line : line.substr(colon + 2);
    // The stream's address and the positions differ from line to line.
    message = std::regex_replace(message, std::regex("0x[0-9a-f]+|[0-9]+"), "#");
    messages[message]++;
  }
}

// A sound server of the caller's own, as a desktop runs one: a null sink
// "bench" at 48 kHz stereo, reached through the PulseAudio protocol on
// Server(), with a log that tells every underrun.
class SoundServer {
 public:
  virtual ~SoundServer() = default;
  // Ends the server, as when a desktop's sound server goes away.
  virtual void Stop() = 0;
  virtual bool Running() const = 0;
  virtual std::string Server() const = 0;
  virtual const char* Name() const = 0;
  // The server's log lines that tell the program's stream ran short
  // (underruns, a cycle missed), by message, with how often each came.
  virtual std::map<std::string, int> UnderrunMessages() const = 0;
  // When the program's stream ran short, once per underrun (on PipeWire also
  // per cycle missed), from those lines: seconds on the steady clock.
  virtual std::vector<double> UnderrunTimes() const = 0;
  // When a write of the program dropped the sound the server held (a key, or
  // a sound stopped short), from the server's log: seconds on the steady clock.
  virtual std::vector<double> DropTimes() const = 0;
  // How many times the program's stream ran short.
  int Underruns() const { return static_cast<int>(UnderrunTimes().size()); }
};

inline double SteadySeconds(std::chrono::steady_clock::time_point when) {
  return std::chrono::duration<double>(when.time_since_epoch()).count();
}

// The times of the lines of `log` that hold `word` (and `also`, when given),
// read by `time_of` (nothing when a line has no time).
template <typename TimeOf>
std::vector<double> LineTimes(const std::filesystem::path& log, std::string_view word, std::string_view also,
                              TimeOf time_of) {
  std::vector<double> times;
  std::ifstream in(log);
  for (std::string line; std::getline(in, line);) {
    if (line.find(word) == std::string::npos || (!also.empty() && line.find(also) == std::string::npos)) continue;
    if (const std::optional<double> when = time_of(line)) times.push_back(*when);
  }
  return times;
}

// A PulseAudio server, reachable on a socket in `dir`, logging at debug level
// into `dir`.
class PrivatePulse final : public SoundServer {
 public:
  explicit PrivatePulse(std::filesystem::path dir) : dir_(std::move(dir)) {
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ / "bench.pa") << "load-module module-native-protocol-unix auth-anonymous=1 socket="
                                     << (dir_ / "native").string() << "\n"
                                     << "load-module module-null-sink sink_name=bench rate=48000 channels=2\n"
                                     << "set-default-sink bench\n";
    std::filesystem::remove(dir_ / "native");  // left by a server that was killed
    ::setenv("PULSE_RUNTIME_PATH", dir_.c_str(), 1);
    ::setenv("HOME", dir_.c_str(), 1);  // no user configuration, no cookie of the user's
    pid_ = Spawn({"pulseaudio", "-n", "-F", (dir_ / "bench.pa").string(), "--daemonize=no",
                  "--exit-idle-time=-1", "--use-pid-file=no", "-vvvv", "--log-time=1", "--log-target=file:" + Log().string()},
                 nullptr);
    running_ = WaitForServer(pid_, [&] { return Accepts(dir_ / "native"); });
    accepted_ = SteadySeconds(std::chrono::steady_clock::now());
  }
  ~PrivatePulse() override { Stop(); }
  static bool CanStart() { return Installed("pulseaudio"); }
  void Stop() override {
    StopChild(pid_);
    pid_ = -1;
    running_ = false;
  }
  bool Running() const override { return running_; }
  std::string Server() const override { return "unix:" + (dir_ / "native").string(); }
  const char* Name() const override { return "PulseAudio"; }
  std::filesystem::path Log() const { return dir_ / "pulse.log"; }
  std::map<std::string, int> UnderrunMessages() const override {
    std::map<std::string, int> messages;
    CountLines(Log(), {"nderrun"}, messages);
    return messages;
  }
  std::vector<double> UnderrunTimes() const override {
    return LineTimes(Log(), "Implicit underrun", "", [&](const std::string& line) { return TimeOf(line); });
  }
  // A key corks the stream around its flush; the sink then takes back what it mixed ahead.
  std::vector<double> DropTimes() const override {
    return LineTimes(Log(), "Requesting rewind due to corking", "",
                     [&](const std::string& line) { return TimeOf(line); });
  }

 private:
  // A line begins "(  12.345|   0.001)": seconds since the server's first
  // line. The first client it lets in is the connection that found it
  // running, whose time is known.
  std::optional<double> TimeOf(const std::string& line) const {
    if (line.empty() || line[0] != '(') return std::nullopt;
    if (!origin_) {
      const std::vector<double> in = LineTimes(Log(), "Client authenticated", "", [](const std::string& l) {
        return l.empty() || l[0] != '(' ? std::nullopt : std::optional<double>(std::strtod(l.c_str() + 1, nullptr));
      });
      origin_ = accepted_ - (in.empty() ? 0 : in.front());
    }
    return *origin_ + std::strtod(line.c_str() + 1, nullptr);
  }

  std::filesystem::path dir_;
  double accepted_ = 0;
  mutable std::optional<double> origin_;
  pid_t pid_ = -1;
  bool running_ = false;
};

// A PipeWire session of the caller's own, as today's desktops run one: a
// session bus, pipewire with the null sink, its session manager and (unless
// `with_pulse` is false) its PulseAudio service, all under a runtime and
// configuration directory in `dir`. PipeWireEnvironment() reaches it by
// PipeWire's own protocol.
class PrivatePipeWire final : public SoundServer {
 public:
  explicit PrivatePipeWire(std::filesystem::path dir, bool with_pulse = true) : dir_(std::move(dir)) {
    namespace fs = std::filesystem;
    fs::create_directories(dir_ / "config" / "pipewire" / "pipewire.conf.d");
    fs::create_directories(Runtime());
    fs::permissions(Runtime(), fs::perms::owner_all, fs::perm_options::replace);
    for (const char* stale : {"pipewire-0", "pipewire-0.lock", "bus", "pulse/native"}) fs::remove(Runtime() / stale);
    std::ofstream(dir_ / "config" / "pipewire" / "pipewire.conf.d" / "bench.conf")
        << "context.objects = [\n"
           "  { factory = adapter\n"
           "    args = { factory.name = support.null-audio-sink node.name = bench media.class = Audio/Sink\n"
           "             audio.position = [ FL FR ] audio.rate = 48000 object.linger = true\n"
           "             monitor.channel-volumes = true priority.session = 2000 } }\n"
           "]\n";
    environment_ = {"XDG_RUNTIME_DIR=" + Runtime().string(), "XDG_CONFIG_HOME=" + (dir_ / "config").string(),
                    "HOME=" + dir_.string(), "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (Runtime() / "bus").string(),
                    "PIPEWIRE_RUNTIME_DIR=" + Runtime().string(), "PULSE_RUNTIME_PATH=" + (Runtime() / "pulse").string(),
                    "PIPEWIRE_REMOTE=pipewire-0"};
    const auto with = [&](const std::string& extra) {
      std::vector<std::string> env = environment_;
      env.push_back(extra);
      return env;
    };
    const pid_t bus = Spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile",
                             "--address=unix:path=" + (Runtime() / "bus").string()},
                            nullptr, environment_);
    pids_.push_back(bus);
    // pipewire gives up at once when the session bus is not there yet.
    if (!WaitForServer(bus, [&] { return Accepts(Runtime() / "bus"); })) return;
    // PLACARIM_PIPEWIRE_DEBUG, when set, is every part's log level (4 tells
    // each client's requests and the graph's every state change).
    const char* debug = std::getenv("PLACARIM_PIPEWIRE_DEBUG");
    const pid_t pipewire = Spawn({"pipewire"}, nullptr, with("PIPEWIRE_DEBUG=" + std::string(debug ? debug : "3")),
                                 dir_ / "pipewire.log");
    pids_.push_back(pipewire);
    if (!WaitForServer(pipewire, [&] { return Accepts(Runtime() / "pipewire-0"); })) return;
    const pid_t manager = Spawn({"wireplumber"}, nullptr, environment_, dir_ / "wireplumber.log");
    pids_.push_back(manager);
    // The session manager is ready once it has chosen the null sink.
    if (!WaitForServer(manager, [&] { return DefaultSinkChosen(); })) return;
    if (with_pulse) {
      const pid_t pulse = Spawn({"pipewire-pulse"}, nullptr,
                                with("PIPEWIRE_DEBUG=" + std::string(debug ? debug : "3,mod.protocol-pulse:4")), Log());
      pids_.push_back(pulse);
      if (!WaitForServer(pulse, [&] { return Accepts(Runtime() / "pulse" / "native"); })) return;
    }
    running_ = true;
  }
  ~PrivatePipeWire() override { Stop(); }
  static bool CanStart() {
    return Installed("pipewire") && Installed("pipewire-pulse") && Installed("wireplumber") &&
           Installed("dbus-daemon") && Installed("pw-metadata");
  }
  void Stop() override {
    for (auto pid = pids_.rbegin(); pid != pids_.rend(); ++pid) StopChild(*pid);
    pids_.clear();
    running_ = false;
  }
  bool Running() const override { return running_; }
  std::string Server() const override { return "unix:" + (Runtime() / "pulse" / "native").string(); }
  const char* Name() const override { return "PipeWire"; }
  std::filesystem::path Runtime() const { return dir_ / "run"; }
  // What a program needs in its environment to find this session.
  const std::vector<std::string>& PipeWireEnvironment() const { return environment_; }
  std::filesystem::path Log() const { return dir_ / "pipewire-pulse.log"; }
  // The PulseAudio service's underruns of each stream ("underrun read" when
  // a cycle found the stream's buffer empty) and the graph's own complaint
  // when a client missed its cycle ("client too slow").
  std::map<std::string, int> UnderrunMessages() const override {
    std::map<std::string, int> messages;
    CountLines(Log(), {"underrun"}, messages);
    CountLines(dir_ / "pipewire.log", {"too slow", "XRun"}, messages);
    return messages;
  }
  // Placarim's stream only (not the monitor's), and not its start, when
  // nothing has been read yet. The service logs an underrun at every cycle
  // that finds the stream short, with the read position, which stays put
  // until sound comes again: one underrun is one position. Each cycle the
  // graph found the stream's node unfinished ("client too slow") counts too.
  std::vector<double> UnderrunTimes() const override {
    std::set<std::string> positions;
    std::vector<double> times = LineTimes(Log(), "[Placarim] underrun read:", "", [&](const std::string& line) {
      const size_t at = line.find("[Placarim] underrun read:");
      if (line.find("underrun read:0 ") != std::string::npos) return std::optional<double>();
      if (!positions.insert(line.substr(at, line.find(' ', at + 25) - at)).second) return std::optional<double>();
      return TimeOf(line);
    });
    for (const double when : LineTimes(dir_ / "pipewire.log", "(Placarim-", "too slow", TimeOf)) times.push_back(when);
    std::sort(times.begin(), times.end());
    return times;
  }
  // A key's write starts at the read index (PA_SEEK_RELATIVE_ON_READ, flags 2),
  // which drops all the service held.
  std::vector<double> DropTimes() const override {
    return LineTimes(Log(), "received memblock", "flags:00000002", TimeOf);
  }

 private:
  // A line begins "[D][02643.001141]": seconds on the monotonic clock, the
  // steady clock's own.
  static std::optional<double> TimeOf(const std::string& line) {
    if (line.size() < 5 || line[0] != '[' || line[2] != ']' || line[3] != '[') return std::nullopt;
    return std::strtod(line.c_str() + 4, nullptr);
  }
  bool DefaultSinkChosen() const {
    std::string command = "env";
    for (const std::string& e : environment_) command += " '" + e + "'";
    command += " pw-metadata -n default 0 default.audio.sink 2>/dev/null";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[512];
      while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
      pclose(pipe);
    }
    return output.find("\"bench\"") != std::string::npos;
  }

  std::filesystem::path dir_;
  std::vector<std::string> environment_;
  std::vector<pid_t> pids_;
  bool running_ = false;
};

// parec on the null sink's monitor: every frame the sink played, with the time
// each piece arrived.
class MonitorRecorder {
 public:
  using Clock = std::chrono::steady_clock;

  // `latency_ms`: what the recorder asks of the sink; the sink mixes no further
  // ahead than its smallest client asks.
  explicit MonitorRecorder(const std::string& server, int latency_ms = 2)
      : MonitorRecorder({"parec", "--server=" + server, "--device=bench.monitor", "--raw", "--format=s16le",
                         "--rate=48000", "--channels=2", "--latency-msec=" + std::to_string(latency_ms)},
                        {}) {}
  // pw-record on the sink of a PipeWire session, which needs no PulseAudio service.
  explicit MonitorRecorder(const PrivatePipeWire& session)
      : MonitorRecorder({"pw-record", "--target=bench", "--properties={ stream.capture.sink = true }",
                         "--rate=48000", "--channels=2", "--format=s16", "--latency=5ms", "-"},
                        session.PipeWireEnvironment()) {}
  MonitorRecorder(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    pid_ = Spawn(argv, &fd_, environment);
    thread_ = std::thread([this] { Read(); });
  }
  ~MonitorRecorder() {
    StopChild(pid_);
    thread_.join();
    close(fd_);
  }
  MonitorRecorder(const MonitorRecorder&) = delete;
  MonitorRecorder& operator=(const MonitorRecorder&) = delete;

  size_t Frames() {
    std::lock_guard lock(mutex_);
    return left_.size();
  }
  // The left channel of every frame recorded so far.
  std::vector<int16_t> Left() {
    std::lock_guard lock(mutex_);
    return left_;
  }
  // When the sound after frame `from` last held `level`, on the steady clock.
  std::optional<Clock::time_point> EndOf(size_t from, int level) {
    std::lock_guard lock(mutex_);
    const std::vector<int16_t> tail(left_.begin() + static_cast<std::ptrdiff_t>(std::min(from, left_.size())),
                                    left_.end());
    const size_t end = EndOfLevel(tail, level);
    if (end == 0) return std::nullopt;
    return PlayedAt(from + end);
  }
  // Whether the last `frames` frames recorded are all at most `level`.
  bool QuietFor(size_t frames, int level) {
    std::lock_guard lock(mutex_);
    if (left_.size() < frames) return false;
    return std::all_of(left_.end() - static_cast<std::ptrdiff_t>(frames), left_.end(),
                       [&](int16_t sample) { return std::abs(sample) <= level; });
  }
  // When the first frame after `from` louder than `level` arrived: no
  // earlier than it was played, and later by no more than the monitor's
  // delay. (Placing it by all the reads, as EndOf does, needs a sink that
  // played without a pause since the recording began: a sink left idle
  // between two programs is suspended.)
  std::optional<Clock::time_point> FirstAbove(size_t from, int level) {
    std::lock_guard lock(mutex_);
    for (size_t i = from; i < left_.size(); ++i) {
      if (std::abs(left_[i]) <= level) continue;
      for (const auto& [frames, when] : arrivals_) {
        if (frames > i) return when;
      }
    }
    return std::nullopt;
  }

 private:
  static double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
  // When frame `frame` was played, on the steady clock: the earliest arrival
  // the reads allow. Frame i arrived no earlier than it was played: the
  // smallest lag over all reads places frame 0 on the clock. Mutex held.
  std::optional<Clock::time_point> PlayedAt(size_t frame) const {
    if (arrivals_.empty()) return std::nullopt;
    double origin = 1e300;
    for (const auto& [frames, when] : arrivals_) {
      origin = std::min(origin, Ms(when.time_since_epoch()) - static_cast<double>(frames) * 1000.0 / kPlayedRate);
    }
    const double at_ms = origin + static_cast<double>(frame) * 1000.0 / kPlayedRate;
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::milli>(at_ms)));
  }
  void Read() {
    std::vector<uint8_t> buffer(4096);
    std::vector<uint8_t> pending;
    for (;;) {
      const ssize_t got = read(fd_, buffer.data(), buffer.size());
      if (got <= 0) return;
      const auto now = Clock::now();
      pending.insert(pending.end(), buffer.begin(), buffer.begin() + got);
      std::lock_guard lock(mutex_);
      size_t i = 0;
      for (; i + kPlayedFrameBytes <= pending.size(); i += kPlayedFrameBytes) {
        left_.push_back(static_cast<int16_t>(pending[i] | (pending[i + 1] << 8)));
      }
      pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(i));
      arrivals_.emplace_back(left_.size(), now);
    }
  }
  pid_t pid_ = -1;
  int fd_ = -1;
  std::mutex mutex_;
  std::vector<int16_t> left_;
  std::vector<std::pair<size_t, Clock::time_point>> arrivals_;
  std::thread thread_;
};

}  // namespace placarim::testing
