// Waiting for one key press on the console at the end of a run.
#pragma once

#include "app/standard_io.h"

namespace beam {

/// Waits for one key press, for a person who can see the closing line and
/// answer it: only when standard output is the controlling terminal itself
/// (Windows: the console) and, on POSIX systems, this process group is its
/// foreground job. Otherwise it returns at once and leaves the terminal's
/// settings untouched: with output to a file, a pipe or another terminal,
/// in a background job, and (POSIX) when SIGINT is ignored, as a script
/// starts its & commands.
///
/// `out` holds the closing line: the wait first drops the input typed so far
/// (keys typed before the line never count), then writes and flushes `out`
/// (as Output::flush, ending the program with status 1 if it cannot, the
/// console's settings put back first), then waits; so every key sent once
/// the line is there counts, however soon (a driver such as expect).
/// The key is read from the console itself (the controlling terminal, CONIN$),
/// not from standard input, which may be redirected and is left as it is. The
/// key is not echoed, needs no Enter, and Ctrl+C is an ordinary key. All
/// input of that one press is
/// consumed (every byte of an escape sequence, and what came with it in the
/// same read; a bracketed paste, asked for while raw unless TERM is unset or
/// dumb, is one press, read to its closing sequence whatever pauses it has;
/// where pastes are not marked, the rest of the burst the key came in is
/// read until the input has been quiet for 40 ms, for 1000 ms at most; mouse
/// and focus reports are read whole and are no press; a byte above 7F begins
/// a UTF-8 character only where the locale's character set is UTF-8), and
/// the console's settings are restored afterwards, also when a signal that
/// ends the process comes during the wait. Keys typed after the press are
/// left for the next reader. (POSIX) While raw, a read of the terminal
/// blocks until a byte comes, so that a process killed or stopped where no
/// program can answer (SIGKILL, SIGSTOP) leaves a terminal that the next
/// reader (a shell) still waits on; the wait times its reads itself
/// (poll(), or select() where poll() refuses terminals: there a terminal
/// open at FD_SETSIZE or above is not waited on), so SIGALRM keeps its own
/// meaning. An end-of-input mark typed before the line (Ctrl+D in line
/// mode, as `script` sends when its input ends) means no wait. A stop
/// (SIGTSTP) puts the settings back while stopped. The wait ends without a key
/// when the terminal stops being this job's (the shell has taken it back) or
/// goes away, and when reading fails; the settings are then put back only if
/// the terminal still has the ones the wait set. (POSIX) When the process that
/// started this one ends during the wait, the settings go back at once and the
/// process ends as on SIGHUP (or by the signal that process asked the system
/// for, where the wait handles it), where the system can say so (Linux,
/// FreeBSD); elsewhere, or with SIGHUP ignored, the wait ends at its next
/// check of the terminal; when it has ended before, there is no wait.
void waitForKey(Output& out);

/// Whether standard input and output are both a terminal (the console): a
/// person types the answers there and sees the prompts. Never on the page.
bool answersAreTyped();

}  // namespace beam
