// The line editor's terminal mode (what it does: app/posix/edit_mode.h).
// How: as the key wait's (app/posix/raw_terminal.cpp), every piece of state
// the handlers need is in one place (gEdited), written only while they are
// blocked; the handlers put the settings back with tcsetattr alone.
#include "app/posix/edit_mode.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "app/posix/wait_signals.h"

namespace beam {
namespace {

// What the signal handlers share with the editor; written only with the
// handled signals blocked.
struct EditedTerminal {
  struct termios saved;   // the terminal's own settings: put back on every way out
  struct termios active;  // the editor's, as the terminal took them
  bool set = false;       // the editor's are set
};
EditedTerminal gEdited;
volatile sig_atomic_t gRedraw = 0;   // continued after a stop: draw the line again
volatile sig_atomic_t gResized = 0;  // SIGWINCH

bool sameSettings(const struct termios& a, const struct termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

bool ownsTerminal() { return tcgetpgrp(STDIN_FILENO) == getpgrp(); }

// The terminal's own settings back, if it still has the editor's.
void restoreIfOurs() {
  struct termios now;
  if (gEdited.set && tcgetattr(STDIN_FILENO, &now) == 0 && sameSettings(now, gEdited.active)) {
    tcsetattr(STDIN_FILENO, TCSANOW, &gEdited.saved);
  }
}

// The editor's settings again after a stop, when they are not there.
void resumeEditing() {
  struct termios now;
  if (!gEdited.set || !ownsTerminal() ||
      (tcgetattr(STDIN_FILENO, &now) == 0 && sameSettings(now, gEdited.active))) {
    return;
  }
  tcsetattr(STDIN_FILENO, TCSANOW, &gEdited.active);
  gRedraw = 1;
}

extern "C" void endEditing(int signal) {
  restoreIfOurs();
  raise(signal);  // SA_RESETHAND: the default action ends the process
}

extern "C" void stopEditing(int) {
  const int savedErrno = errno;
  restoreIfOurs();
  stopUntilContinued();
  resumeEditing();
  errno = savedErrno;
}

extern "C" void resumeEditingOnContinue(int) {
  const int savedErrno = errno;
  resumeEditing();
  errno = savedErrno;
}

extern "C" void noteEditResize(int) { gResized = 1; }

// The editor does not watch the parent: WaitSignals::kParentEnd keeps its
// meaning, which is to be ignored.
extern "C" void parentEndIgnored(int) {}

// Built the first time a line is edited: a run from a file builds none.
WaitSignals& editSignals() {
  static WaitSignals signals(endEditing, stopEditing, resumeEditingOnContinue, parentEndIgnored);
  return signals;
}

struct sigaction gWinch = {};  // SIGWINCH's action before the editor's

}  // namespace

bool startEditMode() {
  if (!ownsTerminal() || tcgetattr(STDIN_FILENO, &gEdited.saved) != 0) return false;
  struct termios active = gEdited.saved;
  active.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | IEXTEN);
  active.c_cc[VMIN] = 1;
  active.c_cc[VTIME] = 0;
  sigset_t held;
  sigprocmask(SIG_BLOCK, &editSignals().all(), &held);
  editSignals().install();
  struct sigaction resize = {};
  resize.sa_handler = noteEditResize;
  sigemptyset(&resize.sa_mask);
  sigaction(SIGWINCH, &resize, &gWinch);
  gEdited.set = tcsetattr(STDIN_FILENO, TCSANOW, &active) == 0 &&
                tcgetattr(STDIN_FILENO, &gEdited.active) == 0;
  gRedraw = 0;
  gResized = 0;
  sigprocmask(SIG_SETMASK, &held, nullptr);
  if (!gEdited.set) endEditMode();
  return gEdited.set;
}

void endEditMode() {
  sigset_t held;
  sigprocmask(SIG_BLOCK, &editSignals().all(), &held);
  restoreIfOurs();
  gEdited.set = false;
  editSignals().uninstall();
  sigaction(SIGWINCH, &gWinch, nullptr);
  sigprocmask(SIG_SETMASK, &held, nullptr);
}

bool editModeResumed() {
  const bool resumed = gRedraw != 0;
  gRedraw = 0;
  return resumed;
}

bool editModeResized() {
  const bool resized = gResized != 0;
  gResized = 0;
  return resized;
}

}  // namespace beam
