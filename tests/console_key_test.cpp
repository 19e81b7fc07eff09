#include "app/windows/console_key.h"

#include <gtest/gtest.h>

namespace beam {
namespace {

constexpr std::uint32_t kCtrl = kLeftCtrl;
constexpr std::uint32_t kAlt = kLeftAlt;
constexpr std::uint32_t kNumLock = 0x0020;
constexpr std::uint32_t kCapsLock = 0x0080;

struct EventCase {
  const char* name;
  ConsoleKeyEvent event;
  bool ends;
};

ConsoleKeyEvent press(std::uint16_t c, std::uint16_t vk, std::uint32_t state = 0) {
  return {true, true, c, vk, state};
}
ConsoleKeyEvent release(std::uint16_t c, std::uint16_t vk) { return {true, false, c, vk, 0}; }

// event as the console reports it (character, virtual key, control state) -> ends the wait
const EventCase kEvents[] = {
    {"mouse, size, focus or menu", {false, false, 0, 0, 0}, false},
    {"letter released", release('a', 'A'), false},
    {"arrow released", release(0, 0x26), false},
    {"letter", press('a', 'A'), true},
    {"capital with Shift", press('A', 'A', kShift), true},
    {"digit", press('7', '7'), true},
    {"Enter", press('\r', 0x0D), true},
    {"Esc", press(0x1b, 0x1B), true},
    {"Space", press(' ', 0x20), true},
    {"Backspace", press(0x08, 0x08), true},
    {"Tab", press('\t', 0x09), true},
    {"Ctrl+C", press(0x03, 'C', kCtrl), true},
    {"Alt+x", press('x', 'X', kAlt), true},
    {"F1", press(0, 0x70), true},
    {"Shift+F5", press(0, 0x74, kShift), true},
    {"Alt+F12", press(0, 0x7B, kAlt), true},
    {"Up", press(0, 0x26, kEnhancedKey), true},
    {"Ctrl+Left", press(0, 0x25, kEnhancedKey | kCtrl), true},
    {"Shift+End", press(0, 0x23, kEnhancedKey | kShift), true},
    {"Alt+Page Down", press(0, 0x22, kEnhancedKey | kAlt), true},
    {"Insert", press(0, 0x2D, kEnhancedKey), true},
    {"Delete", press(0, 0x2E, kEnhancedKey), true},
    {"keypad Home, Num Lock off", press(0, 0x24), true},
    {"Ctrl+keypad Up, Num Lock off", press(0, 0x26, kCtrl), true},
    {"Alt+keypad 1 (character code)", press(0, 0x23, kAlt), false},
    {"Shift+keypad Down", press(0, 0x28, kShift), false},
    {"Shift alone", press(0, 0x10, kShift), false},
    {"Ctrl alone", press(0, 0x11, kCtrl), false},
    {"right Ctrl alone", press(0, 0x11, kRightCtrl | kEnhancedKey), false},
    {"Alt alone", press(0, 0x12, kAlt), false},
    {"right Alt alone", press(0, 0x12, kRightAlt | kEnhancedKey), false},
    {"Caps Lock", press(0, 0x14, kCapsLock), false},
    {"Num Lock", press(0, 0x90, kNumLock | kEnhancedKey), false},
    {"Scroll Lock", press(0, 0x91), false},
    // characters beyond ASCII, as UTF-16 units
    {"e acute", press(0x00E9, 0xDE), true},
    {"euro sign (AltGr+E)", press(0x20AC, 'E', kRightAlt | kLeftCtrl), true},
    {"Cyrillic letter", press(0x0436, 0xBA), true},
    // each end of each key range, and the codes just outside it
    {"Space's code, no character", press(0, 0x20, kEnhancedKey), false},
    {"Page Up", press(0, 0x21, kEnhancedKey), true},
    {"Down", press(0, 0x28, kEnhancedKey), true},
    {"Select (after Down)", press(0, 0x29, kEnhancedKey), false},
    {"Print Screen (before Insert)", press(0, 0x2C, kEnhancedKey), false},
    {"Help (after Delete)", press(0, 0x2F, kEnhancedKey), false},
    {"keypad divide (before F1)", press(0, 0x6F, kEnhancedKey), false},
    {"F24", press(0, 0x87), true},
    {"after F24", press(0, 0x88), false},
    // each modifier bit on a keypad cursor key, Num Lock off
    {"right Ctrl+keypad Up", press(0, 0x26, kRightCtrl), true},
    {"left Ctrl+keypad Up", press(0, 0x26, kLeftCtrl), true},
    {"right Alt+keypad Up", press(0, 0x26, kRightAlt), false},
    {"left Alt+keypad Up", press(0, 0x26, kLeftAlt), false},
    {"Shift+keypad Up", press(0, 0x26, kShift), false},
    {"keypad Up, Num Lock and Caps Lock on", press(0, 0x26, kNumLock | kCapsLock), true},
};

TEST(ConsoleKey, DecidesWhichEventsEndTheWait) {
  for (const EventCase& c : kEvents) {
    EXPECT_EQ(endsKeyWait(c.event), c.ends) << c.name;
  }
}

}  // namespace
}  // namespace beam
