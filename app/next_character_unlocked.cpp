// The next character through the C library's buffer without its lock
// (POSIX getc_unlocked): the program reads standard input from one thread.
#include "app/next_character.h"

namespace beam {

int nextCharacter(std::FILE* file) { return getc_unlocked(file); }

}  // namespace beam
