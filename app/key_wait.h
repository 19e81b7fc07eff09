// Waiting for one key press on the console at the end of a run.
#pragma once

namespace beam {

/// Waits for one key press read from the console itself (not from standard
/// input, which may be redirected and is left as it is). The key is not
/// echoed, needs no Enter, and Ctrl+C is an ordinary key. All input of that
/// one press is consumed (every byte of an escape sequence), and the
/// console's settings are restored afterwards. Returns at once when there
/// is no console to read from, and when reading fails.
void waitForKey();

}  // namespace beam
