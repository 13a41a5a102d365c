#include "platform/sdl/key_translation.h"

#include <gtest/gtest.h>

#include "platform/sdl/sdl_platform.h"
#include "platform/vk.h"

namespace placarim::platform::sdl {
namespace {

SDL_KeyboardEvent Key(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = KMOD_NONE) {
  SDL_KeyboardEvent key{};
  key.type = type;
  key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  key.keysym.sym = sym;
  key.keysym.scancode = scancode;
  key.keysym.mod = mod;
  return key;
}

struct VkCase {
  const char* what;
  SDL_Keycode sym;
  SDL_Scancode scancode;
  Uint16 mod;
  int vk;
};

TEST(KeyTranslation, MapsKeysToWindowsVirtualKeys) {
  const VkCase cases[] = {
      {"letter", SDLK_f, SDL_SCANCODE_F, KMOD_NONE, vk::kA + 5},
      {"letter by layout, not position", SDLK_q, SDL_SCANCODE_A, KMOD_NONE, vk::kA + 16},
      {"non-ASCII letter falls back to position", 0x0444, SDL_SCANCODE_A, KMOD_NONE, vk::kA},
      {"digit", SDLK_7, SDL_SCANCODE_7, KMOD_NONE, vk::k0 + 7},
      {"digit row typing symbols", SDLK_AMPERSAND, SDL_SCANCODE_1, KMOD_NONE, vk::k0 + 1},
      {"zero", SDLK_0, SDL_SCANCODE_0, KMOD_NONE, vk::k0},
      {"F1", SDLK_F1, SDL_SCANCODE_F1, KMOD_NONE, vk::kF1},
      {"F12", SDLK_F12, SDL_SCANCODE_F12, KMOD_NONE, vk::kF12},
      {"Up", SDLK_UP, SDL_SCANCODE_UP, KMOD_NONE, vk::kUp},
      {"Page Down", SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, KMOD_NONE, vk::kNext},
      {"Insert", SDLK_INSERT, SDL_SCANCODE_INSERT, KMOD_NONE, vk::kInsert},
      {"Delete", SDLK_DELETE, SDL_SCANCODE_DELETE, KMOD_NONE, vk::kDelete},
      {"Enter", SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_NONE, vk::kReturn},
      {"keypad Enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, KMOD_NONE, vk::kReturn},
      {"space", SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_NONE, vk::kSpace},
      {"Pause", SDLK_PAUSE, SDL_SCANCODE_PAUSE, KMOD_NONE, vk::kPause},
      {"Ctrl+Break", SDLK_PAUSE, SDL_SCANCODE_PAUSE, KMOD_LCTRL, vk::kCancel},
      {"keypad 8 without Num Lock", SDLK_KP_8, SDL_SCANCODE_KP_8, KMOD_NONE, vk::kUp},
      {"keypad 0 without Num Lock", SDLK_KP_0, SDL_SCANCODE_KP_0, KMOD_NONE, vk::kInsert},
      {"keypad 8 with Num Lock", SDLK_KP_8, SDL_SCANCODE_KP_8, KMOD_NUM, 0x68},
      {"keypad point without Num Lock", SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, KMOD_NONE, vk::kDelete},
      {"c-cedilla key of a Brazilian keyboard", 0xE7, SDL_SCANCODE_SEMICOLON, KMOD_NONE, 0xBA},
      {"comma on any layout", SDLK_COMMA, SDL_SCANCODE_M, KMOD_NONE, 0xBC},
      {"right Alt", SDLK_RALT, SDL_SCANCODE_RALT, KMOD_RALT, vk::kMenu},
      {"left Ctrl", SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL, vk::kControl},
      {"right Shift", SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, KMOD_RSHIFT, vk::kShift},
      {"unknown key", SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, KMOD_NONE, 0},
  };
  for (const VkCase& c : cases) {
    EXPECT_EQ(VirtualKeyOf(c.sym, c.scancode, c.mod), c.vk) << c.what;
  }
}

TEST(KeyTranslation, ModifiersTreatAltGrAsCtrlAlt) {
  EXPECT_EQ(ModifiersOf(KMOD_RALT), (Modifiers{true, false, true}));
  EXPECT_EQ(ModifiersOf(KMOD_MODE), (Modifiers{true, false, true}));
  EXPECT_EQ(ModifiersOf(KMOD_LALT), (Modifiers{false, false, true}));
  EXPECT_EQ(ModifiersOf(KMOD_RCTRL | KMOD_LSHIFT), (Modifiers{true, true, false}));
  EXPECT_EQ(ModifiersOf(KMOD_NUM | KMOD_CAPS), (Modifiers{}));
}

struct PressCase {
  const char* what;
  SDL_Keycode sym;
  SDL_Scancode scancode;
  Uint16 mod;
  bool system;
  int ch;  // -1: no character event
};

TEST(KeyTranslation, KeyPressesGiveKeyDownAndTheCharactersWindowsTypes) {
  const PressCase cases[] = {
      {"Enter", SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_NONE, false, 13},
      {"Ctrl+Enter keeps 13 (the console makes it 10)", SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LCTRL, false, 13},
      {"Backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, KMOD_NONE, false, 8},
      {"Ctrl+Backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, KMOD_LCTRL, false, 8},
      {"Tab", SDLK_TAB, SDL_SCANCODE_TAB, KMOD_NONE, false, 9},
      {"Shift+Tab", SDLK_TAB, SDL_SCANCODE_TAB, KMOD_LSHIFT, false, 9},
      {"Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, KMOD_NONE, false, 27},
      {"Ctrl+A", SDLK_a, SDL_SCANCODE_A, KMOD_LCTRL, false, 1},
      {"Ctrl+C does not end anything", SDLK_c, SDL_SCANCODE_C, KMOD_RCTRL, false, 3},
      {"Ctrl+Shift+Z", SDLK_z, SDL_SCANCODE_Z, KMOD_LCTRL | KMOD_LSHIFT, false, 26},
      {"Ctrl+space", SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_LCTRL, false, 32},
      {"Ctrl+[", SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, KMOD_LCTRL, false, 27},
      {"Ctrl+\\ dials tones in the editor", SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, KMOD_LCTRL, false, 28},
      {"Ctrl+]", SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, KMOD_LCTRL, false, 29},
      {"plain backslash comes as text", SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, KMOD_NONE, false, -1},
      {"plain letter types through text input", SDLK_a, SDL_SCANCODE_A, KMOD_NONE, false, -1},
      {"plain space types through text input", SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_NONE, false, -1},
      {"Up", SDLK_UP, SDL_SCANCODE_UP, KMOD_NONE, false, -1},
      {"F10 is a system key", SDLK_F10, SDL_SCANCODE_F10, KMOD_NONE, true, -1},
      {"Alt+letter is a system key", SDLK_x, SDL_SCANCODE_X, KMOD_LALT, true, -1},
      {"Alt+Enter types nothing", SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT, true, -1},
      {"Ctrl+Alt+letter is a plain key", SDLK_q, SDL_SCANCODE_Q, KMOD_LCTRL | KMOD_LALT, false, -1},
      {"AltGr+letter is a plain key", SDLK_q, SDL_SCANCODE_Q, KMOD_RALT, false, -1},
      {"Ctrl+F10", SDLK_F10, SDL_SCANCODE_F10, KMOD_LCTRL, false, -1},
  };
  for (const PressCase& c : cases) {
    std::vector<Event> events;
    TranslateKey(Key(SDL_KEYDOWN, c.sym, c.scancode, c.mod), events);
    ASSERT_FALSE(events.empty()) << c.what;
    EXPECT_EQ(events[0].type, EventType::KeyDown) << c.what;
    EXPECT_EQ(events[0].system, c.system) << c.what;
    if (c.ch < 0) {
      EXPECT_EQ(events.size(), 1u) << c.what;
    } else {
      ASSERT_EQ(events.size(), 2u) << c.what;
      EXPECT_EQ(events[1].type, EventType::Char) << c.what;
      EXPECT_EQ(events[1].ch, c.ch) << c.what;
      EXPECT_EQ(events[1].mods, events[0].mods) << c.what;
    }
  }
}

TEST(KeyTranslation, ReleasesGiveKeyUpOnlyAndUnknownKeysNothing) {
  std::vector<Event> events;
  TranslateKey(Key(SDL_KEYUP, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LCTRL), events);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, EventType::KeyUp);
  EXPECT_EQ(events[0].vk, vk::kReturn);
  EXPECT_TRUE(events[0].mods.ctrl);

  events.clear();
  TranslateKey(Key(SDL_KEYDOWN, SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), events);
  EXPECT_TRUE(events.empty());
}

struct TextCase {
  const char* what;
  const char* utf8;
  Uint16 mod;
  std::string cp1252;
};

TEST(KeyTranslation, TextInputBecomesWindows1252Characters) {
  const TextCase cases[] = {
      {"ASCII", "a", KMOD_NONE, "a"},
      {"shifted", "A", KMOD_LSHIFT, "A"},
      {"accented letters", "\xC3\xA7\xC3\xA3", KMOD_NONE, "\xE7\xE3"},
      {"euro sign from the 0x80 row", "\xE2\x82\xAC", KMOD_NONE, "\x80"},
      {"character without a code is dropped", "a\xE4\xB8\xAD" "b", KMOD_NONE, "ab"},
      {"malformed UTF-8 is dropped", "\xC3", KMOD_NONE, ""},
      {"AltGr typing a symbol", "/", KMOD_RALT, "/"},
      {"Ctrl alone types nothing", "a", KMOD_LCTRL, ""},
      {"Alt alone types nothing", "a", KMOD_LALT, ""},
      {"Ctrl with left Alt types nothing", "1", KMOD_LCTRL | KMOD_LALT, ""},
      {"AltGr with Ctrl still types", "/", KMOD_RALT | KMOD_LCTRL, "/"},
      {"control characters are not text", "\x7F", KMOD_NONE, ""},
  };
  for (const TextCase& c : cases) {
    std::vector<Event> events;
    TranslateText(c.utf8, c.mod, events);
    std::string typed;
    for (const Event& e : events) {
      EXPECT_EQ(e.type, EventType::Char) << c.what;
      typed += static_cast<char>(e.ch);
    }
    EXPECT_EQ(typed, c.cp1252) << c.what;
  }
}

// Keypad keys through SDL's own queue: whatever SDL's Num Lock state says,
// one press gives one key, decided by the text the desktop typed for it.
class KeypadThroughTheQueue : public ::testing::Test {
 protected:
  struct Seen {
    EventType type;
    int vk;
    uint8_t ch;
    friend bool operator==(const Seen&, const Seen&) = default;
  };

  static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }
  static void PushKey(Uint32 type, SDL_Scancode scancode, Uint16 mod, SDL_Keycode sym = SDLK_UNKNOWN) {
    SDL_Event event{};
    event.key = Key(type, sym, scancode, mod);
    Push(event);
  }
  static void PushText(const char* text) {
    SDL_Event event{};
    event.text.type = SDL_TEXTINPUT;
    SDL_strlcpy(event.text.text, text, sizeof event.text.text);
    Push(event);
  }
  std::vector<Seen> Taken() {
    std::vector<Seen> seen;
    Event event;
    while (platform_.Events().Poll(event)) {
      if (event.type == EventType::KeyDown || event.type == EventType::KeyUp || event.type == EventType::Char) {
        seen.push_back({event.type, event.type == EventType::Char ? 0 : event.vk, event.ch});
      }
    }
    return seen;
  }

  SdlPlatform platform_;
};

TEST_F(KeypadThroughTheQueue, OnePressGivesOneKey) {
  constexpr int kNumpad8 = 0x68;
  const Seen digit_down{EventType::KeyDown, kNumpad8, 0}, digit_up{EventType::KeyUp, kNumpad8, 0};
  const Seen up_down{EventType::KeyDown, vk::kUp, 0}, up_up{EventType::KeyUp, vk::kUp, 0};
  const Seen eight{EventType::Char, 0, '8'};
  const struct {
    const char* what;
    Uint16 sdl_num_lock;
    bool text_with_key;   // the desktop typed "8" right behind the key-down
    bool text_later;      // ... or only after the key-up
    std::vector<Seen> seen;
  } cases[] = {
      {"both say digit", KMOD_NUM, true, false, {digit_down, eight, digit_up}},
      {"SDL says navigation, the desktop typed 8", KMOD_NONE, true, false, {digit_down, eight, digit_up}},
      {"SDL says digit, the desktop typed nothing", KMOD_NUM, false, false, {up_down, up_up}},
      {"both say navigation", KMOD_NONE, false, false, {up_down, up_up}},
      {"the text came late", KMOD_NONE, false, true, {up_down, up_up}},
  };
  for (const auto& c : cases) {
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_KP_8, c.sdl_num_lock, SDLK_KP_8);
    if (c.text_with_key) PushText("8");
    PushKey(SDL_KEYUP, SDL_SCANCODE_KP_8, c.sdl_num_lock, SDLK_KP_8);
    if (c.text_later) PushText("8");
    EXPECT_EQ(Taken(), c.seen) << c.what;
  }
  // The digit row's own 8 still types after a keypad key went by as Up.
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_8, KMOD_NONE, SDLK_8);
  PushText("8");
  EXPECT_EQ(Taken(), (std::vector<Seen>{{EventType::KeyDown, vk::k0 + 8, 0}, eight}));
}

}  // namespace
}  // namespace placarim::platform::sdl
