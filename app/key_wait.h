// Waiting for one key press on the console at the end of a run.
#pragma once

namespace beam {

/// Waits for one key press, for a person who can see the closing line and
/// answer it: only when standard output is the controlling terminal itself
/// (Windows: the console) and, on POSIX systems, this process group is its
/// foreground job. Otherwise it returns at once and leaves the terminal's
/// settings untouched: with output to a file, a pipe or another terminal,
/// in a background job, and (POSIX) when SIGINT is ignored, as a script
/// starts its & commands.
///
/// The key is read from the console itself (the controlling terminal, CONIN$),
/// not from standard input, which may be redirected and is left as it is. Input
/// typed before the wait began is dropped. The key is not echoed, needs no
/// Enter, and Ctrl+C is an ordinary key. All input of that one press is
/// consumed (every byte of an escape sequence; a bracketed paste, asked for
/// while raw unless TERM is unset or dumb, is one press, read to its closing
/// sequence whatever pauses it has; so is the rest of the burst the key came
/// in, such as a paste the terminal did not bracket, read until the input has
/// been quiet for 40 ms, for 1000 ms at most; mouse and focus reports are read
/// whole and are no press), and the console's settings are restored afterwards,
/// also when a signal that ends the process comes during the wait. (POSIX)
/// While raw, a read of the terminal blocks until a byte comes, so that a
/// process killed or stopped where no program can answer (SIGKILL, SIGSTOP)
/// leaves a terminal that the next reader (a shell) still waits on; the wait's
/// timer is the process's real-time one, and an alarm that is not its tick does
/// what it would have done (an inherited alarm still comes at its time). A stop
/// (SIGTSTP) puts the settings back while stopped. The wait ends without a key
/// when the terminal stops being this job's (the shell has taken it back) or
/// goes away, and when reading fails; the settings are then put back only if
/// the terminal still has the ones the wait set. (POSIX) When the process that
/// started this one ends during the wait, the settings go back at once and the
/// process ends as on SIGHUP, where the system can say so (Linux, FreeBSD);
/// when it has ended before, there is no wait.
void waitForKey();

}  // namespace beam
