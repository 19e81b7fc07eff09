// The answer line as the editor keeps it, and how it is shown: the line's
// text and cursor, the keys' edits, the answers given before (Up, Down),
// and the bytes that bring the terminal's screen from one state of the line
// to the next. Pure: no terminal, no system calls (app/posix/line_editor.cpp
// does the reading and writing).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/posix/edit_keys.h"

namespace beam {

/// The columns a terminal gives one code point: 0 for combining marks and
/// other zero-width ones, 2 for wide (CJK, Hangul, full-width forms, emoji),
/// 1 for the rest.
/// Examples: 'a' -> 1; U+0301 -> 0; U+4E2D (中) -> 2; U+FF4D (ｍ) -> 2.
int columnsOf(char32_t c);

/// The line being typed: its bytes and the cursor, a byte offset at the
/// start of a character (a character with the combining marks after it,
/// in a UTF-8 locale; a byte in any other).
struct EditLine {
  std::string text;
  std::size_t cursor = 0;
  bool operator==(const EditLine&) const = default;
};

/// Applies one key to the line (not Enter, Ctrl+D, Up or Down: those are
/// the editor's). Left and Right move over one character, Backspace and
/// Delete remove one, Ctrl+W the blanks before the cursor and the word
/// before them, Ctrl+U all before the cursor, Ctrl+K all after it.
/// Examples ("|" the cursor): "67|" Left -> "6|7"; "6|7" Backspace -> "|7";
/// "kN m|" Ctrl+W -> "kN |"; "e\u0301|" Left -> "|e\u0301".
void applyKey(EditLine& line, const EditPress& press, bool utf8);

/// This run's answers, for Up and Down, as a shell recalls its commands:
/// Up shows the answer before, Down the one after, and past the last one
/// the line that was being typed.
class AnswerHistory {
 public:
  /// Keeps a line handed over (empty ones are not kept); starts a new one.
  void add(const std::string& line);
  /// Moves through the answers (-1 Up, +1 Down); the line becomes the
  /// answer shown, with the cursor at its end. False when there is none.
  bool recall(EditLine& line, int step);

 private:
  std::vector<std::string> answers_;
  std::size_t shown_ = 0;  // answers_.size(): the line being typed
  std::string typing_;     // kept while an earlier answer is shown
};

/// A place on the screen, counted from the row and column where the
/// prompt's last line starts. A column equal to the width is just past the
/// row's last column: the terminal wraps at the next character.
struct Place {
  int row = 0;
  int column = 0;
  bool operator==(const Place&) const = default;
};

/// The line on the screen after its prompt (what stands before it on its
/// row, or rows when it wraps). Each call returns the bytes to write and
/// takes the cursor to where they leave it. Typed at the end of the line,
/// characters are written as they are, as the terminal's own echo shows
/// them; other edits move the cursor (ESC [ n A, CR, ESC [ n C), clear
/// from the first change (ESC [ J) and write the rest. Tabs show as a
/// blank.
/// Example: after "L = " on 80 columns, typing "67" writes "67"; then Left
/// writes "\x1b[1D" and Backspace "\x1b[1D\x1b[J7\x1b[1D" (the line is "|7").
class LineView {
 public:
  /// The cursor is just after `prompt`, as the program wrote it.
  LineView(std::string_view prompt, int columns, bool utf8);

  /// Shows `after` where the line shown was; bytes to write.
  std::string show(const EditLine& after);

  /// The terminal now has `columns` and has wrapped the rows again
  /// (reflowed, as most terminals do): prompt and line drawn again.
  std::string resize(int columns);

  /// Prompt and line drawn again from the start of a row (after a stop).
  std::string redraw();

  /// The cursor to the end, then a line end (Enter).
  std::string finish();

  const EditLine& line() const { return line_; }

 private:
  Place placeOf(std::size_t offset) const;
  void moveTo(std::size_t offset, std::string& out);
  void write(std::size_t from, std::size_t to, std::string& out);

  std::string prompt_;
  int columns_;
  bool utf8_;
  EditLine line_;
  Place start_;  // where the line begins: just after the prompt
  Place at_;     // the terminal's cursor
};

}  // namespace beam
