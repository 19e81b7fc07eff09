// waitForInput and readsMayFindNothing (what they do: input_ready.h), with
// poll(), select() and tcgetattr().
#include "app/input_ready.h"

#include <poll.h>
#include <sys/select.h>
#include <termios.h>

#include <cerrno>

namespace beam {
namespace {

// The select() half, for descriptors poll() refuses.
Ready selectForInput(int fd, int milliseconds) {
  if (fd < 0 || fd >= FD_SETSIZE) return Ready::kUnwatchable;
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(fd, &readable);
  struct timeval time = {};
  time.tv_sec = milliseconds / 1000;
  time.tv_usec = static_cast<decltype(time.tv_usec)>(milliseconds % 1000 * 1000);
  const int n = select(fd + 1, &readable, nullptr, nullptr, milliseconds < 0 ? nullptr : &time);
  if (n > 0) return Ready::kInput;
  if (n == 0) return Ready::kTimedOut;
  return errno == EINTR ? Ready::kInterrupted : Ready::kGone;
}

}  // namespace

Ready waitForInput(int fd, int milliseconds) {
  struct pollfd watched = {fd, POLLIN, 0};
  const int n = poll(&watched, 1, milliseconds < 0 ? -1 : milliseconds);
  if (n < 0) return errno == EINTR ? Ready::kInterrupted : Ready::kGone;
  if (n == 0) return Ready::kTimedOut;
  if ((watched.revents & POLLNVAL) != 0) return selectForInput(fd, milliseconds);
  // Input first: what came before a hang-up is still read.
  if ((watched.revents & POLLIN) != 0) return Ready::kInput;
  return Ready::kGone;  // POLLHUP or POLLERR alone
}

bool readsMayFindNothing(int fd) {
  struct termios now;
  return tcgetattr(fd, &now) == 0 && (now.c_lflag & ICANON) == 0 && now.c_cc[VMIN] == 0;
}

}  // namespace beam
