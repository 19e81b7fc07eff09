// Where one key press ends in the bytes a terminal sends for it.
#pragma once

#include <cstddef>

namespace beam {

/// Follows the bytes of one key press as a terminal sends them: a plain
/// byte; a UTF-8 character (lead byte and its continuation bytes); Esc alone;
/// Alt+key as ESC and the key; CSI sequences "ESC [ params final" (arrows
/// ESC [ A, F5 ESC [ 1 5 ~, the Linux console's F1 ESC [ [ A); SS3 sequences
/// "ESC O final" (F1 ESC O P). Nothing but bytes goes in; no timing.
/// Example: feed(0x1b) -> false, mayEndHere() -> true; feed('[') -> false;
/// feed('A') -> true.
class KeyPressParser {
 public:
  /// Takes the next byte of the press; true when the press is complete.
  bool feed(unsigned char byte);

  /// True when the bytes so far are a whole press if no byte follows at once
  /// (a lone ESC is the Esc key; ESC ESC is Alt+Esc).
  bool mayEndHere() const { return state_ == State::kEscape; }

 private:
  enum class State { kStart, kEscape, kCsiFirst, kCsiBody, kLinuxFunction, kSs3, kUtf8 };
  bool startCharacter(unsigned char byte);

  State state_ = State::kStart;
  int continuationBytes_ = 0;
  std::size_t length_ = 0;
};

}  // namespace beam
