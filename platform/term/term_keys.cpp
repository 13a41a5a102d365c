#include "platform/term/term_keys.h"

#include <cstdlib>

#include "platform/text_encoding.h"
#include "platform/vk.h"

namespace placarim::platform::term {
namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr size_t kLongestSequence = 32;  // anything longer is noise, dropped

// Windows virtual keys of the punctuation keys (US positions) and Ctrl+\ and ].
constexpr int kVkOem1 = 0xBA, kVkOemPlus = 0xBB, kVkOemComma = 0xBC, kVkOemMinus = 0xBD,
              kVkOemPeriod = 0xBE, kVkOem2 = 0xBF, kVkOem3 = 0xC0, kVkOem4 = 0xDB, kVkOem5 = 0xDC,
              kVkOem6 = 0xDD, kVkOem7 = 0xDE;

Modifiers Mods(bool shift, bool alt, bool ctrl) {
  Modifiers m;
  m.shift = shift;
  m.alt = alt;
  m.ctrl = ctrl;
  return m;
}

// The xterm modifier parameter: 1 + (shift 1, alt 2, ctrl 4, meta 8).
Modifiers ModsOfParameter(int parameter) {
  if (parameter < 2) return {};
  const int bits = parameter - 1;
  return Mods((bits & 1) != 0, (bits & (2 | 8)) != 0, (bits & 4) != 0);
}

// The key of a printable ASCII character, and whether Shift types it (US layout).
struct PrintableKey {
  int vk = 0;
  bool shift = false;
};

PrintableKey KeyOfPrintable(uint8_t c) {
  if (c >= 'a' && c <= 'z') return {vk::kA + (c - 'a'), false};
  if (c >= 'A' && c <= 'Z') return {vk::kA + (c - 'A'), true};
  if (c >= '0' && c <= '9') return {vk::k0 + (c - '0'), false};
  static constexpr struct {
    char c;
    int vk;
    bool shift;
  } kTable[] = {
      {' ', vk::kSpace, false}, {'!', vk::k0 + 1, true},  {'@', vk::k0 + 2, true},  {'#', vk::k0 + 3, true},
      {'$', vk::k0 + 4, true},  {'%', vk::k0 + 5, true},  {'^', vk::k0 + 6, true},  {'&', vk::k0 + 7, true},
      {'*', vk::k0 + 8, true},  {'(', vk::k0 + 9, true},  {')', vk::k0, true},      {';', kVkOem1, false},
      {':', kVkOem1, true},     {'=', kVkOemPlus, false}, {'+', kVkOemPlus, true},  {',', kVkOemComma, false},
      {'<', kVkOemComma, true}, {'-', kVkOemMinus, false}, {'_', kVkOemMinus, true}, {'.', kVkOemPeriod, false},
      {'>', kVkOemPeriod, true}, {'/', kVkOem2, false},   {'?', kVkOem2, true},     {'`', kVkOem3, false},
      {'~', kVkOem3, true},     {'[', kVkOem4, false},    {'{', kVkOem4, true},     {'\\', kVkOem5, false},
      {'|', kVkOem5, true},     {']', kVkOem6, false},    {'}', kVkOem6, true},     {'\'', kVkOem7, false},
      {'"', kVkOem7, true},
  };
  for (const auto& row : kTable) {
    if (row.c == static_cast<char>(c)) return {row.vk, row.shift};
  }
  return {};
}

// The key of the number before "~" in CSI sequences (VT220 editing and function keys).
int KeyOfTildeNumber(int n) {
  switch (n) {
    case 1: case 7: return vk::kHome;
    case 2: return vk::kInsert;
    case 3: return vk::kDelete;
    case 4: case 8: return vk::kEnd;
    case 5: return vk::kPrior;
    case 6: return vk::kNext;
    case 11: case 12: case 13: case 14: case 15: return vk::kF1 + (n - 11);
    case 17: case 18: case 19: case 20: case 21: return vk::kF1 + 5 + (n - 17);
    case 23: return vk::kF11;
    case 24: return vk::kF12;
    default: return 0;
  }
}

// The key of a CSI or SS3 final letter.
int KeyOfFinalLetter(char final) {
  switch (final) {
    case 'A': case 'a': return vk::kUp;
    case 'B': case 'b': return vk::kDown;
    case 'C': case 'c': return vk::kRight;
    case 'D': case 'd': return vk::kLeft;
    case 'H': return vk::kHome;
    case 'F': return vk::kEnd;
    case 'P': return vk::kF1;
    case 'Q': return vk::kF1 + 1;
    case 'R': return vk::kF1 + 2;
    case 'S': return vk::kF1 + 3;
    default: return 0;
  }
}

std::vector<int> Parameters(std::string_view text) {
  std::vector<int> out;
  int value = -1;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      value = (value < 0 ? 0 : value) * 10 + (c - '0');
      if (value > 9999) value = 9999;
    } else if (c == ';') {
      out.push_back(value < 0 ? 1 : value);
      value = -1;
    }
  }
  if (value >= 0 || !out.empty()) out.push_back(value < 0 ? 1 : value);
  return out;
}

// The character Windows types for a key with these modifiers, or -1.
int TypedCharacter(int key, Modifiers mods) {
  if (mods.alt && !mods.ctrl) return -1;
  switch (key) {
    case vk::kReturn: return mods.ctrl ? 10 : 13;
    case vk::kBack: return 8;
    case vk::kTab: return mods.ctrl ? -1 : 9;
    case vk::kEscape: return mods.ctrl ? -1 : 27;
    default: return -1;
  }
}

void AppendSpecial(int key, Modifiers mods, std::vector<Event>& out) {
  if (key != 0) AppendKey(key, mods, TypedCharacter(key, mods), out);
}

// One byte that is no part of a sequence; `alt` when an ESC came before it.
void AppendPlainByte(uint8_t b, bool alt, std::vector<Event>& out, TerminalRequest* request) {
  switch (b) {
    case 13: AppendSpecial(vk::kReturn, Mods(false, alt, false), out); return;
    case 9: AppendSpecial(vk::kTab, Mods(false, alt, false), out); return;
    case 127: AppendSpecial(vk::kBack, Mods(false, alt, false), out); return;
    case 8: AppendSpecial(vk::kBack, Mods(false, alt, true), out); return;  // Ctrl+Backspace
    case 0: AppendKey(vk::kSpace, Mods(false, alt, true), alt ? -1 : 32, out); return;
    case 28: AppendKey(kVkOem5, Mods(false, alt, true), alt ? -1 : 28, out); return;
    case 29: AppendKey(kVkOem6, Mods(false, alt, true), alt ? -1 : 29, out); return;
    case 30: case 31: return;
    case 26:
      if (!alt && request != nullptr) {
        *request = TerminalRequest::Suspend;
        return;
      }
      break;
    default: break;
  }
  if (b < 27) {  // Ctrl+letter
    AppendKey(vk::kA + (b - 1), Mods(false, alt, true), alt ? -1 : b, out);
    return;
  }
  const PrintableKey key = KeyOfPrintable(b);
  if (alt) {
    if (key.vk != 0) AppendKey(key.vk, Mods(key.shift, true, false), -1, out);
    return;
  }
  if (key.vk == 0) {  // a character with no key of its own: typed alone
    Event typed;
    typed.type = EventType::Char;
    typed.ch = b;
    out.push_back(typed);
    return;
  }
  AppendKey(key.vk, Mods(key.shift, false, false), b, out);
}

int Utf8Length(uint8_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

void AppendKey(int key, Modifiers mods, int ch, std::vector<Event>& out) {
  Event down;
  down.type = EventType::KeyDown;
  down.vk = key;
  down.mods = mods;
  down.system = !mods.ctrl && (mods.alt || key == vk::kF10);
  out.push_back(down);
  if (ch >= 0) {
    Event typed;
    typed.type = EventType::Char;
    typed.ch = static_cast<uint8_t>(ch);
    typed.mods = mods;
    out.push_back(typed);
  }
  Event up = down;
  up.type = EventType::KeyUp;
  up.system = false;
  out.push_back(up);
}

bool KeyDecoder::Complete() const {
  const auto& p = pending_;
  if (p.empty()) return false;
  if (static_cast<uint8_t>(p[0]) != kEsc) return p.size() >= static_cast<size_t>(Utf8Length(p[0]));
  if (p.size() < 2) return false;
  if (p[1] == 'O') {  // SS3: digits for modifiers, then one letter
    if (p.size() < 3) return false;
    const char last = p.back();
    return !(last >= '0' && last <= '9') || p.size() >= kLongestSequence;
  }
  if (p[1] != '[') return true;  // ESC and one byte: Alt+key
  if (p.size() < 3) return false;
  if (p[2] == '[') return p.size() >= 4;  // Linux console F1..F5
  const auto last = static_cast<uint8_t>(p.back());
  if (p.size() == 3 && (last == '$')) return true;
  if (last == '$' || last == '^' || last == '@') return true;  // rxvt modified keys
  return last >= 0x40 && last <= 0x7E;
}

void KeyDecoder::Feed(uint8_t byte, std::vector<Event>& out, TerminalRequest* request) {
  if (pending_.empty()) {
    if (byte == kEsc || Utf8Length(byte) != 0) {
      pending_.push_back(static_cast<char>(byte));
      return;
    }
    if (byte >= 0x80) {  // not UTF-8: taken as a Windows-1252 character
      Event typed;
      typed.type = EventType::Char;
      typed.ch = byte;
      out.push_back(typed);
      return;
    }
    AppendPlainByte(byte, false, out, request);
    return;
  }
  const bool utf8 = static_cast<uint8_t>(pending_[0]) != kEsc;
  if (utf8 && (byte & 0xC0) != 0x80) {  // not UTF-8 after all: a Latin-1 terminal's characters
    TypeLatin1(out);
    Feed(byte, out, request);
    return;
  }
  if (!utf8 && pending_.size() == 1 && byte == kEsc) {  // ESC ESC: the first was the Escape key
    AppendSpecial(vk::kEscape, {}, out);
    return;
  }
  pending_.push_back(static_cast<char>(byte));
  if (pending_.size() > kLongestSequence) {
    pending_.clear();
    return;
  }
  if (Complete()) Finish(out, request);
}

void KeyDecoder::TypeLatin1(std::vector<Event>& out) {
  for (const char c : pending_) {
    Event typed;
    typed.type = EventType::Char;
    typed.ch = static_cast<uint8_t>(c);
    out.push_back(typed);
  }
  pending_.clear();
}

void KeyDecoder::Timeout(std::vector<Event>& out) {
  if (!pending_.empty() && static_cast<uint8_t>(pending_[0]) != kEsc) {
    TypeLatin1(out);
    return;
  }
  if (pending_.size() == 1 && static_cast<uint8_t>(pending_[0]) == kEsc) AppendSpecial(vk::kEscape, {}, out);
  if (pending_.size() == 2 && pending_ == "\x1b[") AppendKey(kVkOem4, Mods(false, true, false), -1, out);
  if (pending_.size() == 2 && pending_ == "\x1bO") AppendKey(vk::kA + ('O' - 'A'), Mods(true, true, false), -1, out);
  pending_.clear();
}

void KeyDecoder::Finish(std::vector<Event>& out, TerminalRequest* request) {
  const std::string seq = std::move(pending_);
  pending_.clear();
  if (static_cast<uint8_t>(seq[0]) != kEsc) {
    const std::string cp1252 = Utf8ToCp1252(seq, 0);
    if (!cp1252.empty() && cp1252[0] != 0) {
      Event typed;
      typed.type = EventType::Char;
      typed.ch = static_cast<uint8_t>(cp1252[0]);
      out.push_back(typed);
    }
    return;
  }
  if (seq[1] != '[' && seq[1] != 'O') {
    AppendPlainByte(static_cast<uint8_t>(seq[1]), true, out, request);
    return;
  }
  const char final = seq.back();
  if (seq[1] == 'O') {
    const Modifiers mods = ModsOfParameter(seq.size() > 3 ? std::atoi(seq.substr(2).c_str()) : 0);
    if (final == 'M') {
      AppendSpecial(vk::kReturn, mods, out);
    } else if (final >= 'a' && final <= 'd') {  // rxvt: Ctrl+arrows
      AppendSpecial(KeyOfFinalLetter(final), Mods(false, false, true), out);
    } else {
      AppendSpecial(KeyOfFinalLetter(final), mods, out);
    }
    return;
  }
  if (seq[2] == '[') {  // Linux console: ESC [ [ A..E are F1..F5
    if (final >= 'A' && final <= 'E') AppendSpecial(vk::kF1 + (final - 'A'), {}, out);
    return;
  }
  const std::string_view body(seq.data() + 2, seq.size() - 3);
  if (!body.empty() && (body[0] == '<' || body[0] == '?' || body[0] == '>')) return;  // reports, not keys
  const std::vector<int> params = Parameters(body);
  const int first = params.empty() ? 1 : params[0];
  Modifiers mods = ModsOfParameter(params.size() > 1 ? params[1] : 0);
  switch (final) {
    case '~':
      AppendSpecial(KeyOfTildeNumber(first), mods, out);
      return;
    case '$': case '^': case '@':  // rxvt: Shift, Ctrl, Ctrl+Shift
      mods.shift = final != '^';
      mods.ctrl = final != '$';
      AppendSpecial(KeyOfTildeNumber(first), mods, out);
      return;
    case 'Z':
      AppendSpecial(vk::kTab, Mods(true, mods.alt, mods.ctrl), out);
      return;
    case 'I': case 'O':
      if (params.empty()) {
        Event focus;
        focus.type = final == 'I' ? EventType::FocusGained : EventType::FocusLost;
        out.push_back(focus);
      }
      return;
    case 'a': case 'b': case 'c': case 'd':  // rxvt: Shift+arrows
      AppendSpecial(KeyOfFinalLetter(final), Mods(true, false, false), out);
      return;
    default:
      AppendSpecial(KeyOfFinalLetter(final), mods, out);
      return;
  }
}

}  // namespace placarim::platform::term
