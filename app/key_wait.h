// Waiting for one key press on the console at the end of a run.
#pragma once

#include "app/standard_io.h"

namespace beam {

/// Waits for one key press, for a person who can see the closing line and
/// answer it.
///
/// When it waits: only when standard output is the controlling terminal
/// itself (Windows: the console) and, on POSIX systems, this process group
/// is its foreground job. Otherwise it returns at once and leaves the
/// terminal's settings untouched:
///  - output to a file, a pipe or another terminal;
///  - a background job;
///  - (POSIX) SIGINT ignored, as a script starts its & commands.
/// An end-of-input mark typed before the line (Ctrl+D in line mode, as
/// `script` sends when its input ends) means no wait either (one that ended
/// typed answers: run.h).
///
/// The closing line: `out` holds it. The wait first drops the input typed
/// so far (keys typed before the line never count), then writes and flushes
/// `out` (as Output::flush: status 1 if it cannot, the console's settings
/// put back first), then waits. So every key sent once the line is there
/// counts, however soon (a driver such as expect).
///
/// The key:
///  - is read from the console itself (the controlling terminal, CONIN$),
///    not from standard input, which may be redirected and is left as it is;
///  - is not echoed and needs no Enter; Ctrl+C is an ordinary key;
///  - is consumed with all the input of that one press: every byte of an
///    escape sequence, and what came with it in the same read;
///  - a bracketed paste is one press, read to its closing sequence whatever
///    pauses it has (asked for while raw, unless TERM is unset, dumb or the
///    Linux console's: linux, linux-*);
///  - where pastes are not marked, the rest of the burst the key came in is
///    read until the input has been quiet for 40 ms, for 1000 ms at most;
///  - mouse and focus reports are read whole and are no press;
///  - a byte above 7F begins a UTF-8 character only where the locale's
///    character set is UTF-8, and its rest is given 40 ms: a lone byte of a
///    Latin-1 terminal is one press, and the key after it the shell's.
/// Keys typed after the press are left for the next reader.
///
/// The console's settings are restored afterwards, also when a signal that
/// ends the process comes during the wait. (POSIX:)
///  - While raw, a read of the terminal blocks until a byte comes. So a
///    process killed or stopped where no program can answer (SIGKILL,
///    SIGSTOP) leaves a terminal that the next reader (a shell) still waits
///    on.
///  - The wait times its reads itself (poll(), or select() where poll()
///    refuses terminals: there a terminal open at FD_SETSIZE or above is not
///    waited on), so SIGALRM keeps its own meaning.
///  - A stop (SIGTSTP) puts the settings back while stopped.
///
/// The wait ends without a key when the terminal stops being this job's
/// (the shell has taken it back) or goes away, and when reading fails. The
/// settings are then put back only if the terminal still has the ones the
/// wait set.
///
/// (POSIX) When the process that started this one ends during the wait, the
/// settings go back at once and the process ends as on SIGHUP (or by the
/// signal that process asked the system for, where the wait handles it).
/// That is where the system can say so (Linux, FreeBSD); the end of its
/// thread that started this one is not its end. Elsewhere, or with
/// SIGHUP ignored, the wait ends at its next check of the terminal. When
/// that process has ended before the wait, there is no wait.
void waitForKey(Output& out);

/// Whether standard input and output are both a terminal (the console): a
/// person types the answers there and sees the prompts. Never on the page.
bool answersAreTyped();

}  // namespace beam
