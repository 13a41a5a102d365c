// The braille daemon's key codes on their way to the console, and any text on
// its way to braille cells. The input is split in two: key codes (8 bytes
// each, as the daemon sends them) until a run of eight 0xFF bytes, then text
// shown on the line the keys act on.
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>

#include "braille/braille_text.h"
#include "console/display_line.h"
#include "console/key_queue.h"
#include "platform/brlapi/brlapi_keys.h"

namespace {

using namespace placarim;

class ScriptedDisplay final : public platform::BrailleDisplay {
 public:
  int Width() const override { return 12; }
  void Show(const platform::BrailleWindow& window) override {
    if (window.cells.size() > 12 || window.text.size() > 12 || window.cursor >= 12) __builtin_trap();
  }
  bool PollKey(platform::BrailleKey& key) override {
    if (keys.empty()) return false;
    key = keys.front();
    keys.pop_front();
    return true;
  }
  std::deque<platform::BrailleKey> keys;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::brlapi::CharCells cells{};
  for (size_t c = 0; c < cells.size(); ++c) cells[c] = static_cast<uint8_t>(c * 37);
  ScriptedDisplay display;
  size_t at = 0;
  for (; at + 8 <= size; at += 8) {
    uint64_t code = 0;
    std::memcpy(&code, data + at, 8);
    if (code == ~uint64_t{0}) {
      at += 8;
      break;
    }
    const platform::brlapi::CharCells* tables[] = {&cells, nullptr};
    for (const platform::brlapi::CharCells* table : tables) {
      if (const auto key = platform::brlapi::KeyOfCode(code, table)) display.keys.push_back(*key);
    }
  }
  const std::string text(reinterpret_cast<const char*>(data) + std::min(at, size), size - std::min(at, size));

  const braille::BrailleText braille = braille::ToBraille(text);
  if (braille.cells.size() != braille.source.size()) __builtin_trap();
  for (size_t i = 0; i < braille.source.size(); ++i) {
    if (braille.source[i] < 0 || static_cast<size_t>(braille.source[i]) >= text.size()) __builtin_trap();
    if (i > 0 && braille.source[i] < braille.source[i - 1]) __builtin_trap();
  }

  console::KeyQueue queue;
  console::DisplayLine line(queue);
  line.Attach(&display);
  line.Show(text, static_cast<int>(text.size() / 2));
  line.TakeDisplayKeys();
  const int routed = line.TakeRouting();
  if (routed > static_cast<int>(text.size())) __builtin_trap();
  line.SetComputerBraille(true);
  line.Show(text.substr(0, text.size() / 3), 0);
  return 0;
}
