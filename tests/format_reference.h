// An independent, slow rendering of a double in the program's six-digit
// form, for checking formatValue in tests and fuzzing.
#pragma once

#include <string>

namespace beam::testing_support {

/// From the exact decimal expansion that glibc's "%.800e" prints: the first
/// 18 digits, half up to 17, half up to 6, then the fixed or exponent form.
std::string referenceFormat(double x);

}  // namespace beam::testing_support
