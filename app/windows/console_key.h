// Which Windows console input events end the key wait. Pure, so it is built
// and tested on every platform; app/windows/key_wait.cpp feeds it real events.
#pragma once

#include <cstdint>

namespace beam {

/// The fields of one console input record that decide the wait.
struct ConsoleKeyEvent {
  bool isKeyEvent = false;  ///< false for mouse, size, focus and menu events
  bool keyDown = false;     ///< false for a key release
  /// The character the press yields as one UTF-16 unit, 0 for none. Read
  /// as UTF-16 whatever the console's code page, so that every character key
  /// (é, €, a Cyrillic letter) has one.
  std::uint16_t character = 0;
  std::uint16_t virtualKey = 0;
  std::uint32_t controlKeyState = 0;
};

// Control key state bits and virtual key codes, as the console reports them.
inline constexpr std::uint32_t kRightAlt = 0x0001;
inline constexpr std::uint32_t kLeftAlt = 0x0002;
inline constexpr std::uint32_t kRightCtrl = 0x0004;
inline constexpr std::uint32_t kLeftCtrl = 0x0008;
inline constexpr std::uint32_t kShift = 0x0010;
inline constexpr std::uint32_t kEnhancedKey = 0x0100;

inline constexpr std::uint16_t kVkPageUp = 0x21;  // then End, Home, Left, Up, Right,
inline constexpr std::uint16_t kVkDown = 0x28;    // ... up to Down
inline constexpr std::uint16_t kVkInsert = 0x2D;
inline constexpr std::uint16_t kVkDelete = 0x2E;
inline constexpr std::uint16_t kVkF1 = 0x70;
inline constexpr std::uint16_t kVkF24 = 0x87;

/// True when the event is a key press that ends the wait:
///  - a press that yields a character (letters, digits, Enter, Esc, Space,
///    Backspace, Tab, Ctrl+letter), with any modifiers;
///  - a function key F1 to F24, alone or with Shift, Ctrl or Alt;
///  - a cursor-block key (arrows, Home, End, Page Up, Page Down, Insert,
///    Delete; reported with the enhanced-key flag), alone or with Shift,
///    Ctrl or Alt;
///  - the same keys on the keypad with Num Lock off (no enhanced-key flag),
///    alone or with Ctrl.
/// Releases, other events, and Shift, Ctrl, Alt, Caps Lock, Num Lock or
/// Scroll Lock alone never end it.
/// Example: {key, down, 0, 0x26 (Up), kEnhancedKey} -> true;
///          {key, down, 0, 0x10 (Shift), kShift} -> false.
bool endsKeyWait(const ConsoleKeyEvent& event);

}  // namespace beam
