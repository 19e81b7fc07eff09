// The next character through std::getc, where the C library has no
// getc_unlocked (MSVC's).
#include "app/next_character.h"

namespace beam {

int nextCharacter(std::FILE* file) { return std::getc(file); }

}  // namespace beam
