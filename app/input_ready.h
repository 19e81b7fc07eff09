// Waiting until a descriptor has input, for the key wait's timed reads and
// for standard input left non-blocking, or with VMIN 0, by an earlier
// program (POSIX
// systems and the page's C library; not Windows).
#pragma once

namespace beam {

enum class Ready {
  kInput,        ///< a read now returns at once: bytes, or the end
  kTimedOut,     ///< nothing came within the time
  kInterrupted,  ///< a signal's handler ran: look again
  kGone,         ///< hung up, or no longer a descriptor to read
  kUnwatchable,  ///< neither poll() nor select() can watch it
};

/// Waits at most `milliseconds` (negative: for as long as it takes) until
/// fd has input. poll() first; where poll() refuses the descriptor (macOS
/// answers POLLNVAL for terminals) select() on the same descriptor, which
/// can watch only descriptors below FD_SETSIZE (kUnwatchable above).
/// Example: a pipe with a byte in it -> kInput at once; an empty pipe whose
/// writer is open, 10 ms -> kTimedOut after 10 ms.
Ready waitForInput(int fd, int milliseconds);

/// Whether a read of fd that returned nothing may only have found nothing
/// yet: a terminal in non-canonical mode with VMIN 0 (as `stty -icanon min
/// 0` leaves it), whose reads return at once or after its VTIME. Anything
/// else (line mode, VMIN above 0, a file, a pipe) has met its end. Never on
/// the page.
bool readsMayFindNothing(int fd);

}  // namespace beam
