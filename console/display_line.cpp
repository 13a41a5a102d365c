#include "console/display_line.h"

#include <algorithm>

#include "console/keys.h"

namespace placarim::console {

void DisplayLine::SetComputerBraille(bool on) {
  if (on == computer_braille_) return;
  computer_braille_ = on;
  Render();
}

void DisplayLine::Show(std::string_view text, int cursor) {
  const bool same_text = text == text_;
  if (same_text && cursor == cursor_) return;
  if (!same_text) {
    text_.assign(text);
    cells_ = braille::ToBraille(text_);
    offset_ = 0;
  }
  cursor_ = cursor < 0 ? kNoCursor : std::min(cursor, static_cast<int>(text_.size()));
  Render();
}

int DisplayLine::CellCount() const {
  return computer_braille_ ? static_cast<int>(text_.size()) : static_cast<int>(cells_.cells.size());
}

int DisplayLine::CellOfCursor() const {
  if (cursor_ < 0) return kNoCursor;
  return computer_braille_ ? cursor_ : cells_.CellOf(cursor_);
}

int DisplayLine::CharOfCell(int cell) const {
  if (computer_braille_ || cell >= static_cast<int>(cells_.source.size())) {
    return std::min(cell, static_cast<int>(text_.size()));
  }
  return cells_.source[static_cast<size_t>(cell)];
}

void DisplayLine::Render(bool follow_cursor) {
  if (display_ == nullptr) return;
  width_ = display_->Width();
  if (width_ <= 0) return;
  // The window keeps its place while the cursor stays inside it, and jumps
  // by whole display widths to where the cursor went; panning leaves the
  // cursor behind while the child reads on.
  const int cursor_cell = CellOfCursor();
  if (follow_cursor && cursor_cell >= 0 && (cursor_cell < offset_ || cursor_cell >= offset_ + width_)) {
    offset_ = cursor_cell / width_ * width_;
  }
  const int extent = std::max(CellCount(), cursor_cell + 1);
  offset_ = std::clamp(offset_, 0, std::max(0, (extent - 1) / width_ * width_));
  platform::BrailleWindow window;
  window.as_text = computer_braille_;
  if (computer_braille_) {
    window.text = text_.substr(std::min(text_.size(), static_cast<size_t>(offset_)), static_cast<size_t>(width_));
  } else {
    const auto begin = cells_.cells.begin() + std::min(offset_, CellCount());
    window.cells.assign(begin, begin + std::min(width_, CellCount() - std::min(offset_, CellCount())));
  }
  if (cursor_cell >= offset_ && cursor_cell < offset_ + width_) window.cursor = cursor_cell - offset_;
  display_->Show(window);
}

void DisplayLine::Pan(int direction) {
  if (width_ <= 0) return;
  const int moved = offset_ + direction * width_;
  if (moved < 0 || moved >= std::max(CellCount(), CellOfCursor() + 1)) return;
  offset_ = moved;
  Render(false);
}

int DisplayLine::TakeRouting() {
  const int routed = routed_;
  routed_ = -1;
  return routed;
}

void DisplayLine::Push(uint8_t code) { queue_.Push(code); }

void DisplayLine::TakeDisplayKeys() {
  if (display_ == nullptr) return;
  if (display_->Width() != width_) Render();
  using Kind = platform::BrailleKey::Kind;
  platform::BrailleKey key;
  while (display_->PollKey(key)) {
    switch (key.kind) {
      case Kind::Dots:
        if (const auto c = reader_.Read(static_cast<uint8_t>(key.value))) Push(*c);
        break;
      case Kind::Char:
        Push(static_cast<uint8_t>(key.value));
        break;
      case Kind::Routing:
        // Only a line with a cursor has a place for it to go.
        if (cursor_ >= 0 && key.value >= 0 && key.value < std::max(width_, 1)) {
          routed_ = CharOfCell(offset_ + key.value);
          queue_.PushPair(0, extended::kBrailleRouting);
        }
        break;
      case Kind::PanLeft:
        Pan(-1);
        break;
      case Kind::PanRight:
        Pan(1);
        break;
      case Kind::Enter:
        reader_.Reset();
        Push(plain::kEnter);
        break;
      case Kind::Escape:
        reader_.Reset();
        Push(plain::kEscape);
        break;
      case Kind::Backspace:
        Push(plain::kBackspace);
        break;
    }
  }
}

}  // namespace placarim::console
