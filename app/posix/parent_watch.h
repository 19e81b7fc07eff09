// Whether the process that started this one is still there, and a signal
// when it ends (POSIX systems). The key wait uses both: a terminal left raw
// when that process ends would be saved as the shell's own settings.
#pragma once

namespace beam {

/// True when the parent this process had at start-up has ended (this
/// process now has another). A copy made later by fork() cannot tell and
/// gets false.
bool parentGone();

/// The signal the system sends this process when its parent ends, as
/// requested so far (kept across exec, so a program that started beam may
/// have asked for one); 0 for none, and where the system cannot say (macOS).
int parentEndSignal();

/// Asks the system to send `signal` to this process when its parent ends;
/// 0 withdraws the request. Linux and FreeBSD can; elsewhere (macOS) this
/// does nothing. The request is never inherited by a forked child.
void signalWhenParentEnds(int signal);

}  // namespace beam
