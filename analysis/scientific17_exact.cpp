// The 17 digits from the double's exact decimal expansion, where the C++
// library has no floating-point to_chars (libc++ before 14, emscripten's
// among them): the program's own, so that it carries no printf (the page's
// module is that much smaller). m = f * 2^e exactly, with f an integer of
// at most 53 bits; its digits are those of the integer f * 2^e (e >= 0) or
// f * 5^-e (e < 0, the point then -e places further left), worked out in
// base 10^9 and rounded half to even at the 17th.
#include <cmath>
#include <cstdint>

#include "analysis/scientific17.h"

namespace beam {
namespace {

constexpr std::uint32_t kBase = 1000000000;  // one limb: nine decimal digits
// f * 5^1074 has 767 digits; f * 2^971 has 309: 86 limbs are enough.
constexpr int kLimbs = 90;

// A natural number in base 10^9, least significant limb first.
struct Decimal {
  std::uint32_t limb[kLimbs] = {};
  int count = 1;

  void multiply(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (int i = 0; i < count; ++i) {
      const std::uint64_t product = std::uint64_t{limb[i]} * factor + carry;
      limb[i] = static_cast<std::uint32_t>(product % kBase);
      carry = product / kBase;
    }
    while (carry != 0) {
      limb[count++] = static_cast<std::uint32_t>(carry % kBase);
      carry /= kBase;
    }
  }

  // Its decimal digits, most significant first, into digits; returns how many.
  int digits(char* out) const {
    int n = 0;
    for (int i = count - 1; i >= 0; --i) {
      char group[9];
      std::uint32_t value = limb[i];
      for (int d = 8; d >= 0; --d) {
        group[d] = static_cast<char>('0' + value % 10);
        value /= 10;
      }
      for (char c : group) {
        if (n > 0 || c != '0') out[n++] = c;
      }
    }
    return n;
  }
};

}  // namespace

char* scientific17(char* out, double m) {
  int e = 0;
  const double fraction = std::frexp(m, &e);  // m = fraction * 2^e, 0.5 <= fraction < 1
  auto f = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  e -= 53;
  Decimal value;
  value.limb[0] = static_cast<std::uint32_t>(f % kBase);
  value.limb[1] = static_cast<std::uint32_t>(f / kBase % kBase);
  value.limb[2] = static_cast<std::uint32_t>(f / kBase / kBase);
  value.count = value.limb[2] != 0 ? 3 : value.limb[1] != 0 ? 2 : 1;
  // By 2^29 or 5^13 at a time: a limb times either fits in 64 bits.
  for (int left = e >= 0 ? e : -e; left > 0;) {
    const int step = left < (e >= 0 ? 29 : 13) ? left : (e >= 0 ? 29 : 13);
    std::uint32_t factor = 1;
    for (int i = 0; i < step; ++i) factor *= e >= 0 ? 2 : 5;
    value.multiply(factor);
    left -= step;
  }
  char digit[kLimbs * 9];
  const int n = value.digits(digit);
  int exponent = n - 1 + (e < 0 ? e : 0);
  // Half to even at the 17th digit, from all the digits after it.
  bool up = false;
  if (n > 17) {
    bool beyondHalf = false;
    for (int i = 18; i < n && !beyondHalf; ++i) beyondHalf = digit[i] != '0';
    up = digit[17] > '5' || (digit[17] == '5' && (beyondHalf || (digit[16] - '0') % 2 == 1));
  }
  for (int i = n; i < 17; ++i) digit[i] = '0';
  for (int i = 16; up && i >= 0; --i) {
    up = digit[i] == '9';
    digit[i] = up ? '0' : static_cast<char>(digit[i] + 1);
  }
  if (up) {  // 9.99...9 carried to 10.00...0
    digit[0] = '1';
    ++exponent;
  }
  *out++ = digit[0];
  *out++ = '.';
  for (int i = 1; i < 17; ++i) *out++ = digit[i];
  *out++ = 'e';
  *out++ = exponent < 0 ? '-' : '+';
  const int size = exponent < 0 ? -exponent : exponent;
  if (size >= 100) *out++ = static_cast<char>('0' + size / 100);
  *out++ = static_cast<char>('0' + size / 10 % 10);
  *out++ = static_cast<char>('0' + size % 10);
  return out;
}

}  // namespace beam
