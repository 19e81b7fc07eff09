#include "analysis/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace beam {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Slow and independent: glibc prints the exact decimal expansion of any
// double with "%.800e" (at most 767 significant digits are ever needed).
// From it: truncate to 18 digits, round half up to 17, then half up to 6.
std::string referenceFormat(double x) {
  if (x == 0.0) return "0";
  if (std::isnan(x)) return "-1.#IND";
  if (std::isinf(x)) return x > 0 ? "1.#INF" : "-1.#INF";
  static char text[1024];
  std::snprintf(text, sizeof text, "%.800e", std::fabs(x));
  std::string digits = std::string(1, text[0]) + std::string(text + 2, 17);
  int exponent = std::atoi(std::strchr(text, 'e') + 1);
  auto roundHalfUpTo = [&](std::size_t n) {
    const bool up = digits[n] >= '5';
    digits.resize(n);
    if (!up) return;
    std::size_t i = n;
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0) {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    } else {
      ++digits[i - 1];
    }
  };
  roundHalfUpTo(17);
  roundHalfUpTo(6);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = std::signbit(x) ? "-" : "";
  if (exponent < -4 || exponent >= 6) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    char tail[16];
    std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return out + tail;
  }
  if (exponent < 0) return out + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  const auto integerDigits = static_cast<std::size_t>(exponent + 1);
  if (digits.size() <= integerDigits) return out + digits + std::string(integerDigits - digits.size(), '0');
  return out + digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

struct Example {
  double value;
  const char* text;
};

// value, rendering: the examples documented on formatValue, then more ties,
// carries and notation boundaries.
const Example kExamples[] = {
    {2.0, "2"},
    {12345.25, "12345.3"},
    {3.3333333, "3.33333"},
    {0.0001, "0.0001"},
    {0.00001, "1e-005"},
    {0.000015, "1.5e-005"},
    {1000000.0, "1e+006"},
    {333333333333.0, "3.33333e+011"},
    {100000.5, "100001"},
    {999999.5, "1e+006"},
    {0.1234565, "0.123457"},
    {1.99999998, "2"},
    {-12.5, "-12.5"},
    {-0.0, "0"},
    {kInf, "1.#INF"},
    {-kInf, "-1.#INF"},
    {kNaN, "-1.#IND"},
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

TEST(FormatValue, DocumentedExamples) {
  for (const Example& e : kExamples) {
    EXPECT_EQ(formatValue(e.value), e.text) << "value " << e.value;
  }
}

TEST(FormatValue, ExamplesAgreeWithReference) {
  for (const Example& e : kExamples) {
    EXPECT_EQ(referenceFormat(e.value), e.text) << "value " << e.value;
  }
}

// Exact 18-digit ties are where correctly rounded conversion (ties to even)
// and the half-up rule part ways: m = M * 2^-k with M * 5^k of 18 digits.
TEST(FormatValue, SeventeenDigitTiesRoundUp) {
  std::mt19937_64 random(7);
  int ties = 0;
  for (int k = 1; k <= 25; ++k) {
    for (int trial = 0; trial < 2000; ++trial) {
      const std::uint64_t mantissa = (random() >> 11) | 1;
      const double m = std::ldexp(static_cast<double>(mantissa >> (random() % 53)) , -k);
      if (m == 0.0) continue;
      ASSERT_EQ(formatValue(m), referenceFormat(m)) << std::hexfloat << m;
      ASSERT_EQ(formatValue(-m), referenceFormat(-m)) << std::hexfloat << m;
      ++ties;
    }
  }
  EXPECT_GT(ties, 0);
}

TEST(FormatValue, MatchesExactReferenceOnRandomBitPatterns) {
  std::mt19937_64 random(42);
  for (int i = 0; i < 100000; ++i) {
    const double x = std::bit_cast<double>(random());
    if (!std::isfinite(x)) continue;
    ASSERT_EQ(formatValue(x), referenceFormat(x)) << std::hexfloat << x;
  }
}

// Short decimals, their neighbours, and six-digit ties in every decade: the
// values users type and the report's arithmetic produces.
TEST(FormatValue, MatchesExactReferenceNearDecimalTies) {
  std::mt19937_64 random(3);
  for (int i = 0; i < 100000; ++i) {
    const int decade = static_cast<int>(random() % 640) - 320;
    const double six = static_cast<double>(100000 + random() % 900000) + 0.5;
    double x = six * std::pow(10.0, decade - 5);
    if (!std::isfinite(x) || x == 0.0) continue;
    for (int step = 0; step < 3; ++step) {
      ASSERT_EQ(formatValue(x), referenceFormat(x)) << std::hexfloat << x;
      x = std::nextafter(x, 0.0);
    }
  }
}

}  // namespace
}  // namespace beam
