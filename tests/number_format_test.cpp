#include "analysis/number_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "analysis/scientific17.h"
#include "tests/format_reference.h"

namespace beam {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The double with these bits (std::bit_cast, which emscripten's libc++ 13
// lacks).
double fromBits(std::uint64_t bits) {
  double x = 0.0;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// value, rendering: besides the examples documented on formatValue
// (kFormatExamples), more ties, carries and notation boundaries.
const FormatExample kMoreExamples[] = {
    {-kNaN, "-1.#IND"},
    {999999.4, "999999"},
    {99999.95, "99999.9"},  // the double lies below the tie even after 17 digits
    {0.000099999949999999994, "9.99999e-005"},
    {123456.0, "123456"},
    {1234567.0, "1.23457e+006"},
    {-4.0000000200000001, "-4"},
    {1e300, "1e+300"},
    {1e-300, "1e-300"},
    {4.9406564584124654e-324, "4.94066e-324"},
    {1.7976931348623157e308, "1.79769e+308"},
    {2.98023223876953125e-8, "2.98023e-008"},  // exactly 18 digits ending in 5
};

// Both tables, and each rendering as the independent reference gives it.
TEST(FormatValue, DocumentedAndMoreExamples) {
  const auto check = [](const FormatExample& e) {
    EXPECT_EQ(formatValue(e.value), e.text) << "value " << e.value;
    EXPECT_EQ(testing_support::referenceFormat(e.value), e.text) << "value " << e.value;
  };
  for (const FormatExample& e : kFormatExamples) check(e);
  for (const FormatExample& e : kMoreExamples) check(e);
}

// Exact 18-digit ties are where correctly rounded conversion (ties to even)
// and the half-up rule part ways: m = M * 2^-k with M odd, whose exact
// expansion M * 5^k * 10^-k has 18 significant digits, the last a 5.
TEST(FormatValueSweep, EighteenDigitTiesRoundHalfUp) {
  constexpr std::uint64_t kSmallest18Digits = 100000000000000000;
  constexpr std::uint64_t kLargestExactMantissa = (std::uint64_t{1} << 53) - 1;
  std::mt19937_64 random(7);
  std::uint64_t fivePower = 1;  // 5^k
  for (int k = 1; k <= 25; ++k) {
    fivePower *= 5;
    const std::uint64_t low = (kSmallest18Digits + fivePower - 1) / fivePower;
    const std::uint64_t high =
        std::min((10 * kSmallest18Digits - 1) / fivePower, kLargestExactMantissa);
    for (int trial = 0; low < high && trial < 2000; ++trial) {
      std::uint64_t mantissa = (low + random() % (high - low + 1)) | 1;
      if (mantissa > high) mantissa -= 2;
      const std::uint64_t digits = mantissa * fivePower;  // m's expansion without its point
      ASSERT_TRUE(digits >= kSmallest18Digits && digits < 10 * kSmallest18Digits &&
                  digits % 10 == 5)
          << mantissa << " * 5^" << k;
      const double m = std::ldexp(static_cast<double>(mantissa), -k);
      ASSERT_EQ(formatValue(m), testing_support::referenceFormat(m)) << std::hexfloat << m;
      ASSERT_EQ(formatValue(-m), testing_support::referenceFormat(-m)) << std::hexfloat << m;
    }
  }
}

TEST(FormatValueSweep, MatchesExactReferenceOnRandomBitPatterns) {
  std::mt19937_64 random(42);
  for (int i = 0; i < 100000; ++i) {
    const double x = fromBits(random());
    if (!std::isfinite(x)) continue;
    ASSERT_EQ(formatValue(x), testing_support::referenceFormat(x)) << std::hexfloat << x;
  }
}

// Short decimals, their neighbours, and six-digit ties in every decade: the
// values users type and the report's arithmetic produces.
TEST(FormatValueSweep, MatchesExactReferenceNearDecimalTies) {
  std::mt19937_64 random(3);
  for (int i = 0; i < 100000; ++i) {
    const int decade = static_cast<int>(random() % 640) - 320;
    const double six = static_cast<double>(100000 + random() % 900000) + 0.5;
    double x = six * std::pow(10.0, decade - 5);
    if (!std::isfinite(x) || x == 0.0) continue;
    for (int step = 0; step < 3; ++step) {
      ASSERT_EQ(formatValue(x), testing_support::referenceFormat(x)) << std::hexfloat << x;
      x = std::nextafter(x, 0.0);
    }
  }
}

// The 17 digits, from whichever route the build picked (to_chars or the
// program's own exact conversion), agree with the exact expansion rounded
// to even: the documented examples, random bit patterns, 18-digit ties (m = M * 2^-k) and six-digit
// ties in every decade.
TEST(Scientific17Sweep, MatchesTheExactExpansionRoundedToEven) {
  char text[kScientific17Size];
  const auto digits = [&](double m) { return std::string(text, scientific17(text, m)); };
  EXPECT_EQ(digits(0.1), "1.0000000000000001e-01");
  EXPECT_EQ(digits(1e300), "1.0000000000000001e+300");
  EXPECT_EQ(testing_support::referenceScientific17(0.1), "1.0000000000000001e-01");
  std::mt19937_64 random(11);
  for (int i = 0; i < 100000; ++i) {
    double m = std::fabs(fromBits(random()));
    if (i % 3 == 1) m = std::ldexp(static_cast<double>((random() >> 11) | 1), -1 - i % 25);
    if (i % 3 == 2)
      m = (static_cast<double>(100000 + random() % 900000) + 0.5) * std::pow(10.0, i % 600 - 300);
    if (!std::isfinite(m) || m == 0.0) continue;
    ASSERT_EQ(digits(m), testing_support::referenceScientific17(m)) << std::hexfloat << m;
  }
}

}  // namespace
}  // namespace beam
