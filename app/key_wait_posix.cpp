// waitForKey on POSIX terminals (what it does: key_wait.h). How: the
// terminal is held raw by RawTerminal (app/raw_terminal_posix.h), whose
// reads block until a byte comes and whose own timer ends a read that has
// waited long enough; this file says where one press ends, and
// app/key_wait_timing.h how long each step waits.
// One code path for Linux, macOS and FreeBSD and for any descriptor number:
// neither select()'s FD_SETSIZE nor a poll() that accepts terminals (macOS's
// does not) is needed.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstddef>

#include "app/key_wait.h"
#include "app/key_wait_timing.h"
#include "app/raw_terminal_posix.h"
#include "app/terminal_key.h"

namespace beam {
namespace {

using Read = RawTerminal::Read;

// What has been read of the terminal and not yet looked at: the terminal is
// read in large pieces (a 1 MB paste in a few hundred reads), and the bytes
// are taken one at a time.
class TerminalBytes {
 public:
  explicit TerminalBytes(RawTerminal& terminal) : terminal_(terminal) {}

  // The next byte, waiting at most `milliseconds` for it to come; with
  // kUntilItComes, for as long as the terminal is this job's.
  static constexpr int kUntilItComes = -1;
  Read next(unsigned char& byte, int milliseconds) {
    while (next_ == end_) {
      const int wait = milliseconds == kUntilItComes ? kOwnerCheckMs : milliseconds;
      const Read got = terminal_.readBytes(buffer_, sizeof buffer_, wait, end_);
      next_ = 0;
      if (got == Read::kLost || (got == Read::kNothing && milliseconds != kUntilItComes)) {
        end_ = 0;
        return got;
      }
    }
    byte = buffer_[next_++];
    return Read::kBytes;
  }

 private:
  RawTerminal& terminal_;
  unsigned char buffer_[16384];
  std::size_t next_ = 0;
  std::size_t end_ = 0;
};

// Reads and drops the rest of the burst the key came in (a paste the
// terminal did not bracket, the second code point of a flag) until the
// input has been quiet for kQuietMs, for kBurstMs at most; then drops what
// the terminal still holds. Keys typed later are left for the shell.
void dropRestOfBurst(RawTerminal& terminal) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBurstMs);
  unsigned char rest[4096];
  std::size_t count = 0;
  while (std::chrono::steady_clock::now() < end &&
         terminal.readBytes(rest, sizeof rest, kQuietMs, count) == Read::kBytes) {
  }
  terminal.dropUnread();
}

// Reads until one key press has been read whole; mouse and focus reports
// are read whole too and passed over. A bracketed paste is read to its
// closing sequence however long it pauses (a terminal may send the rest
// only at its next event), while the terminal is this job's. Any other
// press cut short (its next byte not there in time) ends the wait all the
// same.
void readOneKeyPress(RawTerminal& terminal) {
  TerminalBytes input(terminal);
  for (;;) {
    unsigned char byte = 0;
    if (input.next(byte, TerminalBytes::kUntilItComes) != Read::kBytes) return;
    KeyPressParser parser;
    while (!parser.feed(byte)) {
      const int wait = parser.inPaste()      ? TerminalBytes::kUntilItComes
                       : parser.mayEndHere() ? kEscapeFollowMs
                                             : kSequenceFollowMs;
      if (input.next(byte, wait) != Read::kBytes) return;
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
