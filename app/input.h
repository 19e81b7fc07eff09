// Reading the user's numbers and unit words from a stream of characters.
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

/// A Source that keeps the first kKept bytes taken through it (white space
/// before the first other byte left out), for a note on what stood where a
/// number was expected.
template <class Source>
class KeptText {
 public:
  static constexpr std::size_t kKept = 40;
  explicit KeptText(Source& source) : source_(source) {}
  int peek() { return source_.peek(); }
  void take() {
    const int c = source_.peek();
    if (length_ > 0 || !isWhiteSpace(c)) keep(c);
    source_.take();
  }
  /// Keeps a byte taken before this source was made.
  void keep(int c) {
    if (length_ < kKept) {
      text_[length_++] = static_cast<char>(c);
    } else {
      cut_ = true;
    }
  }
  /// Takes the rest of the word the bytes kept so far stand in, up to
  /// white space or the end (no more than fits, and one byte to tell).
  void takeRestOfWord() {
    for (int c = peek(); c != kEndOfInput && !isWhiteSpace(c) && !cut_; c = peek()) take();
  }
  std::string_view text() const { return {text_, length_}; }
  bool cut() const { return cut_; }

 private:
  Source& source_;
  char text_[kKept] = {};
  std::size_t length_ = 0;
  bool cut_ = false;
};

/// Why the reads of a run stopped before the last answer, for a note
/// (answer_note.h). `question` is the first whose answer was not read (1
/// to 7; 0 when every answer was read, and then kind is kNone).
struct ReadStop {
  enum class Kind { kNone, kEnded, kNotANumber, kOutOfRange };
  Kind kind = Kind::kNone;
  int question = 0;
  char seen[KeptText<TextSource>::kKept] = {};  // for a number: what stood there
  std::size_t seenLength = 0;
  bool seenCut = false;  // and more followed
  std::string_view seenText() const { return {seen, seenLength}; }
};

/// The reader of one run, over any Source: good until a read fails
/// (failed) or a read meets the end of input (end). In either of those
/// states every later read fails at once without consuming anything:
/// numbers are left as they were, words become empty. A UTF-8 byte-order
/// mark (EF BB BF) at the very start of the input, as a file saved by
/// Notepad starts, is skipped before the first read; anywhere else it is
/// read as any other bytes. A part of one at the start (EF, or EF BB, then
/// another byte) fails the first read, as EF alone would fail a number.
/// Examples (input -> L, state after reading L): "\xEF\xBB\xBF" "6 " -> 6,
/// good; "\xEF\xBB" "6 " -> not set, failed.
template <class Source>
class InputReader {
 public:
  enum class State { kGood, kEnd, kFailed };

  explicit InputReader(Source& source) : source_(source) {}

  /// Reads a number into field; on failure the field is left unchanged.
  void readNumber(double& field) {
    ++asked_;
    if (state_ != State::kGood) return;
    if (!skipByteOrderMark()) {
      failOnMark();
      return;
    }
    KeptText<Source> kept(source_);
    const NumberScan scan = scanNumber(kept);
    if (scan.error != ScanError::kNone) {
      state_ = State::kFailed;
      kept.takeRestOfWord();
      noteStop(scan.error == ScanError::kOutOfRange     ? ReadStop::Kind::kOutOfRange
               : kept.text().empty() && scan.reachedEnd ? ReadStop::Kind::kEnded
                                                        : ReadStop::Kind::kNotANumber,
               kept);
      return;
    }
    field = scan.value;
    ++stored_;
    if (scan.reachedEnd) state_ = State::kEnd;
  }

  /// Reads a word into field; on failure the field becomes empty.
  void readWord(UnitWord& field) {
    ++asked_;
    if (state_ != State::kGood) {
      field.text[0] = '\0';
      return;
    }
    if (!skipByteOrderMark()) {
      field.text[0] = '\0';
      failOnMark();
      return;
    }
    bool reachedEnd = false;
    if (!scanWord(source_, field, reachedEnd)) {
      state_ = State::kFailed;
      return;
    }
    ++stored_;
    if (reachedEnd) state_ = State::kEnd;
  }

  State state() const { return state_; }
  bool good() const { return state_ == State::kGood; }

  /// How many reads have stored a value (the last may have met the end),
  /// numbers and unit words alike.
  int valuesRead() const { return stored_; }

  /// Why the reads stopped, once every read has been made: the first
  /// answer not read and what stood there.
  /// Examples: "6 x 3" -> question 2, kNotANumber, "x"; "6 2" -> question
  /// 3, kEnded; "1e999" -> question 1, kOutOfRange, "1e999".
  ReadStop stop() const {
    ReadStop stop = stop_;
    if (stop.kind == ReadStop::Kind::kNone && asked_ > stored_) stop.kind = ReadStop::Kind::kEnded;
    if (stop.kind != ReadStop::Kind::kNone) stop.question = stored_ + 1;
    return stop;
  }

 private:
  // Before the first read only: false when the input starts with a part of
  // a byte-order mark and not the whole of one.
  bool skipByteOrderMark() {
    if (started_) return true;
    started_ = true;
    for (const int byte : {0xEF, 0xBB, 0xBF}) {
      if (source_.peek() != byte) return markTaken_ == 0;
      source_.take();
      ++markTaken_;
    }
    return true;
  }

  // A part of a byte-order mark began the input: it is shown with the rest
  // of its word (EF BC 96 is the full-width digit 6).
  void failOnMark() {
    state_ = State::kFailed;
    KeptText<Source> kept(source_);
    for (int taken = 0; taken < markTaken_; ++taken) kept.keep(taken == 0 ? 0xEF : 0xBB);
    kept.takeRestOfWord();
    noteStop(ReadStop::Kind::kNotANumber, kept);
  }

  void noteStop(ReadStop::Kind kind, const KeptText<Source>& kept) {
    stop_.kind = kind;
    stop_.seenLength = kept.text().copy(stop_.seen, sizeof stop_.seen);
    stop_.seenCut = kept.cut();
  }

  Source& source_;
  ReadStop stop_;
  State state_ = State::kGood;
  bool started_ = false;
  int stored_ = 0;
  int asked_ = 0;
  int markTaken_ = 0;  // bytes of a byte-order mark taken at the start
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
