#include "platform/clipboard_text.h"

#include <algorithm>
#include <string>

#include "platform/text_encoding.h"

namespace placarim::platform {

void CopyCp1252ToClipboard(Clipboard& clipboard, std::string_view text) {
  text = text.substr(0, text.find('\0'));  // the text ends at its terminator
  clipboard.SetText(Cp1252ToUtf8(text));
}

void PasteCp1252FromClipboard(Clipboard& clipboard, char* buffer, size_t size) {
  if (size == 0 || buffer == nullptr) return;
  std::string utf8;
  switch (clipboard.GetText(utf8)) {
    case ClipboardStatus::Busy:
      return;
    case ClipboardStatus::NoText:
      buffer[0] = 0;
      return;
    case ClipboardStatus::Text: {
      std::string text = Utf8ToCp1252(utf8);
      text = text.substr(0, text.find('\0'));
      const size_t n = std::min(text.size() + 1, size);
      std::copy_n(text.data(), n - 1, buffer);
      buffer[n - 1] = 0;
      return;
    }
  }
}

}  // namespace placarim::platform
