#include "console/screen_buffer.h"

#include <algorithm>

namespace placarim::console {

void ScreenBuffer::Fill(uint8_t attribute) {
  text_.fill(' ');
  attr_.fill(attribute);
}

void ScreenBuffer::MoveTo(int column, int row) {
  column_ = std::clamp(column, 0, kColumns - 1);
  row_ = std::clamp(row, 0, kRows - 1);
}

uint8_t ScreenBuffer::CharAt(int column, int row) const {
  if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return ' ';
  return text_[Index(column, row)];
}

uint8_t ScreenBuffer::AttrAt(int column, int row) const {
  if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return 0;
  return attr_[Index(column, row)];
}

void ScreenBuffer::Put(uint8_t byte, uint8_t attribute) {
  text_[Index(column_, row_)] = byte;
  attr_[Index(column_, row_)] = attribute;
}

// Rules per byte: 7 rings the bell; 8 steps back over a cell and blanks it
// (nothing at column 0); 10 starts a new line at column 0; 13 returns to
// column 0; 32 to 255 print, wrapping first when the previous character
// filled the row; every other byte is ignored (no tab expansion).
void ScreenBuffer::Write(std::string_view bytes, uint8_t attribute, Sink& sink) {
  int left = column_, right = column_;  // the changed span of the cursor row
  for (char c : bytes) {
    const auto b = static_cast<uint8_t>(c);
    if (b == 7) {
      sink.Bell();
    } else if (b == 8) {
      if (column_ > 0) {
        --column_;
        Put(' ', attribute);
        left = std::min(left, column_);
      }
    } else if (b == 10) {
      NewLine(left, right, attribute, sink);
      column_ = 0;
    } else if (b == 13) {
      column_ = 0;
    } else if (b >= 32) {
      if (column_ == kColumns) {
        column_ = 0;
        NewLine(left, right, attribute, sink);
      }
      Put(b, attribute);
      // After a carriage return the span must reach back to the new text too.
      left = std::min(left, column_);
      ++column_;
      right = std::max(right, column_);
    }
  }
  if (right > left) sink.DrawSpan(row_, left, right);
}

void ScreenBuffer::NewLine(int& left, int& right, uint8_t attribute, Sink& sink) {
  if (right > left) sink.DrawSpan(row_, left, right);
  left = right = 0;
  if (++row_ < kRows) return;
  row_ = kRows - 1;
  std::copy(text_.begin() + kColumns, text_.end(), text_.begin());
  std::copy(attr_.begin() + kColumns, attr_.end(), attr_.begin());
  std::fill(text_.end() - kColumns, text_.end(), ' ');
  std::fill(attr_.end() - kColumns, attr_.end(), attribute);
  sink.Scrolled();
}

int ScreenBuffer::ClearToEndOfRow(uint8_t attribute) {
  for (int c = column_; c < kColumns; ++c) {
    text_[Index(c, row_)] = ' ';
    attr_[Index(c, row_)] = attribute;
  }
  return column_;
}

}  // namespace placarim::console
