// The text console: an 80 by 25 screen of Windows-1252 characters with colour
// attributes, shown in the platform's window, and the program's only keyboard
// (a 64-entry queue of byte codes, extended keys as 0 then their code, braille
// chord input), with the window's message pump. Everything runs on the main
// thread; keys reach the queue only while someone pumps messages (KeyPressed,
// ReadKey, Delay, the pumps, or a write to the standard output).
//
// Blocking: ReadKey, ReadLine, Delay and WaitMessage block, pumping messages
// meanwhile; nothing else waits. Errors: none are returned or thrown:
// positions are clamped to the screen, and a console without a window (none
// could be had) keeps its buffers and keys, drawing nothing.
//
// Beside it, in their own files: the standard streams (console_stream.h), the
// braille mode switch (braille_switch.h) and the mode tones (sound/tone.h).
// Ending the program stays here: the window's close button, Alt+F4 and
// Ctrl+Break end it from inside the pump, and the window must close first.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/braille_display.h"
#include "platform/platform.h"
#include "console/keys.h"
#include "sound/main_loop.h"

namespace placarim::console {

class BrailleSwitch;
class DisplayLine;
enum class KeyAction;

// The console is wave playback's host: its message pump counts finished
// blocks and its key queue cuts a sound short.
class Console final : public sound::MainLoop {
 public:
  // `start_directory` is where FALDEK.INI is looked for when the system
  // configuration directory has none.
  Console(platform::Platform& platform, std::string start_directory);
  ~Console() override;
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // --- screen -------------------------------------------------------------
  void Init();  // creates the window on first use; every output, input or colour call does it
  void Write(std::string_view bytes);
  void WriteChar(uint8_t byte);
  void GotoXY(int x, int y);  // 1-based, clamped
  int WhereX() const;         // 1-based; 81 just past the last column
  int WhereY() const;
  void ClrScr();
  void ClrEol();
  void TextColor(int color);
  void TextBackground(int color);
  uint8_t TextAttr() const;  // the current attribute
  void SetTextAttr(uint8_t attribute);
  uint8_t ScreenChar(int x, int y) const;  // 1-based
  uint8_t ScreenAttr(int x, int y) const;
  static constexpr int kColumns = 80;
  static constexpr int kRows = 25;

  // Ends the program normally (drains the keys, closes the window).
  // `exit_code` is 0 for a normal end; a start-up failure ends with 1 so
  // that a script or desktop launcher can tell it from a game played through.
  [[noreturn]] void Done(int exit_code = 0);
  // Ends the program with exit code 255 (Ctrl+Break, quit message).
  [[noreturn]] void Terminate();

  // --- keyboard -----------------------------------------------------------
  bool KeyPressed() override;
  uint8_t ReadKey();
  // Every code of the next key (console/keys.h), waiting for it as ReadKey.
  Key ReadTypedKey() {
    return console::ReadTypedKey([this] { return ReadKey(); });
  }
  void Delay(uint16_t milliseconds) override;
  void PumpMessages();
  void PumpAllMessages() override;
  uint16_t ReadLine(char* buffer, uint16_t size);
  // Braille typing's mode: the configuration sets it when the window opens
  // and Ctrl+Alt+F11 / F12 change it.
  BrailleSwitch& Braille();
  // The braille display's line (display_line.h): what matters now, and the
  // display's keys, which join this keyboard's queue. Without an attached
  // display the line is kept and shown to nobody.
  DisplayLine& Display();
  void AttachBrailleDisplay(platform::BrailleDisplay* display);

  // Blocks until the next event arrives, then handles every pending one:
  // the waits of the speech and sound layers ("sleep until the next message").
  void WaitMessage() override;

  // --- services for other units --------------------------------------------
  // Wave playback registers its block-done handler here; the pump calls it on
  // the main thread for every AudioBlockDone event.
  void SetAudioBlockDoneHandler(std::function<void(int block)> handler) override;
  // Writes `message` to the standard output and waits for a line (Enter).
  void ReportAudioError(std::string_view message) override;
  void ShowNotice(std::string_view message) override;
  // Posts a private wake-up message (1123, 2980) that ends a WaitMessage.
  void PostWakeUp(int code) override;
  int64_t NowMs() override;
  void Beep() override;

  // The modifiers held when the key of the entry ReadKey took last went down:
  // the line editor asks whether Alt or Shift came with a key (Ctrl+Alt+F9
  // arrives as Ctrl+F9's code).
  platform::Modifiers HeldModifiers() const;
  // Whether the window exists (the first output, input or colour call made it).
  bool Created() const;

  const std::string& StartDir() const { return start_directory_; }

 private:
  void Dispatch(const platform::Event& event);
  void Perform(KeyAction action);

  struct State;
  platform::Platform& platform_;
  std::string start_directory_;
  std::unique_ptr<State> state_;
};

}  // namespace placarim::console
