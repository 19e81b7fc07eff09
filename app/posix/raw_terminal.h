// The controlling terminal held in raw input for the key wait, on POSIX
// systems: its settings and the signal handlers that keep them safe.
// Internal to app/posix/key_wait.cpp.
#pragma once

#include <signal.h>

#include <cstddef>

namespace beam {

/// Owns the terminal for the time of the wait. Its descriptor must be open
/// with O_NONBLOCK (the process's own open of /dev/tty): no read ever waits
/// in the system, even if another reader takes the input first.
///
/// On construction, before the closing line is written, it installs the
/// handlers, drops what was typed before (an extra Enter, the rest of a
/// paste), and sets raw input whose reads would block until a byte comes
/// (VMIN 1, VTIME 0: a process that reads the terminal after this one was
/// killed or frozen still waits for input). Typed before, an end-of-input
/// mark (the VEOF character in line mode, as `script` sends when its own
/// input ends) means nobody will press a key: there is no wait.
///
/// On destruction, and from every handler of a signal that ends or stops
/// the process, it puts the settings back, but only while the terminal
/// still has the ones it set (another program's stay). Meanwhile:
///  - SIGTTIN and SIGTTOU stay blocked, so that neither a read nor the
///    restore stops the process once the terminal is the shell's (a read
///    fails instead); a SIGTTOU sent from elsewhere stops it only after the
///    settings are back;
///  - every other signal keeps its meaning and its place in the process's
///    mask: one blocked before the wait stays blocked (SIGALRM with it), one
///    ignored stays ignored;
///  - while the parent that started this process is watched
///    (WaitSignals::kParentEnd), its end ends the process as SIGHUP does (or
///    the signal the process already had asked for comes, where the wait
///    handles it); the request the process had is put back afterwards;
///  - the end of the parent's thread that started this process, which Linux
///    signals alike, is no end: the watch is armed again and the wait goes on.
/// There is one wait at a time: a second RawTerminal while one exists takes
/// nothing and is not raw.
class RawTerminal {
 public:
  explicit RawTerminal(int fd);
  ~RawTerminal();
  RawTerminal(const RawTerminal&) = delete;
  RawTerminal& operator=(const RawTerminal&) = delete;

  /// Whether the terminal is this job's and now raw (and the parent that
  /// started this process is still there): only then is there a wait.
  bool isRaw() const { return raw_; }

  /// Asks the terminal to mark pastes (bracketed paste), unless TERM is
  /// unset, dumb or the Linux console's (linux, linux-*), which marks
  /// none; call once the closing line is out. Whether it did.
  bool askForPasteMarks();

  enum class Read { kBytes, kNothing, kLost };

  /// Reads what has come, 1 to `size` bytes (their number in `count`),
  /// waiting at most `milliseconds` for the first. kNothing when the time
  /// ran out; kLost when the terminal is no longer this job's, has gone or
  /// fails, or the parent has ended.
  Read readBytes(unsigned char* bytes, std::size_t size, int milliseconds, std::size_t& count);

 private:
  bool taken_ = false;
  bool raw_ = false;
  int parentSignal_ = 0;  // the parent-end request the process had
  bool parentSignalChanged_ = false;
  sigset_t mask_;  // the process's signal mask before the wait
};

}  // namespace beam
