// The signal handlers of the key wait and the line editor on POSIX systems:
// which signals get one, installing them and giving back what the process
// had. Internal to app/posix/raw_terminal.cpp and app/posix/edit_mode.cpp,
// which supply the handlers themselves.
#pragma once

#include <signal.h>

#include <vector>

namespace beam {

/// Every catchable signal whose default action ends the process (a crash
/// signal too, SIGALRM among them, and every real-time signal the system
/// has: 32 on Linux, 62 on FreeBSD), then SIGTSTP, SIGCONT and
/// kParentEnd. Each is
/// installed with all of them blocked while it runs, and each signal's
/// previous action is given back by uninstall(). A signal that was ignored
/// (nohup, a background job without job control) stays ignored.
class WaitSignals {
 public:
  using Handler = void (*)(int);

  /// The signal the wait asks the system for when its parent ends. Its
  /// default is to be ignored and nobody sends it to end a process, so its
  /// handler can tell a parent's end from a SIGHUP sent by the parent.
  static constexpr int kParentEnd = SIGURG;

  /// `ending` for the ending signals (installed with SA_RESETHAND, so that
  /// the signal it raises again ends the process), `stop` for SIGTSTP,
  /// `resume` for SIGCONT and `parentEnd` for kParentEnd (SA_RESTART).
  WaitSignals(Handler ending, Handler stop, Handler resume, Handler parentEnd);

  /// The handled signals, SIGTTIN and SIGTTOU.
  const sigset_t& all() const { return all_; }

  void install();

  /// Whether `signal` now ends the process through `ending`.
  bool ends(int signal) const;

  /// Whether kParentEnd now goes to `parentEnd` (it was not ignored).
  bool watchesParent() const;

  /// Gives back the previous actions; call with all() blocked.
  void uninstall();

 private:
  struct Slot {
    int signal = 0;
    struct sigaction previous = {};
    bool installed = false;
  };

  void add(int signal);
  void install(Slot& slot, Handler handler, int flags);

  Handler ending_;
  Handler stop_;
  Handler resume_;
  Handler parentEnd_;
  sigset_t all_;
  std::vector<Slot> slots_;
};

/// From a SIGTSTP handler: stops the process as SIGTSTP's default action
/// would, and returns once it is continued, with the handler and the mask
/// as they were. Async-signal-safe.
void stopUntilContinued();

}  // namespace beam
