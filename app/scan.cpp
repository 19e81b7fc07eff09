#include "app/scan.h"

#include <cassert>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/utf8.h"

namespace beam {
namespace {

// Counters stop here: far beyond any double's decimal range, far below
// overflow of the 64-bit sums they enter.
constexpr std::int64_t kSaturation = 1'000'000'000'000'000;

// Decimal exponents of the first significant digit beyond which no double
// can result: overflow above, values below the smallest subnormal under.
constexpr std::int64_t kMaxDecimalExponent = 310;
constexpr std::int64_t kMinDecimalExponent = -330;

}  // namespace

void DecimalAccumulator::keep(char digit) {
  if (count_ < kKeptDigits) {
    digits_[count_++] = digit;
  } else if (digit != '0') {
    dropped_ = true;
  }
}

void DecimalAccumulator::addIntegerDigit(char digit) {
  if (count_ == 0 && digit == '0') return;  // leading zero
  keep(digit);
  if (integerDigits_ < kSaturation) ++integerDigits_;
}

void DecimalAccumulator::addFractionDigit(char digit) {
  if (count_ == 0 && digit == '0') {
    if (leadingZeros_ < kSaturation) ++leadingZeros_;
    return;
  }
  keep(digit);
}

void DecimalAccumulator::addExponentDigit(char digit) {
  if (exponent_ < kSaturation) exponent_ = exponent_ * 10 + (digit - '0');
}

NumberScan DecimalAccumulator::convert() const {
  NumberScan result;
  if (count_ == 0) {
    result.value = negative_ ? -0.0 : 0.0;
    result.error = ScanError::kNone;
    return result;
  }
  // Exponent of the first significant digit: d.ddd x 10^first.
  const std::int64_t position = integerDigits_ > 0 ? integerDigits_ - 1 : -(leadingZeros_ + 1);
  const std::int64_t first = position + (exponentNegative_ ? -exponent_ : exponent_);
  result.error = ScanError::kOutOfRange;
  if (first > kMaxDecimalExponent || first < kMinDecimalExponent) return result;

  // Canonical text "-d.ddd...[1]e<first>"; a trailing 1 stands for dropped
  // non-zero digits, which only ever matter as "something above".
  char text[kKeptDigits + 32];
  char* out = text;
  *out++ = digits_[0];
  *out++ = '.';
  std::memcpy(out, digits_ + 1, static_cast<std::size_t>(count_ - 1));
  out += count_ - 1;
  if (dropped_) *out++ = '1';
  *out++ = 'e';
  out = std::to_chars(out, text + sizeof text - 1, first).ptr;
  *out = '\0';

  // strtod rounds correctly on every C library the program is built with,
  // and the program never leaves the "C" locale, so '.' is the point. The
  // canonical text always parses whole (checked in debug builds); range is
  // judged on the result.
  char* end = nullptr;
  const double magnitude = std::strtod(text, &end);
  assert(end == out && "the canonical number text parses whole");
  if (std::isinf(magnitude) || magnitude < DBL_MIN) return result;
  result.value = negative_ ? -magnitude : magnitude;
  result.error = ScanError::kNone;
  return result;
}

namespace detail {

std::size_t cutAtCharacterBoundary(const char* kept, std::size_t length, int next) {
  const auto byte = [](int c) { return static_cast<unsigned char>(c); };
  if (next == kEndOfInput || !isUtf8Continuation(byte(next))) return length;
  // The character the next byte continues: its lead byte and the
  // continuation bytes already kept.
  std::size_t start = length;
  while (start > 0 && length - start < 3 && isUtf8Continuation(byte(kept[start - 1]))) --start;
  if (start > 0 &&
      static_cast<std::size_t>(utf8ContinuationCount(byte(kept[start - 1]))) > length - start) {
    return start - 1;  // it does not fit whole: drop it
  }
  return length;  // not UTF-8: keep the bytes as they came
}

}  // namespace detail

}  // namespace beam
