// RawTerminal (what it does: raw_terminal_posix.h). How: every piece of
// state the signal handlers need is in one place (gTerminal), written only
// while they are blocked; the handlers put the settings back with
// tcsetattr and write() alone (and clock_gettime, raise and sigaction for
// an alarm that is not the wait's). sigprocmask, getitimer, setitimer and
// the handlers' own sigaction calls are given only valid arguments (actions
// this process read a moment before), for which they cannot fail; their
// results are not checked.
#include "app/raw_terminal_posix.h"

#include <sys/time.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include "app/key_wait_timing.h"
#include "app/parent_watch.h"

namespace beam {
namespace {

constexpr std::string_view kPasteOn = "\x1b[?2004h";
constexpr std::string_view kPasteOff = "\x1b[?2004l";

// Catchable signals whose default action ends the process: the handler puts
// the terminal back first, then the signal ends the process as it would have
// (a crash signal too). Those whose default is to ignore (WINCH, CHLD, URG,
// and SIGIO where it is not SIGPOLL) or to stop are not among them, nor
// SIGALRM, the wait's own timer.
constexpr int kEndingSignals[] = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,  SIGUSR1,
    SIGSEGV,   SIGUSR2, SIGPIPE, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGSYS,
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
// 31 or 32 for programs), SIGTSTP, SIGCONT and SIGALRM.
constexpr int kMaxHandled = kFixedEndingCount + 64 + 3;

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
// Set by the wait's timer; a read it interrupts fails with EINTR.
volatile std::sig_atomic_t gTicked = 0;

// SIGALRM as the process had it before the wait, for an alarm that is not
// the wait's own tick: the process's own timer coming due, or a SIGALRM
// sent from elsewhere.
struct ProcessAlarm {
  bool ends = false;     // the default action, not blocked: the alarm ends the process
  bool ignored = false;  // SIG_IGN: the alarm does nothing
  // Otherwise (blocked, or handled by the caller) the alarm is raised again
  // after the wait.
  volatile std::sig_atomic_t cameDuringWait = 0;
  // When the process's own timer comes due (CLOCK_MONOTONIC, ns; 0: it has
  // none running), and its period (ns; 0: once).
  long long dueNs = 0;
  long long periodNs = 0;
};
ProcessAlarm gAlarm;

long long monotonicNs() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

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

// Whether a signal was sent by a process (kill, sigqueue, raise) rather
// than by the system's timer.
bool sentByAProcess(const siginfo_t* info) {
  const int code = info == nullptr ? SI_USER : info->si_code;
  return code == SI_USER || code == SI_QUEUE
#ifdef SI_TKILL  // Linux: tgkill, raise
         || code == SI_TKILL
#endif
#ifdef SI_LWP  // FreeBSD: thr_kill, raise
         || code == SI_LWP
#endif
      ;
}

// A SIGALRM that is not the wait's tick does what it would have done
// without the wait.
void alarmCame() {
  if (gAlarm.ignored) return;
  if (!gAlarm.ends) {
    gAlarm.cameDuringWait = 1;
    return;
  }
  restoreIfOurs();
  struct sigaction byDefault = {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  sigaction(SIGALRM, &byDefault, nullptr);
  raise(SIGALRM);  // ends the process once this handler returns
}

// The timer's ticks time the wait; one that comes when the process's own
// timer is due is its alarm too (the wait's ticks never come later than
// that: see WaitTimer).
extern "C" void tick(int, siginfo_t* info, void*) {
  const int savedErrno = errno;
  if (sentByAProcess(info)) {
    alarmCame();
  } else {
    gTicked = 1;
    constexpr long long kSlackNs = 1000000;  // a timer's rounding
    if (gAlarm.dueNs != 0 && monotonicNs() + kSlackNs >= gAlarm.dueNs) {
      gAlarm.dueNs = gAlarm.periodNs == 0 ? 0 : gAlarm.dueNs + gAlarm.periodNs;
      alarmCame();
    }
  }
  errno = savedErrno;
}

// The wait's handlers: every one installed with all of them blocked while
// it runs, and each signal's previous action given back when
// this goes. A signal that was ignored (nohup, a background job without job
// control) stays ignored, but for the wait's own timer.
class WaitSignals {
 public:
  WaitSignals() {
    sigemptyset(&all_);
    sigaddset(&all_, SIGTTIN);
    sigaddset(&all_, SIGTTOU);
    for (int signal : kEndingSignals) add(signal);
#ifdef SIGRTMIN
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) add(signal);
#endif
    add(SIGTSTP);
    add(SIGCONT);
    add(SIGALRM);
  }

  /// The handled signals, SIGTTIN and SIGTTOU.
  const sigset_t& all() const { return all_; }

  /// Installs the handlers; SA_RESETHAND for the ending ones, so that the
  /// signal they raise again ends the process.
  void install() {
    for (int i = 0; i < count_; ++i) {
      const int signal = signals_[i];
      if (signal == SIGALRM) {
        installTimer(i);
      } else if (signal == SIGTSTP || signal == SIGCONT) {
        install(i, signal == SIGTSTP ? stopRestored : resumeActive, SA_RESTART);
      } else {
        install(i, restoreAndEnd, static_cast<int>(SA_RESETHAND));
      }
    }
  }

  /// Whether SIGHUP now ends the wait with the settings put back.
  bool handleHangUp() const {
    for (int i = 0; i < count_; ++i) {
      if (signals_[i] == SIGHUP) return installed_[i];
    }
    return false;
  }

  /// Whether the process had SIGALRM blocked (call before install()).
  void setAlarmBlocked(bool blocked) { alarmBlocked_ = blocked; }

  /// Gives back the previous actions; call with all() blocked.
  /// A tick of the wait's timer still pending is dropped first (SIG_IGN
  /// discards it), so the previous action never sees it.
  void uninstall() {
    for (int i = 0; i < count_; ++i) {
      if (!installed_[i]) continue;
      if (signals_[i] == SIGALRM) {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGALRM, &ignore, nullptr);
      }
      sigaction(signals_[i], &previous_[i], nullptr);
      installed_[i] = false;
    }
  }

 private:
  void add(int signal) {
    if (count_ == kMaxHandled) return;
    signals_[count_++] = signal;
    sigaddset(&all_, signal);
  }

  void install(int slot, void (*handler)(int), int flags) {
    if (sigaction(signals_[slot], nullptr, &previous_[slot]) != 0 ||
        previous_[slot].sa_handler == SIG_IGN) {
      return;
    }
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    action.sa_mask = all_;
    installed_[slot] = sigaction(signals_[slot], &action, nullptr) == 0;
  }

  // The wait's timer, even where SIGALRM was ignored (the alarms that are
  // not its ticks are then dropped).
  void installTimer(int slot) {
    if (sigaction(SIGALRM, nullptr, &previous_[slot]) != 0) return;
    gAlarm.ignored =
        (previous_[slot].sa_flags & SA_SIGINFO) == 0 && previous_[slot].sa_handler == SIG_IGN;
    gAlarm.ends = (previous_[slot].sa_flags & SA_SIGINFO) == 0 &&
                  previous_[slot].sa_handler == SIG_DFL && !alarmBlocked_;
    gAlarm.cameDuringWait = 0;
    struct sigaction action = {};
    action.sa_sigaction = tick;
    action.sa_flags = SA_SIGINFO;
    action.sa_mask = all_;
    installed_[slot] = sigaction(SIGALRM, &action, nullptr) == 0;
  }

  sigset_t all_;
  int count_ = 0;
  int signals_[kMaxHandled] = {};
  struct sigaction previous_[kMaxHandled];
  bool installed_[kMaxHandled] = {};
  bool alarmBlocked_ = false;  // SIGALRM was blocked before the wait
};

// The wait's timer (ITIMER_REAL, the process's one real-time timer): a
// tick every period once started, the first never later than the moment
// the timer the process had comes due (its alarm, told apart by tick()).
// That timer is put back, with what is left of its time, when the wait
// stops.
class WaitTimer {
 public:
  // Call with SIGALRM blocked the first time (the process's own timer may
  // come due as it is taken over).
  void start(int milliseconds) {
    if (!started_) {
      struct itimerval had;
      getitimer(ITIMER_REAL, &had);
      gAlarm.dueNs = nanoseconds(had.it_value) == 0 ? 0 : monotonicNs() + nanoseconds(had.it_value);
      gAlarm.periodNs = nanoseconds(had.it_interval);
      started_ = true;
    }
    const long long periodNs = static_cast<long long>(milliseconds) * 1000000;
    long long firstNs = periodNs;
    const long long due = gAlarm.dueNs;
    if (due != 0 && due - monotonicNs() < firstNs) firstNs = due - monotonicNs();
    struct itimerval every = {};
    every.it_interval = interval(periodNs);
    every.it_value = interval(firstNs);
    gTicked = 0;
    setitimer(ITIMER_REAL, &every, nullptr);
  }

  // Call with SIGALRM blocked.
  void stop() {
    if (!started_) return;
    struct itimerval had = {};
    if (gAlarm.dueNs != 0) {
      had.it_value = interval(gAlarm.dueNs - monotonicNs());
      had.it_interval = interval(gAlarm.periodNs);
    }
    setitimer(ITIMER_REAL, &had, nullptr);
    gAlarm.dueNs = 0;
    started_ = false;
  }

 private:
  static long long nanoseconds(const struct timeval& time) {
    return static_cast<long long>(time.tv_sec) * 1000000000LL +
           static_cast<long long>(time.tv_usec) * 1000;
  }

  // A time as a timer's interval: at least 1 us where it is due now or
  // past, 0 (none) only for 0.
  static struct timeval interval(long long ns) {
    struct timeval time = {};
    if (ns == 0) return time;
    const long long micros = ns < 1000 ? 1 : ns / 1000;
    time.tv_sec = static_cast<time_t>(micros / 1000000);
    time.tv_usec = static_cast<suseconds_t>(micros % 1000000);
    return time;
  }

  bool started_ = false;
};

WaitSignals gSignals;
WaitTimer gTimer;

// Whether a read that returned nothing may only have timed out: under
// settings someone else has set since, non-canonical with VMIN 0 (a read
// timer, or none). Under the wait's own (VMIN 1), in line mode, or when the
// terminal cannot be asked, nothing is the terminal's end.
bool mayHaveTimedOut() {
  struct termios now;
  return tcgetattr(gTerminal.fd, &now) == 0 && (now.c_lflag & ICANON) == 0 && now.c_cc[VMIN] == 0;
}

// Raw input whose reads block until a byte comes, with paste mode where
// TERM names a terminal that may know it. TCSAFLUSH drops what was typed
// before the closing line (an extra Enter, the rest of a paste).
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
  const char* type = std::getenv("TERM");
  gTerminal.pasteMode = type != nullptr && *type != '\0' && std::strcmp(type, "dumb") != 0;
  switchPasteMode(kPasteOn);
  return true;
}

}  // namespace

RawTerminal::RawTerminal(int fd) {
  if (gTerminal.fd >= 0 || tcgetattr(fd, &gTerminal.saved) != 0) return;
  sigprocmask(SIG_BLOCK, &gSignals.all(), &mask_);
  gTerminal.fd = fd;
  taken_ = true;
  gSignals.setAlarmBlocked(sigismember(&mask_, SIGALRM) == 1);
  gSignals.install();
  // The program that started this one ends: as a hang-up, the settings go
  // back at once (its shell saves them the moment it ends).
  watchingParent_ = gSignals.handleHangUp();
  if (watchingParent_) signalWhenParentEnds(SIGHUP);
  raw_ = !parentGone() && ownsTerminal() && setRaw();
  // The process's own timer is taken over while SIGALRM is still blocked.
  if (raw_) gTimer.start(kOwnerCheckMs);
  // The wait's timer must reach it even where the process was started with
  // SIGALRM blocked (a mask is inherited across exec).
  sigset_t during = mask_;
  sigaddset(&during, SIGTTIN);
  sigaddset(&during, SIGTTOU);
  sigdelset(&during, SIGALRM);
  sigprocmask(SIG_SETMASK, &during, nullptr);
}

// Puts the terminal back with the handled signals blocked, so that no
// handler can set raw input again afterwards; one that came meanwhile is
// delivered with its previous action.
RawTerminal::~RawTerminal() {
  if (!taken_) return;
  sigprocmask(SIG_BLOCK, &gSignals.all(), nullptr);
  restoreIfOurs();
  if (watchingParent_) signalWhenParentEnds(0);
  gTimer.stop();
  gSignals.uninstall();
  gTerminal.fd = -1;
  gTerminal.rawSet = false;
  gTerminal.pasteMode = false;
  sigprocmask(SIG_SETMASK, &mask_, nullptr);
  // Blocked or handled by the caller: the alarm it missed comes now.
  if (gAlarm.cameDuringWait != 0) raise(SIGALRM);
}

RawTerminal::Read RawTerminal::readBytes(unsigned char* bytes, std::size_t size, int milliseconds,
                                         std::size_t& count) {
  count = 0;
  gTimer.start(milliseconds);
  for (;;) {
    if (!ownsTerminal()) return Read::kLost;
    if (gTicked != 0) return Read::kNothing;
    const ssize_t n = read(gTerminal.fd, bytes, size);
    if (n > 0) {
      count = static_cast<std::size_t>(n);
      return Read::kBytes;
    }
    if (n < 0 && errno != EINTR) return Read::kLost;
    if (n == 0) {
      if (!mayHaveTimedOut()) return Read::kLost;
      const struct timespec nap = {0, 20 * 1000 * 1000};
      nanosleep(&nap, nullptr);  // their timer may be 0: no spinning
    }
  }
}

void RawTerminal::dropUnread() {
  if (ownsTerminal()) tcflush(gTerminal.fd, TCIFLUSH);
}

}  // namespace beam
