// Recording stand-ins for what the speech layer talks to. They share one
// journal, so a test reads everything that reached wave playback, the voice,
// the synthesizer and the console in the order it happened.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "sound/main_loop.h"
#include "sound/sound_output.h"
#include "speech/config_lookup.h"
#include "speech/speech_console.h"
#include "speech/synthesizer.h"
#include "speech/wave_image.h"
#include "tests/support/sound_output_base.h"
#include "voices/tradutor/diphone_voice.h"

namespace placarim::speech::testing {

using Journal = std::vector<std::string>;

// The console and the main loop in one.
class FakeConsole final : public SpeechConsole, public sound::MainLoop {
 public:
  explicit FakeConsole(Journal& journal) : journal_(journal) {}
  std::deque<uint8_t> keys;
  std::string output;
  int year = 2024, month = 3, day = 15, hour = 0, minute = 0;
  int wait_messages = 0;

  bool KeyPressed() override { return !keys.empty(); }
  // Keys the user types while the program waits in ReadKey, one per wait.
  std::deque<uint8_t> typed;

  uint8_t ReadKey() override {
    if (keys.empty() && !typed.empty()) {
      keys.push_back(typed.front());
      typed.pop_front();
    }
    if (keys.empty()) throw std::runtime_error("ReadKey with no key queued");
    const uint8_t k = keys.front();
    keys.pop_front();
    return k;
  }
  // Consecutive delays are journaled as one, so a pause reads as its length.
  void Delay(uint16_t milliseconds) override {
    if (!journal_.empty() && journal_.back().starts_with("delay:")) {
      journal_.back() = "delay:" + std::to_string(std::stoi(journal_.back().substr(6)) + milliseconds);
    } else {
      journal_.push_back("delay:" + std::to_string(milliseconds));
    }
  }
  void WaitMessage() override {
    if (++wait_messages > 10000) throw std::runtime_error("waiting for ever");
  }
  void PostWakeUp(int code) override { wake_ups.push_back(code); }
  void PumpAllMessages() override {}
  int64_t NowMs() override { return 0; }
  void Beep() override { journal_.push_back("system beep"); }
  void SetAudioBlockDoneHandler(std::function<void(int)>) override {}
  void ReportAudioError(std::string_view message) override { journal_.push_back("audio error:" + std::string(message)); }
  void ShowNotice(std::string_view message) override { journal_.push_back("notice:" + std::string(message)); }
  void Write(std::string_view text) override { output += text; }
  void WriteLineBreak() override { output += "\n"; }
  std::string ReadLine() override {
    journal_.push_back("readline");
    return {};
  }
  void GetDate(int& y, int& m, int& d) override { y = year, m = month, d = day; }
  void GetTime(int& h, int& m) override { h = hour, m = minute; }
  [[noreturn]] void Done(int exit_code = 0) override { throw platform::ProgramExit{exit_code}; }

  std::vector<int> wake_ups;

 private:
  Journal& journal_;
};

// Wave playback: files are journaled by their path below `root`, images by
// their content ("click", "beep", or the samples as text).
class FakeSound final : public placarim::testing::SoundOutputBase {
 public:
  FakeSound(Journal& journal, std::string root, FakeConsole& console)
      : journal_(journal), root_(std::move(root)), console_(console) {}
  // Keys that arrive while the Nth sound (counting from 1) plays.
  std::map<int, uint8_t> key_during_sound;

  int PlayFile(const std::string& path) override {
    std::string shown = path;
    if (shown.starts_with(root_ + "/")) shown.erase(0, root_.size() + 1);
    return Played("file:" + shown);
  }
  int PlayMemory(const std::vector<uint8_t>& image) override { return Played(Describe(image)); }
  int PlaySamples(const int16_t*, size_t count, uint32_t rate) override {
    return Played("samples:" + std::to_string(count) + "@" + std::to_string(rate));
  }
  size_t Room() override { return 4 * 32767; }

  static std::string Describe(const std::vector<uint8_t>& image) {
    const std::vector<uint8_t> beep = MakeBeepSamples();
    const std::string samples(image.begin() + kWaveHeaderSize, image.end());
    if (samples == std::string(beep.begin(), beep.end())) return "beep";
    if (samples.size() == 256 && samples.back() == '\x80' && samples[100] == '\x80') return "click";
    return "buffer:" + RunLengths(samples);
  }

  // Runs of 8 or more equal samples are written "[c*n]" to keep entries short.
  static std::string RunLengths(const std::string& samples) {
    std::string shown;
    for (size_t i = 0; i < samples.size();) {
      size_t run = 1;
      while (i + run < samples.size() && samples[i + run] == samples[i]) ++run;
      if (run >= 8) shown += "[" + std::string(1, samples[i]) + "*" + std::to_string(run) + "]";
      else shown.append(samples, i, run);
      i += run;
    }
    return shown;
  }

 private:
  int Played(std::string entry) {
    // Like wave playback, nothing starts while a key is pending.
    if (console_.KeyPressed()) return 0;
    journal_.push_back(std::move(entry));
    ++count_;
    if (auto key = key_during_sound.find(count_); key != key_during_sound.end()) {
      console_.keys.push_back(key->second);
    }
    return 0;
  }
  Journal& journal_;
  std::string root_;
  FakeConsole& console_;
  int count_ = 0;
};

class FakeVoice final : public tradutor::DiphoneVoiceApi {
 public:
  explicit FakeVoice(Journal& journal) : journal_(journal) {}
  tradutor::VoiceOpen open_result = tradutor::VoiceOpen::kOpened;
  int opens = 0, closes = 0;
  int unit_trim = 400, minimum_unit_length = 0, word_gap = 100;
  std::string letters_directory;

  tradutor::VoiceOpen OpenDiphoneVoice() override {
    ++opens;
    return open_result;
  }
  void CloseDiphoneVoice() override { ++closes; }
  std::string TranslateToDiphoneCodes(std::string_view text) override { return "<" + std::string(text) + ">"; }
  void SpeakDiphoneCodes(std::string_view codes) override { journal_.push_back("voice:" + std::string(codes)); }
  void SetDiphoneTuning(int trim, int minimum, int gap) override {
    unit_trim = trim, minimum_unit_length = minimum, word_gap = gap;
  }
  void SetDatabaseName(std::string_view name) override { name_ = name; }
  const std::string& DatabaseName() const override { return name_; }
  const std::string& LettersDirectory() const override { return letters_directory; }

 private:
  Journal& journal_;
  std::string name_;
};

class FakeSynthesizer final : public Synthesizer {
 public:
  explicit FakeSynthesizer(Journal& journal) : journal_(journal) {}
  bool open_result = true;
  int voice = -1, rate = -1, pitch = -1, type = -1;
  int busy_polls = 0;  // SynthIsSpeaking answers true this many times after a text
  int stops = 0, closes = 0;

  bool SynthOpen(int v, int r, int p, int t) override {
    voice = v, rate = r, pitch = p, type = t;
    return open_result;
  }
  void SynthSpeak(std::string_view text) override {
    journal_.push_back("synth:" + std::string(text));
    remaining_ = busy_polls;
  }
  bool SynthIsSpeaking(int) override {
    if (remaining_ == 0) return false;
    --remaining_;
    return true;
  }
  void SynthStop() override {
    ++stops;
    remaining_ = 0;
  }
  void SynthClose() override { ++closes; }
  // With `can_speak` false no external voice is left (a lost service with no
  // substitute): the layer's own voice speaks, after `notice`, taken once.
  bool SynthCanSpeak() override { return can_speak; }
  std::string SynthTakeNotice() override { return std::exchange(notice, {}); }
  bool can_speak = true;
  std::string notice;

 private:
  Journal& journal_;
  int remaining_ = 0;
};

// Configuration values by section and key (upper case); records every key read.
class MapConfig final : public ConfigLookup {
 public:
  std::map<std::string, std::string> values;         // "SECTION/KEY" -> value
  std::map<std::string, std::string> system_values;  // the system directory's file
  mutable std::vector<std::string> reads;

  std::string ReadIniString(std::string_view section, std::string_view key) const override {
    const std::string name = std::string(section.empty() ? "FALDEK" : section) + "/" + std::string(key);
    reads.push_back(name);
    auto found = values.find(name);
    return found == values.end() ? std::string() : found->second;
  }
  std::string ReadSystemValue(std::string_view section, std::string_view key,
                              std::string_view fallback) const override {
    const std::string name = std::string(section) + "/" + std::string(key);
    reads.push_back("system:" + name);
    auto found = system_values.find(name);
    return found == system_values.end() ? std::string(fallback) : found->second;
  }
  bool WasRead(const std::string& name) const {
    return std::find(reads.begin(), reads.end(), name) != reads.end();
  }
};

}  // namespace placarim::speech::testing
