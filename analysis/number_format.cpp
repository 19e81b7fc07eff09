#include "analysis/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace beam {
namespace {

constexpr int kDigits17 = 17;
constexpr int kDigits6 = 6;

// Significant decimal digits ('0'..'9') and the decimal exponent of the first.
struct DecimalDigits {
  char digit[kDigits17 + 2] = {};
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
// Why this is the rule's 17 digits: half up at 17 digits of the truncated 18
// equals half up at 17 digits of the exact value (the 18th digit is >= 5
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
  std::memcpy(d.digit + 1, text + 2, kDigits17 - 1);
  d.digit[kDigits17] = '0';
  const char* exponentText = text + kDigits17 + 2;  // just past 'e'
  const bool negative = *exponentText == '-';
  int exponent = 0;
  std::from_chars(exponentText + 1, end, exponent);  // past the sign
  d.exponent = negative ? -exponent : exponent;
  return d;
}

char* appendDigits(char* out, const char* digit, int count) {
  std::memcpy(out, digit, static_cast<std::size_t>(count));
  return out + count;
}

char* writeExponentForm(char* out, const char* digit, int significant, int exponent) {
  *out++ = digit[0];
  if (significant > 1) {
    *out++ = '.';
    out = appendDigits(out, digit + 1, significant - 1);
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
    return appendDigits(out, digit, significant);
  }
  const int integerDigits = exponent + 1;
  for (int i = 0; i < integerDigits; ++i) *out++ = i < significant ? digit[i] : '0';
  if (significant > integerDigits) {
    *out++ = '.';
    out = appendDigits(out, digit + integerDigits, significant - integerDigits);
  }
  return out;
}

}  // namespace

#if BEAM_HAVE_DOUBLE_TO_CHARS
char* scientific17ToChars(char* out, double m) {
  return std::to_chars(out, out + kScientific17Size, m, std::chars_format::scientific,
                       kDigits17 - 1)
      .ptr;
}
#endif

char* scientific17Printf(char* out, double m) {
  const int length = std::snprintf(out, kScientific17Size, "%.16e", m);
  return out + (length > 0 ? length : 0);
}

char* scientific17(char* out, double m) {
#if BEAM_HAVE_DOUBLE_TO_CHARS
  return scientific17ToChars(out, m);
#else
  return scientific17Printf(out, m);
#endif
}

std::string formatValue(double x) {
  if (x == 0.0) return "0";
  if (std::isnan(x)) return "-1.#IND";
  if (std::isinf(x)) return x > 0 ? "1.#INF" : "-1.#INF";

  DecimalDigits d = digits17(std::fabs(x));
  roundHalfUp(d, kDigits6);
  int significant = kDigits6;
  while (significant > 1 && d.digit[significant - 1] == '0') --significant;

  char text[24];
  char* out = text;
  if (std::signbit(x)) *out++ = '-';
  if (d.exponent < -4 || d.exponent >= kDigits6) {
    out = writeExponentForm(out, d.digit, significant, d.exponent);
  } else {
    out = writeFixedForm(out, d.digit, significant, d.exponent);
  }
  return std::string(text, out);
}

}  // namespace beam
