// Waiting for one key press on the console at the end of a run.
#pragma once

namespace beam {

/// Waits for one key press, for a person who can see the closing line and
/// answer it: only when standard output is a terminal (Windows: the
/// console) and, on POSIX systems, this process is in the terminal's
/// foreground job. Otherwise it returns at once and leaves the terminal's
/// settings untouched: with output to a file or a pipe, and in a background
/// job.
///
/// The key is read from the console itself (the controlling terminal,
/// CONIN$), not from standard input, which may be redirected and is left as
/// it is. It is not echoed, needs no Enter, and Ctrl+C is an ordinary key.
/// All input of that one press is consumed (every byte of an escape
/// sequence), and the console's settings are restored afterwards, also when
/// a signal ends the process during the wait. A stop (SIGTSTP) puts the
/// settings back while stopped. Returns at once when there is no console to
/// read from, and when reading fails.
void waitForKey();

}  // namespace beam
