// The keys of the answer line's editor (app/posix/line_edit.h), from the
// bytes a terminal sends for them. Nothing but bytes goes in; no timing.
#pragma once

#include <string>
#include <vector>

#include "app/terminal_key.h"

namespace beam {

enum class EditKey {
  kText,        ///< characters to insert (EditPress::text)
  kEnter,       ///< LF, or CR where the terminal does not map it
  kEndOfInput,  ///< Ctrl+D
  kLeft,        ///< Left, Ctrl+B
  kRight,       ///< Right, Ctrl+F
  kHome,        ///< Home, Ctrl+A
  kEnd,         ///< End, Ctrl+E
  kBackspace,   ///< 7F, Ctrl+H
  kDelete,      ///< Delete (ESC [ 3 ~)
  kKillBefore,  ///< Ctrl+U: from the start to the cursor
  kKillAfter,   ///< Ctrl+K: from the cursor to the end
  kKillWord,    ///< Ctrl+W: the word before the cursor
  kUp,          ///< Up, Ctrl+P
  kDown,        ///< Down, Ctrl+N
};

struct EditPress {
  EditKey key;
  std::string text;  // for kText
};

/// Follows the bytes typed at the terminal and says which editing keys they
/// are. Printable bytes, tab, and UTF-8 characters (in a UTF-8 locale; a cut
/// one keeps its bytes) are text; the arrows, Home, End and Delete in their
/// usual forms (ESC [ or ESC O then A B C D H F; ESC [ 1 ~, 3 ~, 4 ~, 7 ~,
/// 8 ~) and the control keys above are keys. Every other sequence is
/// swallowed whole, never inserted: function keys, Alt with a key, a key
/// with modifiers, mouse and focus reports (whose ends KeyPressParser
/// knows), a lone Esc, other control bytes. Inside a bracketed paste the
/// text is kept (its line ends are Enter, its other control bytes and
/// sequences dropped) and the marks are dropped.
/// Examples: "6\x1b[D" -> text "6", Left; "\x1b[200~6 \x1b[X2\x1b[201~" ->
/// text "6", " ", "2"; "\x1b[<0;3;4M" -> nothing.
class EditKeyDecoder {
 public:
  explicit EditKeyDecoder(bool utf8) : utf8_(utf8), parser_(utf8) {}

  /// Takes the next byte; appends the keys it completes to `keys`.
  void feed(unsigned char byte, std::vector<EditPress>& keys);

  /// Whether a key's bytes are held, waiting for the rest (not in a paste).
  bool holding() const { return state_ != State::kPlain && !pasting_; }

  /// Whether what is held is whole if nothing follows (a lone ESC).
  bool mayEndHere() const { return state_ == State::kEscape && parser_.mayEndHere(); }

  /// Nothing more came in time: a cut character is text, anything else
  /// held is dropped.
  void cut(std::vector<EditPress>& keys);

 private:
  enum class State { kPlain, kEscape, kUtf8 };
  void plain(unsigned char byte, std::vector<EditPress>& keys);
  void pasted(unsigned char byte, std::vector<EditPress>& keys);
  void endSequence(std::vector<EditPress>& keys);

  bool utf8_;
  State state_ = State::kPlain;
  KeyPressParser parser_;
  std::string held_;
  int toCome_ = 0;           // continuation bytes of a UTF-8 character
  bool pasting_ = false;     // between a paste's marks
  std::size_t endSeen_ = 0;  // bytes of a paste's closing mark seen in a row
};

}  // namespace beam
