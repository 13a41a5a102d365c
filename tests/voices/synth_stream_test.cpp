#include "voices/synth_stream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <numeric>
#include <thread>

namespace placarim::voices {
namespace {

using namespace std::chrono_literals;

std::vector<int16_t> Ramp(size_t count, int16_t first = 0) {
  std::vector<int16_t> samples(count);
  std::iota(samples.begin(), samples.end(), first);
  return samples;
}

// Starts a text the way the worker does; returns its generation.
uint64_t StartText(SynthStream& stream, const char* text = "texto") {
  stream.AddText(text);
  return stream.NextText()->generation;
}

TEST(SynthStreamTest, PiecesEndAtTheLastWordStartInside) {
  struct Case {
    std::vector<size_t> words;
    size_t max;
    size_t expected;
  };
  const Case cases[] = {
      {{100, 600, 900}, 800, 600},  // last word start inside the piece
      {{100}, 800, 800},            // too early: the piece would be tiny
      {{}, 800, 800},               // no word starts: cut anywhere
      {{800}, 800, 800},            // a word starting right at the end
      {{100, 600}, 2000, 600},      // fewer samples than asked: still at a word
  };
  for (const auto& c : cases) {
    SynthStream stream(100000);
    const uint64_t generation = StartText(stream);
    for (size_t w : c.words) stream.MarkWord(generation, w);
    bool was_empty = false;
    const auto samples = Ramp(1000);
    ASSERT_TRUE(stream.Push(generation, samples.data(), samples.size(), was_empty));
    const auto piece = stream.Take(c.max, true);
    ASSERT_EQ(piece.size(), c.expected);
    EXPECT_EQ(piece.front(), 0);
    EXPECT_EQ(stream.Available(), 1000 - c.expected);
  }
}

TEST(SynthStreamTest, WordStartsOfTheNextTextCountFromItsOwnBeginning) {
  SynthStream stream(100000);
  bool was_empty = false;
  const auto samples = Ramp(500);
  const uint64_t first = StartText(stream, "um");
  ASSERT_TRUE(stream.Push(first, samples.data(), samples.size(), was_empty));
  EXPECT_TRUE(was_empty);
  stream.EndText(first);
  const uint64_t second = StartText(stream, "dois");
  stream.MarkWord(second, 300);  // 800 in the stream
  ASSERT_TRUE(stream.Push(second, samples.data(), samples.size(), was_empty));
  EXPECT_FALSE(was_empty);
  EXPECT_EQ(stream.Take(900, true).size(), 800u);
  EXPECT_EQ(stream.Take(900, true).size(), 200u);
}

TEST(SynthStreamTest, CancelDropsEverythingAndMakesTheRunningTextStale) {
  SynthStream stream(100000);
  bool was_empty = false;
  const auto samples = Ramp(100);
  const uint64_t generation = StartText(stream);
  stream.AddText("depois");
  ASSERT_TRUE(stream.Push(generation, samples.data(), samples.size(), was_empty));
  EXPECT_TRUE(stream.Producing());

  stream.Cancel();
  EXPECT_EQ(stream.Available(), 0u);
  EXPECT_FALSE(stream.Producing()) << "the cancelled text still counts as work";
  EXPECT_FALSE(stream.Push(generation, samples.data(), samples.size(), was_empty));
  EXPECT_EQ(stream.Available(), 0u);

  // A text added after the cancel is served next, with a fresh generation.
  stream.EndText(generation);
  stream.AddText("novo");
  const auto job = stream.NextText();
  ASSERT_TRUE(job);
  EXPECT_EQ(job->text, "novo");
  EXPECT_NE(job->generation, generation);
}

TEST(SynthStreamTest, AFullStreamHoldsTheWorkerUntilTakenOrCancelled) {
  for (const bool cancel : {false, true}) {
    SynthStream stream(1000);
    const uint64_t generation = StartText(stream);
    const auto samples = Ramp(1000);
    bool was_empty = false;
    ASSERT_TRUE(stream.Push(generation, samples.data(), samples.size(), was_empty));
    auto blocked = std::async(std::launch::async, [&] {
      bool empty = false;
      return stream.Push(generation, samples.data(), samples.size(), empty);
    });
    EXPECT_EQ(blocked.wait_for(50ms), std::future_status::timeout) << "a full stream must hold the worker";
    if (cancel) {
      stream.Cancel();
    } else {
      stream.Take(10, false);
    }
    ASSERT_EQ(blocked.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(blocked.get(), !cancel);
  }
}

TEST(SynthStreamTest, ShutdownEndsAWaitingWorker) {
  SynthStream stream(1000);
  auto worker = std::async(std::launch::async, [&] { return stream.NextText().has_value(); });
  EXPECT_EQ(worker.wait_for(20ms), std::future_status::timeout);
  stream.Shutdown();
  ASSERT_EQ(worker.wait_for(5s), std::future_status::ready);
  EXPECT_FALSE(worker.get());
}

TEST(SynthStreamTest, WaitForSamplesEndsWhenTheTextIsDone) {
  SynthStream stream(100000);
  const uint64_t generation = StartText(stream);
  std::thread worker([&] {
    std::this_thread::sleep_for(20ms);
    stream.EndText(generation);
  });
  const auto start = std::chrono::steady_clock::now();
  stream.WaitForSamples(1000, 5000);
  worker.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
  EXPECT_FALSE(stream.Producing());
}

}  // namespace
}  // namespace placarim::voices
