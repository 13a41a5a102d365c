// The console's 80 by 25 screen: a text byte and an attribute byte per cell,
// the cursor, and the rules for writing bytes (deferred wrap, control bytes,
// scrolling). Drawing is left to a sink, so the rules stand without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace placarim::console {

class ScreenBuffer {
 public:
  static constexpr int kColumns = 80;
  static constexpr int kRows = 25;

  class Sink {
   public:
    // Cells [left, right) of `row` changed and should be drawn.
    virtual void DrawSpan(int row, int left, int right) = 0;
    // Rows moved up one; the bottom row is blank.
    virtual void Scrolled() = 0;
    // Byte 7 was written.
    virtual void Bell() = 0;

   protected:
    ~Sink() = default;
  };

  // Every cell becomes a space with `attribute`; the cursor stays.
  void Fill(uint8_t attribute);
  // Writes bytes at the cursor with `attribute` (see the rules in the .cpp).
  void Write(std::string_view bytes, uint8_t attribute, Sink& sink);
  // Blanks from the cursor to the end of its row; returns the first column blanked.
  int ClearToEndOfRow(uint8_t attribute);

  int Column() const { return column_; }  // 0 to 80; 80 is just past the last column
  int Row() const { return row_; }        // 0 to 24
  void MoveTo(int column, int row);       // clamped into the screen

  // Out-of-range cells read as a space with attribute 0.
  uint8_t CharAt(int column, int row) const;
  uint8_t AttrAt(int column, int row) const;
  const uint8_t* RowText(int row) const { return &text_[Index(0, row)]; }
  const uint8_t* RowAttr(int row) const { return &attr_[Index(0, row)]; }

 private:
  static size_t Index(int column, int row) { return static_cast<size_t>(row * kColumns + column); }
  void Put(uint8_t byte, uint8_t attribute);
  void NewLine(int& left, int& right, uint8_t attribute, Sink& sink);

  std::array<uint8_t, kColumns * kRows> text_{};
  std::array<uint8_t, kColumns * kRows> attr_{};
  int column_ = 0;
  int row_ = 0;
};

}  // namespace placarim::console
