#include "lang/phonemes.h"

namespace placarim::lang {
namespace {

constexpr Phoneme kPhonemes[] = {
    {"p", "p", false, false},   {"b", "b", true, false},   {"t", "t", false, false},  {"d", "d", true, false},
    {"k", "k", false, false},   {"g", "g", true, false},   {"f", "f", false, false},  {"v", "v", true, false},
    {"s", "s", false, false},   {"z", "z", true, false},   {"x", "S", false, false},  {"j", "Z", true, false},
    {"m", "m", true, false},    {"n", "n", true, false},   {"nh", "n^", true, false}, {"l", "l", true, false},
    {"lh", "l^", true, false},  {"r", "*", true, false},   {"rr", "x", false, false}, {"r2", "r", true, false},
    {"s2", "s", false, false},  {"tx", "tS", false, false}, {"dj", "dZ", true, false}, {"a", "a", true, true},
    {"@", "&", true, true},     {"e", "e", true, true},    {"ee", "E", true, true},   {"i", "i", true, true},
    {"o", "o", true, true},     {"oo", "O", true, true},   {"u", "u", true, true},    {"am", "&~", true, true},
    {"em", "e~", true, true},   {"im", "i~", true, true},  {"om", "o~", true, true},  {"um", "u~", true, true},
    {"y", "j", true, false},    {"w", "w", true, false},
};

}  // namespace

std::span<const Phoneme> IlvraPhonemes() { return kPhonemes; }

}  // namespace placarim::lang
