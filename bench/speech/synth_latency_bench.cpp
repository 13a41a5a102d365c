// Latency of an external synthesizer (espeak-ng, or the Ilvra voice with
// type 3), through the whole speech layer and the real SDL audio path (SDL's
// disk driver, which plays in real time).
//
// First sound: from SpeakText to the first block written to the audio device,
// for a digit, a sentence and a long paragraph.
// Key to silence: while espeak-ng speaks a long text, a key is pushed into
// SDL's event queue at a random moment; measured is the time until the device
// is reset (its queued sound dropped: silence follows within the device's own
// buffer, 256 frames, at most 12 ms at 22,050 Hz, which the wave playback
// benchmark measures), and until the speech layer's wait has ended (the device
// closed too).
//
// The Ilvra voice makes all the sound of a text before it plays it, and
// speaking returns once the last of it is queued, so with it the 8 KB first
// block is left out and the long text is shorter (a key still cuts it at once).
//
// Prints median, 95th percentile and maximum in milliseconds.
// Usage: synth_latency_bench [trials, default 60] [type, default 4; 3 for Ilvra]
#include <SDL2/SDL.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/figures.h"
#include "console/console.h"
#include "platform/sdl/sdl_platform.h"
#include "sound/wave_player.h"
#include "speech/ini_reader.h"
#include "speech/speech_layer.h"
#include "speech/synth_links.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace platform = placarim::platform;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Passes everything to the real device and notes when a block is first written.
class TimedDevice final : public platform::AudioDevice {
 public:
  explicit TimedDevice(platform::AudioDevice& device) : device_(device) {}
  int Open(const platform::AudioFormat& format) override { return device_.Open(format); }
  bool IsOpen() const override { return device_.IsOpen(); }
  int Write(int block, const uint8_t* data, size_t length) override {
    if (!first_write_) first_write_ = Clock::now();
    return device_.Write(block, data, length);
  }
  void Reset() override {
    reset_ = Clock::now();
    device_.Reset();
  }
  void Close() override {
    closed_ = Clock::now();
    device_.Close();
  }
  int Unprepare(int block) override { return device_.Unprepare(block); }

  void Mark() { first_write_.reset(); }
  std::optional<Clock::time_point> first_write_;
  Clock::time_point reset_;
  Clock::time_point closed_;

 private:
  platform::AudioDevice& device_;
};

using placarim::bench::Figures;
using placarim::bench::Summarize;

void Print(const char* name, const std::vector<double>& values) {
  if (values.empty()) {
    std::printf("%-34s no valid trial\n", name);
    return;
  }
  const Figures f = Summarize(values);
  std::printf("%-34s %9.2f %9.2f %9.2f   (%zu trials)\n", name, f.median, f.p95, f.max, values.size());
}

std::string Paragraph(int sentences) {
  std::string text;
  for (int i = 0; i < sentences; ++i) {
    text += "O jogador recebeu a bola no meio de campo, driblou dois advers\xe1rios e chutou para o gol. ";
  }
  return text;
}

void PushKey() {
  SDL_Event key{};
  key.type = SDL_TEXTINPUT;
  key.text.text[0] = 'k';
  SDL_PushEvent(&key);
}

}  // namespace

int main(int argc, char** argv) {
  const int trials = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
  const int type = argc > 2 ? std::atoi(argv[2]) : 4;
  const bool ilvra = type == 3;
  const auto dir = std::filesystem::temp_directory_path() /
                   ("placarim-synth-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "etc");
  std::ofstream ini(dir / "etc" / "FALDEK.INI");
  ini << "[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=" << type << "\nVOZ=1\n";
  if (ilvra) {
    // The build's voice files and engine.
    ini << "[ILVRATTS]\nDIR=" << PLACARIM_ILVRA_DATA << "/\nMOTOR=" << PLACARIM_MBROLA_LIBRARY << "\n";
  }
  ini.close();
  ::setenv("PLACARIM_SYSCONFDIR", (dir / "etc").c_str(), 1);
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", (dir / "played.raw").c_str(), 1);

  platform::sdl::SdlPlatform sdl;
  placarim::console::Console console(sdl, dir.string());
  TimedDevice device(sdl.Audio());
  placarim::sound::WavePlayer wave(console, device);
  const placarim::speech::IniReader settings(dir.string());
  placarim::speech::SynthSystem synth(console, wave, &settings);
  placarim::speech::SpeechLayer layer(console, sdl.GetClock(), wave, &synth.dispatcher);
  auto& speech = layer.speech;
  speech.SpeechStart(0, "");
  if (!speech.Output().SynthActive()) {
    std::fprintf(stderr, "the synthesizer of type %d could not be opened\n", type);
    return 1;
  }
  std::mt19937 random(2024);

  std::printf("%s through the speech layer and SDL (disk driver), %d trials\n", ilvra ? "Ilvra" : "espeak-ng", trials);
  std::printf("%-34s %9s %9s %9s   %s\n", "", "median", "p95", "max", "(ms)");
  const struct {
    const char* name;
    std::string text;
  } texts[] = {{"SpeakText to first block: digit", "7"},
               {"SpeakText to first block: sentence", "Quanto \xe9 sete vezes oito?"},
               {"SpeakText to first block: 8 KB", Paragraph(90)}};
  for (const auto& t : texts) {
    if (ilvra && t.text.size() > 1000) continue;
    std::vector<double> first;
    for (int i = 0; i < trials; ++i) {
      device.Mark();
      const auto start = Clock::now();
      speech.Text().SpeakText(t.text);
      while (!device.first_write_ && Clock::now() - start < std::chrono::seconds(2)) {
        speech.Output().IsSpeaking();
      }
      if (device.first_write_) first.push_back(Ms(*device.first_write_ - start));
      speech.Output().StopSpeech();
      while (speech.Output().IsSpeaking()) console.WaitMessage();
    }
    Print(t.name, first);
  }

  std::vector<double> to_reset, reaction;
  const std::string long_text = Paragraph(ilvra ? 3 : 40);
  for (int i = 0; i < trials; ++i) {
    speech.Text().SpeakText(long_text);
    // The key comes from another thread while the main thread sleeps in the
    // speech layer's wait, as a real key press does.
    const int delay_ms = std::uniform_int_distribution<int>(100, 600)(random);
    std::atomic<int64_t> key_ns{0};
    std::thread typist([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
      key_ns = Clock::now().time_since_epoch().count();
      PushKey();
    });
    while (speech.Output().IsSpeaking()) console.WaitMessage();
    typist.join();
    const Clock::time_point key_time{Clock::duration{key_ns.load()}};
    if (!wave.WaveIsPlaying() && device.reset_ > key_time) {
      to_reset.push_back(Ms(device.reset_ - key_time));
      reaction.push_back(Ms(Clock::now() - key_time));
    }
    while (console.KeyPressed()) console.ReadKey();
  }
  Print("key to device reset (long text)", to_reset);
  Print("key to end of the wait", reaction);
  speech.FinishSpeech();
  std::filesystem::remove_all(dir);
  return 0;
}
