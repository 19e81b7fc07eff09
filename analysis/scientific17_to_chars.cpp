// The 17 digits from the C++ library's floating-point to_chars, where it has
// one (not libc++ before 14).
#include <charconv>

#include "analysis/scientific17.h"

namespace beam {

char* scientific17(char* out, double m) {
  constexpr int kDecimals = 16;
  return std::to_chars(out, out + kScientific17Size, m, std::chars_format::scientific, kDecimals)
      .ptr;
}

}  // namespace beam
