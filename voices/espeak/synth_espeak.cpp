#include "voices/espeak/synth_espeak.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

#include "voices/synth_text.h"

namespace placarim::voices {
namespace {

// Samples that wait for the main thread before the worker is held back:
// about 30 seconds of speech.
constexpr size_t kStreamCapacity = 22050 * 30;
// Largest piece handed to wave playback at once: four of its blocks of
// 65,534 bytes, so handing over never waits for room in its queue.
constexpr size_t kMaxPiece = 4 * (65534 / 2);
// The first piece of a text is short, so that sound starts at once; Speak
// waits at most this long for it (espeak-ng makes a second of speech in a
// few ms), then hands over what there is.
constexpr size_t kFirstPiece = 22050 / 2;
constexpr int kFirstPieceWaitMs = 12;
// After the first piece, Speak fills the rest of wave playback's queue,
// waiting for the worker at most this long, so that no gap follows it.
constexpr int kTopUpWaitMs = 15;
// How long a poll waits for the worker to fill a piece.
constexpr int kPollWaitMs = 10;
// How long a poll waits for the worker's first samples when nothing plays: a
// loaded machine may hold the worker back, and a wait that returned with
// nothing to play would only come straight back.
constexpr int kWorkerStallMs = 1000;
// Sound handed over ends no earlier than its duration; when playback is idle
// this much before that, someone stopped it (a key, StopSpeech).
constexpr int64_t kEarlyStopSlackMs = 250;

// libespeak-ng's single engine. It is started once and kept for the rest of
// the process: the library cannot be shut down and started again reliably (a
// second shutdown waits forever for its own thread), and a reopened bridge
// only needs a voice and parameters anew.
std::atomic<bool> engine_in_use{false};

int EngineSampleRate() {
  static const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 40 /* ms of sound per callback */, nullptr,
                                            espeakINITIALIZE_DONT_EXIT);
  return rate;
}

bool HasLanguage(const espeak_VOICE* voice, const char* prefix) {
  // `languages` holds entries of one priority byte and a zero-terminated
  // name, ended by a zero priority byte.
  for (const char* entry = voice->languages; entry && *entry;) {
    const char* name = entry + 1;
    if (strncasecmp(name, prefix, strlen(prefix)) == 0) return true;
    entry = name + strlen(name) + 1;
  }
  return false;
}

}  // namespace

// What the engine hands back to the callback with every text: which bridge,
// and which text (a cancelled one is aborted).
struct EspeakBridge::SynthContext {
  EspeakBridge* bridge;
  uint64_t generation;
  static int OnSamples(short* samples, int count, espeak_EVENT* events);
};

EspeakBridge::EspeakBridge(sound::MainLoop& host, sound::SoundOutput& audio)
    : host_(host), audio_(audio), stream_(kStreamCapacity) {}

EspeakBridge::~EspeakBridge() { Close(); }

std::vector<std::string> EspeakBridge::PortugueseVoices() {
  std::vector<std::string> brazilian, others;
  const espeak_VOICE** voices = espeak_ListVoices(nullptr);
  for (int i = 0; voices && voices[i]; ++i) {
    const espeak_VOICE* voice = voices[i];
    if (!voice->identifier || !HasLanguage(voice, "pt")) continue;
    auto& list = HasLanguage(voice, "pt-br") ? brazilian : others;
    if (std::find(list.begin(), list.end(), voice->identifier) == list.end()) {
      list.push_back(voice->identifier);
    }
  }
  brazilian.insert(brazilian.end(), others.begin(), others.end());
  return brazilian;
}

bool EspeakBridge::Open(int voice, int rate, int pitch) {
  if (open_) return true;
  if (engine_in_use.exchange(true)) return false;
  const int sample_rate = EngineSampleRate();
  const std::vector<std::string> voices = sample_rate > 0 ? PortugueseVoices() : std::vector<std::string>{};
  if (voices.empty()) {
    engine_in_use = false;
    return false;
  }
  // Counting voices as the engine lists them: past the end, the last one counted.
  const size_t index = static_cast<size_t>(std::clamp<int64_t>(voice, 1, static_cast<int64_t>(voices.size()))) - 1;
  if (espeak_SetVoiceByName(voices[index].c_str()) != EE_OK) {
    engine_in_use = false;
    return false;
  }
  // A voice keeps the parameters of the last bridge; 0 means the engine's default.
  espeak_SetParameter(espeakRATE, rate != 0 ? std::clamp(rate, 80, 450) : espeakRATE_NORMAL, 0);
  espeak_SetParameter(espeakPITCH, 50, 0);
  // Punctuation is heard as pauses, never named: the program's sentences
  // ("Gol!", "Conferindo...") would otherwise end in the marks' names.
  espeak_SetParameter(espeakPUNCTUATION, espeakPUNCT_NONE, 0);
  if (pitch != 0) espeak_SetParameter(espeakPITCH, std::clamp<int>(static_cast<int16_t>(pitch), 0, 100), 0);
  espeak_SetSynthCallback(&SynthContext::OnSamples);
  sample_rate_ = static_cast<uint32_t>(sample_rate);
  worker_ = std::thread(&EspeakBridge::Work, this);
  open_ = true;
  return true;
}

void EspeakBridge::Speak(std::string_view text) {
  if (!open_) return;
  const std::string prepared = PrepareEngineText(text);
  if (prepared.empty()) return;
  if (audio_.StopOnKey() && host_.KeyPressed()) return;
  stream_.AddText(EngineUtf8(prepared));
  active_ = true;
  if (audio_.IsPlaying()) return;  // the piece follows when what plays now ends
  stream_.WaitForSamples(kFirstPiece, kFirstPieceWaitMs);
  if (HandOver(kFirstPiece)) TopUp();
}

void EspeakBridge::TopUp() {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTopUpWaitMs);
  for (size_t room; (room = audio_.Room()) > 0;) {
    const auto left = until - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) break;
    if (stream_.Producing() && stream_.Available() < room) {
      stream_.WaitForSamples(room, static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(left).count() + 1));
    }
    if (!HandOver(room)) break;
  }
}

bool EspeakBridge::IsSpeaking(int /*mode*/) {
  if (!open_ || !active_) return false;
  if (audio_.StopOnKey() && host_.KeyPressed()) {
    Stop();
    return false;
  }
  if (audio_.IsPlaying()) return true;
  if (handed_ && host_.NowMs() < expected_end_ms_ - kEarlyStopSlackMs) {
    Stop();  // our sound was cut short: the rest must not follow
    return false;
  }
  if (stream_.Producing() && stream_.Available() == 0) stream_.WaitForSamples(1, kWorkerStallMs);
  if (stream_.Producing() && stream_.Available() < kMaxPiece) {
    stream_.WaitForSamples(kMaxPiece, kPollWaitMs);
  }
  if (HandOver(kMaxPiece)) return true;
  if (stream_.Producing()) {
    host_.PostWakeUp(voices::kVoiceWakeUp);  // keep a waiting loop polling
    return true;
  }
  active_ = false;
  handed_ = false;
  return false;
}

bool EspeakBridge::HandOver(size_t max) {
  const size_t available = stream_.Available();
  if (available == 0 || max == 0) return false;
  const bool whole = !stream_.Producing() && available <= max;
  const std::vector<int16_t> piece = stream_.Take(max, !whole);
  if (piece.empty()) return false;
  if (audio_.PlaySamples(piece.data(), piece.size(), sample_rate_) != 0) {
    Stop();  // no device: silence rather than a text cut to pieces
    return false;
  }
  const int64_t now = host_.NowMs();
  const int64_t duration = static_cast<int64_t>(piece.size()) * 1000 / sample_rate_;
  expected_end_ms_ = std::max(now, expected_end_ms_) + duration;
  handed_ = true;
  return true;
}

void EspeakBridge::Stop() {
  if (!open_) return;
  stream_.Cancel();
  if (handed_) audio_.Stop();
  active_ = false;
  handed_ = false;
  expected_end_ms_ = 0;
}

void EspeakBridge::Close() {
  if (!open_) return;
  Stop();
  stream_.Shutdown();
  worker_.join();
  open_ = false;
  engine_in_use = false;
}

void EspeakBridge::Work() {
  while (auto job = stream_.NextText()) {
    SynthContext context{this, job->generation};
    espeak_Synth(job->text.c_str(), job->text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                 nullptr, &context);
    stream_.EndText(job->generation);
    host_.PostWakeUp(voices::kVoiceWakeUp);
  }
}

// Runs on the worker thread, inside espeak_Synth.
int EspeakBridge::SynthContext::OnSamples(short* samples, int count, espeak_EVENT* events) {
  auto* context = static_cast<SynthContext*>(events->user_data);
  if (!context) return 0;
  EspeakBridge& self = *context->bridge;
  for (const espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e) {
    if (e->type == espeakEVENT_WORD && e->audio_position >= 0) {
      self.stream_.MarkWord(context->generation,
                            static_cast<size_t>(e->audio_position) * self.sample_rate_ / 1000);
    }
  }
  if (!samples || count <= 0) return 0;
  bool was_empty = false;
  if (!self.stream_.Push(context->generation, samples, static_cast<size_t>(count), was_empty)) {
    return 1;  // cancelled: stop synthesizing this text
  }
  if (was_empty) self.host_.PostWakeUp(voices::kVoiceWakeUp);
  return 0;
}

}  // namespace placarim::voices
