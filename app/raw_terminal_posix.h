// The controlling terminal held in raw input for the key wait, on POSIX
// systems: its settings, the signal handlers that keep them safe, and the
// wait's timer. Internal to app/key_wait_posix.cpp.
#pragma once

#include <signal.h>

#include <cstddef>

namespace beam {

/// Owns the terminal for the time of the wait. On construction it saves the
/// settings, installs the handlers and sets raw input whose reads block
/// until a byte comes (VMIN 1, VTIME 0: a process that reads the terminal
/// after this one was killed or frozen still waits for input), asks for
/// bracketed paste unless TERM is unset or dumb, and drops what was typed
/// before. On destruction, and from every handler of a signal that ends or
/// stops the process, it puts the settings back, but only while the
/// terminal still has the ones it set (another program's stay). SIGTTIN and
/// SIGTTOU stay blocked meanwhile, so that neither a read nor the restore
/// stops the process once the terminal is the shell's (a read fails
/// instead), and a SIGTTOU sent from elsewhere stops it only after the
/// settings are back. The wait times its reads with the process's real-time
/// timer (ITIMER_REAL, SIGALRM, unblocked for the wait even where the
/// process had it blocked) and tells its own ticks from every other
/// SIGALRM: an alarm the process already had (inherited across exec, as
/// `alarm 10; exec beam` makes one) still comes at its time, and a SIGALRM
/// sent from elsewhere still comes; either ends the process with the
/// settings put back first where SIGALRM's action is the default, is
/// dropped where it is ignored, and is raised again after the wait where
/// the process had it blocked or handled. The timer runs on afterwards as
/// the process had it. There is one wait at a time: a second RawTerminal
/// while one exists takes nothing and is not raw.
class RawTerminal {
 public:
  explicit RawTerminal(int fd);
  ~RawTerminal();
  RawTerminal(const RawTerminal&) = delete;
  RawTerminal& operator=(const RawTerminal&) = delete;

  /// Whether the terminal is this job's and now raw (and the parent that
  /// started this process is still there): only then is there a wait.
  bool isRaw() const { return raw_; }

  enum class Read { kBytes, kNothing, kLost };

  /// Reads what has come, 1 to `size` bytes (their number in `count`),
  /// waiting at most `milliseconds` for the first (the wait's timer; one
  /// more period in the rare case that it fires just as the read begins).
  /// kNothing when the time ran out; kLost when the terminal is no longer
  /// this job's, has gone, or fails. A read under settings someone else has
  /// set since with VMIN 0 may find nothing early: it is read again after a
  /// nap of 20 ms (their settings may have no read timer at all).
  Read readBytes(unsigned char* bytes, std::size_t size, int milliseconds, std::size_t& count);

  /// Drops whatever the terminal holds that has not been read, while it is
  /// this job's.
  void dropUnread();

 private:
  bool taken_ = false;
  bool raw_ = false;
  bool watchingParent_ = false;
  sigset_t mask_;  // the process's signal mask before the wait
};

}  // namespace beam
