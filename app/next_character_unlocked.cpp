// The next character through the C library's buffer without its lock
// (POSIX getc_unlocked): the program reads standard input from one thread.
// A descriptor an earlier program left non-blocking (O_NONBLOCK is shared
// with the shell that started beam) fails a read with EAGAIN while nothing
// has been typed: that is no end of input, so the read waits for input and
// is tried again. So does a terminal left non-canonical with VMIN 0 (`stty
// -icanon min 0`), whose reads return nothing at once.
#include <stdio.h>  // fileno

#include <cerrno>
#include <cstdio>

#include "app/input_ready.h"
#include "app/next_character.h"

namespace beam {

int nextCharacter(std::FILE* file) {
  for (;;) {
    const int c = getc_unlocked(file);  // a failed read sets errno
    if (c != EOF) return c;
    const bool notYet = std::ferror(file) ? errno == EAGAIN || errno == EWOULDBLOCK
                                          : readsMayFindNothing(fileno(file));
    if (!notYet) return c;
    std::clearerr(file);
    Ready ready;
    do {
      ready = waitForInput(fileno(file), -1);
    } while (ready == Ready::kInterrupted);
    if (ready != Ready::kInput) return EOF;
  }
}

}  // namespace beam
