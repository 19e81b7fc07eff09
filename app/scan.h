// Scanning the user's numbers and unit words from a stream of characters.
//
// The scanners pull characters from a Source with two operations:
//   int peek();   // next character as 0..255, or kEndOfInput
//   void take();  // consume the character peek() showed
// so the same code reads standard input (FileSource, standard_io.h), a
// string in a test or a fuzzer's bytes (TextSource). They never throw, never
// allocate, and use bounded memory whatever the input: at most kKeptDigits
// significant digits are stored, the rest only counted.
#pragma once

#include <cstdint>
#include <string_view>

#include "analysis/beam.h"

namespace beam {

inline constexpr int kEndOfInput = -1;

/// Significant mantissa digits kept for conversion. Any double is decided by
/// its first 767 significant digits plus whether a non-zero digit follows,
/// so keeping 800 and a sticky flag gives the correctly rounded value.
inline constexpr int kKeptDigits = 800;

/// The six white-space characters: blank, \t, \n, \v, \f, \r.
constexpr bool isWhiteSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

enum class ScanError {
  kNone,        ///< a complete number in range
  kMalformed,   ///< nothing fitting, a lone sign or point, an 'e' with no digit
  kOutOfRange,  ///< rounds to 2^1024 or more, or non-zero below the smallest normal
};

/// The outcome of scanning one number. `value` is meaningful only when
/// error is kNone. `reachedEnd` tells that the scan stopped at the end of
/// input rather than at a character it left unread.
struct NumberScan {
  double value = 0.0;
  ScanError error = ScanError::kMalformed;
  bool reachedEnd = false;
};

/// Accumulates the digits of one number and converts them to the nearest
/// double. Used by scanNumber, which as a template needs it in this header.
class DecimalAccumulator {
 public:
  void setNegative() { negative_ = true; }
  void addIntegerDigit(char digit);
  void addFractionDigit(char digit);
  void addExponentDigit(char digit);
  void setExponentNegative() { exponentNegative_ = true; }

  /// The nearest double, or kOutOfRange. An exact zero keeps its sign.
  /// Examples: "0.007" -> 0.007 (nearest); "1e999" -> kOutOfRange;
  /// "-0e99999" -> -0.0; "2.2250738585072011e-308" -> kOutOfRange.
  NumberScan convert() const;

 private:
  void keep(char digit);

  char digits_[kKeptDigits] = {};
  int count_ = 0;
  bool dropped_ = false;            // a non-zero digit beyond kKeptDigits
  std::int64_t integerDigits_ = 0;  // significant digits before the point
  std::int64_t leadingZeros_ = 0;   // zeros after the point before the first significant digit
  std::int64_t exponent_ = 0;       // saturates far beyond any double's range
  bool negative_ = false;
  bool exponentNegative_ = false;
};

/// Scans one number in the form [+|-] digits [. digits] [(e|E) [+|-] digits]
/// with at least one mantissa digit, after skipping white space. Characters
/// are taken while they can still begin such a number; the first one that
/// cannot is left unread.
/// Examples (text -> value, what remains): "5kN" -> 5, "kN"; "1.2.3" -> 1.2,
/// ".3"; "+." -> kMalformed, ""; ".e5" -> kMalformed, "e5"; "1e+" ->
/// kMalformed, ""; "1e999" -> kOutOfRange, "".
template <class Source>
NumberScan scanNumber(Source& in);

/// Scans one word after skipping white space: the characters up to the next
/// white space or the end of input. The first UnitWord::kCapacity bytes are
/// kept, cut back to the start of a UTF-8 character (lead byte C2 to F4,
/// app/utf8.h) that would not fit whole; the rest is consumed and dropped.
/// Returns false when the end of input came before any character (the word
/// is then empty). Sets reachedEnd when the scan stopped at the end of input.
template <class Source>
bool scanWord(Source& in, UnitWord& word, bool& reachedEnd);

/// A Source over a piece of text; `consumed()` tells how far it got.
class TextSource {
 public:
  explicit TextSource(std::string_view text) : text_(text) {}
  int peek() const {
    return position_ < text_.size() ? static_cast<unsigned char>(text_[position_]) : kEndOfInput;
  }
  void take() { ++position_; }
  std::size_t consumed() const { return position_; }

 private:
  std::string_view text_;
  std::size_t position_ = 0;
};

// ---- Templates ---------------------------------------------------------

template <class Source>
void skipWhiteSpace(Source& in) {
  while (isWhiteSpace(in.peek())) in.take();
}

namespace detail {
constexpr bool isDigit(int c) { return c >= '0' && c <= '9'; }

/// Takes c, the character peeked last, and returns the next one.
template <class Source>
int advance(Source& in) {
  in.take();
  return in.peek();
}

/// Takes a run of digits starting at c, handing each to add. Returns whether
/// there was one; c is left at the first character after the run.
template <class Source, class Add>
bool takeDigits(Source& in, int& c, Add add) {
  bool any = false;
  for (; isDigit(c); c = advance(in)) {
    add(static_cast<char>(c));
    any = true;
  }
  return any;
}
}  // namespace detail

template <class Source>
NumberScan scanNumber(Source& in) {
  using detail::advance;
  using detail::takeDigits;
  skipWhiteSpace(in);
  DecimalAccumulator number;
  NumberScan malformed;  // error kMalformed
  int c = in.peek();
  if (c == '+' || c == '-') {
    if (c == '-') number.setNegative();
    c = advance(in);
  }
  bool mantissa = takeDigits(in, c, [&](char d) { number.addIntegerDigit(d); });
  if (c == '.') {
    c = advance(in);
    mantissa |= takeDigits(in, c, [&](char d) { number.addFractionDigit(d); });
  }
  if (!mantissa) {  // nothing fitting, or a lone sign or point
    malformed.reachedEnd = c == kEndOfInput;
    return malformed;
  }
  if (c == 'e' || c == 'E') {
    c = advance(in);
    if (c == '+' || c == '-') {
      if (c == '-') number.setExponentNegative();
      c = advance(in);
    }
    if (!takeDigits(in, c, [&](char d) { number.addExponentDigit(d); })) {
      malformed.reachedEnd = c == kEndOfInput;  // an 'e' with no digit after it
      return malformed;
    }
  }
  NumberScan result = number.convert();
  result.reachedEnd = c == kEndOfInput;
  return result;
}

namespace detail {
/// Length of a kept word cut back so that no UTF-8 character is split: when
/// the byte after the cut continues a character whose lead byte was kept,
/// that character is dropped. Bytes that are not UTF-8 stay as they came.
std::size_t cutAtCharacterBoundary(const char* kept, std::size_t length, int next);
}  // namespace detail

template <class Source>
bool scanWord(Source& in, UnitWord& word, bool& reachedEnd) {
  skipWhiteSpace(in);
  std::size_t length = 0;
  int next = in.peek();
  if (next == kEndOfInput) {
    word.text[0] = '\0';
    reachedEnd = true;
    return false;
  }
  while (next != kEndOfInput && !isWhiteSpace(next) && length < UnitWord::kCapacity) {
    word.text[length++] = static_cast<char>(next);
    in.take();
    next = in.peek();
  }
  length = detail::cutAtCharacterBoundary(word.text, length, next);
  word.text[length] = '\0';
  while (next != kEndOfInput && !isWhiteSpace(next)) {
    in.take();
    next = in.peek();
  }
  reachedEnd = next == kEndOfInput;
  return true;
}

}  // namespace beam
