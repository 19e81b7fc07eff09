// The number scanner over arbitrary text: wherever a read succeeds, its value
// is strtod's on the characters it consumed; where it fails as out of range,
// strtod's value is infinite, zero from non-zero digits, or subnormal; where
// the text is malformed, strtod cannot take all of it.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "app/input.h"
#include "tests/fuzz/require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  beam::TextSource source(text);
  const beam::NumberScan scan = beam::scanNumber(source);
  const std::string consumed(text.substr(0, source.consumed()));
  require(scan.reachedEnd == (source.consumed() == size), "reachedEnd means all was consumed");

  char* end = nullptr;
  const double expected = std::strtod(consumed.c_str(), &end);
  const bool tookAll = end == consumed.c_str() + consumed.size();
  switch (scan.error) {
    case beam::ScanError::kNone:
      require(tookAll, "a successful read is a whole number for strtod");
      require(std::memcmp(&expected, &scan.value, sizeof expected) == 0, "value equals strtod's");
      require(scan.value == 0.0 || std::fabs(scan.value) >= DBL_MIN, "never subnormal");
      break;
    case beam::ScanError::kOutOfRange:
      require(tookAll, "an out-of-range read is a whole number for strtod");
      require(std::isinf(expected) || std::fabs(expected) < DBL_MIN, "strtod agrees on the range");
      require(expected != 0.0 || consumed.find_first_of("123456789") != std::string::npos,
              "zero only from non-zero digits");
      break;
    case beam::ScanError::kMalformed:
      require(
          !tookAll || consumed.find_first_of("0123456789") == std::string::npos || consumed.empty(),
          "malformed text is not a whole number");
      break;
  }
  return 0;
}
