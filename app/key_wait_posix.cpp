// waitForKey on POSIX terminals (what it does: key_wait.h). How: the
// terminal is held raw by RawTerminal (app/raw_terminal_posix.h), whose
// reads block until a byte comes and whose own timer ends a read that has
// waited long enough; this file says how long, and where one press ends.
// One code path for Linux, macOS and FreeBSD and for any descriptor number:
// neither select()'s FD_SETSIZE nor a poll() that accepts terminals (macOS's
// does not) is needed.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

#include "app/key_wait.h"
#include "app/raw_terminal_posix.h"
#include "app/terminal_key.h"

namespace beam {
namespace {

// How often the wait checks that the terminal is still this job's.
constexpr int kOwnerCheckMs = 200;
// After ESC, a following byte this soon belongs to the same press (an arrow's
// bytes over a slow link can come this far apart).
constexpr int kEscapeFollowMs = 200;
// Inside a sequence the rest arrives together; wait longer before giving up.
constexpr int kSequenceFollowMs = 300;
// After the key, the rest of its burst (a paste the terminal did not
// bracket, over ssh in pieces a few milliseconds apart) is read and dropped
// until the input has been quiet this long, and for this long at most.
constexpr int kQuietMs = 40;
constexpr int kBurstMs = 1000;

using Read = RawTerminal::Read;

// Reads and drops the rest of the burst the key came in (a paste the
// terminal did not bracket, the second code point of a flag) until the
// input has been quiet for kQuietMs, for kBurstMs at most; then drops what
// the terminal still holds. Keys typed later are left for the shell.
void dropRestOfBurst(RawTerminal& terminal) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBurstMs);
  unsigned char rest[4096];
  while (std::chrono::steady_clock::now() < end &&
         terminal.readBytes(rest, sizeof rest, kQuietMs) == Read::kBytes) {
  }
  terminal.dropUnread();
}

// Reads until one key press has been read whole; mouse and focus reports
// are read whole too and passed over. A press cut short (its next byte not
// there in time, a paste that never closes) ends the wait all the same.
void readOneKeyPress(RawTerminal& terminal) {
  for (;;) {
    unsigned char byte = 0;
    Read got = Read::kNothing;
    while (got == Read::kNothing) got = terminal.readBytes(&byte, 1, kOwnerCheckMs);
    if (got == Read::kLost) return;
    KeyPressParser parser;
    while (!parser.feed(byte)) {
      const int wait = parser.mayEndHere() ? kEscapeFollowMs : kSequenceFollowMs;
      if (terminal.readBytes(&byte, 1, wait) != Read::kBytes) return;
    }
    if (parser.isKeyPress()) {
      dropRestOfBurst(terminal);
      return;
    }
  }
}

}  // namespace

void waitForKey() {
  // Started with SIGINT ignored: a shell without job control (a script)
  // starts its & commands so, and nobody at the terminal answers them.
  struct sigaction interrupt;
  if (sigaction(SIGINT, nullptr, &interrupt) != 0 || interrupt.sa_handler == SIG_IGN) return;
  // Standard output must be the controlling terminal itself, with this job
  // in its foreground: tcgetpgrp fails on any other file or terminal.
  if (tcgetpgrp(STDOUT_FILENO) != getpgrp()) return;
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  {
    RawTerminal terminal(fd);
    if (terminal.isRaw()) readOneKeyPress(terminal);
  }
  close(fd);
}

}  // namespace beam
