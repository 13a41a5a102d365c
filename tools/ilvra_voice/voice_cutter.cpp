#include "tools/ilvra_voice/voice_cutter.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace placarim::ilvra_voice {

std::span<const PhonemeSpec> Phonemes() { return lang::IlvraPhonemes(); }

std::vector<int> EveryPairWalk(int n) {
  // Hierholzer's walk over the complete graph with loops: every vertex has
  // as many ways in as out, so one closed walk uses every pair once.
  std::vector<int> next(static_cast<size_t>(n), 0);
  std::vector<int> stack{0}, walk;
  while (!stack.empty()) {
    const int v = stack.back();
    if (next[static_cast<size_t>(v)] < n) {
      stack.push_back(next[static_cast<size_t>(v)]++);
    } else {
      walk.push_back(v);
      stack.pop_back();
    }
  }
  std::reverse(walk.begin(), walk.end());
  return walk;
}

double MeasurePeriod(const std::vector<int16_t>& s, size_t from, size_t to, int min_period, int max_period) {
  auto correlation = [&](int lag) {
    double sum = 0;
    for (size_t i = from; i + static_cast<size_t>(lag) < to; ++i) sum += double(s[i]) * s[i + static_cast<size_t>(lag)];
    return sum;
  };
  int best = min_period;
  double best_value = -1e300;
  for (int lag = min_period; lag <= max_period; ++lag) {
    const double c = correlation(lag);
    if (c > best_value) {
      best_value = c;
      best = lag;
    }
  }
  // Parabolic refinement around the best lag.
  const double a = correlation(best - 1), b = best_value, c = correlation(best + 1);
  const double denominator = a - 2 * b + c;
  return best + (denominator < 0 ? 0.5 * (a - c) / denominator : 0.0);
}

std::vector<uint32_t> PlaceMarks(const Spoken& spoken, double period) {
  const auto& specs = Phonemes();
  const size_t size = spoken.samples.size();
  // Stretches of one voicing: (start, end, voiced).
  std::vector<std::tuple<size_t, size_t, bool>> stretches;
  auto add = [&](size_t from, size_t to, bool voiced) {
    if (to <= from) return;
    if (!stretches.empty() && std::get<2>(stretches.back()) == voiced && std::get<1>(stretches.back()) == from) {
      std::get<1>(stretches.back()) = to;
    } else {
      stretches.emplace_back(from, to, voiced);
    }
  };
  size_t at = 0;
  for (size_t i = 0; i < spoken.phonemes.size(); ++i) {
    const size_t start = std::min(spoken.starts[i], size);
    const size_t end = std::min(i + 1 < spoken.phonemes.size() ? spoken.starts[i + 1] : spoken.end, size);
    add(at, start, false);
    add(start, end, specs[static_cast<size_t>(spoken.phonemes[i])].voiced);
    at = std::max(at, end);
  }
  add(at, size, false);

  std::vector<uint32_t> marks;
  auto push = [&marks](double position, bool voiced) {
    const auto p = static_cast<uint32_t>(std::lround(position));
    if (marks.empty() || p > (marks.back() & ~mbr::kVoicedMark)) marks.push_back(p | (voiced ? mbr::kVoicedMark : 0));
  };
  for (const auto& stretch : stretches) {
    const size_t from = std::get<0>(stretch), to = std::get<1>(stretch);
    const bool voiced = std::get<2>(stretch);
    if (!voiced || double(to - from) < 2 * period) {
      for (double p = double(from); p < double(to); p += period) push(p, false);
      continue;
    }
    auto peak = [&](double low, double high) {
      const auto lo = static_cast<size_t>(std::max(double(from), std::floor(low)));
      const auto hi = static_cast<size_t>(std::min(double(to), std::ceil(high)));
      size_t best = lo;
      for (size_t i = lo; i < hi; ++i) {
        if (spoken.samples[i] > spoken.samples[best]) best = i;
      }
      return double(best);
    };
    double mark = peak(double(from), double(from) + period);
    while (mark < double(to)) {
      push(mark, true);
      const double predicted = mark + period;
      if (predicted >= double(to)) break;
      const double found = peak(predicted - period / 5, predicted + period / 5);
      // Follow the peak, but never let the marks drift from the period.
      mark = std::abs(found - predicted) <= period / 5 && found > mark ? found : predicted;
    }
  }
  return marks;
}

DatabaseBuilder::DatabaseBuilder(uint32_t sample_rate, double period)
    : rate_(sample_rate), period_(period) {
  const size_t n = Phonemes().size() + 1;
  present_.assign(n * n, false);
}

bool DatabaseBuilder::Has(int left, int right) const {
  const size_t n = Phonemes().size() + 1;
  return present_[static_cast<size_t>(left + 1) * n + static_cast<size_t>(right + 1)];
}

void DatabaseBuilder::Add(int left, int right, const std::vector<int16_t>& samples, size_t boundary,
                          std::vector<uint32_t> marks) {
  if (Has(left, right) || samples.empty()) return;
  present_[static_cast<size_t>(left + 1) * (Phonemes().size() + 1) + static_cast<size_t>(right + 1)] = true;
  cuts_.push_back({left, right, samples, boundary, std::move(marks)});
}

void DatabaseBuilder::AddDiphones(const Spoken& spoken, bool edges) {
  const std::vector<uint32_t> marks = PlaceMarks(spoken, period_);
  const auto max_half = static_cast<size_t>(kMaxHalfMs * rate_ / 1000.0);
  const auto silence = static_cast<size_t>(kSilenceMs * rate_ / 1000.0);
  const size_t count = spoken.phonemes.size();
  auto end_of = [&](size_t i) { return i + 1 < count ? spoken.starts[i + 1] : spoken.end; };
  auto middle = [&](size_t i) { return (spoken.starts[i] + end_of(i)) / 2; };
  // Samples [from, to) with `lead` zeros before and `trail` zeros after, and
  // their marks (evenly spaced unvoiced ones in the zeros).
  auto cut = [&](int left, int right, size_t from, size_t to, size_t boundary, size_t lead, size_t trail) {
    std::vector<int16_t> samples(lead, 0);
    samples.insert(samples.end(), spoken.samples.begin() + static_cast<std::ptrdiff_t>(from),
                   spoken.samples.begin() + static_cast<std::ptrdiff_t>(to));
    samples.resize(samples.size() + trail, 0);
    std::vector<uint32_t> kept;
    auto keep = [&kept](uint32_t mark) {
      if (kept.empty() || (mark & ~mbr::kVoicedMark) > (kept.back() & ~mbr::kVoicedMark)) kept.push_back(mark);
    };
    for (double p = 0; p < double(lead); p += period_) keep(static_cast<uint32_t>(std::lround(p)));
    for (uint32_t m : marks) {
      const uint32_t at = m & ~mbr::kVoicedMark;
      if (at >= from && at < to) keep(static_cast<uint32_t>(at - from + lead) | (m & mbr::kVoicedMark));
    }
    for (double p = double(lead + to - from); p < double(samples.size()); p += period_) {
      keep(static_cast<uint32_t>(std::lround(p)));
    }
    Add(left, right, samples, boundary, std::move(kept));
  };
  for (size_t i = 0; i + 1 < count; ++i) {
    const size_t join = spoken.starts[i + 1];
    const size_t from = std::max(middle(i), join > max_half ? join - max_half : 0);
    const size_t to = std::min(middle(i + 1), join + max_half);
    if (from < join && join < to) cut(spoken.phonemes[i], spoken.phonemes[i + 1], from, to, join - from, 0, 0);
  }
  if (!edges || count == 0) return;
  const size_t first_end = std::min(middle(0), spoken.starts[0] + max_half);
  cut(-1, spoken.phonemes[0], spoken.starts[0], first_end, silence, silence, 0);
  const size_t last_from = std::max(middle(count - 1), spoken.end > max_half ? spoken.end - max_half : 0);
  cut(spoken.phonemes[count - 1], -1, last_from, spoken.end, spoken.end - last_from, 0, silence);
}

mbr::VoiceDatabase DatabaseBuilder::Finish() {
  const auto silence = static_cast<size_t>(kSilenceMs * rate_ / 1000.0);
  std::vector<uint32_t> quiet;
  for (double p = 0; p < double(2 * silence); p += period_) quiet.push_back(static_cast<uint32_t>(std::lround(p)));
  Add(-1, -1, std::vector<int16_t>(2 * silence, 0), silence, quiet);
  std::sort(cuts_.begin(), cuts_.end(),
            [](const Cut& a, const Cut& b) { return std::tie(a.left, a.right) < std::tie(b.left, b.right); });
  mbr::VoiceDatabase db;
  db.sample_rate = rate_;
  db.pitch_centi_hz = static_cast<uint32_t>(std::lround(100.0 * rate_ / period_));
  db.phonemes.emplace_back(lang::kPausePhoneme);
  for (const PhonemeSpec& p : Phonemes()) db.phonemes.emplace_back(p.name);
  for (const Cut& c : cuts_) {
    mbr::Diphone d;
    d.left = static_cast<uint16_t>(c.left + 1);
    d.right = static_cast<uint16_t>(c.right + 1);
    d.first_sample = static_cast<uint32_t>(db.samples.size());
    d.sample_count = static_cast<uint32_t>(c.samples.size());
    d.boundary = static_cast<uint32_t>(c.boundary);
    d.first_mark = static_cast<uint32_t>(db.marks.size());
    d.mark_count = static_cast<uint32_t>(c.marks.size());
    db.samples.insert(db.samples.end(), c.samples.begin(), c.samples.end());
    db.marks.insert(db.marks.end(), c.marks.begin(), c.marks.end());
    db.diphones.push_back(d);
  }
  db.Index();
  return db;
}

}  // namespace placarim::ilvra_voice
