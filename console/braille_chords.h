// Braille chord input: six letter keys (F D S J K L for dots 1 to 6) and the
// space bar pressed together type one braille cell when the last of them is
// released. Mode 1 types plain cells; mode 2 also honours the capital sign
// (one capital, or a lock when doubled) and the number sign (a to j become
// digits until a space chord or "~").
#pragma once

#include <cstdint>
#include <optional>

namespace placarim::console {

class BrailleChords {
 public:
  static constexpr uint8_t kNoCharacter = 254;
  static constexpr uint8_t kCapitalSign = '{';
  static constexpr uint8_t kNumberSign = '#';

  int Mode() const { return mode_; }
  // Stores a mode of 0, 1 or 2. Leaving braille drops the chord being formed;
  // any change ends capitals and number mode.
  void SetMode(int mode);

  // The dot bit of a chord key (space bar 64), 0 for any other key.
  static uint8_t DotBit(int vk);
  // The Windows-1252 character of a six-dot cell.
  static uint8_t Cell(int dots);

  // A chord key went down (the caller checks the mode and Ctrl).
  void PressDot(int vk);
  // Forgets the chord being formed, typing nothing.
  void DropChord() { chord_ = held_ = 0; }

  struct Release {
    bool consumed = false;               // the key belonged to braille typing
    std::optional<uint8_t> typed;        // the cell's character, when the chord is complete
  };
  // A key came up in braille mode (mode not 0).
  Release KeyUp(int vk, bool ctrl);

  uint8_t Held() const { return held_; }
  bool NumberMode() const { return number_; }
  bool CapitalLock() const { return capital_lock_; }

 private:
  uint8_t Translate();
  uint8_t ApplyMode2(uint8_t c);
  void EndSigns() { capital_ = capital_lock_ = number_ = false; }

  int mode_ = 0;
  uint8_t chord_ = 0;
  uint8_t held_ = 0;
  bool capital_ = false;
  bool capital_lock_ = false;
  bool number_ = false;
};

}  // namespace placarim::console
