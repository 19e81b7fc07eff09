// Where one key press ends in the bytes a terminal sends for it.
#pragma once

#include <cstddef>

namespace beam {

/// Whether the user's locale, as the environment names it (LC_ALL, else
/// LC_CTYPE, else LANG; the first that is set and not empty), has UTF-8 for
/// its character set. None named: true, as terminals now send.
/// Examples: "en_US.UTF-8" -> true; "C.utf8" -> true; nothing -> true;
/// "ru_RU.KOI8-R" -> false; "de_DE@euro" -> false; "C" -> false.
bool localeIsUtf8(const char* lcAll, const char* lcCtype, const char* lang);

/// The same for this process's environment.
bool localeIsUtf8();

/// Follows the bytes of one key press as a terminal sends them:
///  - a plain byte;
///  - a UTF-8 character (lead byte and its continuation bytes) in a UTF-8
///    terminal, one byte in any other;
///  - Esc alone; Alt+key as ESC and the key;
///  - CSI sequences "ESC [ params final" (arrows ESC [ A, F5 ESC [ 1 5 ~,
///    the Linux console's F1 ESC [ [ A);
///  - SS3 sequences "ESC O params final" (F1 ESC O P, Shift+F1 ESC O 2 P);
///  - a bracketed paste, "ESC [ 200 ~" to "ESC [ 201 ~" with anything
///    between, which is one press however long.
/// Reports that are no key press are followed to their end too:
///  - mouse reports: X10 "ESC [ M" and three values, each one byte, or in a
///    UTF-8 terminal one character, as mode 1005 sends values from 96 on;
///    SGR "ESC [ < params M" or "m"; urxvt "ESC [ params M";
///  - focus reports (ESC [ I, ESC [ O).
/// Nothing but bytes goes in; no timing.
/// Example: feed(0x1b) -> false, mayEndHere() -> true; feed('[') -> false;
/// feed('A') -> true, isKeyPress() -> true.
/// Example: ESC [ < 0 ; 5 ; 9 M -> true on the M, isKeyPress() -> false.
class KeyPressParser {
 public:
  explicit KeyPressParser(bool utf8 = true) : utf8_(utf8) {}

  /// Takes the next byte of the press; true when the press (or report) is
  /// complete.
  bool feed(unsigned char byte);

  /// True when the bytes so far are a whole press if no byte follows at once
  /// (a lone ESC is the Esc key; ESC ESC is Alt+Esc; an X10 report whose
  /// last value could begin a UTF-8 character is whole without it).
  bool mayEndHere() const {
    return state_ == State::kEscape || (state_ == State::kX10Mouse && bytesToCome_ == 0);
  }

  /// True inside a UTF-8 character, after its lead byte: its other bytes
  /// come together with it (a lone byte from a Latin-1 terminal does not).
  bool inCharacter() const { return state_ == State::kUtf8; }

  /// True inside a bracketed paste, after its opening sequence: only its
  /// closing sequence ends it, however long that takes.
  bool inPaste() const { return state_ == State::kPaste; }

  /// Once feed() has returned true: whether those bytes were a key press
  /// (false for a mouse or focus report).
  bool isKeyPress() const { return keyPress_; }

 private:
  enum class State {
    kStart,
    kEscape,
    kCsiFirst,
    kCsiBody,
    kLinuxFunction,
    kSs3,
    kUtf8,
    kX10Mouse,
    kPaste
  };
  bool startCharacter(unsigned char byte);
  bool endCsi(unsigned char final);
  bool followPaste(unsigned char byte);

  bool utf8_;
  bool x10Lead_ = false;  // an X10 value's UTF-8 lead byte: its continuation may follow
  State state_ = State::kStart;
  int bytesToCome_ = 0;  // a UTF-8 character's continuation bytes, or an X10 report's
  std::size_t length_ = 0;
  bool keyPress_ = true;
  // The parameter and intermediate bytes of a CSI sequence, as far as they
  // tell a report or a paste from a key.
  char parameters_[8] = {};
  std::size_t parameterCount_ = 0;
  std::size_t pasteEndMatched_ = 0;  // bytes of ESC [ 201 ~ seen in a row
};

}  // namespace beam
