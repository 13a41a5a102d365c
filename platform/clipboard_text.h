// The system's Windows-1252 text on the platform's UTF-8 clipboard.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/platform.h"

namespace placarim::platform {

// Puts `text` (ending at its first 0 byte, if any) on the clipboard as UTF-8.
void CopyCp1252ToClipboard(Clipboard& clipboard, std::string_view text);

// Copies the clipboard's text as Windows-1252 into `buffer`: at most size - 1
// characters and a terminating 0; an empty string when it holds no text;
// `buffer` untouched when the clipboard is busy or `size` is 0.
void PasteCp1252FromClipboard(Clipboard& clipboard, char* buffer, size_t size);

}  // namespace placarim::platform
