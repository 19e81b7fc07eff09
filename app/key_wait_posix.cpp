// The key wait on POSIX terminals: one key press from the controlling
// terminal, read raw (no echo, no line editing, no signal keys).
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "app/key_wait.h"
#include "app/terminal_key.h"

namespace beam {
namespace {

// After ESC, a following byte this soon belongs to the same press.
constexpr int kEscapeFollowMs = 50;
// Inside a sequence the rest arrives together; wait longer before giving up.
constexpr int kSequenceFollowMs = 300;

constexpr int kRestoringSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
constexpr int kSignalCount = sizeof kRestoringSignals / sizeof kRestoringSignals[0];

// What a signal handler needs to put the terminal back. Written before the
// handlers are installed, read only by them.
int gTerminal = -1;
struct termios gSaved;

extern "C" void restoreAndDie(int signal) {
  tcsetattr(gTerminal, TCSANOW, &gSaved);
  // SA_RESETHAND has put back the default action; raising again ends the
  // process by this signal once the handler returns.
  raise(signal);
}

class SignalGuard {
 public:
  SignalGuard() {
    struct sigaction action = {};
    action.sa_handler = restoreAndDie;
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i) sigaction(kRestoringSignals[i], &action, &previous_[i]);
  }
  ~SignalGuard() {
    for (int i = 0; i < kSignalCount; ++i) sigaction(kRestoringSignals[i], &previous_[i], nullptr);
  }
  SignalGuard(const SignalGuard&) = delete;
  SignalGuard& operator=(const SignalGuard&) = delete;

 private:
  struct sigaction previous_[kSignalCount];
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
  struct pollfd p = {fd, POLLIN, 0};
  for (;;) {
    const int ready = poll(&p, 1, milliseconds);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0 && (p.revents & POLLIN) != 0;
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
  {
    SignalGuard guard;
    if (tcsetattr(fd, TCSANOW, &raw) == 0) readOneKeyPress(fd);
    tcsetattr(fd, TCSANOW, &saved);
  }
  close(fd);
}

}  // namespace beam
