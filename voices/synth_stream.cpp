#include "voices/synth_stream.h"

#include <algorithm>
#include <chrono>

namespace placarim::voices {

SynthStream::SynthStream(size_t capacity) : capacity_(capacity) {}

void SynthStream::AddText(std::string text) {
  {
    std::lock_guard lock(mutex_);
    texts_.push_back(std::move(text));
  }
  worker_wake_.notify_one();
}

void SynthStream::Cancel() {
  {
    std::lock_guard lock(mutex_);
    ++generation_;
    texts_.clear();
    samples_.clear();
    word_starts_.clear();
    taken_ = 0;
    text_base_ = 0;
  }
  worker_wake_.notify_all();
}

bool SynthStream::Producing() const {
  std::lock_guard lock(mutex_);
  return !texts_.empty() || (synthesizing_ && synthesizing_generation_ == generation_);
}

size_t SynthStream::Available() const {
  std::lock_guard lock(mutex_);
  return samples_.size();
}

void SynthStream::WaitForSamples(size_t want, int timeout_ms) {
  std::unique_lock lock(mutex_);
  main_wake_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] {
    const bool producing =
        !texts_.empty() || (synthesizing_ && synthesizing_generation_ == generation_);
    return samples_.size() >= want || !producing || shut_down_;
  });
}

std::vector<int16_t> SynthStream::Take(size_t max, bool at_word) {
  std::vector<int16_t> piece;
  {
    std::lock_guard lock(mutex_);
    size_t count = std::min(max, samples_.size());
    if (at_word && count > 0) {
      const uint64_t end = taken_ + count;
      const uint64_t least = taken_ + count / 4;
      auto it = std::upper_bound(word_starts_.begin(), word_starts_.end(), end);
      if (it != word_starts_.begin() && *std::prev(it) > least) {
        count = static_cast<size_t>(*std::prev(it) - taken_);
      }
    }
    piece.assign(samples_.begin(), samples_.begin() + static_cast<ptrdiff_t>(count));
    samples_.erase(samples_.begin(), samples_.begin() + static_cast<ptrdiff_t>(count));
    taken_ += count;
    while (!word_starts_.empty() && word_starts_.front() <= taken_) word_starts_.pop_front();
  }
  worker_wake_.notify_all();
  return piece;
}

void SynthStream::Shutdown() {
  {
    std::lock_guard lock(mutex_);
    shut_down_ = true;
  }
  worker_wake_.notify_all();
  main_wake_.notify_all();
}

std::optional<SynthStream::Job> SynthStream::NextText() {
  std::unique_lock lock(mutex_);
  worker_wake_.wait(lock, [&] { return shut_down_ || !texts_.empty(); });
  if (shut_down_) return std::nullopt;
  Job job{std::move(texts_.front()), generation_};
  texts_.pop_front();
  synthesizing_ = true;
  synthesizing_generation_ = generation_;
  text_base_ = taken_ + samples_.size();
  return job;
}

bool SynthStream::Push(uint64_t generation, const int16_t* samples, size_t count,
                       bool& was_empty) {
  std::unique_lock lock(mutex_);
  worker_wake_.wait(lock, [&] { return !CurrentLocked(generation) || samples_.size() < capacity_; });
  if (!CurrentLocked(generation)) return false;
  was_empty = samples_.empty();
  samples_.insert(samples_.end(), samples, samples + count);
  lock.unlock();
  main_wake_.notify_all();
  return true;
}

void SynthStream::MarkWord(uint64_t generation, size_t offset) {
  std::lock_guard lock(mutex_);
  if (!CurrentLocked(generation)) return;
  const uint64_t position = text_base_ + offset;
  if (position <= taken_) return;
  if (word_starts_.empty() || word_starts_.back() < position) word_starts_.push_back(position);
}

void SynthStream::EndText(uint64_t generation) {
  {
    std::lock_guard lock(mutex_);
    if (synthesizing_generation_ == generation) synthesizing_ = false;
  }
  main_wake_.notify_all();
}

}  // namespace placarim::voices
