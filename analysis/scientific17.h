// The 17 exact digits that formatValue rounds from, by whichever route the
// build has: analysis/scientific17_to_chars.cpp (the C++ library's
// floating-point to_chars) or analysis/scientific17_exact.cpp (the
// program's own, from the double's exact expansion), picked when the build
// is configured. Internal to analysis/.
#pragma once

namespace beam {

/// Room for the text of scientific17, terminator included.
inline constexpr int kScientific17Size = 32;

/// Writes the 17 correctly rounded significant digits of a finite m > 0 in
/// scientific form with 16 decimals, "d.dddddddddddddddde+XX" (two or three
/// exponent digits), to out (kScientific17Size bytes); returns the end of
/// the text. Both routes round correctly (half to even): to_chars by its
/// definition, the program's own by working out every digit of the
/// expansion.
/// Examples: scientific17(out, 0.1) -> "1.0000000000000001e-01";
///           scientific17(out, 1e300) -> "1.0000000000000001e+300".
char* scientific17(char* out, double m);

}  // namespace beam
