#include "platform/key_characters.h"

#include "platform/vk.h"

namespace placarim::platform {

int ControlCharacterOfKey(int vk, const Modifiers& mods) {
  if (mods.alt && !mods.ctrl) return -1;  // Alt combinations type system characters only
  switch (vk) {
    case vk::kReturn: return 13;
    case vk::kBack: return 8;
    case vk::kEscape: return mods.ctrl ? -1 : 27;
    case vk::kTab: return mods.ctrl ? -1 : 9;
    case vk::kSpace: return (mods.ctrl && !mods.alt) ? 32 : -1;  // plain space is typed text
    default: break;
  }
  if (mods.ctrl && !mods.alt && vk >= vk::kA && vk <= vk::kA + 25) return vk - vk::kA + 1;
  // Ctrl with the bracket and backslash keys types the other three control
  // characters; the line editor dials telephone tones on Ctrl+\ (28).
  if (mods.ctrl && !mods.alt) {
    if (vk == vk::kOem4) return 27;
    if (vk == vk::kOem5) return 28;
    if (vk == vk::kOem6) return 29;
  }
  return -1;
}

}  // namespace placarim::platform
