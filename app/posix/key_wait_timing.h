// How long the key wait on a POSIX terminal waits at each step
// (app/posix/key_wait.cpp), in one place, for the wait and for the tests
// that time it.
#pragma once

namespace beam {

/// How often the wait checks that the terminal is still this job's, also
/// while a bracketed paste is read to its end.
inline constexpr int kOwnerCheckMs = 200;

/// After ESC, a following byte this soon belongs to the same press (an
/// arrow's bytes over a slow link can come this far apart); later, ESC was
/// the Esc key.
inline constexpr int kEscapeFollowMs = 200;

/// Inside a sequence (after ESC [ or ESC O) the rest arrives together; the
/// wait gives it this long before it takes the press as cut short. Longer
/// than kEscapeFollowMs.
inline constexpr int kSequenceFollowMs = 300;

/// After the key, the rest of its burst (a paste the terminal did not
/// bracket, over ssh in pieces a few milliseconds apart) is read and
/// dropped until the input has been quiet this long, and for kBurstMs at
/// most. The rest of a UTF-8 character gets this long too: a lone byte of
/// a Latin-1 terminal is cut short soon, and the key after it is the shell's.
inline constexpr int kQuietMs = 40;
inline constexpr int kBurstMs = 1000;

static_assert(kEscapeFollowMs < kSequenceFollowMs && kQuietMs < kEscapeFollowMs);

}  // namespace beam
