// An independent, slow rendering of a double in the program's six-digit
// form, for checking formatValue in tests and fuzzing.
#pragma once

#include <string>

namespace beam::testing_support {

/// From the exact decimal expansion that glibc's "%.800e" prints: the first
/// 18 digits, half up to 17, half up to 6, then the fixed or exponent form.
std::string referenceFormat(double x);

/// The 17 correctly rounded significant digits of a finite m > 0 from the
/// same exact expansion, ties to even, as "d.dddddddddddddddde+XX" (at least
/// two exponent digits). Example: 0.1 -> "1.0000000000000001e-01".
std::string referenceScientific17(double m);

}  // namespace beam::testing_support
