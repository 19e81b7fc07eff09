// The program's own rendering of a double: six significant digits in general
// notation, with its own rounding, exponent form and special values.
#pragma once

#include <string>

namespace beam {

/// Renders x with six significant digits. Rules, in order:
///  - zero of either sign is "0";
///  - +infinity is "1.#INF", -infinity "-1.#INF", every NaN "-1.#IND";
///  - otherwise the 17 significant digits of |x| correctly rounded from its
///    exact decimal expansion are rounded half up to 6; a carry out of the
///    first digit gives 100000 and raises the decimal exponent X by one.
///    (This equals rounding the exact expansion's first 18 digits half up to
///    17, then to 6: number_format.cpp shows why the two never differ);
///  - X < -4 or X >= 6: exponent form, trailing zeros of the fraction dropped,
///    exponent signed and at least three digits;
///  - otherwise fixed form with 5 - X decimals, trailing zeros and a bare
///    point dropped;
///  - a minus sign in front for negative x.
///
/// Examples:
///   formatValue(2.0)           -> "2"
///   formatValue(12345.25)      -> "12345.3"
///   formatValue(3.3333333)     -> "3.33333"
///   formatValue(0.0001)        -> "0.0001"
///   formatValue(0.00001)       -> "1e-005"
///   formatValue(0.000015)      -> "1.5e-005"
///   formatValue(1000000.0)     -> "1e+006"
///   formatValue(333333333333.0)-> "3.33333e+011"
///   formatValue(100000.5)      -> "100001"
///   formatValue(999999.5)      -> "1e+006"
///   formatValue(0.1234565)     -> "0.123457"   (17-digit step lifts it to the tie)
///   formatValue(1.99999998)    -> "2"
///   formatValue(-12.5)         -> "-12.5"
///   formatValue(-0.0)          -> "0"
///   formatValue(+inf)          -> "1.#INF"
///   formatValue(-inf)          -> "-1.#INF"
///   formatValue(0.0 / 0.0)     -> "-1.#IND"
/// The result is at most 13 characters ("-1.23457e-308"), so it never leaves
/// the string's inline storage.
std::string formatValue(double x);

}  // namespace beam
