// RawTerminal (what it does: app/posix/raw_terminal.h). How: every piece of
// state the signal handlers need is in one place (gTerminal), written only
// while they are blocked; the handlers put the settings back with
// tcsetattr and write() alone. sigprocmask and the handlers' own sigaction
// calls are given only valid arguments (actions this process read a moment
// before), for which they cannot fail; their results are not checked. The
// reads are timed by waiting for input (app/input_ready.h), not by a timer:
// SIGALRM stays the process's own.
#include "app/posix/raw_terminal.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "app/input_ready.h"
#include "app/posix/parent_watch.h"
#include "app/posix/wait_signals.h"

namespace beam {
namespace {

constexpr std::string_view kPasteOn = "\x1b[?2004h";
constexpr std::string_view kPasteOff = "\x1b[?2004l";

// What the signal handlers share with the wait, in one place. There is one
// wait at a time in a process: RawTerminal fills this when it takes the
// terminal and empties it (fd -1) when it gives it back; a second
// RawTerminal while one exists takes nothing. Every field is written only
// with the handled signals blocked, or before the handlers exist.
struct SharedTerminal {
  int fd = -1;             // the controlling terminal, open for the wait
  struct termios saved;    // as it was: put back on every way out
  struct termios active;   // as the wait has set it (read back from the terminal)
  bool rawSet = false;     // active is filled in: the wait has set the terminal raw
  bool pasteMode = false;  // bracketed paste is asked for while raw
};
SharedTerminal gTerminal;

bool sameSettings(const struct termios& a, const struct termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

bool ownsTerminal() { return tcgetpgrp(gTerminal.fd) == getpgrp(); }

// Asks the terminal for bracketed paste, or switches it off, when the wait
// uses it. Only write(), so that signal handlers may call it; a terminal
// that cannot take the bytes changes nothing.
void switchPasteMode(std::string_view sequence) {
  if (!gTerminal.pasteMode) return;
  const ssize_t written = write(gTerminal.fd, sequence.data(), sequence.size());
  static_cast<void>(written);
}

// Raw again, with paste mode, after a stop or a shell's own settings; a
// terminal still raw (continued twice) is left as it is, and so is one the
// wait never set raw (its settings are not filled in).
void resumeRaw() {
  if (!gTerminal.rawSet) return;
  struct termios now;
  if (tcgetattr(gTerminal.fd, &now) == 0 && sameSettings(now, gTerminal.active)) return;
  if (tcsetattr(gTerminal.fd, TCSANOW, &gTerminal.active) == 0) switchPasteMode(kPasteOn);
}

// Puts the saved settings back, from the foreground or the background
// (SIGTTOU is blocked), but only while the terminal still has the wait's
// settings: settings that someone else has set since stay as they are, and
// so does the paste mode of whoever set them (a shell's line editor). The
// settings go first: a shell may save them the moment its job ends.
void restoreIfOurs() {
  struct termios now;
  if (gTerminal.rawSet && tcgetattr(gTerminal.fd, &now) == 0 &&
      sameSettings(now, gTerminal.active) &&
      tcsetattr(gTerminal.fd, TCSANOW, &gTerminal.saved) == 0) {
    switchPasteMode(kPasteOff);
  }
}

extern "C" void restoreAndEnd(int signal) {
  restoreIfOurs();
  // SA_RESETHAND has put back the default action; the raised signal ends the
  // process as soon as this handler returns (a fault ends it by repeating).
  raise(signal);
}

// Runs with all the handled signals blocked. SIGCONT in particular stays
// blocked until this handler is installed again, so a SIGTSTP that follows
// a SIGCONT at once always finds it and never stops the process raw.
extern "C" void stopRestored(int) {
  const int savedErrno = errno;
  restoreIfOurs();
  stopUntilContinued();
  // Continued in the foreground, or the stop was discarded (an orphaned
  // process group, where no SIGCONT follows): read raw as before. Continued
  // in the background: the wait sees that and ends.
  if (ownsTerminal()) resumeRaw();
  errno = savedErrno;
}

extern "C" void resumeActive(int) {
  const int savedErrno = errno;
  if (ownsTerminal()) resumeRaw();
  errno = savedErrno;
}

// The parent's end (WaitSignals::kParentEnd): as a hang-up, the settings
// back at once. Linux sends it when the parent's thread that started this
// process ends, too; the parent process still the same, that is no end:
// the watch is armed again and the wait goes on.
extern "C" void parentEnded(int) {
  const int savedErrno = errno;
  if (parentGone()) {
    restoreIfOurs();  // at once: the parent's shell saves the settings now
    raise(SIGHUP);    // once this handler returns, SIGHUP's ends the process
  } else {
    signalWhenParentEnds(WaitSignals::kParentEnd);
  }
  errno = savedErrno;
}

// The wait's handlers, for every signal that ends or stops the process;
// built when the first wait starts, so that a run that never waits builds
// nothing of them.
WaitSignals& waitSignals() {
  static WaitSignals signals(restoreAndEnd, stopRestored, resumeActive, parentEnded);
  return signals;
}

// Reads and drops what was typed before the wait (its descriptor does not
// block). True when it held an end-of-input mark: in line mode, a read that
// returns nothing while the terminal is this job's.
bool dropTypedAhead() {
  struct termios now;
  const bool lineMode = tcgetattr(gTerminal.fd, &now) == 0 && (now.c_lflag & ICANON) != 0;
  unsigned char typed[4096];
  for (int reads = 0; reads < 1024; ++reads) {  // a line mode buffer holds a few KiB
    const ssize_t n = read(gTerminal.fd, typed, sizeof typed);
    if (n == 0) return lineMode;
    if (n < 0) return false;
  }
  return false;
}

// Raw input whose reads block until a byte comes; TCSAFLUSH drops the rest
// of a line still being typed.
bool setRaw() {
  struct termios raw = gTerminal.saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | ISIG | IEXTEN);
  raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  gTerminal.active = raw;
  if (tcsetattr(gTerminal.fd, TCSAFLUSH, &raw) != 0) return false;
  // What the terminal kept (a locked bit stays as it was) is what the
  // restore compares with.
  tcgetattr(gTerminal.fd, &gTerminal.active);
  gTerminal.rawSet = true;
  return true;
}

}  // namespace

RawTerminal::RawTerminal(int fd) {
  if (gTerminal.fd >= 0 || tcgetattr(fd, &gTerminal.saved) != 0) return;
  WaitSignals& signals = waitSignals();
  sigprocmask(SIG_BLOCK, &signals.all(), &mask_);
  gTerminal.fd = fd;
  taken_ = true;
  signals.install();
  // The program that started this one ends: as a hang-up (or as the signal
  // it asked for, where the wait handles that one), the settings go back at
  // once: its shell saves them the moment it ends.
  parentSignal_ = parentEndSignal();
  if (!signals.ends(parentSignal_) && signals.ends(SIGHUP) && signals.watchesParent()) {
    signalWhenParentEnds(WaitSignals::kParentEnd);
    parentSignalChanged_ = true;
  }
  raw_ = !parentGone() && ownsTerminal() && !dropTypedAhead() && setRaw();
  sigset_t during = mask_;
  sigaddset(&during, SIGTTIN);
  sigaddset(&during, SIGTTOU);
  sigprocmask(SIG_SETMASK, &during, nullptr);
}

// Puts the terminal back with the handled signals blocked, so that no
// handler can set raw input again afterwards; one that came meanwhile is
// delivered with its previous action.
RawTerminal::~RawTerminal() {
  if (!taken_) return;
  WaitSignals& signals = waitSignals();
  sigprocmask(SIG_BLOCK, &signals.all(), nullptr);
  restoreIfOurs();
  if (parentSignalChanged_) signalWhenParentEnds(parentSignal_);
  signals.uninstall();
  gTerminal.fd = -1;
  gTerminal.rawSet = false;
  gTerminal.pasteMode = false;
  sigprocmask(SIG_SETMASK, &mask_, nullptr);
}

bool RawTerminal::askForPasteMarks() {
  const char* term = std::getenv("TERM");
  const std::string_view type = term == nullptr ? "" : term;
  // The Linux console (linux, linux-16color, ...) marks no pastes.
  if (!raw_ || type.empty() || type == "dumb" || type == "linux" || type.starts_with("linux-")) {
    return false;
  }
  sigset_t held;
  sigprocmask(SIG_BLOCK, &waitSignals().all(), &held);
  gTerminal.pasteMode = true;
  switchPasteMode(kPasteOn);
  sigprocmask(SIG_SETMASK, &held, nullptr);
  return true;
}

RawTerminal::Read RawTerminal::readBytes(unsigned char* bytes, std::size_t size, int milliseconds,
                                         std::size_t& count) {
  using Clock = std::chrono::steady_clock;
  count = 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (!ownsTerminal() || parentGone()) return Read::kLost;
    const ssize_t n = read(gTerminal.fd, bytes, size);
    if (n > 0) {
      count = static_cast<std::size_t>(n);
      return Read::kBytes;
    }
    // Nothing may be nothing yet under settings someone else has set since;
    // under the wait's own (VMIN 1) it is the terminal's end.
    if (n == 0 && !readsMayFindNothing(gTerminal.fd)) return Read::kLost;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return Read::kLost;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return Read::kNothing;
    const Ready ready = waitForInput(gTerminal.fd, static_cast<int>(left));
    if (ready == Ready::kGone || ready == Ready::kUnwatchable) return Read::kLost;
  }
}

}  // namespace beam
