// What every fuzz target does when a property it checks does not hold.
#pragma once

#include <cstdio>
#include <cstdlib>

/// Ends the run (libFuzzer keeps the input) with the property's name when
/// condition is false.
inline void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
  }
}
