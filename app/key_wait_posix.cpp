// The key wait on POSIX terminals: one key press from the controlling
// terminal, read raw (no echo, no line editing, no signal keys), and only for
// a person who sees the closing line: standard output is a terminal and this
// process group is the terminal's foreground job.
//
// One code path for Linux, macOS and FreeBSD and for any descriptor number:
// the bytes after the first one of a press are awaited with the terminal's
// own read timer (VMIN 0, VTIME), which needs neither select()'s FD_SETSIZE
// nor a poll() that accepts terminals (macOS's does not).
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "app/key_wait.h"
#include "app/terminal_key.h"

namespace beam {
namespace {

// After ESC, a following byte this soon belongs to the same press (an arrow's
// bytes over a slow link can come this far apart).
constexpr int kEscapeFollowMs = 200;
// Inside a sequence the rest arrives together; wait longer before giving up.
constexpr int kSequenceFollowMs = 300;

// Catchable signals whose default action ends the process: the handler puts
// the terminal back first, then the signal ends the process as it would have.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,    SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2,
                                  SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGPIPE};
constexpr int kEndingCount = sizeof kEndingSignals / sizeof kEndingSignals[0];
// With job control's SIGTSTP (stop with the terminal put back) and SIGCONT
// (the wait's settings again).
constexpr int kHandledCount = kEndingCount + 2;

// What the signal handlers need. gTerminal and gSaved are written before the
// handlers are installed; gActive only with every handled signal blocked.
int gTerminal = -1;
struct termios gSaved;   // the terminal as it was: put back on every way out
struct termios gActive;  // what the wait has set: put back after a stop
sigset_t gHandled;       // every signal with a handler of ours

// Only the terminal's foreground job may change its settings; in the
// background they are the shell's (and trying would stop the process).
void setIfForeground(const struct termios& settings) {
  if (tcgetpgrp(gTerminal) == getpgrp()) tcsetattr(gTerminal, TCSANOW, &settings);
}

extern "C" void restoreAndEnd(int signal) {
  setIfForeground(gSaved);
  // SA_RESETHAND has put back the default action; the raised signal ends the
  // process, at once or as soon as this handler returns.
  raise(signal);
}

// Runs with every handled signal blocked. SIGCONT in particular stays blocked
// until this handler is installed again, so a SIGTSTP that follows a SIGCONT
// at once always finds it and never stops the process with the terminal raw.
extern "C" void stopRestored(int) {
  const int savedErrno = errno;
  setIfForeground(gSaved);
  struct sigaction stop = {};
  struct sigaction self = {};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTSTP, &stop, &self);
  sigset_t tstp;
  sigemptyset(&tstp);
  sigaddset(&tstp, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &tstp, nullptr);
  raise(SIGTSTP);  // stops here until continued
  sigprocmask(SIG_BLOCK, &tstp, nullptr);
  sigaction(SIGTSTP, &self, nullptr);
  // Continued, or the stop was discarded (an orphaned process group, where no
  // SIGCONT follows): read as before, if the terminal is ours.
  setIfForeground(gActive);
  errno = savedErrno;
}

extern "C" void resumeActive(int) {
  const int savedErrno = errno;
  setIfForeground(gActive);
  errno = savedErrno;
}

// Owns the terminal's state for the time of the wait: saves the settings,
// installs the handlers, switches to raw input; puts all of it back when it
// goes. A signal that was ignored (nohup, a background job without job
// control) stays ignored.
class RawTerminal {
 public:
  explicit RawTerminal(int fd) {
    if (tcgetattr(fd, &gSaved) != 0) return;
    gTerminal = fd;
    sigemptyset(&gHandled);
    for (int signal : kEndingSignals) sigaddset(&gHandled, signal);
    sigaddset(&gHandled, SIGTSTP);
    sigaddset(&gHandled, SIGCONT);
    for (int i = 0; i < kEndingCount; ++i) {
      install(i, kEndingSignals[i], restoreAndEnd, SA_RESETHAND);
    }
    install(kEndingCount, SIGTSTP, stopRestored, SA_RESTART);
    install(kEndingCount + 1, SIGCONT, resumeActive, SA_RESTART);

    struct termios raw = gSaved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | ISIG | IEXTEN);
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    raw_ = apply(raw);
  }

  // Puts the terminal back with the handled signals blocked, so that no
  // handler can set raw input again afterwards; one that came meanwhile is
  // delivered with its previous action.
  ~RawTerminal() {
    if (gTerminal < 0) return;
    sigset_t before;
    sigprocmask(SIG_BLOCK, &gHandled, &before);
    setIfForeground(gSaved);
    for (int i = 0; i < kHandledCount; ++i) {
      if (installed_[i]) sigaction(signals_[i], &previous_[i], nullptr);
    }
    gTerminal = -1;
    sigprocmask(SIG_SETMASK, &before, nullptr);
  }
  RawTerminal(const RawTerminal&) = delete;
  RawTerminal& operator=(const RawTerminal&) = delete;

  bool isRaw() const { return raw_; }

  /// Reads one byte: without a time limit when milliseconds is 0, else
  /// within that time (in the terminal's tenths of a second, rounded up).
  /// False on timeout, end or error.
  bool readByte(unsigned char& byte, int milliseconds) {
    const auto tenths = static_cast<cc_t>(milliseconds == 0 ? 0 : (milliseconds + 99) / 100);
    if (gActive.c_cc[VTIME] != tenths) {
      struct termios timed = gActive;
      timed.c_cc[VMIN] = tenths == 0 ? 1 : 0;
      timed.c_cc[VTIME] = tenths;
      if (!apply(timed)) return false;
    }
    for (;;) {
      const ssize_t n = read(gTerminal, &byte, 1);
      if (n == 1) return true;
      if (n < 0 && errno == EINTR) continue;
      return false;
    }
  }

 private:
  // Sets the terminal and records it as the wait's settings, as one step
  // for the handlers.
  static bool apply(const struct termios& settings) {
    sigset_t before;
    sigprocmask(SIG_BLOCK, &gHandled, &before);
    gActive = settings;
    const bool done = tcsetattr(gTerminal, TCSANOW, &settings) == 0;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return done;
  }

  void install(int slot, int signal, void (*handler)(int), unsigned flags) {
    signals_[slot] = signal;
    if (sigaction(signal, nullptr, &previous_[slot]) != 0 ||
        previous_[slot].sa_handler == SIG_IGN) {
      return;
    }
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = static_cast<int>(flags);
    action.sa_mask = gHandled;
    installed_[slot] = sigaction(signal, &action, nullptr) == 0;
  }

  bool raw_ = false;
  int signals_[kHandledCount] = {};
  struct sigaction previous_[kHandledCount];
  bool installed_[kHandledCount] = {};
};

void readOneKeyPress(RawTerminal& terminal) {
  KeyPressParser parser;
  unsigned char byte = 0;
  if (!terminal.readByte(byte, 0)) return;
  while (!parser.feed(byte)) {
    const int wait = parser.mayEndHere() ? kEscapeFollowMs : kSequenceFollowMs;
    if (!terminal.readByte(byte, wait)) return;
  }
}

}  // namespace

void waitForKey() {
  if (!isatty(STDOUT_FILENO)) return;  // nobody sees the closing line
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  if (tcgetpgrp(fd) == getpgrp()) {  // a background job never waits
    RawTerminal terminal(fd);
    if (terminal.isRaw()) readOneKeyPress(terminal);
  }
  close(fd);
}

}  // namespace beam
