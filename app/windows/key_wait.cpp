// The key wait on the Windows console: one key press from CONIN$, read as
// raw console input events (console mode 0: no echo, no line editing, no
// Ctrl+C processing), and only when standard output is the console, where a
// person sees the closing line.
//
// SetConsoleMode and SetConsoleCtrlHandler results are not checked: a mode
// that cannot be set leaves the console as it was (the wait still ends on a
// key, only with echo), and there is nothing better to do on the way out.
//
// Events are read with ReadConsoleInputW: the A form gives 0 for every
// non-ASCII character under the UTF-8 input code page (65001), so a key such
// as é would not end the wait there.
#include "app/key_wait.h"

#include <windows.h>

#include "app/windows/console_key.h"

namespace beam {
namespace {

static_assert(kRightAlt == RIGHT_ALT_PRESSED && kLeftAlt == LEFT_ALT_PRESSED);
static_assert(kRightCtrl == RIGHT_CTRL_PRESSED && kLeftCtrl == LEFT_CTRL_PRESSED);
static_assert(kShift == SHIFT_PRESSED && kEnhancedKey == ENHANCED_KEY);
static_assert(kVkPageUp == VK_PRIOR && kVkDown == VK_DOWN && kVkInsert == VK_INSERT);
static_assert(kVkDelete == VK_DELETE && kVkF1 == VK_F1 && kVkF24 == VK_F24);

// What the control handler needs to put the console back if the process is
// ended (Ctrl+Break, the window closed) during the wait.
HANDLE gConsoleInput = INVALID_HANDLE_VALUE;
DWORD gSavedMode = 0;

BOOL WINAPI restoreOnControlEvent(DWORD) {
  SetConsoleMode(gConsoleInput, gSavedMode);
  return FALSE;  // go on with the default handling, which ends the process
}

ConsoleKeyEvent eventOf(const INPUT_RECORD& record) {
  ConsoleKeyEvent event;
  event.isKeyEvent = record.EventType == KEY_EVENT;
  if (!event.isKeyEvent) return event;
  const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
  event.keyDown = key.bKeyDown != FALSE;
  event.character = static_cast<std::uint16_t>(key.uChar.UnicodeChar);
  event.virtualKey = key.wVirtualKeyCode;
  event.controlKeyState = key.dwControlKeyState;
  return event;
}

}  // namespace

void waitForKey(Output& out) {
  DWORD outputMode = 0;
  if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &outputMode)) return out.flush();
  const HANDLE input =
      CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (input == INVALID_HANDLE_VALUE) return out.flush();
  // The mode is switched, and later put back, only when it could be read:
  // "restoring" a mode never read would leave the console without echo.
  DWORD saved = 0;
  const bool switched = GetConsoleMode(input, &saved) != FALSE;
  if (switched) {
    gConsoleInput = input;
    gSavedMode = saved;
    SetConsoleCtrlHandler(restoreOnControlEvent, TRUE);
    SetConsoleMode(input, 0);
  }
  // Only keys pressed after the closing line count; every one of them does.
  FlushConsoleInputBuffer(input);
  const int error = out.write();
  for (; error == 0;) {
    INPUT_RECORD record;
    DWORD count = 0;
    if (!ReadConsoleInputW(input, &record, 1, &count) || count == 0) break;
    if (endsKeyWait(eventOf(record))) break;
  }
  if (switched) {
    SetConsoleMode(input, saved);
    SetConsoleCtrlHandler(restoreOnControlEvent, FALSE);
  }
  CloseHandle(input);
  if (error != 0) Output::fail(error);
}

bool answersAreTyped() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != FALSE &&
         GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != FALSE;
}

}  // namespace beam
