// WaitSignals (what it does: app/posix/wait_signals.h). sigaction is given
// only valid arguments (actions this process read a moment before), for
// which it cannot fail; its results when giving back are not checked.
#include "app/posix/wait_signals.h"

namespace beam {
namespace {

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

}  // namespace

WaitSignals::WaitSignals(Handler ending, Handler stop, Handler resume, Handler parentEnd)
    : ending_(ending), stop_(stop), resume_(resume), parentEnd_(parentEnd) {
  sigemptyset(&all_);
  sigaddset(&all_, SIGTTIN);
  sigaddset(&all_, SIGTTOU);
  for (int signal : kEndingSignals) add(signal);
#ifdef SIGRTMIN
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) add(signal);
#endif
  add(SIGTSTP);
  add(SIGCONT);
  add(kParentEnd);
}

void WaitSignals::install() {
  for (Slot& slot : slots_) {
    if (slot.signal == SIGTSTP || slot.signal == SIGCONT || slot.signal == kParentEnd) {
      install(slot,
              slot.signal == SIGTSTP   ? stop_
              : slot.signal == SIGCONT ? resume_
                                       : parentEnd_,
              SA_RESTART);
    } else {
      install(slot, ending_, static_cast<int>(SA_RESETHAND));
    }
  }
}

bool WaitSignals::ends(int signal) const {
  for (const Slot& slot : slots_) {
    if (slot.signal == signal) {
      return slot.installed && signal != SIGTSTP && signal != SIGCONT && signal != kParentEnd;
    }
  }
  return false;
}

bool WaitSignals::watchesParent() const { return slots_.back().installed; }  // added last

void WaitSignals::uninstall() {
  for (Slot& slot : slots_) {
    if (slot.installed) sigaction(slot.signal, &slot.previous, nullptr);
    slot.installed = false;
  }
}

void WaitSignals::add(int signal) {
  Slot slot;
  slot.signal = signal;
  slots_.push_back(slot);
  sigaddset(&all_, signal);
}

void WaitSignals::install(Slot& slot, Handler handler, int flags) {
  if (sigaction(slot.signal, nullptr, &slot.previous) != 0 ||
      ((slot.previous.sa_flags & SA_SIGINFO) == 0 && slot.previous.sa_handler == SIG_IGN)) {
    return;
  }
  struct sigaction action = {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  action.sa_mask = all_;
  slot.installed = sigaction(slot.signal, &action, nullptr) == 0;
}

void stopUntilContinued() {
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
}

}  // namespace beam
