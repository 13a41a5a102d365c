// Turns the bytes a text terminal sends for key presses into the key events
// the window platform delivers: a KeyDown with the Windows virtual key and its
// modifiers, the character Windows would type for it, and a KeyUp (a terminal
// reports no releases, so each press is released at once).
//
// Sequences understood: xterm and VT220 style CSI and SS3 keys with the
// xterm modifier parameter (ESC [ 1 ; 5 C is Ctrl+Right), the Linux console's
// F1..F5 (ESC [ [ A..E), rxvt's modified keys (ESC [ 2 ^, ESC O a), ESC before a
// key for Alt, the C0 control characters for Ctrl+letters, and UTF-8 text,
// which becomes Windows-1252 characters. Unknown sequences are dropped whole.
//
// Pure and single-threaded: the terminal's reader thread owns one decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace placarim::platform::term {

// What the terminal asked of the program besides keys.
enum class TerminalRequest { None, Suspend };

class KeyDecoder {
 public:
  // Feeds one byte; complete keys are appended to `out`.
  void Feed(uint8_t byte, std::vector<Event>& out, TerminalRequest* request = nullptr);
  // No byte came for a while: a pending lone ESC is the Escape key (and a
  // cut sequence is dropped).
  void Timeout(std::vector<Event>& out);
  // Whether bytes are waiting for the rest of a sequence.
  bool Pending() const { return !pending_.empty(); }

 private:
  void Finish(std::vector<Event>& out, TerminalRequest* request);
  // The pending bytes were no UTF-8 character: each is typed as it is.
  void TypeLatin1(std::vector<Event>& out);
  bool Complete() const;

  std::string pending_;  // bytes of an escape sequence or a UTF-8 character
};

// The events of one key: KeyDown (system when Alt is held without Ctrl, or
// F10), the typed character when `ch` is not negative, and KeyUp.
void AppendKey(int vk, Modifiers mods, int ch, std::vector<Event>& out);

}  // namespace placarim::platform::term
