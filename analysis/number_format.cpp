#include "analysis/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "analysis/scientific17.h"

namespace beam {
namespace {

// Digits taken from the exact expansion, and digits written.
constexpr int kExactDigits = 17;
constexpr int kShownDigits = kSignificantDigits;
static_assert(kShownDigits >= 1 && kShownDigits < kExactDigits);
// Decimal exponents of the first digit written in fixed form: from 0.0001
// (-4) up to 999999 (5, with six digits); outside them, exponent form.
constexpr int kSmallestFixedExponent = -4;
constexpr int kLargestFixedExponent = kShownDigits - 1;
// The longest rendering: sign, digit, point, the other digits, "e-308".
constexpr int kLongestText = kShownDigits + 7;

// Significant decimal digits ('0'..'9') and the decimal exponent of the first.
struct DecimalDigits {
  char digit[kExactDigits] = {};
  int exponent = 0;
};

// Adds one to the last of `count` digits, carrying through nines. Returns true
// when the carry runs out of the first digit (the digits are then 1000...).
bool roundUpLast(char* digit, int count) {
  for (int i = count - 1; i >= 0; --i) {
    if (digit[i] != '9') {
      ++digit[i];
      return false;
    }
    digit[i] = '0';
  }
  digit[0] = '1';
  return true;
}

// Rounds the digits half up to `to` significant digits (the carry step is
// roundUpLast); the digits after them are left as they were.
void roundHalfUp(DecimalDigits& d, int to) {
  if (d.digit[to] >= '5' && roundUpLast(d.digit, to)) {
    ++d.exponent;
  }
}

// 17 significant digits of m > 0, correctly rounded from its exact expansion.
//
// Why these, rounded half up to 6, give the same as the exact expansion's
// first 18 digits rounded half up to 17 and then to 6: half up at 17 digits
// of the truncated 18 equals half up at 17 digits of the exact value (the 18th digit is >= 5
// exactly when the remainder is at least half a unit). Correct rounding
// differs from half up only on an exact tie with an even 17th digit, where
// it stays one unit lower. That never reaches the 6-digit result: rounding
// at the 7th digit could only change if digits 7 to 17 were 49999999999,
// whose 17th digit is odd.
DecimalDigits digits17(double m) {
  DecimalDigits d;
  char text[kScientific17Size];
  const char* const end = scientific17(text, m);
  // text: "d.dddddddddddddddde+XX"
  d.digit[0] = text[0];
  std::memcpy(d.digit + 1, text + 2, kExactDigits - 1);
  const char* exponentText = text + kExactDigits + 2;  // just past 'e'
  const bool negative = *exponentText == '-';
  int exponent = 0;
  std::from_chars(exponentText + 1, end, exponent);  // past the sign
  d.exponent = negative ? -exponent : exponent;
  return d;
}

char* writeDigits(char* out, const char* digit, int count) {
  std::memcpy(out, digit, static_cast<std::size_t>(count));
  return out + count;
}

char* writeExponentForm(char* out, const char* digit, int significant, int exponent) {
  *out++ = digit[0];
  if (significant > 1) {
    *out++ = '.';
    out = writeDigits(out, digit + 1, significant - 1);
  }
  *out++ = 'e';
  *out++ = exponent < 0 ? '-' : '+';
  const int magnitude = exponent < 0 ? -exponent : exponent;
  *out++ = static_cast<char>('0' + magnitude / 100);
  *out++ = static_cast<char>('0' + magnitude / 10 % 10);
  *out++ = static_cast<char>('0' + magnitude % 10);
  return out;
}

char* writeFixedForm(char* out, const char* digit, int significant, int exponent) {
  if (exponent < 0) {
    *out++ = '0';
    *out++ = '.';
    for (int i = 0; i < -exponent - 1; ++i) *out++ = '0';
    return writeDigits(out, digit, significant);
  }
  const int integerDigits = exponent + 1;
  for (int i = 0; i < integerDigits; ++i) *out++ = i < significant ? digit[i] : '0';
  if (significant > integerDigits) {
    *out++ = '.';
    out = writeDigits(out, digit + integerDigits, significant - integerDigits);
  }
  return out;
}

}  // namespace

std::string formatValue(double x) {
  if (x == 0.0) return "0";
  if (std::isnan(x)) return "-1.#IND";
  if (std::isinf(x)) return x > 0 ? "1.#INF" : "-1.#INF";

  DecimalDigits d = digits17(std::fabs(x));
  roundHalfUp(d, kShownDigits);
  int significant = kShownDigits;
  while (significant > 1 && d.digit[significant - 1] == '0') --significant;

  char text[kLongestText];
  char* out = text;
  if (std::signbit(x)) *out++ = '-';
  if (d.exponent < kSmallestFixedExponent || d.exponent > kLargestFixedExponent) {
    out = writeExponentForm(out, d.digit, significant, d.exponent);
  } else {
    out = writeFixedForm(out, d.digit, significant, d.exponent);
  }
  return std::string(text, out);
}

}  // namespace beam
