// The 17 digits from the C library's snprintf, where the C++ library has no
// floating-point to_chars (libc++ before 14, emscripten's among them).
#include <cstdio>

#include "analysis/scientific17.h"

namespace beam {

char* scientific17(char* out, double m) {
  const int length = std::snprintf(out, kScientific17Size, "%.16e", m);
  return out + (length > 0 ? length : 0);
}

}  // namespace beam
