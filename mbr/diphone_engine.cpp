#include "mbr/diphone_engine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace placarim::mbr {
namespace {

struct Anchor {
  double ms;
  double hz;
};

// The pitch at `ms`: linear between anchors, held beyond them.
class PitchCurve {
 public:
  PitchCurve(std::vector<Anchor> anchors, double fallback) : anchors_(std::move(anchors)), fallback_(fallback) {}
  double At(double ms) {
    if (anchors_.empty()) return fallback_;
    if (ms <= anchors_.front().ms) return anchors_.front().hz;
    if (ms >= anchors_.back().ms) return anchors_.back().hz;
    while (next_ < anchors_.size() && anchors_[next_].ms < ms) ++next_;
    while (next_ > 1 && anchors_[next_ - 1].ms > ms) --next_;  // never moves back in practice
    const Anchor& a = anchors_[next_ - 1];
    const Anchor& b = anchors_[next_];
    if (b.ms <= a.ms) return b.hz;
    return a.hz + (b.hz - a.hz) * (ms - a.ms) / (b.ms - a.ms);
  }

 private:
  std::vector<Anchor> anchors_;
  double fallback_;
  size_t next_ = 1;
};

// One half of a phoneme's material: a stretch of a diphone's samples.
struct Half {
  const Diphone* diphone = nullptr;
  double from = 0;  // source samples, relative to the diphone
  double to = 0;
};

// One grain: a mark with the width of the periods on either side.
struct Grain {
  uint32_t at = 0;
  uint32_t left = 0;
  uint32_t right = 0;
  bool voiced = false;
};

constexpr double kUnvoicedHopMs = 5;

class GrainPicker {
 public:
  GrainPicker(const VoiceDatabase& db) : db_(db) {}
  // The mark of `d` nearest to `source` whose grain lies inside the diphone.
  bool Pick(const Diphone& d, double source, Grain& g) const {
    const uint32_t* marks = db_.marks.data() + d.first_mark;
    const uint32_t n = d.mark_count;
    if (n == 0) return false;
    auto pos = [&](uint32_t k) { return marks[k] & ~kVoicedMark; };
    // First mark at or after source.
    uint32_t lo = 0, hi = n;
    while (lo < hi) {
      const uint32_t mid = (lo + hi) / 2;
      if (double(pos(mid)) < source) lo = mid + 1; else hi = mid;
    }
    auto grain_of = [&](uint32_t k, Grain& out) {
      const uint32_t at = pos(k);
      const uint32_t right = k + 1 < n ? pos(k + 1) - at : (k > 0 ? at - pos(k - 1) : 0);
      const uint32_t left = k > 0 ? at - pos(k - 1) : right;
      if (left == 0 || right == 0 || at < left || uint64_t(at) + right > d.sample_count) return false;
      out = {at, left, right, (marks[k] & kVoicedMark) != 0};
      return true;
    };
    // Search outwards from the nearest mark for one whose grain fits.
    int64_t before = int64_t(lo) - 1, after = lo;
    while (before >= 0 || after < n) {
      const bool take_after =
          after < n && (before < 0 || double(pos(uint32_t(after))) - source <= source - double(pos(uint32_t(before))));
      if (take_after) {
        if (grain_of(uint32_t(after++), g)) return true;
      } else {
        if (grain_of(uint32_t(before--), g)) return true;
      }
    }
    return false;
  }

 private:
  const VoiceDatabase& db_;
};

// An unvoiced grain centred on the source position itself rather than on the
// nearest mark, `width` wide on either side and cut short where the diphone
// ends. Marks in noise and in the silence of a closure are only evenly spaced
// places; snapping to them while a short stretch is drawn out laid the same
// grain again and again at the same spacing, a buzz of small steps where a
// sound runs into the closure of a stop. Following the source position lets
// the noise move on and a closure fall silent as it does in the recording.
bool NoiseGrain(const Diphone& d, double source, uint32_t width, Grain& g) {
  if (d.sample_count == 0) return false;
  const auto at = static_cast<uint32_t>(std::clamp(std::lround(source), 0L, long(d.sample_count) - 1));
  g = {at, std::min(width, at + 1), std::min(width, d.sample_count - at), false};
  return g.left > 0 && g.right > 0;
}

}  // namespace

DiphoneEngine::DiphoneEngine(VoiceDatabase db) : db_(std::move(db)) {
  db_.Index();
  for (size_t i = 0; i < db_.phonemes.size(); ++i) names_[db_.phonemes[i]] = static_cast<int>(i);
  silence_ = db_.PhonemeIndex("_");
  context_ = last_written_ = silence_;
  rate_ = static_cast<int>(db_.sample_rate);
}

void DiphoneEngine::SetFrequency(int hz) { rate_ = std::clamp(hz, 4000, 96000); }

bool DiphoneEngine::Fail(int code, std::string text) {
  error_ = code;
  error_text_ = std::move(text);
  return false;
}

int DiphoneEngine::Lookup(std::string_view name) const {
  const auto it = names_.find(name);
  return it == names_.end() ? -1 : it->second;
}

bool DiphoneEngine::Rename(std::string_view rename, std::string_view clone) {
  auto pairs = [](std::string_view list) {
    std::vector<std::string> words;
    PhonemeLine line;
    size_t i = 0;
    while (i < list.size()) {
      while (i < list.size() && std::isspace(static_cast<unsigned char>(list[i]))) ++i;
      const size_t start = i;
      while (i < list.size() && !std::isspace(static_cast<unsigned char>(list[i]))) ++i;
      if (i > start) words.emplace_back(list.substr(start, i - start));
    }
    return words;
  };
  const auto renamed = pairs(rename), cloned = pairs(clone);
  if (renamed.size() % 2 || cloned.size() % 2) return Fail(kBadRename, "rename and clone lists hold pairs");
  auto valid = [](const std::string& s) { return !s.empty() && s.size() <= kMaxPhonemeName && s[0] != '#'; };
  for (size_t i = 0; i < renamed.size(); i += 2) {
    const int index = Lookup(renamed[i]);
    if (index < 0 || !valid(renamed[i + 1])) return Fail(kBadRename, "cannot rename " + renamed[i]);
    names_.erase(renamed[i]);
    names_[renamed[i + 1]] = index;
  }
  for (size_t i = 0; i < cloned.size(); i += 2) {
    const int index = Lookup(cloned[i]);
    if (index < 0 || !valid(cloned[i + 1])) return Fail(kBadRename, "cannot clone " + cloned[i]);
    names_[cloned[i + 1]] = index;
  }
  return true;
}

bool DiphoneEngine::Write(std::string_view text) {
  bool ok = true;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (!WriteLine(text.substr(start, end - start))) ok = false;
    start = end + 1;
  }
  return ok;
}

bool DiphoneEngine::WriteLine(std::string_view text) {
  PhonemeLine line;
  switch (ParsePhonemeLine(text, line)) {
    case LineError::kSyntax:
      return Fail(kBadLine, "cannot read the line: " + std::string(text.substr(0, 80)));
    case LineError::kBadNumber:
      return Fail(kBadNumber, "bad number in the line: " + std::string(text.substr(0, 80)));
    case LineError::kNone:
      break;
  }
  if (line.kind == PhonemeLine::Kind::kFlush) {
    Flush();
    return true;
  }
  if (line.kind != PhonemeLine::Kind::kPhoneme) return true;
  const int index = Lookup(line.name);
  if (index < 0) return Fail(kUnknownPhoneme, "unknown phoneme " + line.name);
  const bool missing = db_.Find(last_written_, index) == nullptr;
  const std::string pair = db_.phonemes[static_cast<size_t>(last_written_)] + "-" + line.name;
  last_written_ = index;
  pending_ms_ += line.duration_ms;
  pending_.push_back({index, line.duration_ms, std::move(line.points)});
  if (pending_.size() >= kMaxPending || (pending_.size() > 1 && pending_ms_ >= kMaxPendingMs)) {
    // Keep the last phoneme back: the ones before it need it as context.
    std::vector<Phone> last{pending_.back()};
    pending_.pop_back();
    Synthesize(pending_, context_, last.front().index);
    context_ = pending_.back().index;
    pending_ = std::move(last);
    pending_ms_ = pending_.front().ms;
  }
  if (missing && !no_error_) return Fail(kMissingDiphone, "missing diphone " + pair);
  return true;
}

void DiphoneEngine::Flush() {
  if (!pending_.empty()) Synthesize(pending_, context_, silence_);
  pending_.clear();
  pending_ms_ = 0;
  context_ = last_written_ = silence_;
}

size_t DiphoneEngine::Read(int16_t* out, size_t max) {
  const size_t n = std::min(max, Ready());
  std::copy_n(output_.begin() + static_cast<std::ptrdiff_t>(read_), n, out);
  read_ += n;
  if (read_ == output_.size()) {
    output_.clear();
    read_ = 0;
  }
  return n;
}

void DiphoneEngine::Reset() {
  pending_.clear();
  pending_ms_ = 0;
  output_.clear();
  read_ = 0;
  context_ = last_written_ = silence_;
  error_ = kEngineOk;
  error_text_.clear();
}

void DiphoneEngine::Synthesize(const std::vector<Phone>& phones, int left, int right) {
  const double rate = rate_;
  // Where each phoneme starts, in samples, from the running sum of durations
  // (so rounding never drifts), and the pitch anchors in milliseconds.
  std::vector<double> start_ms(phones.size() + 1, 0);
  std::vector<Anchor> anchors;
  for (size_t i = 0; i < phones.size(); ++i) {
    for (const PitchPoint& p : phones[i].points) {
      anchors.push_back({start_ms[i] + phones[i].ms * p.position / 100.0, p.hz});
    }
    start_ms[i + 1] = start_ms[i] + phones[i].ms;
  }
  std::stable_sort(anchors.begin(), anchors.end(), [](const Anchor& a, const Anchor& b) { return a.ms < b.ms; });
  PitchCurve pitch(std::move(anchors), db_.pitch_centi_hz / 100.0);
  auto sample_at = [&](size_t i) { return static_cast<int64_t>(std::llround(start_ms[i] * rate / 1000.0)); };
  const int64_t total = sample_at(phones.size());
  std::vector<float> out(static_cast<size_t>(total) + 1, 0.0f);

  // A missing diphone is bridged through silence: the phoneme starts or ends
  // as it would next to a pause.
  auto diphone = [&](int a, int b, bool entering) -> const Diphone* {
    if (const Diphone* d = db_.Find(a, b)) return d;
    return entering ? db_.Find(silence_, b) : db_.Find(a, silence_);
  };
  const double unvoiced_hop = std::max(1.0, kUnvoicedHopMs * rate / 1000.0);
  const GrainPicker picker(db_);
  const int16_t* samples = db_.samples.data();
  double t = 0;
  for (size_t i = 0; i < phones.size(); ++i) {
    const int before = i == 0 ? left : phones[i - 1].index;
    const int after = i + 1 == phones.size() ? right : phones[i + 1].index;
    const int64_t t0 = sample_at(i), t1 = sample_at(i + 1);
    Half a, b;
    if (const Diphone* d = diphone(before, phones[i].index, true)) a = {d, double(d->boundary), double(d->sample_count)};
    if (const Diphone* d = diphone(phones[i].index, after, false)) b = {d, 0.0, double(d->boundary)};
    const double length_a = a.to - a.from, length_b = b.to - b.from;
    const double n = double(t1 - t0);
    const double split = length_a + length_b > 0 ? n * length_a / (length_a + length_b) : n;
    const bool silent = phones[i].index == silence_;
    while (t < double(t1)) {
      const double local = t - double(t0);
      const bool first = local < split;
      const Half& h = first ? a : b;
      const double span = first ? split : n - split;
      const double fraction = span > 0 ? (first ? local : local - split) / span : 0;
      const double source = h.from + fraction * (h.to - h.from);
      Grain g;
      if (silent || !h.diphone || !picker.Pick(*h.diphone, source, g)) {
        t += unvoiced_hop;
        continue;
      }
      // Unvoiced grains are laid at the analysis spacing.
      const double hop = g.right;
      if (!g.voiced && !NoiseGrain(*h.diphone, source, g.right, g)) {
        t += hop;
        continue;
      }
      const int16_t* src = samples + h.diphone->first_sample;
      const auto centre = static_cast<int64_t>(std::llround(t));
      const double scale = volume_;
      for (int64_t k = -int64_t(g.left) + 1; k < int64_t(g.right); ++k) {
        const int64_t at = centre + k;
        if (at < 0 || at >= total) continue;
        const double width = k < 0 ? g.left : g.right;
        const double w = 0.5 * (1.0 + std::cos(std::numbers::pi * double(k) / width));
        out[static_cast<size_t>(at)] += static_cast<float>(w * scale * src[g.at + k]);
      }
      t += g.voiced ? rate / std::clamp(pitch.At(t * 1000.0 / rate), 20.0, kMaxPitchHz) : hop;
    }
  }
  output_.reserve(output_.size() + static_cast<size_t>(total));
  for (int64_t i = 0; i < total; ++i) {
    output_.push_back(static_cast<int16_t>(std::clamp(std::lround(out[static_cast<size_t>(i)]), -32768L, 32767L)));
  }
}

}  // namespace placarim::mbr
