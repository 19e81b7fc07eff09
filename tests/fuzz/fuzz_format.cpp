// formatValue on arbitrary bit patterns against the slow exact reference.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "analysis/number_format.h"
#include "tests/format_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (std::size_t offset = 0; offset + sizeof(double) <= size; offset += sizeof(double)) {
    double x = 0.0;
    std::memcpy(&x, data + offset, sizeof x);
    const std::string got = beam::formatValue(x);
    const std::string want = beam::testing_support::referenceFormat(x);
    if (got != want) {
      std::fprintf(stderr, "formatValue(%a) = %s, exact digits give %s\n", x, got.c_str(),
                   want.c_str());
      std::abort();
    }
  }
  return 0;
}
