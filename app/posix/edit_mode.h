// The controlling terminal in the line editor's mode, on POSIX systems:
// its settings, and the signal handlers that keep them safe. Internal to
// app/posix/line_editor.cpp.
#pragma once

namespace beam {

/// Sets the editor's mode on standard input, the controlling terminal, when
/// this job is in its foreground: no line editing and no echo (the editor
/// reads each byte and shows the line itself), reads that wait for a byte
/// (VMIN 1, VTIME 0); the signal keys (Ctrl+C, Ctrl+Z, Ctrl+\) and the
/// terminal's input mapping (CR to LF) stay as they were. Installs the key
/// wait's handlers (app/posix/wait_signals.h) meanwhile: every signal that
/// ends the process puts the terminal's settings back first, and a stop
/// puts them back while stopped and sets the editor's again once continued
/// in the foreground; and notes SIGWINCH. The settings go back only while
/// the terminal still has the editor's. False (nothing changed) when the
/// mode cannot be set.
bool startEditMode();

/// Puts the terminal's settings back and the signals' actions as they were.
void endEditMode();

/// Whether the process was continued in the foreground since last asked
/// (the line must be drawn again), and whether the window's size changed.
bool editModeResumed();
bool editModeResized();

}  // namespace beam
