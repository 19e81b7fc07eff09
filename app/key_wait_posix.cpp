// The key wait on POSIX terminals: one key press from the controlling
// terminal, read raw (no echo, no line editing, no signal keys).
//
// One code path for Linux, macOS and FreeBSD: the bytes after ESC are awaited
// with select(), which (unlike poll() on macOS) works on terminal devices
// everywhere.
#include <fcntl.h>
#include <sys/select.h>
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

// Signals that end the process: the handler restores the terminal first.
constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
constexpr int kEndingCount = sizeof kEndingSignals / sizeof kEndingSignals[0];
// With job control's SIGTSTP (stopped with the saved settings) and SIGCONT
// (raw again when continued).
constexpr int kHandledCount = kEndingCount + 2;

// What the signal handlers need. Written before the handlers are installed,
// only read by them.
int gTerminal = -1;
struct termios gSaved;
struct termios gRaw;

extern "C" void restoreAndDie(int signal) {
  tcsetattr(gTerminal, TCSANOW, &gSaved);
  // SA_RESETHAND has put back the default action; raising again ends the
  // process by this signal once the handler returns.
  raise(signal);
}

extern "C" void restoreAndStop(int) {
  const int savedErrno = errno;
  tcsetattr(gTerminal, TCSANOW, &gSaved);
  // Stop for real: the default action, unblocked, then raised. Execution
  // goes on here after SIGCONT, whose own handler sets raw input again.
  struct sigaction stop = {};
  struct sigaction self = {};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTSTP, &stop, &self);
  sigset_t tstp;
  sigemptyset(&tstp);
  sigaddset(&tstp, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &tstp, nullptr);
  raise(SIGTSTP);
  sigaction(SIGTSTP, &self, nullptr);
  // Where the stop was discarded (an orphaned process group) no SIGCONT
  // follows; go on reading raw all the same.
  tcsetattr(gTerminal, TCSANOW, &gRaw);
  errno = savedErrno;
}

extern "C" void rawAgain(int) {
  const int savedErrno = errno;
  tcsetattr(gTerminal, TCSANOW, &gRaw);
  errno = savedErrno;
}

// Installs the handlers for the time of the wait and puts the previous
// actions back afterwards. A signal that was ignored stays ignored (nohup,
// a background job without job control).
class SignalGuard {
 public:
  SignalGuard() {
    for (int i = 0; i < kEndingCount; ++i) {
      install(i, kEndingSignals[i], restoreAndDie, SA_RESETHAND);
    }
    install(kEndingCount, SIGTSTP, restoreAndStop, SA_RESTART);
    install(kEndingCount + 1, SIGCONT, rawAgain, SA_RESTART);
  }
  // Restores the terminal with the handled signals blocked, so that no
  // handler can set raw input again afterwards; one that came meanwhile is
  // delivered with its previous action.
  ~SignalGuard() {
    sigset_t handled;
    sigset_t before;
    sigemptyset(&handled);
    for (int signal : signals_) sigaddset(&handled, signal);
    sigprocmask(SIG_BLOCK, &handled, &before);
    tcsetattr(gTerminal, TCSANOW, &gSaved);
    for (int i = 0; i < kHandledCount; ++i) {
      if (installed_[i]) sigaction(signals_[i], &previous_[i], nullptr);
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
  }
  SignalGuard(const SignalGuard&) = delete;
  SignalGuard& operator=(const SignalGuard&) = delete;

 private:
  void install(int slot, int signal, void (*handler)(int), unsigned flags) {
    signals_[slot] = signal;
    if (sigaction(signal, nullptr, &previous_[slot]) != 0 ||
        previous_[slot].sa_handler == SIG_IGN) {
      return;
    }
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = static_cast<int>(flags);
    sigemptyset(&action.sa_mask);
    installed_[slot] = sigaction(signal, &action, nullptr) == 0;
  }

  int signals_[kHandledCount] = {};
  struct sigaction previous_[kHandledCount];
  bool installed_[kHandledCount] = {};
};

// Reads one byte, retrying on interruption. False on end or error.
bool readByte(int fd, unsigned char& byte) {
  for (;;) {
    const ssize_t n = read(fd, &byte, 1);
    if (n == 1) return true;
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}

// True when a byte can be read within the given time.
bool byteArrives(int fd, int milliseconds) {
  if (fd >= FD_SETSIZE) return false;
  for (;;) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    struct timeval timeout = {milliseconds / 1000, (milliseconds % 1000) * 1000};
    const int ready = select(fd + 1, &readable, nullptr, nullptr, &timeout);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0 && FD_ISSET(fd, &readable);
  }
}

void readOneKeyPress(int fd) {
  KeyPressParser parser;
  unsigned char byte = 0;
  if (!readByte(fd, byte)) return;
  while (!parser.feed(byte)) {
    const int wait = parser.mayEndHere() ? kEscapeFollowMs : kSequenceFollowMs;
    if (!byteArrives(fd, wait) || !readByte(fd, byte)) return;
  }
}

}  // namespace

void waitForKey() {
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  struct termios saved;
  if (tcgetattr(fd, &saved) != 0) {
    close(fd);
    return;
  }
  struct termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | ISIG | IEXTEN);
  raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;

  gTerminal = fd;
  gSaved = saved;
  gRaw = raw;
  {
    SignalGuard guard;  // restores the saved settings when it goes
    if (tcsetattr(fd, TCSANOW, &raw) == 0) readOneKeyPress(fd);
  }
  close(fd);
}

}  // namespace beam
