// The parent watch on POSIX systems (what it does: app/posix/parent_watch.h). The
// requests are given only valid arguments, for which prctl and procctl
// cannot fail; their results are not checked.
#include "app/posix/parent_watch.h"

#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#elif defined(__FreeBSD__)
#include <sys/procctl.h>
#endif

namespace beam {
namespace {

// This process and its parent as they were at start-up (before main).
struct Lineage {
  pid_t self;
  pid_t parent;
};
const Lineage kAtStartUp = {getpid(), getppid()};

}  // namespace

bool parentGone() { return getpid() == kAtStartUp.self && getppid() != kAtStartUp.parent; }

int parentEndSignal() {
  int signal = 0;
#if defined(__linux__)
  prctl(PR_GET_PDEATHSIG, &signal, 0UL, 0UL, 0UL);
#elif defined(__FreeBSD__)
  procctl(P_PID, 0, PROC_PDEATHSIG_STATUS, &signal);
#endif
  return signal;
}

void signalWhenParentEnds(int signal) {
#if defined(__linux__)
  prctl(PR_SET_PDEATHSIG, static_cast<unsigned long>(signal), 0UL, 0UL, 0UL);
#elif defined(__FreeBSD__)
  procctl(P_PID, 0, PROC_PDEATHSIG_CTL, &signal);
#else
  static_cast<void>(signal);
#endif
}

}  // namespace beam
