// The program's own rendering of a double: kSignificantDigits (six)
// significant digits in general notation, with its own rounding, exponent
// form and special values.
#pragma once

#include <limits>
#include <string>

namespace beam {

/// How many significant digits formatValue writes: the one place that says
/// so (the manual, doc/robustness.md and the benchmark's yardstick follow
/// it, and the tests read it here).
inline constexpr int kSignificantDigits = 6;

/// Renders x with kSignificantDigits significant digits. Rules, in order:
///  - zero of either sign is "0";
///  - +infinity is "1.#INF", -infinity "-1.#INF", every NaN "-1.#IND";
///  - otherwise the 17 significant digits of |x| correctly rounded from its
///    exact decimal expansion are rounded half up to kSignificantDigits; a
///    carry out of the first digit gives 1 and zeros, and raises the
///    decimal exponent X by one. (This equals rounding the exact
///    expansion's first 18 digits half up to 17, then to kSignificantDigits:
///    number_format.cpp shows why the two never differ);
///  - X < -4 or X >= kSignificantDigits: exponent form, trailing zeros of
///    the fraction dropped, exponent signed and at least three digits;
///  - otherwise fixed form with kSignificantDigits - 1 - X decimals,
///    trailing zeros and a bare point dropped;
///  - a minus sign in front for negative x.
/// Worked examples: kFormatExamples below. The result is at most
/// kSignificantDigits + 7 characters ("-1.23457e-308"), so it never leaves
/// the string's inline storage.
std::string formatValue(double x);

/// A value and what formatValue writes for it.
struct FormatExample {
  double value;
  const char* text;
};

/// formatValue's worked examples (a test checks each, here).
inline constexpr FormatExample kFormatExamples[] = {
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
    {0.1234565, "0.123457"},  // the 17-digit step lifts it to the tie
    {1.99999998, "2"},
    {-12.5, "-12.5"},
    {-0.0, "0"},
    {std::numeric_limits<double>::infinity(), "1.#INF"},
    {-std::numeric_limits<double>::infinity(), "-1.#INF"},
    {std::numeric_limits<double>::quiet_NaN(), "-1.#IND"},
};

}  // namespace beam
