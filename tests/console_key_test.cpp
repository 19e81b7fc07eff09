#include "app/console_key.h"

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

ConsoleKeyEvent press(char c, std::uint16_t vk, std::uint32_t state = 0) {
  return {true, true, c, vk, state};
}
ConsoleKeyEvent release(char c, std::uint16_t vk) { return {true, false, c, vk, 0}; }

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
};

TEST(ConsoleKey, DecidesWhichEventsEndTheWait) {
  for (const EventCase& c : kEvents) {
    EXPECT_EQ(endsKeyWait(c.event), c.ends) << c.name;
  }
}

}  // namespace
}  // namespace beam
