#include "tests/format_reference.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "analysis/number_format.h"

namespace beam::testing_support {
namespace {

// Adds one unit in the last place of the digits; a carry out of the first
// keeps their number and raises the exponent.
void roundUp(std::string& digits, int& exponent) {
  std::size_t i = digits.size();
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) {
    digits.insert(digits.begin(), '1');
    digits.pop_back();
    ++exponent;
  } else {
    ++digits[i - 1];
  }
}

}  // namespace

// Slow and independent: glibc prints the exact decimal expansion of any
// double with "%.800e" (at most 767 significant digits are ever needed).
// From it: truncate to 18 digits, round half up to 17, then half up to
// kSignificantDigits.
std::string referenceFormat(double x) {
  if (x == 0.0) return "0";
  if (std::isnan(x)) return "-1.#IND";
  if (std::isinf(x)) return x > 0 ? "1.#INF" : "-1.#INF";
  char text[1024];
  std::snprintf(text, sizeof text, "%.800e", std::fabs(x));
  std::string digits = std::string(1, text[0]) + std::string(text + 2, 17);
  int exponent = std::atoi(std::strchr(text, 'e') + 1);
  auto roundHalfUpTo = [&](std::size_t n) {
    const bool up = digits[n] >= '5';
    digits.resize(n);
    if (!up) return;
    roundUp(digits, exponent);
  };
  roundHalfUpTo(17);
  roundHalfUpTo(static_cast<std::size_t>(kSignificantDigits));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = std::signbit(x) ? "-" : "";
  if (exponent < -4 || exponent >= kSignificantDigits) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    char tail[16];
    std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return out + tail;
  }
  if (exponent < 0)
    return out + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  const auto integerDigits = static_cast<std::size_t>(exponent + 1);
  if (digits.size() <= integerDigits)
    return out + digits + std::string(integerDigits - digits.size(), '0');
  return out + digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

std::string referenceScientific17(double m) {
  char text[1024];
  std::snprintf(text, sizeof text, "%.800e", m);
  const char* e = std::strchr(text, 'e');
  std::string digits =
      std::string(1, text[0]) + std::string(text + 2, static_cast<std::size_t>(e - (text + 2)));
  int exponent = std::atoi(e + 1);
  const std::string rest = digits.substr(17);
  digits.resize(17);
  const bool aboveHalf =
      rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
  const bool half = rest[0] == '5' && !aboveHalf;
  if (aboveHalf || (half && (digits.back() - '0') % 2 == 1)) roundUp(digits, exponent);
  char tail[16];
  std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return digits.substr(0, 1) + "." + digits.substr(1) + tail;
}

}  // namespace beam::testing_support
