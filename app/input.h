// Reading the answers of one run: the reader that gives each question its
// value from a Source (see scan.h), and what stopped it.
#pragma once

#include <cstddef>
#include <string_view>

#include "analysis/beam.h"
#include "app/scan.h"

namespace beam {

/// How many bytes of what stood where a number was expected a note keeps.
inline constexpr std::size_t kSeenBytes = 40;

/// A Source that keeps the first kSeenBytes bytes taken through it (white space
/// before the first other byte left out), for a note on what stood where a
/// number was expected.
template <class Source>
class KeptText {
 public:
  explicit KeptText(Source& source) : source_(source) {}
  int peek() { return source_.peek(); }
  void take() {
    const int c = source_.peek();
    if (length_ > 0 || !isWhiteSpace(c)) keep(c);
    source_.take();
  }
  /// Keeps a byte taken before this source was made.
  void keep(int c) {
    if (length_ < kSeenBytes) {
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
  char text_[kSeenBytes] = {};
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
  char seen[kSeenBytes] = {};  // for a number: what stood there
  std::size_t seenLength = 0;
  bool seenCut = false;  // and more followed
  std::string_view seenText() const { return {seen, seenLength}; }
};

/// The reader of one run, over any Source: good until a read fails
/// (failed) or a read meets the end of input (end). In either of those
/// states every later read fails at once without consuming anything:
/// numbers are left as they were, words become empty.
///
/// A UTF-8 byte-order mark (EF BB BF) at the very start of the input, as a
/// file saved by Notepad starts, is skipped before the first read; anywhere
/// else it is read as any other bytes. A part of one at the start (EF, or
/// EF BB, then another byte) fails the first read, as EF alone would fail a
/// number.
/// Examples (input -> L, state after reading L): "\xEF\xBB\xBF" "6 " -> 6,
/// good; "\xEF\xBB" "6 " -> not set, failed.
///
/// Without `kKeepsSeen` (a program that writes no note, kept small), stop()
/// has no text.
template <class Source, bool kKeepsSeen = true>
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
    if constexpr (kKeepsSeen) {
      KeptText<Source> kept(source_);
      const NumberScan scan = scanNumber(kept);
      if (scan.error == ScanError::kNone) return store(field, scan);
      state_ = State::kFailed;
      kept.takeRestOfWord();
      noteStop(scan.error == ScanError::kOutOfRange     ? ReadStop::Kind::kOutOfRange
               : kept.text().empty() && scan.reachedEnd ? ReadStop::Kind::kEnded
                                                        : ReadStop::Kind::kNotANumber,
               kept);
    } else {
      const NumberScan scan = scanNumber(source_);
      if (scan.error == ScanError::kNone) return store(field, scan);
      state_ = State::kFailed;
    }
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
  void store(double& field, const NumberScan& scan) {
    field = scan.value;
    ++stored_;
    if (scan.reachedEnd) state_ = State::kEnd;
  }

  void failOnMark() {
    state_ = State::kFailed;
    if constexpr (kKeepsSeen) {
      KeptText<Source> kept(source_);
      for (int taken = 0; taken < markTaken_; ++taken) kept.keep(taken == 0 ? 0xEF : 0xBB);
      kept.takeRestOfWord();
      noteStop(ReadStop::Kind::kNotANumber, kept);
    }
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

}  // namespace beam
