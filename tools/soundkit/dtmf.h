// Telephone keypad tones: each key sounds one low (row) and one high
// (column) frequency together, as a telephone exchange expects them.
#pragma once

#include <optional>
#include <vector>

namespace placarim::soundkit {

struct DtmfPair {
  double low_hz;
  double high_hz;
};

// The pair of a keypad key: "0" to "9", "*", "#" and "A" to "D";
// nothing for any other character.
std::optional<DtmfPair> DtmfFrequencies(char key);

// `seconds` of the key's tone at `sample_rate`, peak below 0.9, with short
// raised-cosine ramps so the tone starts and ends without a click.
// An empty vector for a character that is not a keypad key.
std::vector<float> DtmfTone(char key, int sample_rate, double seconds);

}  // namespace placarim::soundkit
