#include "app/windows/console_key.h"

namespace beam {
namespace {

bool isCursorKey(std::uint16_t vk) {
  return (vk >= kVkPageUp && vk <= kVkDown) || vk == kVkInsert || vk == kVkDelete;
}

bool isFunctionKey(std::uint16_t vk) { return vk >= kVkF1 && vk <= kVkF24; }

}  // namespace

bool endsKeyWait(const ConsoleKeyEvent& event) {
  if (!event.isKeyEvent || !event.keyDown) return false;
  if (event.character != 0) return true;
  if (isFunctionKey(event.virtualKey)) return true;
  if (!isCursorKey(event.virtualKey)) return false;  // modifiers and lock keys alone
  if ((event.controlKeyState & kEnhancedKey) != 0) return true;
  // The keypad's cursor keys (Num Lock off): alone or with Ctrl only; with
  // Alt they compose a character code, with Shift they are not cursor keys.
  return (event.controlKeyState & (kLeftAlt | kRightAlt | kShift)) == 0;
}

}  // namespace beam
