// waitForKey on POSIX terminals (what it does: key_wait.h). How:
//
// One code path for Linux, macOS and FreeBSD and for any descriptor number:
// every read is timed by the terminal itself (VMIN 0, VTIME), which needs
// neither select()'s FD_SETSIZE nor a poll() that accepts terminals (macOS's
// does not). Between reads the wait checks the terminal's foreground group.
// One guard (RawTerminal) owns the settings and the signal handlers; every
// way out, handlers included, puts the settings back only while they are
// still the wait's, and switches bracketed paste off with them.
//
// sigprocmask is given only valid arguments here, for which it cannot fail;
// its results are not checked. Neither are the stop handler's own sigaction
// calls: they put back actions this process read a moment before, which
// cannot fail either.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "app/key_wait.h"
#include "app/parent_watch.h"
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
// The terminal's timer counts tenths of a second: any other time would be
// rounded up (301 ms would wait 400).
static_assert(kOwnerCheckMs % 100 == 0 && kEscapeFollowMs % 100 == 0 &&
              kSequenceFollowMs % 100 == 0);

constexpr std::string_view kPasteOn = "\x1b[?2004h";
constexpr std::string_view kPasteOff = "\x1b[?2004l";

// Catchable signals whose default action ends the process: the handler puts
// the terminal back first, then the signal ends the process as it would have
// (a crash signal too). Those whose default is to ignore (WINCH, CHLD, URG,
// and SIGIO where it is not SIGPOLL) or to stop are not among them.
constexpr int kEndingSignals[] = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,  SIGUSR1, SIGSEGV,
    SIGUSR2,   SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGSYS,
#ifdef SIGPOLL  // Linux and System V: SIGIO's other name, and it ends the process
    SIGPOLL,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGEMT
    SIGEMT,
#endif
};
constexpr int kFixedEndingCount = sizeof kEndingSignals / sizeof kEndingSignals[0];
// Room for every handler: the fixed list, the real-time signals (Linux has
// 31 or 32 for programs), SIGTSTP and SIGCONT.
constexpr int kMaxHandled = kFixedEndingCount + 64 + 2;

// What the signal handlers share with the wait, in one place. There is one
// wait at a time in a process: RawTerminal fills this when it takes the
// terminal and empties it (fd -1) when it gives it back; a second
// RawTerminal while one exists takes nothing. Every field is written only
// with all signals in `blocked` blocked, or before the handlers exist.
struct SharedTerminal {
  int fd = -1;             // the controlling terminal, open for the wait
  struct termios saved;    // as it was: put back on every way out
  struct termios active;   // as the wait has set it (read back from the terminal)
  sigset_t blocked;        // the handled signals, SIGTTIN and SIGTTOU
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
// terminal still raw (continued twice) is left as it is.
void resumeRaw() {
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
  if (tcgetattr(gTerminal.fd, &now) == 0 && sameSettings(now, gTerminal.active) &&
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

// Runs with all of gTerminal.blocked blocked. SIGCONT in particular stays
// blocked until this handler is installed again, so a SIGTSTP that follows
// a SIGCONT at once always finds it and never stops the process raw.
extern "C" void stopRestored(int) {
  const int savedErrno = errno;
  restoreIfOurs();
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

// Owns the terminal's state for the time of the wait: saves the settings,
// installs the handlers, switches to raw input and drops what was typed
// before; puts all of it back when it goes. A signal that was ignored
// (nohup, a background job without job control) stays ignored. SIGTTIN and
// SIGTTOU stay blocked meanwhile, so that neither a read nor the restore
// stops the process once the terminal is the shell's: the read fails
// instead, and the wait ends.
class RawTerminal {
 public:
  explicit RawTerminal(int fd) {
    if (gTerminal.fd >= 0 || tcgetattr(fd, &gTerminal.saved) != 0) return;
    sigemptyset(&gTerminal.blocked);
    sigaddset(&gTerminal.blocked, SIGTTIN);
    sigaddset(&gTerminal.blocked, SIGTTOU);
    for (int signal : kEndingSignals) add(signal);
#ifdef SIGRTMIN
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) add(signal);
#endif
    add(SIGTSTP);
    add(SIGCONT);
    sigprocmask(SIG_BLOCK, &gTerminal.blocked, &mask_);
    gTerminal.fd = fd;
    for (int i = 0; i < count_; ++i) {
      const bool ending = signals_[i] != SIGTSTP && signals_[i] != SIGCONT;
      const unsigned flags = ending ? SA_RESETHAND : SA_RESTART;
      install(i,
              ending                   ? restoreAndEnd
              : signals_[i] == SIGTSTP ? stopRestored
                                       : resumeActive,
              static_cast<int>(flags));
      // The program that started this one ends: as a hang-up, the settings
      // go back at once (its shell saves them the moment it ends).
      if (signals_[i] == SIGHUP && installed_[i]) {
        signalWhenParentEnds(SIGHUP);
        watchingParent_ = true;
      }
    }

    struct termios raw = gTerminal.saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | ISIG | IEXTEN);
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = tenthsOf(kOwnerCheckMs);
    // Only keys pressed after the closing line count: TCSAFLUSH drops what
    // was typed before (an extra Enter, the rest of a paste).
    gTerminal.active = raw;
    raw_ = !parentGone() && ownsTerminal() && tcsetattr(fd, TCSAFLUSH, &raw) == 0;
    if (raw_) {
      tcgetattr(fd, &gTerminal.active);
      // A terminal that TERM does not name may not know the request.
      const char* type = std::getenv("TERM");
      gTerminal.pasteMode = type != nullptr && *type != '\0' && std::strcmp(type, "dumb") != 0;
      switchPasteMode(kPasteOn);
    }
    sigset_t during = mask_;
    sigaddset(&during, SIGTTIN);
    sigaddset(&during, SIGTTOU);
    sigprocmask(SIG_SETMASK, &during, nullptr);
  }

  // Puts the terminal back with the handled signals blocked, so that no
  // handler can set raw input again afterwards; one that came meanwhile is
  // delivered with its previous action.
  ~RawTerminal() {
    if (count_ == 0) return;
    sigprocmask(SIG_BLOCK, &gTerminal.blocked, nullptr);
    restoreIfOurs();
    if (watchingParent_) signalWhenParentEnds(0);
    for (int i = 0; i < count_; ++i) {
      if (installed_[i]) sigaction(signals_[i], &previous_[i], nullptr);
    }
    gTerminal.fd = -1;
    gTerminal.pasteMode = false;
    sigprocmask(SIG_SETMASK, &mask_, nullptr);
  }
  RawTerminal(const RawTerminal&) = delete;
  RawTerminal& operator=(const RawTerminal&) = delete;

  bool isRaw() const { return raw_; }

  /// Drops what the terminal has received and not yet given: the rest of a
  /// burst (a paste it did not bracket, the second code point of a flag)
  /// that came with the key. Keys typed later are left for the shell.
  void dropRestOfBurst() {
    if (ownsTerminal()) tcflush(gTerminal.fd, TCIFLUSH);
  }

  enum class Read { kByte, kNothing, kLost };

  /// Reads one byte within the given time (the terminal counts tenths of a
  /// second: 301 ms waits 400). kNothing when the time ran out, kLost when
  /// the terminal is no longer this job's or has gone (hung up: a read
  /// that finds nothing long before its time is the end of the terminal).
  Read readByte(unsigned char& byte, int milliseconds) {
    if (!ownsTerminal()) return Read::kLost;
    const cc_t tenths = tenthsOf(milliseconds);
    if (gTerminal.active.c_cc[VTIME] != tenths) {
      struct termios timed = gTerminal.active;
      timed.c_cc[VTIME] = tenths;
      if (!apply(timed)) return Read::kLost;
    }
    const auto start = std::chrono::steady_clock::now();
    const ssize_t n = read(gTerminal.fd, &byte, 1);
    if (n == 1) return Read::kByte;
    if (n < 0) return errno == EINTR ? Read::kNothing : Read::kLost;
    const auto waited = std::chrono::steady_clock::now() - start;
    return waited < std::chrono::milliseconds(milliseconds / 2) ? Read::kLost : Read::kNothing;
  }

 private:
  static cc_t tenthsOf(int milliseconds) { return static_cast<cc_t>((milliseconds + 99) / 100); }

  // Sets the terminal, if it still has the wait's settings, and records
  // what it then has, as one step for the handlers.
  static bool apply(const struct termios& settings) {
    sigset_t before;
    sigprocmask(SIG_BLOCK, &gTerminal.blocked, &before);
    struct termios now;
    const bool done = tcgetattr(gTerminal.fd, &now) == 0 && sameSettings(now, gTerminal.active) &&
                      tcsetattr(gTerminal.fd, TCSANOW, &settings) == 0 &&
                      tcgetattr(gTerminal.fd, &gTerminal.active) == 0;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return done;
  }

  void add(int signal) {
    if (count_ == kMaxHandled) return;
    signals_[count_++] = signal;
    sigaddset(&gTerminal.blocked, signal);
  }

  void install(int slot, void (*handler)(int), int flags) {
    if (sigaction(signals_[slot], nullptr, &previous_[slot]) != 0 ||
        previous_[slot].sa_handler == SIG_IGN) {
      return;
    }
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    action.sa_mask = gTerminal.blocked;
    installed_[slot] = sigaction(signals_[slot], &action, nullptr) == 0;
  }

  bool raw_ = false;
  bool watchingParent_ = false;
  sigset_t mask_;  // the process's signal mask before the wait
  int count_ = 0;
  int signals_[kMaxHandled] = {};
  struct sigaction previous_[kMaxHandled];
  bool installed_[kMaxHandled] = {};
};

// Reads until one key press has been read whole; mouse and focus reports
// are read whole too and passed over. A press cut short (its next byte not
// there in time, a paste that never closes) ends the wait all the same.
void readOneKeyPress(RawTerminal& terminal) {
  using Read = RawTerminal::Read;
  for (;;) {
    unsigned char byte = 0;
    for (;;) {
      const Read got = terminal.readByte(byte, kOwnerCheckMs);
      if (got == Read::kByte) break;
      if (got == Read::kLost) return;
    }
    KeyPressParser parser;
    while (!parser.feed(byte)) {
      const int wait = parser.mayEndHere() ? kEscapeFollowMs : kSequenceFollowMs;
      if (terminal.readByte(byte, wait) != Read::kByte) return;
    }
    if (parser.isKeyPress()) {
      terminal.dropRestOfBurst();
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
