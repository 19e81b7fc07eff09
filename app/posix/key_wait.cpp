// waitForKey on POSIX terminals (what it does: key_wait.h). How: the
// terminal is held raw by RawTerminal (app/posix/raw_terminal.h), whose
// reads wait for input no longer than they are told; this file says where
// one press ends, and app/posix/key_wait_timing.h how long each step waits.
#include "app/key_wait.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstddef>

#include "app/posix/key_wait_timing.h"
#include "app/posix/raw_terminal.h"
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

  // Drops what came in the same read as the bytes taken so far.
  void dropRest() { next_ = end_; }

 private:
  RawTerminal& terminal_;
  unsigned char buffer_[16384];
  std::size_t next_ = 0;
  std::size_t end_ = 0;
};

// Where the terminal does not mark pastes, reads and drops the rest of the
// burst the key came in (a paste) until the input has been quiet for
// kQuietMs, for kBurstMs at most. Keys typed later are left for the shell.
void dropRestOfBurst(RawTerminal& terminal) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBurstMs);
  unsigned char rest[4096];
  std::size_t count = 0;
  while (std::chrono::steady_clock::now() < end &&
         terminal.readBytes(rest, sizeof rest, kQuietMs, count) == Read::kBytes) {
  }
}

// Reads until one key press has been read whole; mouse and focus reports
// are read whole too and passed over. A bracketed paste is read to its
// closing sequence however long it pauses (a terminal may send the rest
// only at its next event), while the terminal is this job's. Any other
// press cut short (its next byte not there in time) ends the wait all the
// same. What came with the key in the same read goes with it (the second
// code point of a flag); where pastes are not marked, so does the rest of
// its burst.
void readOneKeyPress(RawTerminal& terminal, bool pastesMarked) {
  const bool utf8 = localeIsUtf8();
  TerminalBytes input(terminal);
  for (;;) {
    unsigned char byte = 0;
    if (input.next(byte, TerminalBytes::kUntilItComes) != Read::kBytes) return;
    KeyPressParser parser(utf8);
    bool whole = parser.feed(byte);
    while (!whole) {
      const int wait = parser.inPaste()       ? TerminalBytes::kUntilItComes
                       : parser.mayEndHere()  ? kEscapeFollowMs
                       : parser.inCharacter() ? kQuietMs
                                              : kSequenceFollowMs;
      const Read got = input.next(byte, wait);
      if (got == Read::kLost) return;
      // Nothing came: a press that may end here did; any other was cut short.
      if (got == Read::kNothing && !parser.mayEndHere()) return;
      whole = got == Read::kNothing || parser.feed(byte);
    }
    if (parser.isKeyPress()) {
      input.dropRest();
      if (!pastesMarked) dropRestOfBurst(terminal);
      return;
    }
  }
}

}  // namespace

void waitForKey(Output& out) {
  // Started with SIGINT ignored: a shell without job control (a script)
  // starts its & commands so, and nobody at the terminal answers them.
  // Standard output must be the controlling terminal itself, with this job
  // in its foreground: tcgetpgrp fails on any other file or terminal.
  struct sigaction interrupt;
  const int fd = sigaction(SIGINT, nullptr, &interrupt) != 0 || interrupt.sa_handler == SIG_IGN ||
                         tcgetpgrp(STDOUT_FILENO) != getpgrp()
                     ? -1
                     : open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  int error = 0;
  {
    RawTerminal terminal(fd);
    error = out.write();  // the closing line, once what was typed before is gone
    if (error == 0 && terminal.isRaw()) {
      readOneKeyPress(terminal, terminal.askForPasteMarks());
    }
  }
  if (fd >= 0) close(fd);
  if (error != 0) out.fail(error);
}

bool answersAreTyped() { return isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1; }

}  // namespace beam
